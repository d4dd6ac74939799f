// The path operations of KX::File's header: existence tests, folder creation,
// listing and splitting of paths.
#include "Utilities/Storage/KXFile.h"

#include "Utilities/Storage/IArray.h"

#include <io.h>
#include <sys/stat.h>

#include <vector>

namespace KX {

namespace {

using String = StringT<wchar_t, char>;

// The attributes of an existing entry, as the file system reports them.
bool QueryAttributes(const String& path, DWORD& attributes)
{
    if (path.IsEmpty())
        return false;
    attributes = GetFileAttributesW(path.GetData());
    return attributes != INVALID_FILE_ATTRIBUTES;
}

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// The first `length` characters of the path, as a NUL-terminated copy.
std::vector<wchar_t> Prefix(const String& path, int32_t length)
{
    const wchar_t* text = path.GetData();
    std::vector<wchar_t> prefix(text, text + length);
    prefix.push_back(L'\0');
    return prefix;
}

bool Exists(const wchar_t* path)
{
    return _waccess(path, 0) == 0;
}

} // namespace

bool FileExists(const String& path)
{
    DWORD attributes = 0;
    return QueryAttributes(path, attributes) && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const String& path)
{
    // The run-time library's status query refuses a folder written with a
    // trailing separator, except for a drive root.
    String folder = path;
    const int32_t length = folder.GetLength();
    if (length > 0 && folder.GetData()[length - 1] == L'\\' && !(length == 3 && folder.GetData()[1] == L':'))
        folder = folder.Left(length - 1);

    struct _stat64i32 status = {};
    return !folder.IsEmpty() && _wstat64i32(folder.GetData(), &status) == 0 && (status.st_mode & _S_IFDIR) != 0;
}

KXRESULT CreateFolder(const String& path)
{
    DWORD attributes = 0;
    if (QueryAttributes(path, attributes))
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? S_FALSE : E_FAIL;
    return CreateFolderPath(path, false) ? S_OK : E_FAIL;
}

bool CreateFolderPath(const String& path, bool lastPartIsFile)
{
    const wchar_t* text = path.GetData();
    const int32_t length = path.GetLength();
    int32_t lastSeparator = -1;
    // Every folder along the way; those that exist already make the call fail,
    // which is what it should do for them.
    for (int32_t i = 1; i < length; ++i) {
        if (IsSeparator(text[i])) {
            CreateDirectoryW(Prefix(path, i).data(), nullptr);
            lastSeparator = i;
        }
    }

    if (!lastPartIsFile) {
        if (length == 0)
            return false;
        CreateDirectoryW(text, nullptr);
        return Exists(text);
    }
    if (lastSeparator < 0)
        return true;
    return Exists(Prefix(path, lastSeparator).data());
}

int32_t ListFiles(const String& folder, const String& pattern, IArray<String>& files)
{
    files.RemoveAll();
    if (!FolderExists(folder))
        return E_NOTIMPL;

    const String separator(L"\\");
    const String search = folder + separator + pattern;
    WIN32_FIND_DATAW entry = {};
    HANDLE find = FindFirstFileW(search.GetData(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        // A pattern that matches nothing is an empty list, not an error.
        const DWORD error = GetLastError();
        return (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) ? 0 : E_FAIL;
    }
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.AddItem(folder + separator + String(entry.cFileName));
    } while (FindNextFileW(find, &entry));
    const DWORD error = GetLastError();
    FindClose(find);
    return error == ERROR_NO_MORE_FILES ? files.GetCount() : E_FAIL;
}

String GetLongPathName(const String& path)
{
    std::vector<wchar_t> buffer(MAX_PATH, L'\0');
    DWORD length = ::GetLongPathNameW(path.GetData(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length >= buffer.size()) {
        // Too long for the usual buffer: the answer is the size it needs.
        buffer.assign(length + 1, L'\0');
        length = ::GetLongPathNameW(path.GetData(), buffer.data(), static_cast<DWORD>(buffer.size()));
    }
    if (length == 0 || length >= buffer.size())
        return path;
    return String(buffer.data());
}

String MakeValidFileName(const String& name)
{
    String valid = name;
    valid.ReplaceAny(L"\\/:*?\"<>|&;,^()", L'_');
    return valid;
}

String GetFolderPart(const String& path)
{
    const int32_t separator = path.ReverseFind('\\');
    return separator < 0 ? path : path.Left(separator);
}

String GetFileNamePart(const String& path)
{
    const int32_t backslash = path.ReverseFind('\\');
    const int32_t slash = path.ReverseFind('/');
    const int32_t separator = backslash > slash ? backslash : slash;
    if (separator < 0 || separator == path.GetLength() - 1)
        return path;
    return path.Mid(separator + 1);
}

} // namespace KX
