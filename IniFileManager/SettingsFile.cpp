#include "SettingsFile.h"

#include "IniFileManager.h"

#include <algorithm>
#include <utility>

namespace IniFile {

namespace {

// Closes a file handle when it goes out of scope.
class HandleCloser
{
public:
    explicit HandleCloser(HANDLE handle) : mHandle(handle) {}
    ~HandleCloser()
    {
        if (mHandle != INVALID_HANDLE_VALUE)
            CloseHandle(mHandle);
    }
    HandleCloser(const HandleCloser&) = delete;
    HandleCloser& operator=(const HandleCloser&) = delete;

private:
    HANDLE mHandle;
};

bool IsMissingFileError(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND;
}

bool WriteAll(HANDLE file, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, text.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

bool SettingsFile::DiskStamp::SameAs(const DiskStamp& other) const
{
    if (!known || !other.known || exists != other.exists)
        return false;
    if (!exists)
        return true;
    return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow &&
           lastWrite.dwLowDateTime == other.lastWrite.dwLowDateTime &&
           lastWrite.dwHighDateTime == other.lastWrite.dwHighDateTime && size == other.size;
}

SettingsFile::SettingsFile(std::wstring path, std::string comment)
    : mPath(std::move(path)), mComment(std::move(comment))
{
}

bool SettingsFile::FullPathFromUtf8(const char* utf8Path, std::wstring& fullPath)
{
    if (!utf8Path || !*utf8Path)
        return false;
    // Text that is not UTF-8 would name some other file: refuse it.
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Path, -1, nullptr, 0);
    if (length <= 0)
        return false;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Path, -1, &wide[0], length) != length)
        return false;
    wide.resize(static_cast<size_t>(length - 1));

    DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    while (size != 0) {
        fullPath.assign(size, L'\0');
        const DWORD used = GetFullPathNameW(wide.c_str(), size, &fullPath[0], nullptr);
        if (used == 0)
            return false;
        if (used < size) {
            fullPath.resize(used);
            return true;
        }
        size = used; // the current folder changed meanwhile: try again
    }
    return false;
}

SettingsFile::DiskStamp SettingsFile::StampOf(HANDLE file)
{
    DiskStamp stamp;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info))
        return stamp;
    stamp.known = true;
    stamp.exists = true;
    stamp.volume = info.dwVolumeSerialNumber;
    stamp.indexHigh = info.nFileIndexHigh;
    stamp.indexLow = info.nFileIndexLow;
    stamp.lastWrite = info.ftLastWriteTime;
    stamp.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return stamp;
}

SettingsFile::DiskStamp SettingsFile::CurrentStamp() const
{
    HANDLE file = CreateFileW(mPath.c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
        nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DiskStamp stamp;
        if (IsMissingFileError(GetLastError()))
            stamp.known = true; // known not to exist
        return stamp;
    }
    HandleCloser closer(file);
    return StampOf(file);
}

SettingsFile::ReadOutcome SettingsFile::ReadText(std::string& text, DiskStamp& stamp) const
{
    text.clear();
    stamp = DiskStamp();
    HANDLE file = CreateFileW(mPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (IsMissingFileError(GetLastError())) {
            stamp.known = true;
            return ReadOutcome::Missing;
        }
        return ReadOutcome::Failed;
    }
    HandleCloser closer(file);
    stamp = StampOf(file);
    if (!stamp.known || stamp.size > INIFILE_MAX_FILE_SIZE)
        return ReadOutcome::Failed;

    text.resize(static_cast<size_t>(stamp.size));
    size_t done = 0;
    while (done < text.size()) {
        DWORD got = 0;
        if (!ReadFile(file, &text[done], static_cast<DWORD>(text.size() - done), &got, nullptr))
            return ReadOutcome::Failed;
        if (got == 0)
            break; // the file shrank meanwhile: what was read is what there is
        done += got;
    }
    text.resize(done);
    return ReadOutcome::Read;
}

int32_t SettingsFile::Load()
{
    std::string text;
    DiskStamp stamp;
    switch (ReadText(text, stamp)) {
    case ReadOutcome::Read:
        mTree = SettingsTree::Parse(text);
        mStamp = stamp;
        return S_OK;
    case ReadOutcome::Missing:
        return Save(SettingsTree());
    case ReadOutcome::Failed:
        break;
    }
    return E_FAIL;
}

void SettingsFile::Refresh()
{
    const DiskStamp now = CurrentStamp();
    if (!now.known || now.SameAs(mStamp))
        return;
    if (!now.exists) {
        mTree = SettingsTree();
        mStamp = now;
        return;
    }
    std::string text;
    DiskStamp stamp;
    if (ReadText(text, stamp) == ReadOutcome::Read) {
        mTree = SettingsTree::Parse(text);
        mStamp = stamp;
    }
}

int32_t SettingsFile::Save(const SettingsTree& tree)
{
    const std::string text = tree.Format(mComment);
    // The process id keeps two programs saving the same file at once apart.
    const std::wstring temporary = mPath + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";

    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
        nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return E_FAIL;
    bool written = WriteAll(file, text) && FlushFileBuffers(file);
    CloseHandle(file);
    written = written &&
              MoveFileExW(temporary.c_str(), mPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!written) {
        DeleteFileW(temporary.c_str());
        return E_FAIL;
    }

    // What is in memory is exactly what a reader of the file gets.
    mTree = SettingsTree::Parse(text);
    mStamp = CurrentStamp();
    return S_OK;
}

} // namespace IniFile
