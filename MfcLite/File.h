// CFile: the file status query of the MFC stand-in.
//
// GetStatus(path, status) answers TRUE and fills the status when the path
// names an existing file or folder. The path is taken literally: wildcard
// characters ('*', '?') are never expanded, so a pattern never matches some
// other file that happens to fit it; such a path answers FALSE.
#pragma once

#include <windows.h>

struct CFileStatus
{
    FILETIME m_ctime{}; // creation
    FILETIME m_mtime{}; // last write
    FILETIME m_atime{}; // last access
    ULONGLONG m_size = 0;
    BYTE m_attribute = 0; // CFile::Attribute bits
    WCHAR m_szFullName[MAX_PATH]{};
};

class CFile
{
public:
    enum Attribute : BYTE {
        normal = 0x00,
        readOnly = FILE_ATTRIBUTE_READONLY,
        hidden = FILE_ATTRIBUTE_HIDDEN,
        system = FILE_ATTRIBUTE_SYSTEM,
        volume = 0x08,
        directory = FILE_ATTRIBUTE_DIRECTORY,
        archive = FILE_ATTRIBUTE_ARCHIVE,
    };

    static BOOL GetStatus(LPCWSTR path, CFileStatus& status);
};
