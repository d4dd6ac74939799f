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

    // The exports, as the library declares them (all return a signed 32-bit
    // result except DoesNodeExist, which returns a byte-sized boolean).
    using OpenIniFileProc = int(__cdecl*)(const char* path, const char* settingsVersion, const char* productName,
                                          int* handle);
    using WriteIniFileProc = int(__cdecl*)(int handle);
    using CloseIniFileProc = int(__cdecl*)(int handle, int value);
    using DoesNodeExistProc = unsigned char(__cdecl*)(int handle, const char* key);
    using GetIniValueIntProc = int(__cdecl*)(int handle, const char* key, int defaultValue, int* value);
    using SetIniValueIntProc = int(__cdecl*)(int handle, const char* key, int value);
    using GetIniValueStrProc = int(__cdecl*)(int handle, const char* key, const char* defaultText, char* buffer,
                                             int bufferSize, int* neededSize);
    using SetIniValueStrProc = int(__cdecl*)(int handle, const char* key, const char* text);
    using GetCountProc = int(__cdecl*)(int handle, const char* key, int* count);
    using GetTextAtProc = int(__cdecl*)(int handle, const char* key, int index, char* buffer, int bufferSize,
                                        int* neededSize);
    using SetArrayCountProc = int(__cdecl*)(int handle, const char* key, int count);
    using SetArrayItemAtProc = int(__cdecl*)(int handle, const char* key, int index, const char* text);
    using RemoveArrayItemAtProc = int(__cdecl*)(int handle, const char* key, int index);

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
