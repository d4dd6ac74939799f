// Looks, drawing and the invalidation chain. A change of a control's
// appearance travels up the tree as a rectangle, clipped by every ancestor
// as long as the chain clips to its parents, into the root window's dirty
// region. Drawing through the renderer (Render and its runs of children, the
// look regions, back buffers) completes this file with the renderer.
#include "ControlBase/Control.h"

#include "Application/RootWindow.h"
#include "ControlBase/Look.h"

#include <algorithm>
#include <climits>

namespace KX {

namespace {

// The overlap of two rectangles; a width or height of 0 when there is none.
RectT<double> Intersect(const RectT<double>& a, const RectT<double>& b)
{
    const double left = std::max(a.x, b.x);
    const double top = std::max(a.y, b.y);
    const double right = std::min(a.GetRight(), b.GetRight());
    const double bottom = std::min(a.GetBottom(), b.GetBottom());
    return RectT<double>(left, top, std::max(0.0, right - left), std::max(0.0, bottom - top));
}

bool IsEmpty(const RectT<double>& rect)
{
    return !(rect.width > 0.0) || !(rect.height > 0.0);
}

} // namespace

// ---- Looks ----

int32_t LControl::AddLook(const RCPtr<LLook>& look)
{
    const int32_t index = mLooks.AddItem(look);
    while (mLookWeights.GetCount() < mLooks.GetCount())
        mLookWeights.AddItem(0.0f);
    return index;
}

KXRESULT LControl::SetLookWeight(int32_t index, float weight, bool exclusive)
{
    if (index < 0 || index >= mLookWeights.GetCount())
        return E_INVALIDARG;
    bool changed = false;
    if (weight >= 0.0f && weight <= 1.0f && mLookWeights.GetAt(index) != weight) {
        mLookWeights.GetAt(index) = weight;
        changed = true;
    }
    if (exclusive) {
        for (int32_t i = 0; i < mLookWeights.GetCount(); ++i) {
            if (i != index && mLookWeights.GetAt(i) != 0.0f) {
                mLookWeights.GetAt(i) = 0.0f;
                changed = true;
            }
        }
    }
    if (changed)
        InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
    return S_OK;
}

KXRESULT LControl::SelectLook(int32_t index, bool exclusive)
{
    return SetLookWeight(index, 1.0f, exclusive);
}

float LControl::GetLookWeight(int32_t index) const
{
    if (index < 0 || index >= mLookWeights.GetCount())
        return 0.0f;
    return mLookWeights.GetAt(index);
}

int32_t LControl::GetActiveLookIndex() const
{
    for (int32_t i = 0; i < mLooks.GetCount(); ++i) {
        if (mLooks.GetAt(i) && GetLookWeight(i) > 0.0f)
            return i;
    }
    return -1;
}

const RCPtr<LLook>& LControl::GetLook(int32_t index) const
{
    if (index >= 0 && index < mLooks.GetCount())
        return mLooks.GetAt(index);
    const int32_t active = GetActiveLookIndex();
    if (active >= 0)
        return mLooks.GetAt(active);
    for (int32_t i = 0; i < mLooks.GetCount(); ++i) {
        if (mLooks.GetAt(i))
            return mLooks.GetAt(i);
    }
    return RCPtr<LLook>::sNull;
}

KXRESULT LControl::SetLookRegion(int32_t, const LRectRegion&)
{
    return E_NOTIMPL; // look regions come with the looks' drawing
}

KXRESULT LControl::ClearLookRegion(int32_t)
{
    return E_NOTIMPL;
}

KXRESULT LControl::ClearAllLookRegions()
{
    return E_NOTIMPL;
}

KXRESULT LControl::InvalidateLookExcept(int32_t, int32_t)
{
    return E_NOTIMPL;
}

int32_t LControl::GetEffectiveZOrder() const
{
    int32_t order = INT32_MIN;
    for (const LControl* control = this; control; control = control->mParent.Get()) {
        const LLayoutDescriptor& layout = control->GetLayout();
        if (!layout.mClipToParent)
            order = std::max(order, layout.mZOrder);
    }
    return order;
}

// ---- Drawing ----

KXRESULT LControl::Render(const RCPtr<LRenderer>&, const LRectRegion&, RCPtrArray<LControl>& unclipped,
                          bool unclippedPass)
{
    if (unclippedPass == GetLayout().mClipToParent)
        return E_INVALIDARG;
    if (!IsVisible(false))
        return S_OK;
    // The looks, the content and the children are drawn with the renderer;
    // the controls that draw on top are handed back for the second pass.
    const int32_t count = mChildren.GetCount();
    for (int32_t i = 0; i < count; ++i) {
        const RCPtr<LControl>& child = mChildren.GetAt(i, kDrawOrder);
        if (child->IsVisible(false) && !child->GetLayout().mClipToParent)
            unclipped.AddItem(child);
    }
    return S_OK;
}

KXRESULT LControl::RenderContent(const RCPtr<LRenderer>&)
{
    return S_OK;
}

KXRESULT LControl::RenderOverlay(const RCPtr<LRenderer>&)
{
    return S_OK;
}

// ---- Invalidation ----

KXRESULT LControl::InvalidateRect(const RectT<double>& rect, bool clip)
{
    const PointT<double> origin = GetRootPosition();
    const RectT<double> rootRect(rect.x + origin.x, rect.y + origin.y, rect.width, rect.height);
    return InvalidateFromChild(rootRect, clip, rect);
}

KXRESULT LControl::InvalidateFromChild(const RectT<double>& rootRect, bool clip, const RectT<double>& localRect)
{
    if (!IsVisible(false))
        return S_FALSE;
    RectT<double> area = localRect;
    const bool clipsHere = clip && GetLayout().mClipToParent;
    if (clipsHere) {
        // The parent's rectangle (the window's client area for a top control)
        // in this control's coordinates.
        RectT<double> bounds;
        if (mParent) {
            const RectT<double> client = mParent->GetLookClientRect(-1);
            const double left = client.x - mParent->mScrollOffset.x + mRect.x;
            const double top = client.y - mParent->mScrollOffset.y + mRect.y;
            bounds = RectT<double>(-left, -top, mParent->mRect.width, mParent->mRect.height);
        } else if (mRootWindow) {
            const RectT<long> client = mRootWindow->GetClientRect();
            bounds = RectT<double>(-mRect.x, -mRect.y, client.width, client.height);
        } else {
            bounds = RectT<double>(-mRect.x, -mRect.y, mRect.width, mRect.height);
        }
        area = Intersect(area, bounds);
        if (IsEmpty(area))
            return S_FALSE;
    }
    const bool clipAbove = clipsHere;
    if (mParent) {
        const RectT<double> client = mParent->GetLookClientRect(-1);
        area.x += mRect.x - mParent->mScrollOffset.x + client.x;
        area.y += mRect.y - mParent->mScrollOffset.y + client.y;
        const RCPtr<LControl> parent = mParent;
        return parent->InvalidateFromChild(rootRect, clipAbove, area);
    }
    if (!mRootWindow)
        return S_OK;
    RectT<double> dirty = rootRect;
    if (clipAbove) {
        area.x += mRect.x;
        area.y += mRect.y;
        dirty = Intersect(dirty, area);
    }
    const RectT<long> pixels = dirty;
    return mRootWindow->Invalidate(pixels) < 0 ? E_FAIL : S_OK;
}

KXRESULT LControl::InvalidateChild(const RCPtr<LControl>&)
{
    return S_OK; // only a back buffer keeps track of its children's areas
}

// ---- Back buffers: the base class never has one ----

KXRESULT LControl::BeginBackBufferResize()
{
    mBackBufferResizeRect = GetLookClientRect(-1);
    mBackBufferResizePending = true;
    return S_OK;
}

KXRESULT LControl::EndBackBufferResize()
{
    mBackBufferResizePending = false;
    return S_OK;
}

KXRESULT LControl::InvalidateBackBuffer(const PointT<double>&, const PointT<double>&)
{
    return S_OK;
}

KXRESULT LControl::ResizeBackBuffer()
{
    return S_OK;
}

} // namespace KX
