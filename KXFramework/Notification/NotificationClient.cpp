#include "Notification/NotificationClient.h"

#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationID.h"

namespace KX {

int32_t LNotificationClient::FindDistributor(const LNotificationDistributor* distributor) const
{
    for (int32_t i = mDistributors.GetCount() - 1; i >= 0; --i) {
        if (mDistributors.GetAt(i) == distributor)
            return i;
    }
    return -1;
}

const wchar_t* LNotificationClient::Register(const RCPtr<LNotificationDistributor>& distributor, const wchar_t* name,
                                             uint32_t flags)
{
    if (!distributor)
        return nullptr;
    const wchar_t* identifier = InternNotificationID(name);
    if (!identifier)
        return nullptr;

    const KXRESULT result = distributor->RegisterClient(RCPtr<LNotificationReceiver>(this), identifier, flags);
    if (result == S_OK) {
        AdjustInternalReferenceCount(1);
        ++mRegistrationCount;
    }
    if ((result == S_OK || result == S_FALSE) && FindDistributor(distributor.Get()) < 0)
        mDistributors.AddItem(distributor.Get());
    return identifier;
}

KXRESULT LNotificationClient::Unregister(const RCPtr<LNotificationDistributor>& distributor, const wchar_t* name)
{
    if (mRegistrationCount == 0)
        return S_FALSE;
    if (!distributor || !name)
        return E_INVALIDARG;

    RCPtr<LNotificationReceiver> self(this);
    const KXRESULT result = distributor->UnregisterClient(self, name);
    if (result == S_OK) {
        AdjustInternalReferenceCount(-1);
        --mRegistrationCount;
        if (!distributor->IsClientRegistered(self)) {
            const int32_t index = FindDistributor(distributor.Get());
            if (index >= 0)
                mDistributors.RemoveItems(index, 1);
        }
    }
    return result;
}

int32_t LNotificationClient::UnregisterAll()
{
    if (mRegistrationCount < 1)
        return 0;
    AdjustInternalReferenceCount(-mRegistrationCount);
    RCPtr<LNotificationReceiver> self(this);
    int32_t removed = 0;
    for (int32_t i = mDistributors.GetCount() - 1; i >= 0; --i) {
        // The distributor may go with its last registration: only its address
        // is used afterwards.
        LNotificationDistributor* distributor = mDistributors.GetAt(i);
        const int32_t count = distributor->UnregisterClientFromAll(self);
        if (count > 0)
            removed += count;
        if (i < mDistributors.GetCount())
            mDistributors.RemoveItems(i, 1);
    }
    mRegistrationCount = 0;
    return removed;
}

KXRESULT LNotificationClient::ReceiveNotification(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    return S_OK;
}

KXRESULT LNotificationClient::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                                     const wchar_t* identifier)
{
    return Unregister(sender, identifier);
}

KXRESULT LNotificationClient::ReleaseInternalReferences()
{
    UnregisterAll();
    return LRefCountedObject::ReleaseInternalReferences();
}

} // namespace KX
