// KX::LListBox: the scrollable list of text items ("Framework.ListBox", and
// "Framework.listboxNoScroll" for lists without bars of their own). The
// checked list box, the popup menu, the tree view, the combo boxes and the
// multi-column list box build on it.
//
// Items are plain records (ItemData) held by the list in item order; they are
// shown through a pool of row controls (KX::LListBoxItem). Only as many rows
// exist as fill the visible height: row 0 shows the top item and each further
// row the next item that is not hidden; scrolling re-binds the rows instead
// of moving them. Rows are made from the skin's "templateItem" child (which
// is measured and then leaves the tree), or taken from children "item1",
// "item2", ... when there is no template.
//
// Contract:
// - Item indices are 0-based; a row index is a position in the row pool. An
//   item has a row only while it is on screen (GetItemRowIndex, -1 else).
// - An item is selected while its value is >= 0.5. The selection has an
//   anchor (its fixed end) and a caret (its moving end, where keys act); both
//   are -1 while nothing has been selected. mSelectedCount counts the
//   selected items as long as values change through the selection
//   operations (SetItemData writes the value without counting).
// - Single selection unless SetMultipleSelection(true): then Ctrl+click
//   toggles an item, Shift+click selects the range from the anchor to the
//   item alone, and Ctrl+Shift+click adds that range.
// - Hidden items take no row, no height and no part in navigation.
// - Texts compare case-sensitively by UTF-16 code units, otherwise as the
//   run-time library's _wcsicmp does (A-Z folded only).
// - The vertical bar counts whole rows; the extent is the visible items'
//   height, and with rows that size to their text the widest item's width.
// - Drop-down mode (menus and combo boxes): the rows hand the pointer to the
//   list, hovering selects, releasing over an item activates it and hides
//   the list, the height follows the items, and no "NID_SELECTION_CHANGE"
//   is sent. An owner that is a combo box or a combo menu marks itself with
//   SetHidesOnReleaseOutsideParent: a release outside it hides the list.
// - Notifications: "NID_SELECTION_CHANGE", "NID_ITEM_ACTIVATED",
//   "NID_ITEM_DOUBLE_CLICKED", "NID_ITEM_RIGHT_CLICK" (item index in a
//   KX::LHolder<int>), "NID_ITEM_HOVER_CONDITION_CHANGE" and
//   "NID_ITEM_LEFT_DRAG_CONDITION_CHANGE" (KX::LItemConditionsParam).
//   Received notifications go to the list's table, then the scroll view's,
//   then the control base's.
// - Results: 0 done, 1 nothing to do, negative failure; indices out of range
//   give E_INVALIDARG where stated and are ignored elsewhere.
// - Derived lists with larger records override GetItemCount, GetItemData,
//   InsertItemData, EraseItemData and SwapItems together; every operation
//   reaches the records only through them.
// - User-interface thread only.
//
// The implementation is split by responsibility:
//   ListBox.cpp           lifetime, notifications, looks, item operations, sorting
//   ListBoxRows.cpp       rows: creation, the pool, binding items to rows
//   ListBoxLayout.cpp     measuring the template, widths, extent, sizes, the string table
//   ListBoxScrolling.cpp  top index, scrolling and keeping items in view
//   ListBoxSelection.cpp  selection, pointer and keys, activation, drop-down mode
#pragma once

#include "Controls/ListBoxItem.h"
#include "Controls/ScrollView.h"
#include "Utilities/Storage/Array.h"

#include <cstdint>
#include <vector>

namespace KX {

class LListBox : public LScrollView
{
public:
    using Handler = LNotificationHandler<LListBox>;

    // The record of one item. Copies share the text object.
    struct ItemData
    {
        RCPtr<LTaggableObject> mText; // its ToString is the item's text; null shows empty
        double mValue = 0.0;          // selected at >= 0.5
        bool mSubmenu = false;        // the row shows the submenu looks
        bool mSeparator = false;      // the row shows the separator look and no text
        bool mHidden = false;         // no row, skipped by navigation
    };

