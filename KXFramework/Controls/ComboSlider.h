// KX::LComboSlider ("Framework.ComboSlider"): a compact value field that shows
// its value as text and, when pressed, drops down a panel holding a slider.
// Its children: "dropDownPanel", a panel ("Framework.ComboSlider.DropDownPanel")
// whose child "slider" is the slider.
//
// Contract:
// - It is a drop-down control: a left press opens the panel, a left press on
//   the open field closes it, and the focus closes it when it arrives at the
//   field or leaves the field's subtree. The focus may move into the open
//   panel without closing it: a panel that opens under the focused field
//   takes the focus to the slider's thumb (the control base's rule for a
//   container that turns visible), so the arrow keys adjust at once, and
//   closing the panel hands it back to the field. The panel and the slider
//   must therefore be able to take the focus: a press in a panel that cannot
//   would hand the focus to the field, which closes the panel.
// - The field and the slider share one normalized value: a change of the
//   slider sets the field's value, and a value set on the field moves the
//   slider. Equal values do not notify, so the two settle after one
//   exchange, and the field's own listeners see each change once.
// - The field's text is its mapped value (its own value range) with no
//   decimals: "%0.0f". With the default range (0 to 0) it reads "0".
// - The panel opens at the skin's x position; a panel that would pass the
//   right edge of the window's top control moves left so that it ends at that
//   edge, but never starts left of the top control's left edge.
// - Looks: the drop-down field's (LDropDownControl::kFieldLook...): 0 normal,
//   1 focused (has or contains the focus), 2 hovered, 3 hovered and focused,
//   4 panel open, 5 panel open and hovered, 6 disabled.
// - Without "dropDownPanel" the field still shows and changes its value, but
//   ShowDropDown answers E_FAIL; without a "slider" in the panel the value is
//   not shared.
// - Notifications: the field's own table first, then the drop-down base's,
//   then the control base's; nothing is dispatched before creation.
// - User-interface thread only.
#pragma once

#include "Controls/DropDownControl.h"
#include "Notification/NotificationHandler.h"

namespace KX {

class LPanel;

class LComboSlider : public LDropDownControl
{
public:
    using ComboSliderHandler = LNotificationHandler<LComboSlider>;

    LComboSlider(const RCPtr<LControl>& parent, const String& name);

    // ==== Overridden slots ====

    // The slider takes the value first, then the field (the control base's
    // SetNormalizedValue), whose result is answered.
    double SetNormalizedValue(double value) override;
    // The slider follows the field's value, and the text shows it.
    void OnValueChange() override;
    // The drop-down base's handling of a press, then the look.
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
    // The drop-down base's; then the panel is hidden and the slider's value
    // changes are followed. E_FAIL when the base failed, else 0.
    KXRESULT Initialize() override;
    // The panel is visible with a width and a height above 0.
    bool IsDropDownShown() override;
    // Places the panel inside the top control (when opening), shows or hides
    // it and selects the look for the new state. 0, or E_FAIL without a panel.
    KXRESULT ShowDropDown(bool show) override;

    // ==== Notifications ====

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== Plain operations ====

    const RCPtr<LPanel>& GetDropDownPanel() const { return mDropDownPanel; }
    // The panel's child "slider", or null (looked up on every call).
    RCPtr<LControl> GetSlider() const;

protected:
    ~LComboSlider() override;

private:
    // "NID_VALUE_CHANGE" of the slider: the field takes the slider's value
    // through the control base. 1, so other listeners of the slider see it.
    KXRESULT OnSliderValueChange(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification);
    // The x position, in the field's coordinates, where the panel opens: the
    // skin's value, kept inside the top control.
    double FitPanelX();
    // The panel's x position as the skin gives it.
    double SkinPanelX() const;

    RCPtr<ComboSliderHandler> mComboSliderHandler;
    RCPtr<LPanel> mDropDownPanel;
};

} // namespace KX
