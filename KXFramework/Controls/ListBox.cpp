// The list box: lifetime and notification routing, its looks, the item
// records and the operations on items (insert, remove, count, hide, texts,
// flags), and sorting. Rows are in ListBoxRows.cpp, scrolling in
// ListBoxScrolling.cpp, selection and input in ListBoxSelection.cpp.
#include "Controls/ListBox.h"

#include "Controls/ScopedFlag.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <vector>

namespace KX {

namespace {

// Two texts are equal when they share one buffer, else as the comparison of
// the run-time library says.
int CompareTexts(const StringT<wchar_t, char>& a, const StringT<wchar_t, char>& b, bool caseSensitive)
{
    const wchar_t* left = a.GetData() ? a.GetData() : L"";
    const wchar_t* right = b.GetData() ? b.GetData() : L"";
    if (left == right)
        return 0;
    return caseSensitive ? std::wcscmp(left, right) : _wcsicmp(left, right);
}

// One entry of a sort: where the item stood and its text.
struct SortEntry
{
    int32_t mIndex;
    StringT<wchar_t, char> mText;
};

// qsort sorts pointers to the entries: the strings themselves are not moved
// bytewise.
int __cdecl CompareSortEntries(const void* a, const void* b)
{
    const SortEntry* left = *static_cast<const SortEntry* const*>(a);
    const SortEntry* right = *static_cast<const SortEntry* const*>(b);
    return CompareTexts(left->mText, right->mText, false);
}

} // namespace

LListBox::LListBox(const RCPtr<LControl>& parent, const String& name) : LScrollView(parent, name) {}

LListBox::~LListBox() = default;

// ---- Notifications ----

KXRESULT LListBox::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                       const RCPtr<LNotification>& notification)
{
    if (mCreated && mListBoxHandler && mListBoxHandler->Binds(sender, notification)) {
        const RCPtr<Handler> handler = mListBoxHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LScrollView::ReceiveNotification(sender, notification);
}

KXRESULT LListBox::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender, const wchar_t* identifier)
{
    if (mListBoxHandler)
        mListBoxHandler->RemoveHandler(sender, identifier);
    return LScrollView::UnregisterNotification(sender, identifier);
}

// ---- Looks ----

void LListBox::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    LScrollView::OnConditionsChanged(param);
    if (!param || !(param->GetChangedConditions() & (kEnabled | kHasFocus)))
        return;
    int32_t look = kLookNormal;
    if (!IsEnabled(true))
        look = kLookDisabled;
    else if (mHasFocus)
        look = kLookFocused;
    if (look >= GetLookCount() || !mLooks.GetAt(look))
        look = kLookNormal;
    SelectLook(look, true);
}

// ---- Records ----

int32_t LListBox::GetItemCount()
{
    return static_cast<int32_t>(mItems.size());
}

LListBox::ItemData* LListBox::GetItemData(int32_t index)
{
    return &mItems[static_cast<size_t>(index)];
}

KXRESULT LListBox::InsertItemData(int32_t index)
{
    mItems.insert(mItems.begin() + index, ItemData());
    return S_OK;
}

KXRESULT LListBox::EraseItemData(int32_t index)
{
    mItems.erase(mItems.begin() + index);
    return S_OK;
}

KXRESULT LListBox::SwapItems(int32_t a, int32_t b)
{
    std::swap(mItems[static_cast<size_t>(a)], mItems[static_cast<size_t>(b)]);
    return S_OK;
}

bool LListBox::IsItemSelectable(int32_t)
{
    return true;
}

void LListBox::OnSelectionChanged() {}

void LListBox::OnItemActivated() {}

// ---- Item operations ----

int32_t LListBox::InsertItem(int32_t index, const RCPtr<LTaggableObject>& text)
{
    if (index < 0 || index > GetItemCount())
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    const KXRESULT inserted = InsertItemData(index);
    if (inserted < 0)
        return inserted;
    GetItemData(index)->mText = text;
    // Anchor and caret stay on their items.
    if (mAnchorIndex >= index)
        ++mAnchorIndex;
    if (mCaretIndex >= index)
        ++mCaretIndex;
    EnsureEnoughItemControls();
    UpdateItemControlsFrom(index);
    UpdateClientExtent();
    const int32_t width = MeasureItemWidth(index);
    if (width > mWidestItemWidth)
        SetWidestItemWidth(width);
    FitDropDownHeight();
    return index;
}

