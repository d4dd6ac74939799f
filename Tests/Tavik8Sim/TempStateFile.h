// A state file of its own for one test, removed with its side files afterwards.
#pragma once

#include <windows.h>

#include <string>

namespace Tavik8SimTest {

class TempStateFile
{
public:
    TempStateFile()
    {
        static int counter = 0;
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        wchar_t name[64];
        _snwprintf(name, 64, L"tavik8sim-test-%lu-%d.state", GetCurrentProcessId(), ++counter);
        name[63] = 0;
        mPath = std::wstring(folder) + name;
        Remove();
    }
    ~TempStateFile() { Remove(); }
    TempStateFile(const TempStateFile&) = delete;
    TempStateFile& operator=(const TempStateFile&) = delete;

    const std::wstring& Path() const { return mPath; }

private:
    void Remove()
    {
        DeleteFileW(mPath.c_str());
        DeleteFileW((mPath + L".image").c_str());
        DeleteFileW((mPath + L".transcript").c_str());
    }

    std::wstring mPath;
};

// The whole content of a file, read while others may still write it; empty
// when it cannot be opened.
inline std::string FileText(const std::wstring& path)
{
    std::string text;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

} // namespace Tavik8SimTest
