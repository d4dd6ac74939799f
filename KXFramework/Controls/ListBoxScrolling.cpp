// The list box's scrolling: the vertical offset counts whole rows of visible
// items, the top index follows it, and EnsureItemVisible scrolls the least
// that brings an item into view. Resizes top up the rows and keep the top in
// view.
#include "Controls/ListBox.h"

#include "Application/RootWindow.h"

#include <algorithm>
#include <cmath>

namespace KX {

KXRESULT LListBox::InvalidateBackBuffer(const PointT<double>& oldOffset, const PointT<double>& newOffset)
{
    const RCPtr<LControl> self(this);
    if (newOffset.y != oldOffset.y)
        FollowScrollOffset(newOffset.y);
    return LScrollView::InvalidateBackBuffer(oldOffset, newOffset);
}

KXRESULT LListBox::EndBackBufferResize()
{
    const RCPtr<LControl> self(this);
    const KXRESULT result = LScrollView::EndBackBufferResize();
    EnsureEnoughItemControls();
    if (GetItemCount() > 0)
        EnsureItemVisible(std::min(std::max(mTopIndex, 0), GetItemCount() - 1));
    return result;
}

// ---- Top index ----

int32_t LListBox::CountVisibleBefore(int32_t index)
{
    int32_t visible = 0;
    const int32_t end = std::min(index, GetItemCount());
    for (int32_t i = 0; i < end; ++i) {
        if (!GetItemData(i)->mHidden)
            ++visible;
    }
    return visible;
}

int32_t LListBox::TopIndexForOffset(double offsetY)
{
    // The scroll view steps by whole rows; before a template set its step the
    // list's own row height counts.
    const int32_t step = LScrollView::mRowHeight > 0 ? LScrollView::mRowHeight : mRowHeight;
    const double rows = step > 0 ? std::trunc(offsetY / step) : 0.0;
    int32_t remaining = rows > 0.0 ? static_cast<int32_t>(std::min(rows, 2147483647.0)) : 0;
    int32_t lastVisible = -1;
    for (int32_t i = 0; i < GetItemCount(); ++i) {
        if (GetItemData(i)->mHidden)
            continue;
        if (remaining == 0)
            return i;
        --remaining;
        lastVisible = i;
    }
    return lastVisible >= 0 ? lastVisible : 0;
}

void LListBox::FollowScrollOffset(double offsetY)
{
    const int32_t top = TopIndexForOffset(offsetY);
    if (top == mTopIndex)
        return;
    const RCPtr<LControl> self(this);
    mTopIndex = top;
    UpdateItemControlsFrom(top);
    // The row under a resting pointer now shows another item: its hover
    // starts again, so that listeners hear of the new item.
    if (const RCPtr<LRootWindow> window = GetRootWindow()) {
        const RCPtr<LControl> hovered = window->GetHoverControl();
        if (hovered && hovered->GetParent().Get() == this && GetItemControlIndex(hovered) >= 0) {
            hovered->SetVisible(false);
            hovered->SetVisible(true);
        }
    }
}

// ---- Keeping an item in view ----

KXRESULT LListBox::EnsureItemVisible(int32_t index)
{
    const int32_t count = GetItemCount();
    if (index < 0 || index >= count)
        return E_INVALIDARG;
    // A hidden item stands for its nearest visible neighbour, before it if
    // there is one.
    if (GetItemData(index)->mHidden) {
        int32_t neighbour = StepVisible(index, -1);
        if (neighbour < 0) {
            neighbour = StepVisible(index, 1);
            if (neighbour >= count)
                neighbour = -1;
        }
        index = neighbour;
    }
    if (index < 0 || GetRowCount() == 0)
        return S_FALSE;
    const RCPtr<LControl> self(this);

    // c: the last row that lies wholly inside the client area (at least row 0).
    const double clientHeight = GetClientRect().height;
    int32_t wholeRows = 0;
    for (int32_t k = 0; k < GetRowCount(); ++k) {
        const RCPtr<LListBoxItem> row = RowAt(k);
        if (!row)
            break;
        const double bottom = row->GetRect().y - mScrollOffset.y + row->GetRect().height;
        if (bottom > clientHeight)
            break;
        ++wholeRows;
    }
    const int32_t c = std::max(wholeRows - 1, 0);

    // L: the top of the last page.
    int32_t lastVisible = count - 1;
    while (lastVisible >= 0 && GetItemData(lastVisible)->mHidden)
        --lastVisible;
    int32_t lastPageTop = StepVisible(lastVisible, -c);
    if (lastPageTop < 0)
        lastPageTop = StepVisible(-1, 1);

    const int32_t lastInView = StepVisible(mTopIndex, c);
    const bool inView = index >= mTopIndex && index <= lastInView;
    int32_t top = mTopIndex;
    if (index > lastPageTop && !(inView && mTopIndex <= lastPageTop)) {
        // On the last page, or rows left empty below the items: the last page.
        top = lastPageTop;
    } else if (index < mTopIndex) {
        top = index;
    } else if (inView) {
        return S_OK;
    } else {
        // Below the view: the item comes into the last whole row.
        top = StepVisible(index, -c);
        if (top < 0)
            top = StepVisible(-1, 1);
    }
    if (top == mTopIndex)
        return S_OK;
    const int32_t step = LScrollView::mRowHeight > 0 ? LScrollView::mRowHeight : mRowHeight;
    SetScrollOffset(PointT<double>(mScrollOffset.x, static_cast<double>(CountVisibleBefore(top)) * step));
    // The top follows the offset the view settled on, also when the offset
    // itself did not change.
    FollowScrollOffset(mScrollOffset.y);
    return S_OK;
}

} // namespace KX
