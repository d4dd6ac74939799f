// KX::LGlobalHotKeyManager: turns a bound key into a notification handed to a
// receiver. The application gives it the posting receiver of the
// "application" centre's queue and each root window the posting receiver of
// its own queue, so a bound key's notification is delivered in the next idle
// pass.
//
// User-interface thread only.
#pragma once

#include "Notification/NotificationReceiver.h"
#include "ObjectBase/RefCountedObject.h"
#include "System/KeyBindingMap.h"

namespace KX {

class LGlobalHotKeyManager : public virtual LRefCountedObject
{
public:
    // A manager with an empty map that hands bound notifications to the receiver.
    static RCPtr<LGlobalHotKeyManager> Create(const RCPtr<LNotificationReceiver>& receiver);

    KeyBindingMap& GetBindingMap() { return mBindings; }
    const KeyBindingMap& GetBindingMap() const { return mBindings; }

    // Where bound notifications go (a context menu's items reach it too).
    const RCPtr<LNotificationReceiver>& GetReceiver() const { return mReceiver; }

    // 0 when the key is bound and its notification (no data) was handed to
    // the receiver; 1 when the key is not bound (nothing is created).
    KXRESULT ProcessKey(const KeyCode& key);

protected:
    explicit LGlobalHotKeyManager(const RCPtr<LNotificationReceiver>& receiver) : mReceiver(receiver) {}
    ~LGlobalHotKeyManager() override = default;

private:
    KeyBindingMap mBindings;
    RCPtr<LNotificationReceiver> mReceiver;
};

} // namespace KX
