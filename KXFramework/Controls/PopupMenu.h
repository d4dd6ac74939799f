// KX::LPopupMenu: a menu tree (KX::LMenuDescriptor) shown as a vertical list
// of rows ("Framework.PopupMenu"). It is a checked list box kept in drop-down
// mode: each item of the menu is one list item, shown by a
// KX::LMenuListBoxItem row with a check mark, the label, the text of the key
// bound to the item, a submenu arrow or the separator look. The list's items
// are the menu's item descriptors themselves, so the caret, hit testing and
// keys work on menu items directly.
//
// Contract:
// - The popup shows its own clone of the menu it is given (SetMenu), so that
//   hot-key texts and item states never change the caller's tree; a submenu
//   popup shows the parent popup's item itself.
// - It starts hidden and is never clipped to its parent. Each time it
//   becomes visible it asks its owner control (through the owner's menu-item
//   updater) for the state of every leaf item.
// - Activating a leaf item (Enter, or a release over its row) sends
//   "NID_ITEM_ACTIVATED" and hands the item's notification, with a
//   KX::LMenuActivationParam, to the owner: the notification target when one
//   is set (a queue's posting receiver: delivered in the next idle pass),
//   otherwise the nearest ancestor that is not a popup menu (at once). With
//   automatic closing (the default) the popup then hides and closes its chain.
// - Submenus: an item with sub-items opens a nested popup, a child named
//   "submenu", beside its row: 250 ms after the pointer came to rest on it
//   (application ticks), with Right, with Enter or a click. Left closes a
//   submenu; Escape closes a chain that closes automatically.
// - A chain (a top-level popup and its open submenus) closes when its
//   top-level popup loses the focus (automatic closing only); a closed popup
//   is removed from its parent at the next idle step and never reused.
// - A popup neither takes the focus from a press inside it nor passes the
//   request on; menu items are not reordered through the list (SwapItems).
// - A row without a "checkBox" or "hotKeyLabel" child loses that feature.
// - Notifications: the popup's own table first, then the checked list box's
//   chain.
// - User-interface thread only.
//
// The implementation is split by responsibility:
//   PopupMenu.cpp        creation, rows and sizes, hot-key texts, item
//                        states, activation
//   PopupMenuChain.cpp   placement at the pointer, submenus and the hover
//                        timer, keys and drags through the chain, status
//                        text, closing
#pragma once

#include "Controls/CheckedListBox.h"
#include "Controls/MenuDescriptor.h"
#include "Notification/NotificationHandler.h"
#include "Notification/NotificationQueue.h"

#include <cstdint>

namespace KX {

class LMenuListBoxItem;

class LPopupMenu : public LCheckedListBox
{
public:
    using PopupHandler = LNotificationHandler<LPopupMenu>;

    // How long the pointer rests on an entry before its submenu opens, or
    // the open submenu of another entry closes (milliseconds).
    static constexpr uint32_t kHoverDelay = 250;
    // The width a menu row adds to its texts besides its check box and its
    // hot-key label's margin.
    static constexpr int32_t kRowSpacing = 20;
    // Look indices of a row's check box.
    static constexpr int32_t kCheckLookClear = 0;
    static constexpr int32_t kCheckLookChecked = 7;
    static constexpr int32_t kCheckLookCheckedHot = 8;
    // Escape, as a key word.
    static constexpr uint32_t kKeyEscape = 0x201B0000;

    LPopupMenu(const RCPtr<LControl>& parent, const String& name);

    // ==== Overridden slots ====

    // Closes the chain when the focus comes back to a popup of it other than
    // from its closing submenu; then the base's.
    KXRESULT SetFocus(bool first) override;
    // Focus loss closes the chain; becoming visible refreshes the item
    // states; becoming hidden closes the submenu.
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
    // The list's; then, with a menu, the rows are rebuilt.
    KXRESULT ApplyControlDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
    // 0: a press inside takes no focus and asks nobody for it.
    KXRESULT RequestFocus(const RCPtr<LControl>& child) override;
    // The list's drop-down selection; then a left drag out of the popup moves
    // over to the popup or title under the pointer.
    void OnMouseMove(const RCPtr<LPointWithModifiersParam>& param) override;
    // A release over a submenu entry opens its submenu instead of activating
    // it; otherwise the list's.
    void OnLeftButtonUp(const RCPtr<LMouseButtonParam>& param) override;
    // Left, Right, Escape and Enter on a submenu entry; other keys the list's.
    KXRESULT OnKey(const RCPtr<LKeyParam>& param) override;
    // The hover timer: opens or closes submenus once it has run out.
    void OnIdle() override;
    // The checked list box's, then drop-down mode, pointer-less check boxes,
    // and the menu of the popup's own strings. E_FAIL when the base failed.
    KXRESULT Initialize() override;
    // Unclipped and hidden; size limits. 0.
    KXRESULT OnCreated() override;
    // The caret moved: the parent's selection, the hover timer.
    void OnSelectionChanged() override;
    // Enter or a release on the caret item: a leaf is activated.
    void OnItemActivated() override;
    // The checked list box's; then the popup follows the new row's hover.
    KXRESULT CreateItemControl() override;
    // The checked list box's; then hot-key text, separator, enabled state and
    // check mark of the menu item.
    KXRESULT UpdateItemControl(int32_t index, int32_t& row) override;
    // Ordinary rows plus separator rows.
    int32_t GetItemsHeight() override;
    // Enabled items that are no separators.
    bool IsItemSelectable(int32_t index) override;
    // E_NOTIMPL.
    KXRESULT SwapItems(int32_t a, int32_t b) override;

    // ==== Appended slot ====

    // The width of an item's row: label and hot-key text measured in their
    // fonts, plus the row's fixed part. 0 without a menu or out of range.
    virtual int32_t MeasureItemWidthWithHotKey(int32_t index);

