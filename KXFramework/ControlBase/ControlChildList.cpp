// The child list of a control: the children in insertion order, and index
// arrays for the draw order and the tab order, sorted again (stably) on the
// first read after any change that may alter them.
#include "ControlBase/Control.h"

#include <algorithm>

namespace KX {

namespace {

int32_t DockedAxes(const LLayoutDescriptor& layout)
{
    return (layout.mXIsDocked ? 1 : 0) + (layout.mYIsDocked ? 1 : 0);
}

} // namespace

bool LControl::ChildControlList::TabOrderLess::operator()(uint32_t a, uint32_t b) const
{
    return mChildren->GetAt(static_cast<int32_t>(a))->GetLayout().mTabStop <
           mChildren->GetAt(static_cast<int32_t>(b))->GetLayout().mTabStop;
}

bool LControl::ChildControlList::DrawOrderLess::operator()(uint32_t a, uint32_t b) const
{
    const LLayoutDescriptor& first = mChildren->GetAt(static_cast<int32_t>(a))->GetLayout();
    const LLayoutDescriptor& second = mChildren->GetAt(static_cast<int32_t>(b))->GetLayout();
    if (first.mClipToParent != second.mClipToParent)
        return first.mClipToParent;
    if (DockedAxes(first) != DockedAxes(second))
        return DockedAxes(first) < DockedAxes(second);
    if (first.mZOrder != second.mZOrder)
        return first.mZOrder < second.mZOrder;
    return a < b;
}

LControl::ChildControlList::ChildControlList(LControl* owner)
    : mTabLess{&mChildren}, mDrawLess{&mChildren}, mOwner(owner)
{
}

LControl::ChildControlList::~ChildControlList() = default;

KXRESULT LControl::ChildControlList::Add(const RCPtr<LControl>& child)
{
    if (!child)
        return E_INVALIDARG;
    for (int32_t i = mChildren.GetCount() - 1; i >= 0; --i) {
        if (mChildren.GetAt(i)->mName == child->mName)
            return E_FAIL;
    }
    for (int32_t i = 0; i < child->mUnclippedDescendantCount; ++i)
        mOwner->AddUnclippedDescendant();
    if (!child->GetLayout().mClipToParent)
        mOwner->AddUnclippedDescendant();
    child->mParent = mOwner;
    mOwner->AdjustInternalReferenceCount(1);
    mChildren.AddItem(child);
    ++mGeneration;
    return S_OK;
}

int32_t LControl::ChildControlList::Remove(const RCPtr<LControl>& child)
{
    int32_t index = -1;
    for (int32_t i = mChildren.GetCount() - 1; i >= 0; --i) {
        if (mChildren.GetAt(i) == child) {
            index = i;
            break;
        }
    }
    if (index < 0 || !child)
        return -1;
    // Held until every step is done, whatever the steps release.
    const RCPtr<LControl> keep = child;
    const RCPtr<LControl> owner(mOwner);
    for (int32_t i = 0; i < child->mUnclippedDescendantCount; ++i)
        mOwner->RemoveUnclippedDescendant();
    if (!child->GetLayout().mClipToParent)
        mOwner->RemoveUnclippedDescendant();
    // The count goes down before the back reference does, so that its
    // release is seen as an ordinary one.
    mOwner->AdjustInternalReferenceCount(-1);
    child->mParent = nullptr;
    RCPtr<LControl> removed;
    mChildren.RemoveItem(index, removed);
    ++mGeneration;
    mOwner->OnChildRemoved(keep, index);
    return index;
}

KXRESULT LControl::ChildControlList::RemoveAll()
{
    if (mChildren.GetCount() == 0)
        return S_FALSE;
    // OnChildRemoved may call out and change the list: walk a snapshot from
    // the last child to the first and skip what has gone meanwhile.
    const RCPtrArray<LControl> snapshot = Snapshot();
    for (int32_t i = snapshot.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LControl>& child = snapshot.GetAt(i);
        if (child->mParent.Get() == mOwner)
            Remove(child);
    }
    return S_OK;
}

int32_t LControl::ChildControlList::InsertionIndexAt(int32_t index, int32_t order, int32_t rangeLine,
                                                     int32_t orderLine) const
{
    if (index < 0 || index >= mChildren.GetCount())
        KX_THROW(std::runtime_error, "", "KX::LControl::ChildControlList::GetAt", "ControlBase\\Control", rangeLine);
    switch (order) {
    case kInsertionOrder:
        return index;
    case kDrawOrder:
        EnsureSorted();
        return static_cast<int32_t>(mDrawOrder.GetAt(index));
    case kTabOrder:
        EnsureSorted();
        return static_cast<int32_t>(mTabOrder.GetAt(index));
    default:
        KX_THROW(std::runtime_error, "", "KX::LControl::ChildControlList::GetAt", "ControlBase\\Control", orderLine);
    }
}

RCPtr<LControl>& LControl::ChildControlList::GetAt(int32_t index, int32_t order)
{
    return mChildren.GetAt(InsertionIndexAt(index, order, 3327, 3347));
}

const RCPtr<LControl>& LControl::ChildControlList::GetAt(int32_t index, int32_t order) const
{
    return mChildren.GetAt(InsertionIndexAt(index, order, 3355, 3375));
}

KXRESULT LControl::ChildControlList::UpdateOrder()
{
    const int32_t count = mChildren.GetCount();
    mTabOrder.SetCount(count);
    mDrawOrder.SetCount(count);
    for (int32_t i = 0; i < count; ++i) {
        mTabOrder.GetAt(i) = static_cast<uint32_t>(i);
        mDrawOrder.GetAt(i) = static_cast<uint32_t>(i);
    }
    if (count > 1) {
        std::stable_sort(mTabOrder.GetData(), mTabOrder.GetData() + count, mTabLess);
        std::stable_sort(mDrawOrder.GetData(), mDrawOrder.GetData() + count, mDrawLess);
    }
    mSortedGeneration = mGeneration;
    return S_OK;
}

void LControl::ChildControlList::EnsureSorted() const
{
    if (mSortedGeneration != mGeneration || mTabOrder.GetCount() != mChildren.GetCount())
        const_cast<ChildControlList*>(this)->UpdateOrder();
}

int32_t LControl::ChildControlList::IndexOf(const LControl* child, int32_t order) const
{
    const int32_t count = mChildren.GetCount();
    for (int32_t i = 0; i < count; ++i) {
        if (GetAt(i, order).Get() == child)
            return i;
    }
    return -1;
}

} // namespace KX
