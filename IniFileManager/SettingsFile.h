// One settings file on disk and its settings in memory.
//
// The settings in memory are always what the file held when it was last read or
// written (none while it does not exist). Every save replaces the whole file at
// once: the text goes to a temporary file beside it, which then takes the old
// file's place, so a reader (or a program ended halfway) only ever sees the old
// or the new file. Before an operation the owner calls Refresh, which reads the
// file again when another process has replaced or changed it since.
//
// The file keeps the form it came in: UTF-8 (with its byte-order mark when it
// had one), or UTF-16 with its byte-order mark, little- or big-endian, as the
// system's own profile functions write one. A read-only file is never written.
#pragma once

#include "SettingsTree.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace IniFile {

class SettingsFile
{
public:
    // path: the full wide path; comment: the first line written into the file.
    SettingsFile(std::wstring path, std::string comment);

    const std::wstring& Path() const { return mPath; }
    const SettingsTree& Tree() const { return mTree; }
    // Whether the file was on disk when it was last read or written.
    bool Exists() const { return mStamp.exists; }

    // Reads the file; a file that does not exist yet holds no settings, and is
    // made by the first save. E_FAIL when it exists but cannot be read (or is
    // too large to be a settings file), or when its folder does not exist; such
    // a file is never touched.
    int32_t Load();

    // Reads the file again when it changed on disk; a file removed meanwhile holds
    // no settings. When the changed file cannot be read, the settings in memory stay.
    void Refresh();

    // Writes tree to the file, in the form the file came in; on success the
    // settings in memory become it. E_ACCESSDENIED for a read-only file, E_FAIL
    // when it cannot be written; the file and the settings in memory stay
    // unchanged then.
    int32_t Save(const SettingsTree& tree);

    // How the file's text is written.
    enum class Encoding { Utf8, Utf8WithMark, Utf16LittleEndian, Utf16BigEndian };
    Encoding GetEncoding() const { return mEncoding; }

    // Converts a UTF-8 path into a full wide path; false for text that is not
    // UTF-8 or a path that cannot be made full.
    static bool FullPathFromUtf8(const char* utf8Path, std::wstring& fullPath);

private:
    // What identifies one version of the file on disk: a replaced file is a new
    // file (another index), a changed one has another time or size.
    struct DiskStamp
    {
        bool known = false;
        bool exists = false;
        DWORD volume = 0;
        DWORD indexHigh = 0;
        DWORD indexLow = 0;
        FILETIME lastWrite{};
        uint64_t size = 0;

        bool SameAs(const DiskStamp& other) const;
    };

    enum class ReadOutcome { Read, Missing, Failed };

    // The file's text as UTF-8 without a byte-order mark, and its encoding.
    ReadOutcome ReadText(std::string& text, DiskStamp& stamp, Encoding& encoding) const;
    DiskStamp CurrentStamp() const;
    static DiskStamp StampOf(HANDLE file);

    std::wstring mPath;
    std::string mComment;
    SettingsTree mTree;
    DiskStamp mStamp;
    Encoding mEncoding = Encoding::Utf8;
};

} // namespace IniFile
