// KX::LNotificationDistributor: sends notifications synchronously to the
// receivers registered with it for their identifiers.
//
// Contract:
// - One client pool per identifier that anybody ever registered for, in order
//   of first registration; a pool stays until the distributor goes, even empty.
// - A send runs on the sending thread and calls every registered receiver
//   before it returns, the most recently registered first. Registrations may
//   change during the pass (see LNotificationClientPool::SendNotification).
// - Reference accounting: a registration holds a reference on its receiver and
//   makes the distributor hold one on itself, counted as internal; while it has
//   registrations the distributor is also in the active distributor list (one
//   more internal reference). An object that only registrations keep alive thus
//   runs its release hook when its last outside reference goes.
// - No lock (see NotificationClient.h). Posting from another thread only reads
//   the pools and writes latest-only registrations (LNotificationQueue).
#pragma once

#include "Notification/Notification.h"
#include "Notification/NotificationReceiver.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <cstdint>

namespace KX {

class LNotificationDistributor : public virtual LRefCountedObject
{
public:
    // Registration flag: the receiver wants only the latest notification posted
    // for it into a queue; notifications sent directly never reach it.
    static constexpr uint32_t LatestOnly = 1;

    // One registration: the receiver, its flags and, for a latest-only one, the
    // notification most recently posted for it and not yet delivered.
    class LNotificationRegisteredClientInfo : public LRefCountedObject
    {
    public:
        static RCPtr<LNotificationRegisteredClientInfo> Create(const RCPtr<LNotificationReceiver>& receiver,
                                                               uint32_t flags);

        RCPtr<LNotificationReceiver> mReceiver;
        RCPtr<LNotification> mLatest;
        uint32_t mFlags = 0;

    protected:
        ~LNotificationRegisteredClientInfo() override = default;
    };

    // The registrations for one identifier, in order of registration.
    class LNotificationClientPool : public LRefCountedObject
    {
    public:
        static RCPtr<LNotificationClientPool> Create(const wchar_t* identifier);

        // Adds the receiver, or replaces its flags when it is there already.
        // 0, or E_INVALIDARG for a null receiver.
        KXRESULT AddClient(const RCPtr<LNotificationReceiver>& receiver, uint32_t flags);
        // 0 when removed, 1 when absent.
        KXRESULT RemoveClient(const RCPtr<LNotificationReceiver>& receiver);
        // The receiver's position, searched from the last to the first; -1.
        int32_t FindClient(const RCPtr<LNotificationReceiver>& receiver) const;
        // The delivery pass: the registrations from the last to the first. 1 when
        // the pool has no registrations, else 0.
        KXRESULT SendNotification(const RCPtr<LNotificationDistributor>& sender,
                                  const RCPtr<LNotification>& notification);
        // One step of the pass, for the registration at the position. Answers the
        // delivery index after the call (E_INVALIDARG for a position outside).
        int32_t SendNotificationTo(const RCPtr<LNotificationDistributor>& sender, int32_t position,
                                   const RCPtr<LNotification>& notification);

        const wchar_t* GetID() const { return mIdentifier; }
        // The OR of the flags of every registration made; removals leave it.
        uint32_t GetFlagUnion() const { return mFlagUnion; }
        int32_t GetCount() const { return mRegistrations.GetCount(); }
        const RCPtr<LNotificationRegisteredClientInfo>& GetRegistration(int32_t position) const
        {
            return mRegistrations.GetAt(position);
        }
        int32_t GetDeliveryIndex() const { return mDeliveryIndex; }

    protected:
        explicit LNotificationClientPool(const wchar_t* identifier) : mIdentifier(identifier) {}
        ~LNotificationClientPool() override = default;

    private:
        // Delivers to the registration at position i; false when a latest-only
        // registration skipped the notification.
        bool DeliverAt(const RCPtr<LNotificationDistributor>& sender, int32_t i,
                       const RCPtr<LNotification>& notification);

        uint32_t mFlagUnion = 0;
        const wchar_t* mIdentifier;
        RCPtrArray<LNotificationRegisteredClientInfo, 1, 0> mRegistrations;
        // The registration being delivered to, or last delivered to. Removals
        // below it move it down, so that a pass neither skips nor repeats.
        int32_t mDeliveryIndex = 0;
    };

    // 0 when the identifier's pool has registrations (even when all of them
    // skipped the notification); 1 without pool or registrations; E_INVALIDARG
    // for a null notification.
    KXRESULT SendNotification(const RCPtr<LNotification>& notification);

    // 0 for a new registration; 1 when the receiver was registered already (its
    // flags are replaced) or the name is null or empty; E_INVALIDARG for a null
    // receiver.
    KXRESULT RegisterClient(const RCPtr<LNotificationReceiver>& receiver, const wchar_t* name, uint32_t flags);
    // 0 when removed; 1 when not registered; E_INVALIDARG for a null receiver or
    // a null or empty name. May destroy this distributor when nothing else
    // holds it.
    KXRESULT UnregisterClient(const RCPtr<LNotificationReceiver>& receiver, const wchar_t* name);
    // Removes the receiver's registrations for every identifier; answers their
    // number (E_INVALIDARG for a null receiver).
    int32_t UnregisterClientFromAll(const RCPtr<LNotificationReceiver>& receiver);
    // Asks every registered receiver to unregister itself (receivers that
    // refuse stay registered). Answers 0.
    KXRESULT UnregisterAllClients();

    // The pool of an identifier (the name is interned first), or null.
    RCPtr<LNotificationClientPool> FindClientPool(const wchar_t* name) const;
    // True when the receiver has a registration in any pool.
    bool IsClientRegistered(const RCPtr<LNotificationReceiver>& receiver) const;
    // 0 with the registration's flags; E_FAIL for a null or empty name, a
    // missing pool or no registration.
    KXRESULT GetClientFlags(const RCPtr<LNotificationReceiver>& receiver, const wchar_t* name,
                            uint32_t& flags) const;

    // The registrations in all its pools together.
    int32_t GetClientCount() const { return mRegistrationCount; }
    // True while the distributor is in the active distributor list.
    bool IsActive() const;
    // How many distributors have registrations now.
    static int32_t GetActiveDistributorCount();

protected:
    LNotificationDistributor() = default;
    ~LNotificationDistributor() override = default;

private:
    friend class LNotificationQueue;

    // The pool of an interned identifier, compared by address; null pointer
    // when none. Sends and posts use it: no interning, no lock.
    LNotificationClientPool* FindPoolByID(const wchar_t* identifier) const;
    // The bookkeeping of one removed registration; may destroy this object.
    void RegistrationRemoved();

    RCPtrArray<LNotificationClientPool, 1, 0> mClientPools;
    int32_t mRegistrationCount = 0;
};

} // namespace KX
