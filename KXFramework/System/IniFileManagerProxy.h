// CIniFileManagerProxy: KX::IIniFileManager over IniFileManager.dll, loaded at
// run time by name; its fifteen operations are looked up by their export names.
//
// Contract (beyond the interface's):
// - Not loaded after construction and after Uninit; the destructor unloads.
// - A library that loads but lacks some exports stays loaded (Init answers
//   E_FAIL); the operations whose export is missing answer E_FAIL (false for
//   DoesNodeExist) without calling anything, the others work.
// - Texts the library hands back are read as UTF-8, never beyond the buffer
//   given to it. A text longer than 1023 bytes is fetched again with the size
//   the library asks for; a size that is not positive or beyond
//   kLargestTextSize fails with E_FAIL and leaves the out text as it was set
//   before the call.
// - Not synchronised: one thread uses a proxy.
#pragma once

#include "KXPlatform.h"
#include "System/IIniFileManager.h"

class CIniFileManagerProxy : public KX::IIniFileManager
{
public:
    // The size of the first buffer for a text, in bytes.
    static constexpr int32_t kTextBufferSize = 1024;
    // The largest text buffer a library may ask for (16 MiB).
    static constexpr int32_t kLargestTextSize = 0x1000000;
    // The result with which an export asks for a larger text buffer.
    static constexpr int32_t kBufferTooSmall = -2;

    CIniFileManagerProxy() = default;
    virtual ~CIniFileManagerProxy();

    CIniFileManagerProxy(const CIniFileManagerProxy&) = delete;
    CIniFileManagerProxy& operator=(const CIniFileManagerProxy&) = delete;

    KX::KXRESULT Init(const String& folder) override;
    KX::KXRESULT Uninit() override;
    KX::KXRESULT OpenIniFile(const String& path, const String& settingsVersion, const String& productName,
                             int32_t& handle) override;
    KX::KXRESULT WriteIniFile(int32_t handle) override;
    bool DoesNodeExist(int32_t handle, const String& key) override;
    KX::KXRESULT CloseIniFile(int32_t handle, int32_t value) override;
    KX::KXRESULT GetIniValueInt(int32_t handle, const String& key, int32_t defaultValue, int32_t& value) override;
    KX::KXRESULT SetIniValueInt(int32_t handle, const String& key, int32_t value) override;
    KX::KXRESULT GetIniValueStr(int32_t handle, const String& key, const String& defaultText,
                                String& text) override;
    KX::KXRESULT SetIniValueStr(int32_t handle, const String& key, const String& text) override;
    KX::KXRESULT GetKeyCount(int32_t handle, const String& key, int32_t& count) override;
    KX::KXRESULT GetKeyNameAt(int32_t handle, const String& key, int32_t index, String& name) override;
    KX::KXRESULT GetArrayCount(int32_t handle, const String& key, int32_t& count) override;
    KX::KXRESULT SetArrayCount(int32_t handle, const String& key, int32_t count) override;
    KX::KXRESULT GetArrayItemAt(int32_t handle, const String& key, int32_t index, String& text) override;
    KX::KXRESULT SetArrayItemAt(int32_t handle, const String& key, int32_t index, const String& text) override;
    KX::KXRESULT RemoveArrayItemAt(int32_t handle, const String& key, int32_t index) override;

    bool IsLoaded() const { return mModule != nullptr; }
    // The library's path for a folder: the folder, a '\' unless it ends in
    // one, and "IniFileManager.dll"; the bare name for an empty folder.
    static String GetLibraryPath(const String& folder);

    // The exports, as the library declares them: C functions with the x64
    // calling convention, signed 32-bit integers, UTF-8 texts; DoesNodeExist
    // answers a one-byte bool.
    using OpenIniFileProc = int32_t(__cdecl*)(const char* path, const char* settingsVersion,
                                              const char* productName, int32_t* handle);
    using WriteIniFileProc = int32_t(__cdecl*)(int32_t handle);
    using CloseIniFileProc = int32_t(__cdecl*)(int32_t handle, int32_t value);
    using DoesNodeExistProc = bool(__cdecl*)(int32_t handle, const char* key);
    using GetIniValueIntProc = int32_t(__cdecl*)(int32_t handle, const char* key, int32_t defaultValue,
                                                 int32_t* value);
    using SetIniValueIntProc = int32_t(__cdecl*)(int32_t handle, const char* key, int32_t value);
    using GetIniValueStrProc = int32_t(__cdecl*)(int32_t handle, const char* key, const char* defaultText,
                                                 char* buffer, int32_t bufferSize, int32_t* neededSize);
    using SetIniValueStrProc = int32_t(__cdecl*)(int32_t handle, const char* key, const char* text);
    using GetCountProc = int32_t(__cdecl*)(int32_t handle, const char* key, int32_t* count);
    using GetTextAtProc = int32_t(__cdecl*)(int32_t handle, const char* key, int32_t index, char* buffer,
                                            int32_t bufferSize, int32_t* neededSize);
    using SetArrayCountProc = int32_t(__cdecl*)(int32_t handle, const char* key, int32_t count);
    using SetArrayItemAtProc = int32_t(__cdecl*)(int32_t handle, const char* key, int32_t index, const char* text);
    using RemoveArrayItemAtProc = int32_t(__cdecl*)(int32_t handle, const char* key, int32_t index);

private:
    void ClearEntryPoints();

    OpenIniFileProc mOpenIniFile = nullptr;
    WriteIniFileProc mWriteIniFile = nullptr;
    CloseIniFileProc mCloseIniFile = nullptr;
    DoesNodeExistProc mDoesNodeExist = nullptr;
    GetIniValueIntProc mGetIniValueInt = nullptr;
    SetIniValueIntProc mSetIniValueInt = nullptr;
    GetIniValueStrProc mGetIniValueStr = nullptr;
    SetIniValueStrProc mSetIniValueStr = nullptr;
    GetCountProc mGetKeyCount = nullptr;
    GetTextAtProc mGetKeyNameAt = nullptr;
    GetCountProc mGetArrayCount = nullptr;
    SetArrayCountProc mSetArrayCount = nullptr;
    GetTextAtProc mGetArrayItemAt = nullptr;
    SetArrayItemAtProc mSetArrayItemAt = nullptr;
    RemoveArrayItemAtProc mRemoveArrayItemAt = nullptr;
    HMODULE mModule = nullptr;
};