    // Key words the list handles (virtual key, key down; Shift adds 0x02000000).
    static constexpr uint32_t kKeyUp = 0x20260000;
    static constexpr uint32_t kKeyDown = 0x20280000;
    static constexpr uint32_t kKeyShiftUp = 0x22260000;
    static constexpr uint32_t kKeyShiftDown = 0x22280000;
    static constexpr uint32_t kKeyLeft = 0x20250000;
    static constexpr uint32_t kKeyRight = 0x20270000;
    static constexpr uint32_t kKeyPageUp = 0x20210000;
    static constexpr uint32_t kKeyPageDown = 0x20220000;
    static constexpr uint32_t kKeyHome = 0x20240000;
    static constexpr uint32_t kKeyEnd = 0x20230000;
    static constexpr uint32_t kKeyEnter = 0x200D0000;

    // The list's own looks.
    static constexpr int32_t kLookNormal = 0;
    static constexpr int32_t kLookDisabled = 1;
    static constexpr int32_t kLookFocused = 2;

    // The row height until a template is measured.
    static constexpr int32_t kDefaultRowHeight = 14;

    LListBox(const RCPtr<LControl>& parent, const String& name);

    // ==== Overrides of earlier slots ====

    // The scroll view's; then rows are topped up and the top item kept in view.
    KXRESULT EndBackBufferResize() override;
    // A new vertical offset moves the top index and re-binds the rows; then
    // the scroll view's.
    KXRESULT InvalidateBackBuffer(const PointT<double>& oldOffset, const PointT<double>& newOffset) override;
    // The scroll view's; then rows are topped up.
    KXRESULT InvalidateChild(const RCPtr<LControl>& child) override;
    // Look 1 when disabled, 2 with the focus, else 0.
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
    // The row pool follows the child list: the removed child's own entry
    // goes, later entries move down by one.
    void OnChildRemoved(const RCPtr<LControl>& child, int32_t formerIndex) override;
    // The template is measured again from the new description; rows are
    // topped up and re-bound.
    KXRESULT ApplyControlDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
    // Drop-down mode: a release over an item activates it.
    void OnLeftButtonUp(const RCPtr<LMouseButtonParam>& param) override;
    // Drop-down mode, while the list holds the pointer: the item under it is
    // selected.
    void OnMouseMove(const RCPtr<LPointWithModifiersParam>& param) override;
    // Up, Down, Left, Right, Page Up, Page Down, Home, End, Enter: 0; other keys 1.
    KXRESULT OnKey(const RCPtr<LKeyParam>& param) override;
    // The scroll view's; then the rows from the template or the "item%d"
    // children, and the items of the "ITEM." strings.
    KXRESULT Initialize() override;
    // A description named "templateItem" without a control becomes the
    // template; an "item%d" row takes its pool slot.
    KXRESULT AddChild(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor) override;
    // Rows that follow their text widen with the vertical bar.
    void OnScrollBarVisibilityChanged(bool vertical) override;

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== Operations the list adds (virtual, in slot order) ====