KXRESULT LListBox::SetItemObject(int32_t index, const RCPtr<LTaggableObject>& text)
{
    if (index < 0 || index >= GetItemCount())
        return S_OK;
    const RCPtr<LControl> self(this);
    const int32_t oldWidth = MeasureItemWidth(index);
    GetItemData(index)->mText = text;
    RefreshItemText(index);
    if (oldWidth == mWidestItemWidth) {
        RecalcWidestItem();
    } else {
        const int32_t width = MeasureItemWidth(index);
        if (width > mWidestItemWidth)
            SetWidestItemWidth(width);
    }
    return S_OK;
}

const RCPtr<LTaggableObject>& LListBox::GetItemObject(int32_t index)
{
    if (index < 0 || index >= GetItemCount())
        return RCPtr<LTaggableObject>::sNull;
    return GetItemData(index)->mText;
}

StringT<wchar_t, char> LListBox::GetItemText(int32_t index)
{
    const RCPtr<LTaggableObject>& text = GetItemObject(index);
    return text ? text->ToString() : String();
}

double LListBox::GetItemValue(int32_t index)
{
    return index >= 0 && index < GetItemCount() ? GetItemData(index)->mValue : 0.0;
}

bool LListBox::IsItemSelected(int32_t index)
{
    return GetItemValue(index) >= 0.5;
}

bool LListBox::IsItemSubmenu(int32_t index)
{
    return index >= 0 && index < GetItemCount() && GetItemData(index)->mSubmenu;
}

bool LListBox::IsItemHidden(int32_t index)
{
    return index >= 0 && index < GetItemCount() && GetItemData(index)->mHidden;
}

KXRESULT LListBox::SetItemSubmenu(int32_t index, bool submenu)
{
    if (index < 0 || index >= GetItemCount())
        return 0;
    GetItemData(index)->mSubmenu = submenu;
    int32_t row = -1;
    UpdateItemControl(index, row);
    return 1;
}

KXRESULT LListBox::SetItemSeparator(int32_t index, bool separator)
{
    if (index < 0 || index >= GetItemCount())
        return 0;
    GetItemData(index)->mSeparator = separator;
    int32_t row = -1;
    UpdateItemControl(index, row);
    return 1;
}

KXRESULT LListBox::SetItemData(int32_t index, const RCPtr<LTaggableObject>& text, double value, bool submenu,
                               bool separator)
{
    if (index < 0 || index >= GetItemCount())
        return S_OK;
    ItemData& item = *GetItemData(index);
    item.mText = text;
    item.mValue = value;
    item.mSubmenu = submenu;
    item.mSeparator = separator;
    RefreshItemText(index);
    return S_OK;
}

int32_t LListBox::RemoveItem(int32_t index)
{
    if (index < 0 || index >= GetItemCount())
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    const int32_t width = MeasureItemWidth(index);
    DeselectItem(index);
    const KXRESULT erased = EraseItemData(index);
    if (erased < 0)
        return erased;
    // Anchor and caret follow their items; a range cut in two is no range.
    const bool anchorAfter = mAnchorIndex > index;
    const bool caretAfter = mCaretIndex > index;
    if (anchorAfter && caretAfter) {
        --mAnchorIndex;
        --mCaretIndex;
    } else if (anchorAfter != caretAfter) {
        mAnchorIndex = -1;
        mCaretIndex = -1;
    }
    EnsureEnoughItemControls();
    UpdateItemControlsFrom(index);
    UpdateClientExtent();
    if (width == mWidestItemWidth)
        RecalcWidestItem();
    FitDropDownHeight();
    const int32_t count = GetItemCount();
    if (count > 0)
        EnsureItemVisible(std::min(mTopIndex, count - 1));
    return count;
}

KXRESULT LListBox::RemoveAllItems()
{
    if (GetItemCount() == 0)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    bool failed = false;
    for (int32_t i = GetItemCount() - 1; i >= 0 && !failed; --i)
        failed = RemoveItem(i) < 0;
    mAnchorIndex = -1;
    mCaretIndex = -1;
    return failed ? E_FAIL : S_OK;
}

