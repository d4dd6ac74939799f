#include "System/IniFileManager.h"

#include "System/IniFileManagerProxy.h"

#include <new>

namespace KX {

LIniFileManager::LIniFileManager() : mProxy(new CIniFileManagerProxy()) {}

LIniFileManager::~LIniFileManager() = default;

KXRESULT LIniFileManager::Create(RCPtr<LIniFileManager>& manager)
{
    manager = new (std::nothrow) LIniFileManager();
    return manager.IsNull() ? E_OUTOFMEMORY : S_OK;
}

KXRESULT LIniFileManager::Init(const String& folder)
{
    return mProxy->Init(folder);
}

KXRESULT LIniFileManager::Uninit()
{
    return mProxy->Uninit();
}

KXRESULT LIniFileManager::OpenIniFile(const String& path, const String& settingsVersion, const String& productName,
                                      int32_t& handle)
{
    return mProxy->OpenIniFile(path, settingsVersion, productName, handle);
}

KXRESULT LIniFileManager::WriteIniFile(int32_t handle)
{
    return mProxy->WriteIniFile(handle);
}

bool LIniFileManager::DoesNodeExist(int32_t handle, const String& key)
{
    return mProxy->DoesNodeExist(handle, key);
}

KXRESULT LIniFileManager::CloseIniFile(int32_t handle, int32_t value)
{
    return mProxy->CloseIniFile(handle, value);
}

KXRESULT LIniFileManager::GetIniValueInt(int32_t handle, const String& key, int32_t defaultValue, int32_t& value)
{
    return mProxy->GetIniValueInt(handle, key, defaultValue, value);
}

KXRESULT LIniFileManager::SetIniValueInt(int32_t handle, const String& key, int32_t value)
{
    return mProxy->SetIniValueInt(handle, key, value);
}

KXRESULT LIniFileManager::GetIniValueStr(int32_t handle, const String& key, const String& defaultText, String& text)
{
    return mProxy->GetIniValueStr(handle, key, defaultText, text);
}

KXRESULT LIniFileManager::SetIniValueStr(int32_t handle, const String& key, const String& text)
{
    return mProxy->SetIniValueStr(handle, key, text);
}

KXRESULT LIniFileManager::GetKeyCount(int32_t handle, const String& key, int32_t& count)
{
    return mProxy->GetKeyCount(handle, key, count);
}

KXRESULT LIniFileManager::GetKeyNameAt(int32_t handle, const String& key, int32_t index, String& name)
{
    return mProxy->GetKeyNameAt(handle, key, index, name);
}

KXRESULT LIniFileManager::GetArrayCount(int32_t handle, const String& key, int32_t& count)
{
    return mProxy->GetArrayCount(handle, key, count);
}

KXRESULT LIniFileManager::SetArrayCount(int32_t handle, const String& key, int32_t count)
{
    return mProxy->SetArrayCount(handle, key, count);
}

KXRESULT LIniFileManager::GetArrayItemAt(int32_t handle, const String& key, int32_t index, String& text)
{
    return mProxy->GetArrayItemAt(handle, key, index, text);
}

KXRESULT LIniFileManager::SetArrayItemAt(int32_t handle, const String& key, int32_t index, const String& text)
{
    return mProxy->SetArrayItemAt(handle, key, index, text);
}

KXRESULT LIniFileManager::RemoveArrayItemAt(int32_t handle, const String& key, int32_t index)
{
    return mProxy->RemoveArrayItemAt(handle, key, index);
}

} // namespace KX