    virtual int32_t GetItemCount();
    // Appends items with no text, or removes items from the end, as one
    // batch. n, or minus the count reached when that differs from n.
    virtual int32_t SetItemCount(int32_t count);
    // The new count; E_INVALIDARG out of range.
    virtual int32_t RemoveItem(int32_t index);
    // 0; 1 when empty; E_FAIL when a removal failed.
    virtual KXRESULT RemoveAllItems();
    // All items by text; 1 when that did not fail, else 0.
    virtual KXRESULT Sort();
    // Measures a pattern row: row height, empty-row width. 0.
    virtual KXRESULT ApplyTemplateItem(const RCPtr<LControl>& row);
    // Hooks: before "NID_SELECTION_CHANGE" and "NID_ITEM_ACTIVATED".
    virtual void OnSelectionChanged();
    virtual void OnItemActivated();
    // The item a row control shows, or -1 when the control is no row.
    virtual int32_t GetItemControlIndex(const RCPtr<LControl>& row);
    // E_INVALIDARG out of range, 1 unchanged, else 0.
    virtual KXRESULT SetItemHidden(int32_t index, bool hidden);
    // One more row from the template. 0, or a failure.
    virtual KXRESULT CreateItemControl();
    // Shows an item in its row; 1 (row -1) when it has none.
    virtual KXRESULT UpdateItemControl(int32_t index, int32_t& row);
    virtual int32_t GetItemRowIndex(int32_t index);
    virtual int32_t MeasureItemWidth(int32_t index);
    // Visible (not hidden) items times the row height.
    virtual int32_t GetItemsHeight();
    virtual bool IsItemSelectable(int32_t index);
    // Exchanges two records. 0.
    virtual KXRESULT SwapItems(int32_t a, int32_t b);
    // Sorts count items from start by text. 0; 1 for no items; E_INVALIDARG
    // past the end.
    virtual KXRESULT SortRange(int32_t start, int32_t count);
    // The record, without a range check.
    virtual ItemData* GetItemData(int32_t index);
    // An empty record before the index (the count appends). 0.
    virtual KXRESULT InsertItemData(int32_t index);
    virtual KXRESULT EraseItemData(int32_t index);

    // ==== Items ====

    // Inserts before the index (the count appends): the index, or
    // E_INVALIDARG outside 0..count.
    int32_t InsertItem(int32_t index, const RCPtr<LTaggableObject>& text);
    KXRESULT SetItemObject(int32_t index, const RCPtr<LTaggableObject>& text);
    // The text object; the shared null pointer out of range.
    const RCPtr<LTaggableObject>& GetItemObject(int32_t index);
    // The item's text ("" for no object or out of range).
    String GetItemText(int32_t index);
    double GetItemValue(int32_t index);
    bool IsItemSelected(int32_t index);
    bool IsItemSubmenu(int32_t index);
    bool IsItemHidden(int32_t index);
    // 1 done, 0 out of range: set the flag and re-bind the item.
    KXRESULT SetItemSubmenu(int32_t index, bool submenu);
    KXRESULT SetItemSeparator(int32_t index, bool separator);
    // Replaces text object, value and flags and refreshes the row. 0.
    KXRESULT SetItemData(int32_t index, const RCPtr<LTaggableObject>& text, double value, bool submenu,
                         bool separator);
    // The last item of that text, or -1.
    int32_t FindItemByText(const String& text, bool caseSensitive);
    // The first item of that text after `after` (wrapping round) is selected
    // alone: SelectItemRange's result, or -1 when none matches.
    int32_t SelectItemByText(const String& text, int32_t after, bool caseSensitive);

    // ==== Rows ====

    // Row i of the pool; null past the pool.
    RCPtr<LListBoxItem> GetRowControl(int32_t row);
    int32_t GetRowCount() const { return static_cast<int32_t>(mRowPool.size()); }
    // The rectangle of the row that shows the item, in the list's own
    // coordinates (where it is seen); all zero when it has none.
    RectT<double> GetItemRect(int32_t index);
    // Re-binds the rows from the item to the last row; 1 without rows.
    KXRESULT UpdateItemControlsFrom(int32_t index);
    // Creates rows until they fill the client area. 1 without a template.
    KXRESULT EnsureEnoughItemControls();
    // The row's text and binding anew; in drop-down mode the size follows.
    KXRESULT RefreshItemText(int32_t index);
    // SelectLook on the item's row; 1 when it has no row or the look is missing.
    KXRESULT SelectItemLook(int32_t index, int32_t lookIndex);
    // The row that shows the item looks hot (or no longer); nothing when the
    // item has no row.
    void SetItemHoverOverride(int32_t index, bool hover);
    // UpdateMenuItem on the item's row; 1 when it has none.
    KXRESULT UpdateItemMenuState(int32_t index, const RCPtr<LMenuDescriptor>& menu, int32_t itemIndex,
                                 const wchar_t* notificationId, MenuItemState& state);
    // The drop-down mode, copied into every row. 0.
    KXRESULT SetDropDownMode(bool dropDown);
    bool IsDropDownMode() const { return mDropDownMode; }

