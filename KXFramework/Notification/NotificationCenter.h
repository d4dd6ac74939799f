// KX::LNotificationCenter: a named distributor with its own queue, which
// delivers its posted notifications through the centre itself.
//
// Contract:
// - Made by Create; the queue's distributor is the centre (a counted self
//   reference, counted as internal).
// - When its last outside reference goes, the release hook asks its registered
//   receivers to unregister, shuts the queue down (queued notifications are
//   dropped undelivered) and drops the self reference; the release that ran the
//   hook destroys the centre.
#pragma once

#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationQueue.h"
#include "Utilities/Storage/StringT.h"

namespace KX {

class LNotificationCenter : public LNotificationDistributor, public LNotificationQueue
{
public:
    static RCPtr<LNotificationCenter>& Create(RCPtr<LNotificationCenter>& center, const StringT<wchar_t, char>& name);

    KXRESULT ReleaseInternalReferences() override;

    const StringT<wchar_t, char>& GetName() const { return mName; }

protected:
    explicit LNotificationCenter(const StringT<wchar_t, char>& name) : mName(name) {}
    ~LNotificationCenter() override = default;

private:
    StringT<wchar_t, char> mName;
};

} // namespace KX
