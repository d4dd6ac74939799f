#include "Notification/NotificationCenterManager.h"

namespace KX {

RCPtr<LNotificationCenterManager> LNotificationCenterManager::sInstance;

const RCPtr<LNotificationCenterManager>& LNotificationCenterManager::GetInstance()
{
    if (!sInstance)
        return CreateInstance();
    return sInstance;
}

const RCPtr<LNotificationCenterManager>& LNotificationCenterManager::CreateInstance()
{
    sInstance = new LNotificationCenterManager;
    return sInstance;
}

RCPtr<LNotificationCenter> LNotificationCenterManager::FindCenter(const StringT<wchar_t, char>& name) const
{
    for (int32_t i = 0; i < mCenters.GetCount(); ++i) {
        const RCPtr<LNotificationCenter>& center = mCenters.GetAt(i);
        if (center->GetName() == name)
            return center;
    }
    return RCPtr<LNotificationCenter>();
}

RCPtr<LNotificationCenter> LNotificationCenterManager::GetCenter(const StringT<wchar_t, char>& name)
{
    if (name.IsEmpty())
        return RCPtr<LNotificationCenter>();
    RCPtr<LNotificationCenter> center = FindCenter(name);
    if (!center) {
        LNotificationCenter::Create(center, name);
        mCenters.AddItem(center);
    }
    return center;
}

bool LNotificationCenterManager::ProcessNotifications(bool sendIdle)
{
    // Held for the passes: a handler may release the program's manager.
    const RCPtr<LNotificationCenterManager> self(this);
    bool left = false;
    for (int32_t i = mCenters.GetCount() - 1; i >= 0; --i) {
        if (i >= mCenters.GetCount())
            continue;
        // Held for the pass: a handler may let the centre go.
        const RCPtr<LNotificationCenter> center = mCenters.GetAt(i);
        if (center->ProcessNotifications(sendIdle))
            left = true;
    }
    return left;
}

RCPtr<LNotificationCenter> LNotificationCenterManager::GetApplicationCenter()
{
    static const StringT<wchar_t, char> sApplicationCenterName(L"application");
    return GetCenter(sApplicationCenterName);
}

} // namespace KX