    // ==== Sizes ====

    KXRESULT RecalcWidestItem();
    KXRESULT SetWidestItemWidth(int32_t width);
    KXRESULT UpdateClientExtent();
    // The client width (height) becomes the value: the list's size spec on
    // that axis is set to match. SetClientHeight is 1 during a batch update.
    KXRESULT SetClientWidth(int32_t width);
    KXRESULT SetClientHeight(int32_t height);
    // Height limits and height made whole rows plus the list's frame.
    void SnapHeightLimitsToRows();
    int32_t GetItemRowHeight() const { return mRowHeight; }
    int32_t GetEmptyRowWidth() const { return mEmptyRowWidth; }
    int32_t GetWidestItemWidth() const { return mWidestItemWidth; }
    const RCPtr<LControlDescriptor>& GetTemplateDescriptor() const { return mTemplateDescriptor; }

    // ==== Items from strings ====

    // Replaces the items with the table's "ITEM.<n>" texts, item n each.
    // E_INVALIDARG for a null table.
    KXRESULT LoadItemsFromStringTable(const RCPtr<LStringTable>& table);

    // ==== Scrolling ====

    // Scrolls the least that shows the item (a hidden item: its nearest
    // visible neighbour). 0, 1 when there is nothing to show, E_INVALIDARG
    // past the end.
    KXRESULT EnsureItemVisible(int32_t index);
    int32_t GetTopIndex() const { return mTopIndex; }

    // ==== Selection (ListBoxSelection.cpp) ====

    // Selects first..last (last < 0: first alone), alone when exclusive.
    // first, or E_INVALIDARG at or past the count.
    int32_t SelectItemRange(int32_t first, int32_t last, bool exclusive);
    // 0, or 1 when out of range or not selected.
    KXRESULT DeselectItem(int32_t index);
    void DeselectAll();
    // Stores the value, counting selection changes, and re-binds the row. 0.
    KXRESULT SetItemValue(int32_t index, double value);
    // The hook, then (not in drop-down mode) "NID_SELECTION_CHANGE".
    void SendSelectionChange();
    // The hook, in drop-down mode hiding the list, then (with a parent)
    // "NID_ITEM_ACTIVATED"; nothing for an item that cannot be selected.
    void ActivateItem(int32_t index);
    // The item under a point of the list's own coordinates, or -1.
    int32_t HitTestItem(const PointT<long>& point);
    // The selected items in ascending order (refilled by each call).
    Array<unsigned int>& GetSelectedIndices();
    int32_t GetSelectedCount() const { return mSelectedCount; }
    int32_t GetAnchorIndex() const { return mAnchorIndex; }
    int32_t GetCaretIndex() const { return mCaretIndex; }
    void SetMultipleSelection(bool multiple) { mMultipleSelection = multiple; }
    bool IsMultipleSelection() const { return mMultipleSelection; }
    // Set by the combo boxes and the combo menu that own a drop-down list: a
    // release outside the owner's area (and over no item) hides the list.
    void SetHidesOnReleaseOutsideParent(bool hides) { mHidesOnReleaseOutsideParent = hides; }
    bool HidesOnReleaseOutsideParent() const { return mHidesOnReleaseOutsideParent; }
    // The drag threshold given to every row (also to rows made later).
    void SetRowDragThreshold(int32_t pixels);
    int32_t GetRowDragThreshold() const { return mRowDragThreshold; }

protected:
    ~LListBox() override;

    // ---- Row notifications (ListBoxSelection.cpp) ----

