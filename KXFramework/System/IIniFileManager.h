// KX::IIniFileManager: the settings-file component as the framework sees it.
// Settings files are opened, read and written by an outside library
// (IniFileManager.dll); a file is known by the handle that the library gives
// out, 0 meaning no file.
//
// Contract shared by every implementation:
// - Until Init has loaded the library, every file operation answers E_FAIL
//   (DoesNodeExist false) and calls nothing.
// - Operations with an out argument set it first (the default, 0 or empty),
//   so a failure leaves that value.
// - Every other result is the library's own, passed back unchanged.
// - Texts cross to the library as UTF-8.
#pragma once

#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

class IIniFileManager
{
public:
    using String = StringT<wchar_t, char>;

    // Loads IniFileManager.dll from the folder (empty: the system's search
    // order). 0 when the library and all its operations were found, 1 when
    // it is loaded already, E_FAIL otherwise.
    virtual KXRESULT Init(const String& folder) = 0;
    // Unloads the library: 0, or E_FAIL when the system refused; 1 when it
    // was not loaded.
    virtual KXRESULT Uninit() = 0;
    virtual KXRESULT OpenIniFile(const String& path, const String& settingsVersion, const String& productName,
                                 int32_t& handle) = 0;
    virtual KXRESULT WriteIniFile(int32_t handle) = 0;
    virtual bool DoesNodeExist(int32_t handle, const String& key) = 0;
    virtual KXRESULT CloseIniFile(int32_t handle, int32_t value) = 0;
    virtual KXRESULT GetIniValueInt(int32_t handle, const String& key, int32_t defaultValue, int32_t& value) = 0;
    virtual KXRESULT SetIniValueInt(int32_t handle, const String& key, int32_t value) = 0;
    virtual KXRESULT GetIniValueStr(int32_t handle, const String& key, const String& defaultText, String& text) = 0;
    virtual KXRESULT SetIniValueStr(int32_t handle, const String& key, const String& text) = 0;
    virtual KXRESULT GetKeyCount(int32_t handle, const String& key, int32_t& count) = 0;
    virtual KXRESULT GetKeyNameAt(int32_t handle, const String& key, int32_t index, String& name) = 0;
    virtual KXRESULT GetArrayCount(int32_t handle, const String& key, int32_t& count) = 0;
    virtual KXRESULT SetArrayCount(int32_t handle, const String& key, int32_t count) = 0;
    virtual KXRESULT GetArrayItemAt(int32_t handle, const String& key, int32_t index, String& text) = 0;
    virtual KXRESULT SetArrayItemAt(int32_t handle, const String& key, int32_t index, const String& text) = 0;
    virtual KXRESULT RemoveArrayItemAt(int32_t handle, const String& key, int32_t index) = 0;

protected:
    ~IIniFileManager() = default;
};

} // namespace KX