int32_t LListBox::SetItemCount(int32_t count)
{
    if (count == GetItemCount())
        return count;
    const RCPtr<LControl> self(this);
    {
        ScopedFlag batch(mBatchUpdate);
        while (GetItemCount() < count) {
            if (InsertItem(GetItemCount(), RCPtr<LTaggableObject>()) < 0)
                break;
        }
        while (GetItemCount() > count && GetItemCount() > 0) {
            if (RemoveItem(GetItemCount() - 1) < 0)
                break;
        }
    }
    UpdateClientExtent();
    RecalcWidestItem();
    FitDropDownHeight();
    const int32_t reached = GetItemCount();
    return reached == count ? count : -reached;
}

KXRESULT LListBox::SetItemHidden(int32_t index, bool hidden)
{
    if (index < 0 || index >= GetItemCount())
        return E_INVALIDARG;
    ItemData& item = *GetItemData(index);
    if (item.mHidden == hidden)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    item.mHidden = hidden;
    if (hidden) {
        DeselectItem(index);
        if (index == mTopIndex) {
            // Forces the top to move to a visible item.
            mTopIndex = GetItemCount();
            EnsureItemVisible(index);
        }
    }
    // The rows from the item on show the items that are visible now, and the
    // extent counts them.
    UpdateItemControlsFrom(std::min(index, mTopIndex));
    UpdateClientExtent();
    FitDropDownHeight();
    return S_OK;
}

// ---- Texts ----

int32_t LListBox::FindItemByText(const String& text, bool caseSensitive)
{
    for (int32_t i = GetItemCount() - 1; i >= 0; --i) {
        if (CompareTexts(GetItemText(i), text, caseSensitive) == 0)
            return i;
    }
    return -1;
}

int32_t LListBox::SelectItemByText(const String& text, int32_t after, bool caseSensitive)
{
    const int32_t count = GetItemCount();
    if (after < -1 || after >= count)
        after = -1;
    for (int32_t step = 1; step <= count; ++step) {
        const int32_t i = (after + step) % count;
        if (CompareTexts(GetItemText(i), text, caseSensitive) == 0)
            return SelectItemRange(i, -1, true);
    }
    return -1;
}

// ---- Sorting ----

KXRESULT LListBox::Sort()
{
    return SortRange(0, GetItemCount()) >= 0 ? 1 : 0;
}

KXRESULT LListBox::SortRange(int32_t start, int32_t count)
{
    if (count == 0)
        return S_FALSE;
    if (start < 0 || count < 0 || static_cast<int64_t>(start) + count > GetItemCount())
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    std::vector<SortEntry> texts;
    texts.reserve(static_cast<size_t>(count));
    for (int32_t i = start; i < start + count; ++i)
        texts.push_back(SortEntry{i, GetItemText(i)});
    std::vector<const SortEntry*> order;
    for (const SortEntry& entry : texts)
        order.push_back(&entry);
    std::qsort(order.data(), order.size(), sizeof(const SortEntry*), &CompareSortEntries);
    std::vector<int32_t> entries; // entries[p]: the index of the item sorted to start + p
    for (const SortEntry* entry : order)
        entries.push_back(entry->mIndex);

    // Anchor and caret follow their items.
    for (int32_t p = 0; p < count; ++p) {
        const int32_t from = entries[static_cast<size_t>(p)];
        if (from == mAnchorIndex) {
            mAnchorIndex = start + p;
            break;
        }
    }
    for (int32_t p = 0; p < count; ++p) {
        const int32_t from = entries[static_cast<size_t>(p)];
        if (from == mCaretIndex) {
            mCaretIndex = start + p;
            break;
        }
    }

    // The records go into place by swaps; an entry that still refers to the
    // position just filled is redirected to where that record went.
    for (int32_t p = 0; p < count; ++p) {
        const int32_t position = start + p;
        const int32_t source = entries[static_cast<size_t>(p)];
        if (source == position)
            continue;
        SwapItems(position, source);
        for (int32_t q = p + 1; q < count; ++q) {
            if (entries[static_cast<size_t>(q)] == position) {
                entries[static_cast<size_t>(q)] = source;
                break;
            }
        }
    }
    UpdateItemControlsFrom(mTopIndex);
    if (mCaretIndex >= 0)
        EnsureItemVisible(mCaretIndex);
    return S_OK;
}

} // namespace KX
