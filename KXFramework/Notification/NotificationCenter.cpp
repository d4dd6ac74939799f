#include "Notification/NotificationCenter.h"

namespace KX {

RCPtr<LNotificationCenter>& LNotificationCenter::Create(RCPtr<LNotificationCenter>& center,
                                                        const StringT<wchar_t, char>& name)
{
    center = new LNotificationCenter(name);
    if (!center->GetDistributor() && !center->IsShutDown()) {
        center->SetDistributor(RCPtr<LNotificationDistributor>(center.Get()));
        center->AdjustInternalReferenceCount(1);
    }
    return center;
}

KXRESULT LNotificationCenter::ReleaseInternalReferences()
{
    UnregisterAllClients();
    const bool hadDistributor = static_cast<bool>(GetDistributor());
    Shutdown();
    if (hadDistributor)
        AdjustInternalReferenceCount(-1);
    return LRefCountedObject::ReleaseInternalReferences();
}

} // namespace KX
