// KX::LNotificationClient: a receiver that keeps track of its registrations.
//
// Contract:
// - Register and Unregister go through the distributor's RegisterClient and
//   UnregisterClient; the client counts its registrations and lists each
//   distributor it is registered with once (a plain pointer: every registration
//   makes the distributor hold a reference on itself).
// - Each registration holds a counted reference on the client, counted as an
//   internal reference. When the last outside reference goes, the release hook
//   (ReleaseInternalReferences) unregisters the client everywhere, which breaks
//   the cycle, and the release that ran the hook destroys it.
// - No lock: registrations change only on the thread that sends through the
//   distributor, or while nothing else can send or post through it.
#pragma once

#include "Notification/NotificationReceiver.h"
#include "Utilities/Storage/Array.h"

#include <cstdint>

namespace KX {

class LNotificationClient : public LNotificationReceiver
{
public:
    // Registers this client with the distributor for the name (text or
    // identifier) with the flags (1: latest only). Answers the identifier, or
    // null when the distributor is null or the name null or empty.
    const wchar_t* Register(const RCPtr<LNotificationDistributor>& distributor, const wchar_t* name,
                            uint32_t flags = 0);
    // 0 when a registration was removed; 1 when this client holds no
    // registrations at all or none for that pair; E_INVALIDARG for a null
    // distributor or identifier.
    KXRESULT Unregister(const RCPtr<LNotificationDistributor>& distributor, const wchar_t* name);
    // Removes every registration; answers how many there were.
    int32_t UnregisterAll();

    // Base: does nothing. Handling classes override it.
    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    // Unregister.
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;
    // UnregisterAll, then the base answer.
    KXRESULT ReleaseInternalReferences() override;

    int32_t GetRegistrationCount() const { return mRegistrationCount; }
    // The distributors this client holds registrations with, each once.
    int32_t GetDistributorCount() const { return mDistributors.GetCount(); }

protected:
    LNotificationClient() = default;
    ~LNotificationClient() override = default;

private:
    int32_t FindDistributor(const LNotificationDistributor* distributor) const;

    int32_t mRegistrationCount = 0;
    Array<LNotificationDistributor*> mDistributors;
};

} // namespace KX
