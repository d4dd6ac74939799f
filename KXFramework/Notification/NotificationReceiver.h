// KX::LNotificationReceiver: what a distributor delivers to.
//
// Contract:
// - ReceiveNotification handles one notification on the sending thread; the
//   sender is null when the notification is handed over directly, outside any
//   distributor. Its result is ignored by the distribution.
// - UnregisterNotification drops this receiver's registration for the
//   identifier with the sender; a distributor that is going away asks its
//   receivers this way (LNotificationDistributor::UnregisterAllClients).
#pragma once

#include "ObjectBase/RefCountedObject.h"

namespace KX {

class LNotification;
class LNotificationDistributor;

class LNotificationReceiver : public virtual LRefCountedObject
{
public:
    virtual KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                         const RCPtr<LNotification>& notification) = 0;
    virtual KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                            const wchar_t* identifier) = 0;

protected:
    ~LNotificationReceiver() override = default;
};

} // namespace KX
