// A control of the tests that owns menus ("Test.MenuOwner"): it answers the
// popups' item-state questions from a table the test fills (by default
// "NID_DISABLED" is disabled and "NID_CHECKED" checked), records every
// question, and records every notification handed to it.
#pragma once

#include "ControlBase/Control.h"
#include "ControlBase/EventParams.h"
#include "Controls/MenuDescriptor.h"
#include "Notification/Notification.h"
#include "Notification/NotificationID.h"

#include <map>
#include <string>
#include <vector>

namespace MenuTest {

class MenuOwnerControl : public KX::LControl
{
public:
    struct Received
    {
        std::wstring id;
        KX::RCPtr<KX::LRefCountedObject> data;
        bool direct = false; // handed over without a sender
    };

    MenuOwnerControl(const KX::RCPtr<KX::LControl>& parent, const String& name) : LControl(parent, name)
    {
        states[L"NID_DISABLED"] = KX::MenuItemState{false, false, String(L"Disabled")};
        states[L"NID_CHECKED"] = KX::MenuItemState{true, true, String(L"Checked")};
    }

    bool IsTransparentAt(const KX::PointT<long>&) override { return false; }

    KX::KXRESULT UpdateMenuItem(const KX::RCPtr<KX::LMenuDescriptor>&, int32_t, const wchar_t* notificationId,
                                KX::MenuItemState& state) override
    {
        const std::wstring id = notificationId ? notificationId : L"";
        asked.push_back(id);
        const auto found = states.find(id);
        if (found == states.end())
            return S_FALSE;
        state = found->second;
        return S_OK;
    }

    KX::KXRESULT ReceiveNotification(const KX::RCPtr<KX::LNotificationDistributor>& sender,
                                     const KX::RCPtr<KX::LNotification>& notification) override
    {
        if (notification) {
            Received entry;
            entry.id = KX::GetNotificationIDText(notification->GetID()).GetData();
            entry.data = notification->GetData();
            entry.direct = !sender;
            received.push_back(entry);
        }
        return LControl::ReceiveNotification(sender, notification);
    }

    // The identifiers received directly (as menus hand their items over).
    std::vector<std::wstring> DirectIds() const
    {
        std::vector<std::wstring> ids;
        for (const Received& entry : received) {
            if (entry.direct)
                ids.push_back(entry.id);
        }
        return ids;
    }

    std::map<std::wstring, KX::MenuItemState> states;
    std::vector<std::wstring> asked;
    std::vector<Received> received;

protected:
    ~MenuOwnerControl() override = default;
};

} // namespace MenuTest
