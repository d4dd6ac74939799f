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

const char kUtf8Mark[] = "\xEF\xBB\xBF";
const char kUtf16LittleEndianMark[] = "\xFF\xFE";
const char kUtf16BigEndianMark[] = "\xFE\xFF";

bool StartsWith(const std::string& bytes, const char* mark, size_t length)
{
    return bytes.size() >= length && bytes.compare(0, length, mark, length) == 0;
}

// UTF-16 code units (after the mark) as UTF-8; an odd last byte is dropped,
// and text that is not UTF-16 comes out with replacement characters.
std::string Utf16ToUtf8(const std::string& bytes, size_t offset, bool bigEndian)
{
    std::wstring wide((bytes.size() - offset) / 2, L'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
        const unsigned char first = static_cast<unsigned char>(bytes[offset + 2 * i]);
        const unsigned char second = static_cast<unsigned char>(bytes[offset + 2 * i + 1]);
        wide[i] = static_cast<wchar_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    }
    if (wide.empty())
        return std::string();
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0], size, nullptr, nullptr);
    return text;
}

// UTF-8 text as UTF-16 code units with their mark.
std::string Utf8ToUtf16(const std::string& text, bool bigEndian)
{
    std::string bytes = bigEndian ? kUtf16BigEndianMark : kUtf16LittleEndianMark;
    if (text.empty())
        return bytes;
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    bytes.reserve(2 + wide.size() * 2);
    for (wchar_t unit : wide) {
        const char high = static_cast<char>((unit >> 8) & 0xFF);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
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

SettingsFile::ReadOutcome SettingsFile::ReadText(std::string& text, DiskStamp& stamp, Encoding& encoding) const
{
    encoding = Encoding::Utf8;
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
    if (StartsWith(text, kUtf16LittleEndianMark, 2)) {
        encoding = Encoding::Utf16LittleEndian;
        text = Utf16ToUtf8(text, 2, false);
    } else if (StartsWith(text, kUtf16BigEndianMark, 2)) {
        encoding = Encoding::Utf16BigEndian;
        text = Utf16ToUtf8(text, 2, true);
    } else if (StartsWith(text, kUtf8Mark, 3)) {
        encoding = Encoding::Utf8WithMark;
        text.erase(0, 3);
    }
    return ReadOutcome::Read;
}

int32_t SettingsFile::Load()
{
    std::string text;
    DiskStamp stamp;
    Encoding encoding = Encoding::Utf8;
    switch (ReadText(text, stamp, encoding)) {
    case ReadOutcome::Read:
        mTree = SettingsTree::Parse(text);
        mStamp = stamp;
        mEncoding = encoding;
        return S_OK;
    case ReadOutcome::Missing:
        // Made by the first change: opening alone writes nothing.
        mTree = SettingsTree();
        mStamp = stamp;
        mEncoding = Encoding::Utf8;
        return S_OK;
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
    Encoding encoding = Encoding::Utf8;
    if (ReadText(text, stamp, encoding) == ReadOutcome::Read) {
        mTree = SettingsTree::Parse(text);
        mStamp = stamp;
        mEncoding = encoding;
    }
}

int32_t SettingsFile::Save(const SettingsTree& tree)
{
    // A file made read-only is left exactly as it is (the replace below would
    // put a writable file in its place).
    const DWORD attributes = GetFileAttributesW(mPath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return E_ACCESSDENIED;

    const std::string text = tree.Format(mComment);
    std::string bytes;
    switch (mEncoding) {
    case Encoding::Utf8: bytes = text; break;
    case Encoding::Utf8WithMark: bytes = kUtf8Mark + text; break;
    case Encoding::Utf16LittleEndian: bytes = Utf8ToUtf16(text, false); break;
    case Encoding::Utf16BigEndian: bytes = Utf8ToUtf16(text, true); break;
    }
    // The process id keeps two programs saving the same file at once apart.
    const std::wstring temporary = mPath + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";

    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
        nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return E_FAIL;
    bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
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
