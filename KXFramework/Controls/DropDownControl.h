// KX::LDropDownControl: the abstract base of every control that owns a
// drop-down part (the menu-bar title, the combo boxes, the combo slider). It
// fixes one rule for all of them; what the part is and where it shows is the
// subclass's (IsDropDownShown, ShowDropDown).
//
// Contract:
// - A left press on the control opens the part; a left press while the part
//   is open closes it and does not open it again.
// - The part closes whenever the control takes the focus (SetFocus, also by
//   code) or loses it (FocusLost).
// - A right or middle press never opens the part; on an open part it closes it
//   through the focus, like any press, and the next left press opens it again.
// - How a left press is told apart: the press's focus request runs first
//   (SetFocus notes whether it found the part open), then the control's own
//   "NID_MOUSE_DOWN", then the capture sets the left-pressed condition, whose
//   change opens the part unless that press closed it.
// - Notifications: the class's own table first, then the control base's;
//   nothing is dispatched before the control is created.
// - User-interface thread only.
#pragma once

#include "ControlBase/Control.h"
#include "Notification/NotificationHandler.h"

namespace KX {

class LDropDownControl : public LControl
{
public:
    using DropDownHandler = LNotificationHandler<LDropDownControl>;

    // The seven looks of a drop-down field (the combo boxes and the combo
    // slider; the menu-bar title has looks of its own): focused means having
    // or containing the focus, open means the part is shown.
    static constexpr int32_t kFieldLookNormal = 0;
    static constexpr int32_t kFieldLookFocused = 1;
    static constexpr int32_t kFieldLookHovered = 2;
    static constexpr int32_t kFieldLookHoveredFocused = 3;
    static constexpr int32_t kFieldLookOpen = 4;
    static constexpr int32_t kFieldLookOpenHovered = 5;
    static constexpr int32_t kFieldLookDisabled = 6;

    // ==== Overridden slots ====

    // The base's focus change, whose result is returned; then an open part
    // closes, and whether it was open is noted for the press that follows.
    KXRESULT SetFocus(bool first) override;
    // A left press (left-pressed bit newly set) opens the part unless the same
    // press closed it. The base's hook is empty and not called.
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
    // The base's, then the binding of the control's own "NID_MOUSE_DOWN";
    // answers the base's result.
    KXRESULT Initialize() override;
    // Closes the part, then the base's handling of the focus loss.
    KXRESULT FocusLost() override;

    // ==== Appended slots ====

    // Whether the drop-down part is open.
    virtual bool IsDropDownShown() = 0;
    // Opens (true) or closes (false) the drop-down part.
    virtual KXRESULT ShowDropDown(bool show) = 0;

    // ==== Notifications ====

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    bool WasOpenAtFocus() const { return mWasOpenAtFocus; }
    bool IsPressClosing() const { return mPressClosed; }

protected:
    LDropDownControl(const RCPtr<LControl>& parent, const String& name);
    ~LDropDownControl() override;

    // The field look of the enabled, open, hover and focus state: disabled
    // wins, then open (hovered or not), then hovered and focused as they are.
    int32_t FieldStateLook();

private:
    // The control's own "NID_MOUSE_DOWN": a left press that found the part
    // open at its focus request is the press that closed it. 0.
    KXRESULT OnOwnMouseDown(const RCPtr<LNotificationDistributor>& sender,
                            const RCPtr<LNotification>& notification);

    RCPtr<DropDownHandler> mDropDownHandler;
    bool mWasOpenAtFocus = false;
    bool mPressClosed = false;
};

} // namespace KX
