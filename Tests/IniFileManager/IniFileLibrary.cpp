#include "IniFileLibrary.h"

#include <atomic>
#include <cstring>
#include <filesystem>
#include <vector>

namespace IniFileTest {

namespace {

template <class Pointer>
void LookUp(HMODULE module, const char* name, Pointer& pointer)
{
    pointer = reinterpret_cast<Pointer>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

template <class Call>
IniFileLibrary::Text ReadText(Call call)
{
    IniFileLibrary::Text out;
    std::vector<char> buffer(1024, '\0');
    int32_t needed = 0;
    out.result = call(buffer.data(), static_cast<int32_t>(buffer.size()), &needed);
    out.calls = 1;
    out.firstNeeded = needed;
    if (out.result == INIFILE_E_BUFFER_TOO_SMALL && needed > 0 && needed < (1 << 26)) {
        buffer.assign(static_cast<size_t>(needed), '\0');
        int32_t again = 0;
        out.result = call(buffer.data(), needed, &again);
        out.calls = 2;
    }
    if (out.result >= 0)
        out.text.assign(buffer.data(), strnlen(buffer.data(), buffer.size()));
    return out;
}

} // namespace

bool IniFileLibrary::Load()
{
    if (mModule)
        return true;
    mModule = LoadLibraryW(L"IniFileManager.dll");
    if (!mModule)
        return false;
    ForEachExport(*this, [this](const char* name, auto& pointer) { LookUp(mModule, name, pointer); });
    return true;
}

bool IniFileLibrary::Unload()
{
    if (mModule)
        FreeLibrary(mModule);
    mModule = nullptr;
    ForEachExport(*this, [](const char*, auto& pointer) { pointer = nullptr; });
    return GetModuleHandleW(L"IniFileManager.dll") == nullptr;
}

bool IniFileLibrary::AllExportsFound() const
{
    bool all = true;
    ForEachExport(*this, [&all](const char*, auto pointer) { all = all && pointer != nullptr; });
    return all && mModule != nullptr;
}

IniFileLibrary::Text IniFileLibrary::GetStr(int32_t handle, const char* key, const char* defaultText) const
{
    return ReadText([&](char* buffer, int32_t size, int32_t* needed) {
        return GetIniValueStr(handle, key, defaultText, buffer, size, needed);
    });
}

IniFileLibrary::Text IniFileLibrary::KeyNameAt(int32_t handle, const char* key, int32_t index) const
{
    return ReadText([&](char* buffer, int32_t size, int32_t* needed) {
        return GetKeyNameAt(handle, key, index, buffer, size, needed);
    });
}

IniFileLibrary::Text IniFileLibrary::ArrayItemAt(int32_t handle, const char* key, int32_t index) const
{
    return ReadText([&](char* buffer, int32_t size, int32_t* needed) {
        return GetArrayItemAt(handle, key, index, buffer, size, needed);
    });
}

int32_t IniFileLibrary::Open(const std::string& path, int32_t& handle) const
{
    handle = -1;
    return OpenIniFile(path.c_str(), "1_0_0", "TAVIK8 Updater", &handle);
}

int32_t IniFileLibrary::GetInt(int32_t handle, const char* key, int32_t defaultValue, int32_t& value) const
{
    value = 0x5A5A5A5A;
    return GetIniValueInt(handle, key, defaultValue, &value);
}

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
        nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

bool ReadBytes(const std::wstring& path, std::string& bytes)
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

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ScratchFolder::ScratchFolder()
{
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    mPath = std::wstring(temp) + L"IniFileManagerTests-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L"-Einstellungen-\u00E9t\u00E9-\u8A2D\u5B9A";
    std::filesystem::create_directories(std::filesystem::path(mPath));
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::path folder(mPath);
    // Read-only files left by a test would stop the removal.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ignored))
        SetFileAttributesW(entry.path().wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(folder, ignored);
}

std::wstring ScratchFolder::Listing() const
{
    std::wstring names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(mPath), ignored))
        names += entry.path().filename().wstring() + L";";
    return names;
}

} // namespace IniFileTest
