// A fresh folder below the system's temporary folder for one test, removed
// with everything in it when the test ends.
#pragma once

#include "KXPlatform.h"

#include <filesystem>
#include <string>

namespace FilesTest {

class TestFolder
{
public:
    TestFolder()
    {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        static unsigned sequence = 0;
        mPath = std::wstring(temp) + L"KXFileTests-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++sequence);
        std::filesystem::create_directories(mPath);
    }
    ~TestFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // The folder, without a trailing separator.
    const std::wstring& Path() const { return mPath; }
    // A path inside the folder.
    std::wstring operator/(const std::wstring& name) const { return mPath + L"\\" + name; }

    // Writes the bytes into a new file of the folder.
    std::wstring WriteFile(const std::wstring& name, const std::string& bytes) const
    {
        const std::wstring path = *this / name;
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        return path;
    }

private:
    std::wstring mPath;
};

// The whole content of a file, empty when it cannot be read.
inline std::string ReadWholeFile(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    CloseHandle(file);
    return bytes;
}

inline bool PathExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace FilesTest
