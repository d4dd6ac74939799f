// The invalidation chain: a change of a control's appearance travels up the
// tree as a rectangle, clipped by every ancestor as long as the chain clips to
// its parents, into the root window's dirty region. And the bookkeeping of a
// control's back buffer (nothing in the base class turns one on).
#include "ControlBase/Control.h"

#include "Application/RootWindow.h"
#include "ControlBase/Look.h"
#include "ControlBase/RectOps.h"
#include "Renderer/Renderer.h"

#include <cmath>

namespace KX {

using RectOps::Intersect;
using RectOps::IsEmpty;

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
    if (mHasBackBuffer && !mBackBufferSuspended && !mBackBufferResizePending)
        MarkBackBufferDirty(area);
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

// ---- Back buffers ----
//
// A back-buffered control keeps its client content in an off-screen surface
// whose coordinates are the control's content coordinates (the visible
// rectangle starts at the scroll offset). mBackBufferValid is the part the
// surface holds, mBackBufferDirty the part of it to draw again. The base class
// never turns a back buffer on, so without one these operations do nothing.

namespace {

// The rectangle rounded to whole pixels.
RectT<long> Pixels(const RectT<double>& rect)
{
    return RectT<long>(RoundDoubleToInt(rect.x), RoundDoubleToInt(rect.y), RoundDoubleToInt(rect.width),
                       RoundDoubleToInt(rect.height));
}

void AddPixels(LRectRegion& region, const RectT<long>& rect)
{
    region.AddRect(rect.x, rect.y, rect.x + rect.width, rect.y + rect.height);
}

} // namespace

void LControl::MarkBackBufferDirty(const RectT<double>& area)
{
    // From control coordinates into the content coordinates of the buffer.
    const RectT<double> client = GetLookClientRect(-1);
    const RectT<long> content =
        Pixels(RectT<double>(area.x - client.x + mScrollOffset.x, area.y - client.y + mScrollOffset.y, area.width,
                             area.height));
    if (mBackBufferValid.Intersects(content.x, content.y, content.x + content.width, content.y + content.height))
        AddPixels(mBackBufferDirty, content);
}

KXRESULT LControl::InvalidateChild(const RCPtr<LControl>& child)
{
    if (!mHasBackBuffer || !child)
        return S_OK;
    const LLayoutDescriptor& layout = child->GetLayout();
    // While scrolling or resizing, only docked children move on the buffer.
    if ((mBackBufferSuspended || mBackBufferResizePending) && !layout.mXIsDocked && !layout.mYIsDocked)
        return S_OK;
    RectT<long> rect = Pixels(child->mRect);
    rect.x += RoundDoubleToInt(mScrollOffset.x);
    rect.y += RoundDoubleToInt(mScrollOffset.y);
    if (mBackBufferValid.Intersects(rect.x, rect.y, rect.x + rect.width, rect.y + rect.height))
        AddPixels(mBackBufferDirty, rect);
    return S_OK;
}

KXRESULT LControl::BeginBackBufferResize()
{
    mBackBufferResizeRect = GetLookClientRect(-1);
    mBackBufferResizePending = true;
    return S_OK;
}

KXRESULT LControl::EndBackBufferResize()
{
    mBackBufferResizePending = false;
    if (!mHasBackBuffer)
        return S_OK;
    constexpr double kTolerance = 2.220446049250313e-15;
    const RectT<double> client = GetLookClientRect(-1);
    if (std::fabs(client.width - mBackBufferResizeRect.width) >= kTolerance ||
        std::fabs(client.height - mBackBufferResizeRect.height) >= kTolerance)
        ResizeBackBuffer();
    return S_OK;
}

KXRESULT LControl::InvalidateBackBuffer(const PointT<double>& oldOffset, const PointT<double>& newOffset)
{
    if (!mHasBackBuffer)
        return S_OK;
    // The content the buffer holds moves by the scroll difference.
    const RCPtr<LRootWindow>& window = GetRootWindow();
    if (mBackBuffer && window && window->GetRenderer()) {
        const PointT<long> shift(RoundDoubleToInt(oldOffset.x - newOffset.x),
                                 RoundDoubleToInt(oldOffset.y - newOffset.y));
        window->GetRenderer()->DrawLastFrame(mBackBuffer, shift);
    }
    mBackBufferRect = GetVisibleRect();
    const RectT<long> visible = Pixels(mBackBufferRect);
    // What scrolled into view was never drawn into the buffer.
    LRectRegion exposed;
    AddPixels(exposed, visible);
    exposed.Subtract(mBackBufferValid);
    mBackBufferValid.Clear();
    AddPixels(mBackBufferValid, visible);
    mBackBufferDirty.Intersect(mBackBufferValid);
    mBackBufferDirty.Append(exposed);
    mBackBufferDirty.Normalize();
    return S_OK;
}

KXRESULT LControl::ResizeBackBuffer()
{
    // Without a back buffer there is nothing to resize (a control whose
    // visible rectangle is 0 x 0 would otherwise reach a surface it does not
    // have).
    if (!mHasBackBuffer)
        return S_FALSE;
    const RectT<double> visible = GetVisibleRect();
    if (mBackBufferCapacity.x >= visible.width && mBackBufferCapacity.y >= visible.height) {
        mBackBufferRect = visible;
        const RectT<long> pixels = Pixels(visible);
        if (mBackBuffer)
            mBackBuffer->mViewport = RectT<long>(0, 0, pixels.width, pixels.height);
        mBackBufferValid.Clear();
        AddPixels(mBackBufferValid, pixels);
        mBackBufferDirty.Clear();
        AddPixels(mBackBufferDirty, pixels);
        const RectT<double> client = GetLookClientRect(-1);
        InvalidateRect(RectT<double>(client.x, client.y, visible.width, visible.height), GetLayout().mClipToParent);
        return S_OK;
    }
    // The surface is too small: drawn directly from now on.
    mHasBackBuffer = false;
    mBackBuffer = nullptr;
    mBackBufferValid.Clear();
    mBackBufferDirty.Clear();
    InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
    return S_OK;
}

} // namespace KX
