#include "TempFiles.h"

#include <atomic>
#include <filesystem>
#include <utility>

namespace TestSystem {

std::wstring TempPath(const std::wstring& stem, const std::wstring& suffix)
{
    static std::atomic<unsigned> count{0};
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, folder);
    return std::wstring(folder) + stem + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++count) + suffix;
}

TempFile::TempFile(const std::wstring& stem, const std::wstring& suffix, std::vector<std::wstring> sideEndings)
    : mPath(TempPath(stem, suffix)), mSideEndings(std::move(sideEndings))
{
    Remove();
}

void TempFile::Remove() const
{
    DeleteFileW(mPath.c_str());
    for (const std::wstring& ending : mSideEndings)
        DeleteFileW((mPath + ending).c_str());
}

TempFolder::TempFolder(const std::wstring& stem) : mPath(TempPath(stem))
{
    std::filesystem::create_directories(std::filesystem::path(mPath));
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    const std::filesystem::path folder(mPath);
    // A read-only file left by a test would stop the removal.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ignored))
        SetFileAttributesW(entry.path().wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(folder, ignored);
}

std::wstring TempFolder::WriteFile(const std::wstring& name, const std::string& bytes) const
{
    const std::wstring path = *this / name;
    WriteWholeFile(path, bytes);
    return path;
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes)
{
    bytes.clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char chunk[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, chunk, sizeof chunk, &got, nullptr) != FALSE) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return ok;
}

std::string ReadWholeFile(const std::wstring& path)
{
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

} // namespace TestSystem
