// Test helpers for IniFileManager.dll: the library loaded by name and its exports
// looked up by name, as the framework does; the framework's protocol for texts;
// a scratch folder with a non-ASCII name.
#pragma once

#include "IniFileManager.h"

#include "Support/Windows/TempFiles.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace IniFileTest {

class IniFileLibrary
{
public:
    IniFileLibrary() { Load(); }
    ~IniFileLibrary() { Unload(); }
    IniFileLibrary(const IniFileLibrary&) = delete;
    IniFileLibrary& operator=(const IniFileLibrary&) = delete;

    // LoadLibraryW(L"IniFileManager.dll"), then GetProcAddress of every export.
    bool Load();
    // FreeLibrary; true when the library is no longer in the process afterwards.
    bool Unload();
    bool AllExportsFound() const;

    PFN_OpenIniFile OpenIniFile = nullptr;
    PFN_WriteIniFile WriteIniFile = nullptr;
    PFN_CloseIniFile CloseIniFile = nullptr;
    PFN_DoesNodeExist DoesNodeExist = nullptr;
    PFN_GetIniValueInt GetIniValueInt = nullptr;
    PFN_SetIniValueInt SetIniValueInt = nullptr;
    PFN_GetIniValueStr GetIniValueStr = nullptr;
    PFN_SetIniValueStr SetIniValueStr = nullptr;
    PFN_GetKeyCount GetKeyCount = nullptr;
    PFN_GetKeyNameAt GetKeyNameAt = nullptr;
    PFN_GetArrayCount GetArrayCount = nullptr;
    PFN_SetArrayCount SetArrayCount = nullptr;
    PFN_GetArrayItemAt GetArrayItemAt = nullptr;
    PFN_SetArrayItemAt SetArrayItemAt = nullptr;
    PFN_RemoveArrayItemAt RemoveArrayItemAt = nullptr;

    // A text read the framework's way: a 1024-byte buffer first; on -2 one buffer
    // of the size the library asks for.
    struct Text
    {
        int32_t result = 0;
        std::string text;
        int calls = 0;
        int32_t firstNeeded = 0; // the size the first call reported
    };
    Text GetStr(int32_t handle, const char* key, const char* defaultText) const;
    Text KeyNameAt(int32_t handle, const char* key, int32_t index) const;
    Text ArrayItemAt(int32_t handle, const char* key, int32_t index) const;

    // Opens path (UTF-8) with the application's settings version and a product name.
    int32_t Open(const std::string& path, int32_t& handle) const;
    // The integer at key, or the default, and the result.
    int32_t GetInt(int32_t handle, const char* key, int32_t defaultValue, int32_t& value) const;

private:
    // Calls visit(name, pointer) for every export, in ordinal order; the one
    // list of the exports that Load, Unload and AllExportsFound work through.
    template <class Library, class Visit>
    static void ForEachExport(Library& library, Visit&& visit)
    {
        visit("OpenIniFile", library.OpenIniFile);
        visit("WriteIniFile", library.WriteIniFile);
        visit("CloseIniFile", library.CloseIniFile);
        visit("DoesNodeExist", library.DoesNodeExist);
        visit("GetIniValueInt", library.GetIniValueInt);
        visit("SetIniValueInt", library.SetIniValueInt);
        visit("GetIniValueStr", library.GetIniValueStr);
        visit("SetIniValueStr", library.SetIniValueStr);
        visit("GetKeyCount", library.GetKeyCount);
        visit("GetKeyNameAt", library.GetKeyNameAt);
        visit("GetArrayCount", library.GetArrayCount);
        visit("SetArrayCount", library.SetArrayCount);
        visit("GetArrayItemAt", library.GetArrayItemAt);
        visit("SetArrayItemAt", library.SetArrayItemAt);
        visit("RemoveArrayItemAt", library.RemoveArrayItemAt);
    }

    HMODULE mModule = nullptr;
};

std::string ToUtf8(const std::wstring& text);

bool FileExists(const std::wstring& path);

// A new folder under the temporary folder, with a non-ASCII name, removed with
// everything in it at the end.
class ScratchFolder : public TestSystem::TempFolder
{
public:
    ScratchFolder() : TempFolder(L"IniFileManagerTests-Einstellungen-\u00E9t\u00E9-\u8A2D\u5B9A") {}

    std::wstring File(const std::wstring& name) const { return *this / name; }
    // The names of everything in the folder.
    std::wstring Listing() const;
};

} // namespace IniFileTest
