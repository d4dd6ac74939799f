// KX::LComboMenu: one title of a menu bar ("Framework.ComboMenu"): a small
// control that shows the menu's name and drops its popup menu, the child
// "popupMenu", below itself.
//
// Contract:
// - It is a drop-down control: a left press opens the popup, a left press on
//   the open title closes it, and the title's focus loss closes it.
// - Looks: 0 normal, 1 hot (the pointer is over the title), 2 open (its popup
//   is shown), 3 disabled.
// - The popup never hides or closes itself (its automatic closing is off):
//   the title hides it, after an item was chosen or when the title closes.
// - The popup opens at the skin's offset from the title unless it would pass
//   the right edge of the window's root control; then it ends at that edge,
//   but never starts left of the root control.
// - The press that opens the menu goes on as a drag in the popup: releasing
//   over an item chooses it.
// - While one title's popup is open, pointing at another title of the same
//   bar moves the open menu to that title.
// - A title without its "popupMenu" child shows its looks but opens nothing.
// - Notifications: the title's own table first, then the drop-down base's.
// - User-interface thread only.
#pragma once

#include "Controls/DropDownControl.h"
#include "Notification/NotificationHandler.h"

namespace KX {

class LMenuDescriptor;
class LPopupMenu;

class LComboMenu : public LDropDownControl
{
public:
    using ComboMenuHandler = LNotificationHandler<LComboMenu>;

    static constexpr int32_t kLookNormal = 0;
    static constexpr int32_t kLookHot = 1;
    static constexpr int32_t kLookOpen = 2;
    static constexpr int32_t kLookDisabled = 3;

    LComboMenu(const RCPtr<LControl>& parent, const String& name);

    // ==== Overridden slots ====

    // Looks, the hover switch between the titles of one bar, the press point,
    // then the drop-down base (a press opens or closes the popup).
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
    // The drop-down base's; then the bindings of the popup's visibility and
    // activation, and the popup's automatic closing switched off. E_FAIL when
    // the base failed, else 0.
    KXRESULT Initialize() override;
    // Takes the skin's x offset of the popup. 0.
    KXRESULT OnCreated() override;
    // The popup's layout is visible with a width and a height above 0.
    bool IsDropDownShown() override;
    // Places (when opening), shows or hides the popup and selects the look. 0,
    // or S_FALSE without a popup.
    KXRESULT ShowDropDown(bool show) override;

    // ==== Notifications ====

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== Plain operations ====

    // The child "popupMenu" as a popup menu, or null.
    RCPtr<LPopupMenu> GetPopupMenu() const;
    // The popup's menu, or null.
    RCPtr<LMenuDescriptor> GetTitleMenu() const;
    // The control the popup asks for item states. 0.
    KXRESULT SetTitleMenuItemUpdater(const RCPtr<LMenuItemUpdater>& updater);
    // Among the parent's combo menus, from the last inserted to the first,
    // the first whose popup is shown; null when none.
    RCPtr<LComboMenu> FindOpenSibling() const;

    // Renames the title. Without a parent the name is simply replaced (0).
    // In a bar: 1 when the name is unchanged, E_FAIL when another child has
    // the new name, E_INVALIDARG when the title is not among the parent's
    // children; otherwise the name changes and every sibling inserted after
    // the title follows it (references to the old name in its layout take the
    // new one), 0.
    KXRESULT SetName(const String& name);
    // Lets the title take the focus inside a bar that takes none itself.
    void SetFocusScope(bool scope) { mFocusScope = scope; }

    double GetPopupOffsetX() const { return mPopupOffsetX; }
    const PointT<double>& GetPressPoint() const { return mPressPoint; }

protected:
    ~LComboMenu() override;

private:
    // "NID_ITEM_ACTIVATED" from the popup: the popup hides. 1.
    KXRESULT OnPopupItemActivated(const RCPtr<LNotificationDistributor>& sender,
                                  const RCPtr<LNotification>& notification);
    // "NID_VISIBLITY_CONDITION_CHANGE" from the popup: the look follows. 0.
    KXRESULT OnPopupVisibilityChange(const RCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification);
    // 2 while the popup shows, else 1 while hovered, else 0.
    int32_t StateLook();
    // Moves the popup's x so that it stays inside the root control.
    void FitPopupIntoRoot(const RCPtr<LPopupMenu>& popup);

    RCPtr<ComboMenuHandler> mComboMenuHandler;
    double mPopupOffsetX = 0.0;
    PointT<double> mPressPoint;
};

} // namespace KX