    KXRESULT OnRowMouseDown(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    KXRESULT OnRowMouseUp(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    KXRESULT OnRowHoverCondition(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification);
    KXRESULT OnRowLeftDragCondition(const RCPtr<LNotificationDistributor>& sender,
                                    const RCPtr<LNotification>& notification);
    // A left press on a row (the event in the list's coordinates): selects
    // its item as the modifiers and the selection mode say; a double click
    // then sends "NID_ITEM_DOUBLE_CLICKED".
    void ClickItem(const RCPtr<LControl>& row, const RCPtr<LMouseButtonParam>& param);
    // A right press: "NID_ITEM_RIGHT_CLICK" with the item, unless it is the
    // second press of a double click.
    void RightClickItem(const RCPtr<LControl>& row, const RCPtr<LMouseButtonParam>& param);

    // ---- Rows (ListBoxRows.cpp) ----

    // Binds the row notifications, the drop-down mode and the drag threshold.
    void AttachRow(const RCPtr<LListBoxItem>& row);
    // The row control of a pool entry (null when the entry no longer names
    // a row).
    RCPtr<LListBoxItem> RowAt(int32_t row) const;
    // Takes the "item%d" children as rows and items.
    void AdoptNumberedRows();
    // The description becomes the template: a pattern row is made from it,
    // measured and let go. E_FAIL when no row could be made.
    KXRESULT AdoptTemplate(const RCPtr<LControlDescriptor>& descriptor);
    // The list's frame: height less its look's client height.
    int32_t GetVerticalBorder();
    // The template's horizontal text overflow is "Expand".
    bool RowsExpand() const;
    // The template makes rows of a fixed width: they are made as wide as the
    // widest item and centred. Numbered rows keep their skin's layout.
    bool RowsSizeToContent() const;
    // Drop-down mode: the height follows the items.
    void FitDropDownHeight();

    // ---- Top index (ListBoxScrolling.cpp) ----

    // The item shown at a vertical offset: that many visible items from the
    // start, at most the last visible item.
    int32_t TopIndexForOffset(double offsetY);
    // The top index follows the offset; the rows are re-bound when it moved.
    void FollowScrollOffset(double offsetY);
    // Counting only visible items: the item `steps` visible items after
    // (before, for negative steps) the index; -1 when that runs out.
    int32_t StepVisible(int32_t index, int32_t steps);
    // Visible items before the index.
    int32_t CountVisibleBefore(int32_t index);

    // ---- Selection helpers (ListBoxSelection.cpp) ----

    // The next (forward) or previous selectable, visible item from the
    // caret; -1 when there is none.
    int32_t FindNavigableItem(int32_t from, bool forward);
    // A key handed to a scroll bar. True when there was a bar to take it.
    bool PassKeyToBar(const RCPtr<LScrollbar>& bar, const RCPtr<LKeyParam>& param);
    // Sends an item notification with optional data.
    void SendItemNotification(const wchar_t* identifier, const RCPtr<LRefCountedObject>& data);

    // ---- Fields, in order ----
    RCPtr<Handler> mListBoxHandler;
    int32_t mEmptyRowWidth = 0;
    int32_t mWidestItemWidth = 0;
    std::vector<ItemData> mItems;
    std::vector<uint32_t> mRowPool; // insertion-order child index of each row, row 0 first
    RCPtr<LControlDescriptor> mTemplateDescriptor;
    int32_t mAnchorIndex = -1;
    int32_t mCaretIndex = -1;
    bool mDropDownMode = false;
    int32_t mRowHeight = kDefaultRowHeight; // the scroll view's row step is LScrollView::mRowHeight
    Array<unsigned int> mSelectedIndices;
    int32_t mSelectedCount = 0;
    bool mMultipleSelection = false;
    int32_t mRowDragThreshold = 1;
    int32_t mTopIndex = 0;
    bool mCreatingRows = false;
    bool mApplyingDescriptor = false;
    bool mTemplateApplied = false;
    bool mBatchUpdate = false;
    bool mHidesOnReleaseOutsideParent = false;
};

} // namespace KX
