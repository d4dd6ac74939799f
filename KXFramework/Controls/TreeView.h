// KX::LTreeView ("Framework.TreeView"): a hierarchy of items shown as an
// indented list. It is the checked list box with a parent index in every
// item; its rows are KX::LTreeViewItem controls whose check box serves as
// the expander (checked = expanded).
//
// The items stay one flat array in pre-order: each item is followed by all
// its descendants, and a parent lies before its children (-1 at the top
// level). Collapsing an item hides its descendants through the list box's
// hidden flag, so scrolling, rows and selection work unchanged.
//
// Contract:
// - Items come from the list-box operations (InsertItem, SetItemCount): an
//   appended item starts at the top level, an item inserted before another
//   becomes that item's sibling (and is hidden under a collapsed parent).
//   SetItemParent places items in the hierarchy.
// - SetItemParent moves the item together with its whole subtree and keeps
//   every other parent relation; it refuses (answering the index unchanged)
//   an index out of range, the first item, a parent past the end and a
//   parent inside the item's own subtree. The new parent is expanded
//   (ExpandItem).
// - An item is shown while every ancestor is expanded. ExpandItem expands
//   one item, its descendants follow, and so do the rows and the extent.
// - Rows: indented by the item's depth in check-box widths; the expander of
//   an item without descendants is disabled.
// - RemoveItem removes the item with its whole subtree; selection, anchor,
//   caret and the checked count follow every removed item.
// - Sorting is not supported (E_NOTIMPL): it would break the parent order.
// - Walks up a parent chain stop after as many steps as there are items.
// - Notifications: those of the checked list box. With auto check a click on
//   an expander expands or collapses its item, selects it and sends
//   "NID_ITEM_CHECK_CHANGE" {item, value}; without it the click sends
//   "NID_ITEM_CHECKBOX_CLICKED" {item, value} and changes nothing else.
//   Binding rows never sends either.
// - Received notifications go to the tree's table, then the checked list's.
// - User-interface thread only.
//
// The implementation is split by responsibility:
//   TreeView.cpp       lifetime, notifications, rows and their expanders
//   TreeViewItems.cpp  the records and the hierarchy: insert, erase, move, walks
#pragma once

#include "Controls/CheckedListBox.h"
#include "Controls/TreeHierarchy.h"
#include "Controls/TreeViewItem.h"

#include <cstdint>
#include <vector>

namespace KX {

class LTreeView : public LCheckedListBox
{
public:
    using TreeHandler = LNotificationHandler<LTreeView>;

    // The tree record: the checked record and the parent index (-1 at the
    // top level).
    struct ItemData : LCheckedListBox::ItemData
    {
        int32_t mParent = -1;
    };

    LTreeView(const RCPtr<LControl>& parent, const String& name);

    // ==== Overrides ====

    // The checked list's, then the tree's table.
    KXRESULT Initialize() override;
    int32_t GetItemCount() override;
    // Removes the item's subtree, last item first, each through the list
    // box's removal. The new count; E_INVALIDARG out of range.
    int32_t RemoveItem(int32_t index) override;
    // E_NOTIMPL: sorting would break the parent order.
    KXRESULT Sort() override;
    KXRESULT SortRange(int32_t start, int32_t count) override;
    // The checked list's row, its expander bound to the tree.
    KXRESULT CreateItemControl() override;
    // The checked list's binding; then the expander is enabled only for an
    // item with descendants and the row is indented by the item's depth.
    KXRESULT UpdateItemControl(int32_t index, int32_t& row) override;
    // Exchanges two whole records, parents included; nothing else changes.
    KXRESULT SwapItems(int32_t a, int32_t b) override;
    LListBox::ItemData* GetItemData(int32_t index) override;
    LCheckedListBox::ItemData* GetCheckedItemData(int32_t index) override;
    // A record with the parent of the item it is inserted before (-1 when
    // appended); later parent indices move up by one.
    KXRESULT InsertItemData(int32_t index) override;
    // The record with its whole subtree (the checked count follows); later
    // parent indices move down. E_INVALIDARG out of range.
    KXRESULT EraseItemData(int32_t index) override;
    // The checked list's; the tree's expander bindings follow.
    KXRESULT SetAutoCheck(bool autoCheck) override;
    // Over the tree's records.
    int32_t CountCheckedItems() override;
    // Gives back one idle request that the control base's own work (queued
    // removals, kinetic scroll) does not hold.
    void OnIdle() override;

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== Operations the tree adds (virtual) ====

