// The tree view's records and hierarchy: the record slots of the list box,
// insertion, removal and moves of subtrees, and the parent walks.
#include "Controls/TreeView.h"

#include "Utilities/Graphics/Bitmap.h"

#include <algorithm>
#include <utility>

namespace KX {

// ---- Record slots ----

int32_t LTreeView::GetItemCount()
{
    return static_cast<int32_t>(mTreeItems.size());
}

LListBox::ItemData* LTreeView::GetItemData(int32_t index)
{
    return &mTreeItems[static_cast<size_t>(index)];
}

LCheckedListBox::ItemData* LTreeView::GetCheckedItemData(int32_t index)
{
    return &mTreeItems[static_cast<size_t>(index)];
}

LTreeView::ItemData* LTreeView::GetTreeItemData(int32_t index)
{
    return &mTreeItems[static_cast<size_t>(index)];
}

KXRESULT LTreeView::SwapItems(int32_t a, int32_t b)
{
    if (!InRange(a) || !InRange(b))
        return E_INVALIDARG;
    std::swap(mTreeItems[static_cast<size_t>(a)], mTreeItems[static_cast<size_t>(b)]);
    return S_OK;
}

KXRESULT LTreeView::InsertItemData(int32_t index)
{
    const int32_t count = GetItemCount();
    if (index < 0 || index > count)
        return E_INVALIDARG;
    // Inserted before an item, the new one becomes its sibling, which keeps
    // every subtree in one piece; appended, it starts at the top level.
    ItemData record;
    record.mParent = index < count ? mTreeItems[static_cast<size_t>(index)].mParent : -1;
    for (ItemData& item : mTreeItems) {
        if (item.mParent >= index)
            ++item.mParent;
    }
    mTreeItems.insert(mTreeItems.begin() + index, record);
    mTreeItems[static_cast<size_t>(index)].mHidden = !AreAncestorsExpanded(index);
    return S_OK;
}

KXRESULT LTreeView::EraseItemData(int32_t index)
{
    if (!InRange(index))
        return E_INVALIDARG;
    const int32_t end = index + 1 + GetDescendantCount(index);
    const int32_t size = end - index;
    for (int32_t item = index; item < end; ++item) {
        if (mTreeItems[static_cast<size_t>(item)].mChecked)
            --mCheckedCount;
    }
    mTreeItems.erase(mTreeItems.begin() + index, mTreeItems.begin() + end);
    for (ItemData& item : mTreeItems) {
        if (item.mParent >= end)
            item.mParent -= size;
        else if (item.mParent >= index)
            item.mParent = -1; // only in an array that was not in pre-order
    }
    return S_OK;
}

// ---- Removal ----

int32_t LTreeView::RemoveItem(int32_t index)
{
    if (!InRange(index))
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    const int32_t parent = mTreeItems[static_cast<size_t>(index)].mParent;
    const int32_t end = index + 1 + GetDescendantCount(index);
    // Leaf first: each removal is one item to the list box's bookkeeping
    // (selection, anchor, caret, widths, rows), and erases one record.
    int32_t result = GetItemCount();
    for (int32_t item = end - 1; item >= index && result >= 0; --item)
        result = LCheckedListBox::RemoveItem(item);
    // The parent may have lost its last descendant: its expander follows.
    if (InRange(parent)) {
        int32_t row = -1;
        UpdateItemControl(parent, row);
    }
    return result;
}

// ---- Walks ----

int32_t LTreeView::GetItemParent(int32_t index)
{
    return InRange(index) ? mTreeItems[static_cast<size_t>(index)].mParent : -1;
}

int32_t LTreeView::GetItemDepth(int32_t index)
{
    if (!InRange(index))
        return 0;
    int32_t depth = 0;
    const int32_t count = GetItemCount();
    for (int32_t parent = GetItemParent(index); InRange(parent) && depth < count; parent = GetItemParent(parent))
        ++depth;
    return depth;
}

bool LTreeView::IsAncestor(int32_t ancestor, int32_t item)
{
    if (!InRange(ancestor) || !InRange(item))
        return false;
    int32_t parent = GetItemParent(item);
    for (int32_t steps = GetItemCount(); steps > 0 && InRange(parent); --steps) {
        if (parent == ancestor)
            return true;
        parent = GetItemParent(parent);
    }
    return false;
}

bool LTreeView::AreAncestorsExpanded(int32_t index)
{
    int32_t parent = GetItemParent(index);
    for (int32_t steps = GetItemCount(); steps > 0 && InRange(parent); --steps) {
        if (!mTreeItems[static_cast<size_t>(parent)].mChecked)
            return false;
        parent = GetItemParent(parent);
    }
    return true;
}

int32_t LTreeView::GetDescendantCount(int32_t index)
{
    if (!InRange(index))
        return 0;
    int32_t end = index + 1;
    while (end < GetItemCount() && IsAncestor(index, end))
        ++end;
    return end - index - 1;
}

int32_t LTreeView::CountCheckedItems()
{
    mCheckedCount = static_cast<int32_t>(
        std::count_if(mTreeItems.begin(), mTreeItems.end(), [](const ItemData& item) { return item.mChecked; }));
    return mCheckedCount;
}

TreeHierarchy::Parents LTreeView::CollectParents() const
{
    TreeHierarchy::Parents parents;
    parents.reserve(mTreeItems.size());
    for (const ItemData& item : mTreeItems)
        parents.push_back(item.mParent);
    return parents;
}

// ---- Visibility ----

KXRESULT LTreeView::UpdateDescendantsVisibility(int32_t index)
{
    if (!InRange(index))
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    for (int32_t item = index + 1; item < GetItemCount() && IsAncestor(index, item); ++item)
        SetItemHidden(item, !AreAncestorsExpanded(item));
    return S_OK;
}

void LTreeView::UpdateSubtreeVisibility(int32_t index)
{
    SetItemHidden(index, !AreAncestorsExpanded(index));
    UpdateDescendantsVisibility(index);
}

// ---- Moves ----

void LTreeView::ApplyMove(const TreeHierarchy::MovePlan& plan, int32_t index, int32_t parent)
{
    const TreeHierarchy::Parents parents = TreeHierarchy::ApplyMove(CollectParents(), plan, index, parent);
    const std::vector<int32_t> positions = TreeHierarchy::NewPositions(plan);
    std::vector<ItemData> records;
    records.reserve(mTreeItems.size());
    for (size_t k = 0; k < plan.order.size(); ++k) {
        records.push_back(std::move(mTreeItems[static_cast<size_t>(plan.order[k])]));
        records.back().mParent = parents[k];
    }
    mTreeItems.swap(records);
    // The selection's ends stay with their items.
    if (InRange(mAnchorIndex))
        mAnchorIndex = positions[static_cast<size_t>(mAnchorIndex)];
    if (InRange(mCaretIndex))
        mCaretIndex = positions[static_cast<size_t>(mCaretIndex)];
}

int32_t LTreeView::SetItemParent(int32_t index, int32_t parent)
{
    const TreeHierarchy::MovePlan plan = TreeHierarchy::PlanMove(CollectParents(), index, parent);
    if (!plan.moves)
        return index;
    const RCPtr<LControl> self(this);
    const int32_t oldParent = GetItemParent(index);
    ApplyMove(plan, index, parent);
    const int32_t newIndex = plan.newIndex;
    const int32_t newParent = GetItemParent(newIndex);

    // The rows from the first record that moved or whose expander may have
    // changed (the old and the new parent).
    int32_t first = std::min(index, newIndex);
    if (oldParent >= 0)
        first = std::min(first, TreeHierarchy::NewPositions(plan)[static_cast<size_t>(oldParent)]);
    if (newParent >= 0) {
        first = std::min(first, newParent);
        ExpandItem(newParent);
    }
    UpdateSubtreeVisibility(newIndex);
    UpdateItemControlsFrom(std::max(0, first));
    UpdateClientExtent();
    return newIndex;
}

} // namespace KX
