#include "System/GlobalHotKeyManager.h"

#include "Notification/Notification.h"
#include "Notification/NotificationDistributor.h"

namespace KX {

RCPtr<LGlobalHotKeyManager> LGlobalHotKeyManager::Create(const RCPtr<LNotificationReceiver>& receiver)
{
    return RCPtr<LGlobalHotKeyManager>(new LGlobalHotKeyManager(receiver));
}

KXRESULT LGlobalHotKeyManager::ProcessKey(const KeyCode& key)
{
    const StringT<wchar_t, char> name = mBindings.FindNotificationID(key);
    if (name.IsEmpty())
        return S_FALSE;
    RCPtr<LNotification> notification;
    LNotification::Create(notification, name.GetData());
    if (notification && mReceiver)
        mReceiver->ReceiveNotification(RCPtr<LNotificationDistributor>::sNull, notification);
    return S_OK;
}

} // namespace KX
