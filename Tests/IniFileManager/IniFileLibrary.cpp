#include "IniFileLibrary.h"

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

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ScratchFolder::Listing() const
{
    std::wstring names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(Path()), ignored))
        names += entry.path().filename().wstring() + L";";
    return names;
}

} // namespace IniFileTest