    // Moves the item (with its subtree) under the parent (below 0: the top
    // level). The item's new index; the index unchanged when refused.
    virtual int32_t SetItemParent(int32_t index, int32_t parent);
    // The parent index; -1 at the top level and out of range.
    virtual int32_t GetItemParent(int32_t index);
    // The number of ancestors; 0 out of range.
    virtual int32_t GetItemDepth(int32_t index);
    // The number of items of the item's subtree below it; 0 out of range.
    virtual int32_t GetDescendantCount(int32_t index);
    // The tree record, without a range check.
    virtual ItemData* GetTreeItemData(int32_t index);
    // Each descendant is shown when all its ancestors are expanded, else
    // hidden. 0; E_INVALIDARG out of range.
    virtual KXRESULT UpdateDescendantsVisibility(int32_t index);

    // ==== Plain operations ====

    // Expands the item: its checked flag, its descendants' visibility, the
    // rows and the extent. With auto check, a collapsed item in a row is
    // expanded through its expander as by a click: it is selected and
    // "NID_ITEM_CHECK_CHANGE" is sent. Otherwise no notification.
    // 0; E_INVALIDARG out of range.
    KXRESULT ExpandItem(int32_t index);
    // Whether `ancestor` is on the parent chain of `item` (the item itself
    // not counted); false out of range.
    bool IsAncestor(int32_t ancestor, int32_t item);
    // Whether every ancestor of the item is expanded (true at the top level).
    bool AreAncestorsExpanded(int32_t index);
    // The tree's row i; null past the pool.
    RCPtr<LTreeViewItem> GetTreeRowControl(int32_t row);

protected:
    ~LTreeView() override;

private:
    // ---- Expanders (TreeView.cpp) ----

    KXRESULT OnExpanderValueChange(const RCPtr<LNotificationDistributor>& sender,
                                   const RCPtr<LNotification>& notification);
    KXRESULT OnExpanderLeftClick(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification);
    // The item of the expander that sent a notification, the expander in
    // `checkBox`; -1 while the rows are being bound and for a sender that is
    // no expander of an item.
    int32_t ExpanderItem(const RCPtr<LNotificationDistributor>& sender, RCPtr<LButton>& checkBox);
    // After an expander changed: descendants, rows, extent, the selection
    // and the notification.
    void FollowExpander(int32_t index, double value, const wchar_t* notificationId);
    // Binds a row's expander to the notification of the current mode.
    void BindExpander(const RCPtr<LButton>& checkBox);

    // ---- Records (TreeViewItems.cpp) ----

    // A copy of every item's parent index.
    TreeHierarchy::Parents CollectParents() const;
    // Puts the records in a move's order, with the moved item's parent;
    // anchor and caret follow their items.
    void ApplyMove(const TreeHierarchy::MovePlan& plan, int32_t index, int32_t parent);
    // The item and its descendants shown or hidden as their ancestors say.
    void UpdateSubtreeVisibility(int32_t index);
    bool InRange(int32_t index) const { return index >= 0 && index < static_cast<int32_t>(mTreeItems.size()); }

    // ---- Fields, in order ----
    RCPtr<TreeHandler> mTreeHandler;
    std::vector<ItemData> mTreeItems;
    bool mUpdatingRows = false;
};

} // namespace KX
