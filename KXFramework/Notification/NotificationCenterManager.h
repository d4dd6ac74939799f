// KX::LNotificationCenterManager: the named notification centres of the
// program, in order of creation.
//
// Contract:
// - One instance (sInstance), made by the first GetInstance and released by
//   the application object's destructor (assign null). Releasing it releases
//   the centres: each centre whose last outside reference goes drops its
//   queued notifications and asks its registered receivers to unregister.
// - The centre named "application" is where the update engine posts and the
//   application object and the clipboard listen; it is made before any other
//   thread looks centres up. Centres are looked up and made on the
//   user-interface thread only.
#pragma once

#include "Notification/NotificationCenter.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

namespace KX {

class LNotificationCenterManager : public virtual LRefCountedObject
{
public:
    static RCPtr<LNotificationCenterManager> sInstance;

    // The manager, made on the first call.
    static const RCPtr<LNotificationCenterManager>& GetInstance();
    static const RCPtr<LNotificationCenterManager>& CreateInstance();

    // The centre of the name, made and added when there is none; null for an
    // empty name.
    RCPtr<LNotificationCenter> GetCenter(const StringT<wchar_t, char>& name);
    // The centre of the name (compared case-sensitively), or null.
    RCPtr<LNotificationCenter> FindCenter(const StringT<wchar_t, char>& name) const;
    // The delivery pass of every centre, the last made first; answers whether
    // any centre has notifications left.
    bool ProcessNotifications(bool sendIdle);
    // The centre named "application".
    RCPtr<LNotificationCenter> GetApplicationCenter();

    int32_t GetCenterCount() const { return mCenters.GetCount(); }

protected:
    LNotificationCenterManager() = default;
    ~LNotificationCenterManager() override = default;

private:
    RCPtrArray<LNotificationCenter, 1, 0> mCenters;
};

} // namespace KX
