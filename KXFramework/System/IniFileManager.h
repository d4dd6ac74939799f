// KX::LIniFileManager: the counted owner of the settings-file component, the
// object the application holds. It owns one CIniFileManagerProxy and passes
// every operation to it unchanged; releasing the manager does not unload the
// library (Uninit does, and so does the proxy's destructor at the last release).
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "System/IIniFileManager.h"

#include <memory>

class CIniFileManagerProxy;

namespace KX {

class LIniFileManager : public IIniFileManager, public virtual LRefCountedObject
{
public:
    LIniFileManager();
    ~LIniFileManager() override;

    // A new manager, not loaded, in manager; 0 (E_OUTOFMEMORY when it cannot be made).
    static KXRESULT Create(RCPtr<LIniFileManager>& manager);

    KXRESULT Init(const String& folder) override;
    KXRESULT Uninit() override;
    KXRESULT OpenIniFile(const String& path, const String& settingsVersion, const String& productName,
                         int32_t& handle) override;
    KXRESULT WriteIniFile(int32_t handle) override;
    bool DoesNodeExist(int32_t handle, const String& key) override;
    KXRESULT CloseIniFile(int32_t handle, int32_t value) override;
    KXRESULT GetIniValueInt(int32_t handle, const String& key, int32_t defaultValue, int32_t& value) override;
    KXRESULT SetIniValueInt(int32_t handle, const String& key, int32_t value) override;
    KXRESULT GetIniValueStr(int32_t handle, const String& key, const String& defaultText, String& text) override;
    KXRESULT SetIniValueStr(int32_t handle, const String& key, const String& text) override;
    KXRESULT GetKeyCount(int32_t handle, const String& key, int32_t& count) override;
    KXRESULT GetKeyNameAt(int32_t handle, const String& key, int32_t index, String& name) override;
    KXRESULT GetArrayCount(int32_t handle, const String& key, int32_t& count) override;
    KXRESULT SetArrayCount(int32_t handle, const String& key, int32_t count) override;
    KXRESULT GetArrayItemAt(int32_t handle, const String& key, int32_t index, String& text) override;
    KXRESULT SetArrayItemAt(int32_t handle, const String& key, int32_t index, const String& text) override;
    KXRESULT RemoveArrayItemAt(int32_t handle, const String& key, int32_t index) override;

private:
    std::unique_ptr<CIniFileManagerProxy> mProxy;
};

} // namespace KX
