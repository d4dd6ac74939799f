#include "Notification/NotificationDistributor.h"

#include "Notification/NotificationID.h"

namespace KX {

namespace {

// Every distributor that holds registrations, in order of first registration.
// Each entry is an internal reference of its distributor.
struct ActiveDistributors
{
    RCPtrArray<LNotificationDistributor, 1, 0> list;

    // Entries are taken out one by one, so that whatever a release does still
    // finds a valid (shorter) list.
    ~ActiveDistributors()
    {
        RCPtr<LNotificationDistributor> entry;
        while (list.GetCount() > 0) {
            list.RemoveLastItem(entry);
            entry = nullptr;
        }
    }
};

RCPtrArray<LNotificationDistributor, 1, 0>& ActiveList()
{
    static ActiveDistributors sActiveDistributors;
    return sActiveDistributors.list;
}

} // namespace

// ---------------------------------------------------------------------------
// Registrations and pools

RCPtr<LNotificationDistributor::LNotificationRegisteredClientInfo>
LNotificationDistributor::LNotificationRegisteredClientInfo::Create(const RCPtr<LNotificationReceiver>& receiver,
                                                                    uint32_t flags)
{
    RCPtr<LNotificationRegisteredClientInfo> info(new LNotificationRegisteredClientInfo);
    info->mReceiver = receiver;
    info->mFlags = flags;
    return info;
}

RCPtr<LNotificationDistributor::LNotificationClientPool>
LNotificationDistributor::LNotificationClientPool::Create(const wchar_t* identifier)
{
    return RCPtr<LNotificationClientPool>(new LNotificationClientPool(identifier));
}

KXRESULT LNotificationDistributor::LNotificationClientPool::AddClient(const RCPtr<LNotificationReceiver>& receiver,
                                                                      uint32_t flags)
{
    if (!receiver)
        return E_INVALIDARG;
    const int32_t position = FindClient(receiver);
    if (position >= 0) {
        const RCPtr<LNotificationRegisteredClientInfo>& info = mRegistrations.GetAt(position);
        if (info->mFlags != flags) {
            info->mFlags = flags;
            uint32_t flagUnion = 0;
            for (int32_t i = 0; i < mRegistrations.GetCount(); ++i)
                flagUnion |= mRegistrations.GetAt(i)->mFlags;
            mFlagUnion = flagUnion;
        }
        return S_OK;
    }
    mRegistrations.AddItem(LNotificationRegisteredClientInfo::Create(receiver, flags));
    mFlagUnion |= flags;
    return S_OK;
}

KXRESULT LNotificationDistributor::LNotificationClientPool::RemoveClient(const RCPtr<LNotificationReceiver>& receiver)
{
    const int32_t position = FindClient(receiver);
    if (position < 0)
        return S_FALSE;
    {
        // The registration's references go when `removed` does.
        RCPtr<LNotificationRegisteredClientInfo> removed;
        mRegistrations.RemoveItem(position, removed);
        if (position < mDeliveryIndex)
            --mDeliveryIndex;
    }
    return S_OK;
}

int32_t LNotificationDistributor::LNotificationClientPool::FindClient(const RCPtr<LNotificationReceiver>& receiver) const
{
    if (!receiver)
        return -1;
    for (int32_t i = mRegistrations.GetCount() - 1; i >= 0; --i) {
        if (mRegistrations.GetAt(i)->mReceiver.Get() == receiver.Get())
            return i;
    }
    return -1;
}

bool LNotificationDistributor::LNotificationClientPool::DeliverAt(const RCPtr<LNotificationDistributor>& sender,
                                                                  int32_t i, const RCPtr<LNotification>& notification)
{
    const RCPtr<LNotificationRegisteredClientInfo>& info = mRegistrations.GetAt(i);
    // Held for the call: the receiver may unregister itself.
    RCPtr<LNotificationReceiver> receiver = info->mReceiver;
    if (info->mFlags & LatestOnly) {
        if (info->mLatest != notification)
            return false;
        info->mLatest = nullptr;
    }
    mDeliveryIndex = i;
    receiver->ReceiveNotification(sender, notification);
    return true;
}

KXRESULT LNotificationDistributor::LNotificationClientPool::SendNotification(
    const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification)
{
    if (mRegistrations.GetCount() == 0)
        return S_FALSE;
    int32_t i = mRegistrations.GetCount() - 1;
    while (i >= 0) {
        if (DeliverAt(sender, i, notification))
            i = mDeliveryIndex - 1;
        else
            --i;
        // Registrations removed during the call may leave fewer than i + 1.
        if (i >= mRegistrations.GetCount())
            i = mRegistrations.GetCount() - 1;
    }
    return S_OK;
}

int32_t LNotificationDistributor::LNotificationClientPool::SendNotificationTo(
    const RCPtr<LNotificationDistributor>& sender, int32_t position, const RCPtr<LNotification>& notification)
{
    if (position < 0 || position >= mRegistrations.GetCount())
        return E_INVALIDARG;
    DeliverAt(sender, position, notification);
    return mDeliveryIndex;
}

// ---------------------------------------------------------------------------
// The distributor

LNotificationDistributor::LNotificationClientPool* LNotificationDistributor::FindPoolByID(const wchar_t* identifier) const
{
    if (!identifier)
        return nullptr;
    for (int32_t i = mClientPools.GetCount() - 1; i >= 0; --i) {
        LNotificationClientPool* pool = mClientPools.GetAt(i).Get();
        if (pool->GetID() == identifier)
            return pool;
    }
    return nullptr;
}

RCPtr<LNotificationDistributor::LNotificationClientPool> LNotificationDistributor::FindClientPool(const wchar_t* name) const
{
    return RCPtr<LNotificationClientPool>(FindPoolByID(InternNotificationID(name)));
}

KXRESULT LNotificationDistributor::SendNotification(const RCPtr<LNotification>& notification)
{
    if (!notification)
        return E_INVALIDARG;
    // The pool stays for the whole pass, whatever the receivers unregister.
    RCPtr<LNotificationClientPool> pool(FindPoolByID(notification->GetID()));
    if (!pool)
        return S_FALSE;
    return pool->SendNotification(RCPtr<LNotificationDistributor>(this), notification);
}

KXRESULT LNotificationDistributor::RegisterClient(const RCPtr<LNotificationReceiver>& receiver, const wchar_t* name,
                                                  uint32_t flags)
{
    if (!receiver)
        return E_INVALIDARG;
    const wchar_t* identifier = InternNotificationID(name);
    if (!identifier)
        return S_FALSE;

    LNotificationClientPool* pool = FindPoolByID(identifier);
    const bool alreadyRegistered = pool && pool->FindClient(receiver) >= 0;
    if (!alreadyRegistered) {
        // The registration's reference on this distributor.
        AddRef();
        AdjustInternalReferenceCount(1);
        if (++mRegistrationCount == 1) {
            ActiveList().AddItem(RCPtr<LNotificationDistributor>(this));
            AdjustInternalReferenceCount(1);
        }
    }
    if (!pool) {
        RCPtr<LNotificationClientPool> created = LNotificationClientPool::Create(identifier);
        mClientPools.AddItem(created);
        pool = created.Get();
    }
    pool->AddClient(receiver, flags);
    return alreadyRegistered ? S_FALSE : S_OK;
}

void LNotificationDistributor::RegistrationRemoved()
{
    if (--mRegistrationCount == 0) {
        RCPtrArray<LNotificationDistributor, 1, 0>& active = ActiveList();
        for (int32_t i = active.GetCount() - 1; i >= 0; --i) {
            if (active.GetAt(i).Get() == this) {
                AdjustInternalReferenceCount(-1);
                RCPtr<LNotificationDistributor> removed;
                active.RemoveItem(i, removed);
                break;
            }
        }
    }
    AdjustInternalReferenceCount(-1);
    Release(); // may destroy this distributor
}

KXRESULT LNotificationDistributor::UnregisterClient(const RCPtr<LNotificationReceiver>& receiver, const wchar_t* name)
{
    if (!receiver)
        return E_INVALIDARG;
    const wchar_t* identifier = InternNotificationID(name);
    if (!identifier)
        return E_INVALIDARG;
    LNotificationClientPool* pool = FindPoolByID(identifier);
    if (!pool || pool->RemoveClient(receiver) != S_OK)
        return S_FALSE;
    RegistrationRemoved();
    return S_OK;
}

int32_t LNotificationDistributor::UnregisterClientFromAll(const RCPtr<LNotificationReceiver>& receiver)
{
    if (!receiver)
        return E_INVALIDARG;
    // Held for the loop: the last removal may release this distributor's last
    // reference, and the loop still walks the pools after it.
    RCPtr<LNotificationDistributor> self(this);
    int32_t removed = 0;
    for (int32_t i = mClientPools.GetCount() - 1; i >= 0; --i) {
        if (mClientPools.GetAt(i)->RemoveClient(receiver) == S_OK) {
            ++removed;
            RegistrationRemoved();
        }
    }
    return removed;
}

KXRESULT LNotificationDistributor::UnregisterAllClients()
{
    RCPtr<LNotificationDistributor> self(this);
    for (int32_t p = mClientPools.GetCount() - 1; p >= 0; --p) {
        RCPtr<LNotificationClientPool> pool = mClientPools.GetAt(p);
        for (int32_t r = pool->GetCount() - 1; r >= 0; --r) {
            // A receiver may take others with it; go on below what is left.
            if (r >= pool->GetCount()) {
                r = pool->GetCount();
                continue;
            }
            RCPtr<LNotificationReceiver> receiver = pool->GetRegistration(r)->mReceiver;
            receiver->UnregisterNotification(self, pool->GetID());
        }
    }
    return S_OK;
}

bool LNotificationDistributor::IsClientRegistered(const RCPtr<LNotificationReceiver>& receiver) const
{
    for (int32_t i = mClientPools.GetCount() - 1; i >= 0; --i) {
        if (mClientPools.GetAt(i)->FindClient(receiver) >= 0)
            return true;
    }
    return false;
}

KXRESULT LNotificationDistributor::GetClientFlags(const RCPtr<LNotificationReceiver>& receiver, const wchar_t* name,
                                                  uint32_t& flags) const
{
    LNotificationClientPool* pool = FindPoolByID(InternNotificationID(name));
    if (!pool)
        return E_FAIL;
    const int32_t position = pool->FindClient(receiver);
    if (position < 0)
        return E_FAIL;
    flags = pool->GetRegistration(position)->mFlags;
    return S_OK;
}

bool LNotificationDistributor::IsActive() const
{
    const RCPtrArray<LNotificationDistributor, 1, 0>& active = ActiveList();
    for (int32_t i = active.GetCount() - 1; i >= 0; --i) {
        if (active.GetAt(i).Get() == this)
            return true;
    }
    return false;
}

int32_t LNotificationDistributor::GetActiveDistributorCount()
{
    return ActiveList().GetCount();
}

} // namespace KX