    // ==== Notifications ====

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== Menu and owner (PopupMenu.cpp) ====

    // Shows a clone of the menu. E_INVALIDARG for null (nothing changes);
    // else Rebuild's result.
    KXRESULT SetMenu(const RCPtr<LMenuDescriptor>& menu);
    const RCPtr<LMenuDescriptor>& GetMenu() const { return mMenu; }
    // Activations are posted to the queue. E_INVALIDARG for null, E_FAIL when
    // a target is set already; else 0.
    KXRESULT SetNotificationTarget(const RCPtr<LNotificationQueue>& queue);
    // The notification target, else the nearest ancestor that is not a popup
    // menu; null when none.
    RCPtr<LNotificationReceiver> GetOwner() const;
    // The updater asked for item states: the one set, else the owner
    // control's (taken on first use).
    const RCPtr<LMenuItemUpdater>& GetMenuItemUpdater();
    void SetUpdater(const RCPtr<LMenuItemUpdater>& updater) { mUpdater = updater; }
    // Asks the updater's control for the state of every leaf item. 0.
    KXRESULT UpdateItemStates();
    // 1 when the item already has that state, 0 when it changed,
    // E_INVALIDARG out of range. A submenu entry is never checked; a
    // separator keeps both flags.
    KXRESULT ApplyItemState(int32_t index, const MenuItemState& state);
    // The activation of a leaf item. 0.
    KXRESULT ActivateMenuItem(const RCPtr<LMenuItemDescriptor>& item);
    // Fills the empty hot-key texts of the menu's items from the key bindings
    // that reach the owner. 0, or E_FAIL (no menu, no owner, or a target but
    // no root window).
    KXRESULT FillHotKeyTexts(const RCPtr<LMenuDescriptor>& menu);
    // The rows, widths and heights for the current menu. 0, 1 without a row
    // to measure with.
    KXRESULT Rebuild();

    void SetAutoClose(bool autoClose) { mAutoClose = autoClose; }
    bool IsAutoClose() const { return mAutoClose; }
    bool IsClosed() const { return mClosed; }
    const RCPtr<LNotificationReceiver>& GetNotificationTarget() const { return mNotificationTarget; }
    int32_t GetSeparatorHeight() const { return mSeparatorHeight; }
    int32_t GetSeparatorCount() const { return mSeparatorCount; }
    // The menu item of a list item, or null.
    RCPtr<LMenuItemDescriptor> GetMenuItem(int32_t index) const;
    // The row control of pool entry `row` as a menu row, or null.
    RCPtr<LMenuListBoxItem> GetMenuRow(int32_t row);

    // ==== The chain (PopupMenuChain.cpp) ====

    // Places the popup at the pointer, inside the window, and shows it with
    // the focus. 0.
    KXRESULT ShowAtCursor();
    // Opens the submenu of an item with sub-items. E_INVALIDARG otherwise.
    KXRESULT OpenSubmenu(int32_t index);
    // On a new submenu popup: the parent popup's item becomes its menu.
    // E_INVALIDARG without a parent popup, out of range, or for a leaf.
    KXRESULT AttachToParentItem(int32_t index);
    // Closes the open submenu and its own submenus. 0.
    KXRESULT CloseSubmenu();
    // Closes the whole chain: the top-level popup leaves its parent.
    KXRESULT CloseMenu();
    // The parent when it is a popup menu, else null.
    RCPtr<LPopupMenu> GetParentMenu() const;
    // Whether the control is one of the popups below (through the open
    // submenus) or above (through the parents) this one.
    bool IsInMenuChain(const RCPtr<LControl>& control) const;
    // Starts (or restarts) the hover delay. 0.
    KXRESULT ArmHoverTimer();
    void DisarmHoverTimer();
    // In a parent popup: the selection goes back to the entry whose submenu
    // is open.
    void SyncOpenItemSelection();

    const RCPtr<LPopupMenu>& GetSubmenuPopup() const { return mSubmenuPopup; }
    const RCPtr<LMenuDescriptor>& GetSubmenuItem() const { return mSubmenuItem; }
    bool IsHoverTimerArmed() const { return mHoverTimerArmed; }

protected:
    ~LPopupMenu() override;

private:
    // "NID_HOVER_CONDITION_CHANGE" of a row: the list's hover handling, then
    // the status text. 0.
    KXRESULT OnMenuRowHover(const RCPtr<LNotificationDistributor>& sender,
                            const RCPtr<LNotification>& notification);
    // Size limits from the skin's layout.
    void ApplySizeLimits();
    // The caret item as a menu item, or null.
    RCPtr<LMenuItemDescriptor> CaretItem() const;
    // Opens the caret item's submenu and selects its first item. 0, or
    // E_INVALIDARG when the caret item has no sub-items.
    KXRESULT OpenCaretSubmenu();
    // The pointer in this popup's coordinates (less its look's client
    // origin when `client`).
    PointT<double> PointerInPopup(bool client) const;

    RCPtr<PopupHandler> mPopupHandler;
    RCPtr<LMenuDescriptor> mMenu;
    RCPtr<LPopupMenu> mSubmenuPopup;
    RCPtr<LMenuDescriptor> mSubmenuItem;
    RCPtr<LNotificationReceiver> mNotificationTarget;
    RCPtr<LMenuItemUpdater> mUpdater;
    bool mHoverTimerArmed = false;
    uint32_t mHoverTick = 0;
    bool mClosingSubmenu = false;
    bool mOpeningSubmenu = false; // while OpenSubmenu makes the submenu
    bool mAutoClose = true;
    bool mClosed = false;
    int32_t mSeparatorHeight = 0;
    int32_t mSeparatorCount = 0;
};

} // namespace KX
