// KX::LCheckedListBox: the list box with a check box and an optional icon in
// every row ("Framework.CheckedListBox", and "Framework.ListBoxWithIcons"
// whose fourth look's parts are the icons). Its rows are
// KX::LCheckedListBoxItem controls whose button "checkBox" shows the item's
// checked state. The popup menu, the tree view and the checked combo box
// build on it.
//
// Also here: the data of its notifications, KX::LIndexedDataParam and
// KX::LIndexedDataWithValueParam.
//
// Contract:
// - Auto check (the default): the check boxes toggle themselves; the list
//   follows each change, selects the item and sends "NID_ITEM_CHECK_CHANGE"
//   {item, new value}. Without auto check a click leaves the box as it is
//   and the list sends "NID_ITEM_CHECKBOX_CLICKED" {item, value}; the owner
//   decides (SetItemChecked). Binding rows to items never sends either.
// - mCheckedCount is the number of checked items: it moves only when an
//   item's checked flag changes, and is counted anew after SetItemCount.
// - Icons: the list's own icons (from the fourth look of a list of exactly
//   this class, cycled over the items) win over the items' own icons. With
//   list icons the check boxes ignore the pointer.
// - Rows without a usable "checkBox" work as plain rows.
// - Notifications go to the checked list's table, then the list box's chain.
// - User-interface thread only.
#pragma once

#include "Controls/CheckedListBoxItem.h"
#include "Controls/ListBox.h"
#include "Utilities/Storage/ConstRCPtrArray.h"

#include <vector>

namespace KX {

class LBitmap;

// An item index with an optional data object.
class LIndexedDataParam : public virtual LRefCountedObject
{
public:
    RCPtr<LRefCountedObject> mData;
    int32_t mIndex = -1;

protected:
    LIndexedDataParam() = default;
    ~LIndexedDataParam() override = default;
};

// An item index with a value (and an object reference no sender fills).
class LIndexedDataWithValueParam : public LIndexedDataParam
{
public:
    static RCPtr<LIndexedDataWithValueParam> Create(const RCPtr<LRefCountedObject>& data, int32_t index,
                                                    double value);

    RCPtr<LRefCountedObject> mObject;
    double mValue = 0.0;

protected:
    LIndexedDataWithValueParam() = default;
    ~LIndexedDataWithValueParam() override = default;
};

class LCheckedListBox : public LListBox
{
public:
    using Handler = LNotificationHandler<LCheckedListBox>;

    // The checked record: the list record, then the checked flag and the
    // item's own icon. Copies share text object and icon.
    struct ItemData : LListBox::ItemData
    {
        bool mChecked = false;
        RCPtr<LBitmap> mIcon;
    };

    // The look whose parts' images are a "Framework.ListBoxWithIcons"'s icons.
    static constexpr int32_t kIconLook = 3;

    LCheckedListBox(const RCPtr<LControl>& parent, const String& name);

    // ==== Overrides ====

    // The list box's; then the list's icons and the check boxes of rows made
    // meanwhile or taken from the skin.
    KXRESULT Initialize() override;
    int32_t GetItemCount() override;
    // The list box's, then the checked items are counted.
    int32_t SetItemCount(int32_t count) override;
    // The list box's; then the new row's check box follows the list's modes
    // and is bound.
    KXRESULT CreateItemControl() override;
    // The list box's; then the row's check box shows the item's checked
    // state and icon (hidden on a row past the last item).
    KXRESULT UpdateItemControl(int32_t index, int32_t& row) override;
    KXRESULT SwapItems(int32_t a, int32_t b) override;
    LListBox::ItemData* GetItemData(int32_t index) override;
    // An unchecked record without icon.
    KXRESULT InsertItemData(int32_t index) override;
    KXRESULT EraseItemData(int32_t index) override;

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== Operations the checked list adds (virtual) ====

    // Switches every check box between toggling itself and only reporting
    // clicks. 0.
    virtual KXRESULT SetAutoCheck(bool autoCheck);
    // Counts the checked items again; the count.
    virtual int32_t CountCheckedItems();
    // The checked record, without a range check.
    virtual ItemData* GetCheckedItemData(int32_t index);

    // ==== Plain operations ====

    bool IsItemChecked(int32_t index);
    // Stores the flag, moves the count and re-binds the item; nothing out of
    // range or when unchanged. No notification.
    void SetItemChecked(int32_t index, bool checked);
    // Every check box ignores the pointer (or no longer).
    void SetCheckBoxesIgnorePointer(bool ignore);
    // The list's icon for the item (cycled) when the list has icons, else the
    // item's own; null out of range.
    RCPtr<LBitmap> GetItemIcon(int32_t index);
    // Row i of the pool as a checked row; null past the pool.
    RCPtr<LCheckedListBoxItem> GetRowControl(int32_t row);
    // The row's direct child "checkBox" as a button; null when absent.
    RCPtr<LButton> FindCheckBox(const RCPtr<LControl>& row);

    int32_t GetCheckedCount() const { return mCheckedCount; }
    bool IsAutoCheck() const { return mAutoCheck; }
    bool CheckBoxesIgnorePointer() const { return mCheckBoxesIgnorePointer; }
    const ConstRCPtrArray<LBitmap>& GetIcons() const { return mIcons; }

protected:
    ~LCheckedListBox() override;

    // A check box's value changed (auto check).
    KXRESULT OnCheckBoxValueChange(const RCPtr<LNotificationDistributor>& sender,
                                   const RCPtr<LNotification>& notification);
    // A check box was clicked (manual check).
    KXRESULT OnCheckBoxLeftClick(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification);
    // What both do: the item of the box takes the box's checked state (the
    // count with it), is selected, and the listeners hear the identifier with
    // {item, value}; nothing for a box of no item. S_FALSE.
    KXRESULT FollowCheckBox(const RCPtr<LNotificationDistributor>& sender, const wchar_t* identifier);

    // The check box of a row follows the list's modes and is bound to the
    // notification of the current mode (once).
    void PrepareCheckBox(const RCPtr<LButton>& checkBox);
    // The item of the row that holds the check box that sent a notification;
    // -1 when there is none.
    int32_t ItemOfCheckBox(const RCPtr<LNotificationDistributor>& sender);
    // Sets a check box's value without the list hearing of it.
    void SetCheckBoxValueQuietly(const RCPtr<LButton>& checkBox, double value);
    // The icons of a "Framework.ListBoxWithIcons": the images of its icon
    // look's parts, in order.
    void LoadIcons();

    // ---- Fields, in order ----
    RCPtr<Handler> mCheckedHandler;
    std::vector<ItemData> mCheckedItems;
    bool mCheckBoxesIgnorePointer = false;
    bool mAutoCheck = true;
    int32_t mCheckedCount = 0;
    ConstRCPtrArray<LBitmap> mIcons;
};

} // namespace KX
