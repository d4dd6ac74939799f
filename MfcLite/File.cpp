#include "MfcLite/File.h"

#include <cwchar>

BOOL CFile::GetStatus(LPCWSTR path, CFileStatus& status)
{
    status = CFileStatus();
    if (!path || !*path || std::wcspbrk(path, L"*?"))
        return FALSE;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data))
        return FALSE;
    status.m_ctime = data.ftCreationTime;
    status.m_mtime = data.ftLastWriteTime;
    status.m_atime = data.ftLastAccessTime;
    status.m_size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    status.m_attribute = static_cast<BYTE>(data.dwFileAttributes & 0xFF);
    if (!GetFullPathNameW(path, MAX_PATH, status.m_szFullName, nullptr))
        status.m_szFullName[0] = 0;
    return TRUE;
}
