// The control side of the layout engine: when layout runs and how a change
// travels through the tree (children, the control itself, its later
// siblings, its parent), the rectangle with its side effects, scrolling, and
// the conversions between the tree's coordinate spaces.
#include "ControlBase/Control.h"

#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "ControlBase/LayoutUtils.h"
#include "ControlBase/Look.h"
#include "Controls/ScopedFlag.h"
#include "Notification/NotificationIDs.h"

#include <climits>
#include <cmath>

namespace KX {

namespace {

// A width or height that moved by less than this has not changed.
constexpr double kSizeTolerance = 2.220446049250313e-15;

} // namespace

// ---- The layout record ----

const LLayoutDescriptor& LControl::GetLayout() const
{
    if (mLayout)
        return *mLayout;
    // A control whose description has not been applied reads the defaults.
    static const RCPtr<LLayoutDescriptor> sDefaults = LLayoutDescriptor::Create();
    return *sDefaults;
}

LLayoutDescriptor& LControl::EditLayout()
{
    if (!mLayout)
        mLayout = LLayoutDescriptor::Create();
    return *mLayout;
}

KXRESULT LControl::SetLayoutDescriptor(const ConstRCPtr<LLayoutDescriptor>& layout)
{
    if (!GetLayout().mClipToParent && mParent)
        mParent->RemoveUnclippedDescendant();
    mLayout = layout ? layout->Clone() : RCPtr<LLayoutDescriptor>();
    if (!GetLayout().mClipToParent && mParent)
        mParent->AddUnclippedDescendant();
    if (mParent)
        mParent->mChildren.Touch();
    return S_OK;
}

// ---- RecalcLayout ----

KXRESULT LControl::RecalcLayout(int32_t, int32_t)
{
    RecalcLayout();
    return S_OK;
}

KXRESULT LControl::RecalcLayout()
{
    if (!mLayout)
        return E_FAIL;
    const RCPtr<LControl> self(this);
    RectT<double> rect;
    if (mParent) {
        LayoutUtils::ComputePlacement(mLayout.Get(), mParent.Get(), RectT<double>(), PointT<double>(),
                                      PointT<double>(), rect);
    } else {
        if (mCreated && !mRootWindow)
            return E_FAIL;
        LFrameworkApp* application = LFrameworkApp::sInstance;
        if (!application)
            return E_FAIL;
        RCPtr<LRootWindow> window = mRootWindow;
        if (!window)
            window = application->GetActiveRootWindow();
        if (!window && application->GetRootWindowCount() > 0)
            window = application->GetRootWindow(0);
        if (!window)
            return E_FAIL;
        RectT<int32_t> workArea;
        application->GetWorkArea(workArea);
        const RectT<long> client = window->GetClientRect();
        const double cx = ClampToIntegerLimit(client.x);
        const double cy = ClampToIntegerLimit(client.y);
        PointT<int32_t> cursor;
        application->GetCursorPosition(cursor);
        const RectT<double> screen(-cx, -cy, workArea.width, workArea.height);
        const PointT<double> windowSize(client.width, client.height);
        const PointT<double> pointer(cursor.x - cx, cursor.y - cy);
        LayoutUtils::ComputePlacement(mLayout.Get(), nullptr, screen, windowSize, pointer, rect);
    }
    PointT<double> position(rect.x, rect.y);
    PointT<double> size(rect.width, rect.height);
    LayoutUtils::ApplyMinSize(*this, position, size);
    LayoutUtils::ApplyMaxSize(*this, position, size);
    RectT<double> snapped(position.x, position.y, size.x, size.y);
    snapped.SnapToPixelGrid();
    return SetRect(PointT<double>(snapped.x, snapped.y), PointT<double>(snapped.width, snapped.height));
}

// ---- SetRect ----

KXRESULT LControl::SetRect(const PointT<double>& position, const PointT<double>& size)
{
    if (position.x == mRect.x && position.y == mRect.y && size.x == mRect.width && size.y == mRect.height)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    BeginBackBufferResize();
    const bool sizeChanged =
        std::fabs(size.x - mRect.width) >= kSizeTolerance || std::fabs(size.y - mRect.height) >= kSizeTolerance;

    InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
    if (mUnclippedDescendantCount > 0)
        InvalidateUnclippedDescendants();

    mRect = RectT<double>(position.x, position.y, size.x, size.y);
    const PointT<long> lookSize(RoundDoubleToInt(size.x), RoundDoubleToInt(size.y));
    for (int32_t i = 0; i < mLooks.GetCount(); ++i) {
        if (const RCPtr<LLook> look = mLooks.GetAt(i))
            look->SetSize(lookSize);
    }

    if (sizeChanged && !mLayoutSuspended) {
        {
            ScopedFlag suspended(mLayoutSuspended);
            const RCPtrArray<LControl> children = mChildren.Snapshot();
            for (int32_t i = 0; i < children.GetCount(); ++i) {
                const RCPtr<LControl>& child = children.GetAt(i);
                if (child->mParent.Get() == this)
                    child->RecalcLayout(static_cast<int32_t>(lookSize.x), static_cast<int32_t>(lookSize.y));
            }
            // The limits may depend on the children.
            RecalcLayout();
        }
    }

    if (mParent) {
        const RCPtr<LControl> parent = mParent;
        const RCPtrArray<LControl> siblings = parent->mChildren.Snapshot();
        bool after = false;
        for (int32_t i = 0; i < siblings.GetCount(); ++i) {
            const RCPtr<LControl>& sibling = siblings.GetAt(i);
            if (sibling.Get() == this) {
                after = true;
                continue;
            }
            if (!after || sibling->mParent != parent)
                continue;
            // The first sibling that changes carries the chain on itself.
            if (sibling->RecalcLayout() != S_FALSE)
                break;
        }
        if (mParent == parent)
            parent->OnChildRectChange(self);
    } else if (mRootWindow) {
        const RCPtr<LRootWindow> window = mRootWindow;
        const RectT<long> client = window->GetClientRect();
        window->SetWindowRect(RectT<long>(client.x, client.y, RoundDoubleToInt(mRect.width),
                                          RoundDoubleToInt(mRect.height)));
    }

    if ((mRect.width <= 0.0 || mRect.height <= 0.0) && (mHasFocus || mContainsFocus) && mParent) {
        const RCPtr<LControl> parent = mParent;
        parent->SetFocus(true);
    }

    InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
    if (mUnclippedDescendantCount > 0)
        InvalidateUnclippedDescendants();
    EndBackBufferResize();
    return S_OK;
}

// ---- Placement ----

KXRESULT LControl::SetPlacementXY(const LLayoutDescriptor::PositionSpec& xPosition, bool xDocked,
                                  const LLayoutDescriptor::SizeSpec& xSize,
                                  const LLayoutDescriptor::PositionSpec& yPosition, bool yDocked,
                                  const LLayoutDescriptor::SizeSpec& ySize)
{
    LLayoutDescriptor& layout = EditLayout();
    if ((layout.mXIsDocked != xDocked || layout.mYIsDocked != yDocked) && mParent)
        mParent->mChildren.Touch();
    layout.SetAxisSpec(0, xPosition, xDocked, xSize);
    layout.SetAxisSpec(1, yPosition, yDocked, ySize);
    RecalcLayout();
    return S_OK;
}

KXRESULT LControl::SetPlacement(int32_t axis, const LLayoutDescriptor::PositionSpec& position, bool docked,
                                const LLayoutDescriptor::SizeSpec& size)
{
    if (axis != 0 && axis != 1)
        return E_INVALIDARG;
    LLayoutDescriptor& layout = EditLayout();
    if ((axis == 0 ? layout.mXIsDocked : layout.mYIsDocked) != docked && mParent)
        mParent->mChildren.Touch();
    layout.SetAxisSpec(axis, position, docked, size);
    RecalcLayout();
    return S_OK;
}

KXRESULT LControl::SetSizeLimits(int32_t axis, const LLayoutDescriptor::SizeLimitSpec& minimum,
                                 const LLayoutDescriptor::SizeLimitSpec& maximum)
{
    if (axis != 0 && axis != 1)
        return E_INVALIDARG;
    EditLayout().SetSizeLimits(axis, minimum, maximum);
    RecalcLayout();
    return S_OK;
}

PointT<double> LControl::GetPreferredSize()
{
    PointT<double> preferred;
    for (int32_t axis = 0; axis < 2; ++axis) {
        LLayoutDescriptor::PositionSpec position;
        LLayoutDescriptor::SizeSpec size;
        bool docked = false;
        GetLayout().GetAxisSpec(axis, position, docked, size);
        LLayoutDescriptor::SizeSpec self;
        self.mKind = LLayoutDescriptor::SizeSelf;
        self.mRel = 0.0f;
        self.mAbs = 0.0;
        SetPlacement(axis, position, docked, self);
        (axis == 0 ? preferred.x : preferred.y) = axis == 0 ? mRect.width : mRect.height;
        SetPlacement(axis, position, docked, size);
    }
    return preferred;
}

PointT<double> LControl::GetMaxSize()
{
    const LLayoutDescriptor& layout = GetLayout();
    return PointT<double>(layout.mXMaximum.mIsControl ? 0.0 : layout.mXMaximum.mAbs,
                          layout.mYMaximum.mIsControl ? 0.0 : layout.mYMaximum.mAbs);
}

// ---- Client areas ----

RectT<double> LControl::GetLookClientRect(int32_t lookIndex)
{
    const RCPtr<LLook>& look = GetLook(lookIndex);
    if (!look)
        return RectT<double>(0.0, 0.0, mRect.width, mRect.height);
    const RectT<long>& client = look->GetClientRect();
    return RectT<double>(client.x, client.y, client.width, client.height);
}

RectT<double> LControl::GetClientRect()
{
    const RectT<double> client = GetLookClientRect(-1);
    return RectT<double>(0.0, 0.0, client.width, client.height);
}

RectT<double> LControl::GetVisibleRect()
{
    const RectT<double> client = GetLookClientRect(-1);
    return RectT<double>(mScrollOffset.x, mScrollOffset.y, client.width, client.height);
}

// ---- Coordinates ----

PointT<double> LControl::GetRootPosition() const
{
    PointT<double> position(mRect.x, mRect.y);
    for (LControl* ancestor = mParent.Get(); ancestor; ancestor = ancestor->mParent.Get()) {
        const RectT<double> client = ancestor->GetLookClientRect(-1);
        position.x += client.x - ancestor->mScrollOffset.x + ancestor->mRect.x;
        position.y += client.y - ancestor->mScrollOffset.y + ancestor->mRect.y;
    }
    return position;
}

PointT<double> LControl::GetPositionInParentClient() const
{
    PointT<double> position(mRect.x, mRect.y);
    if (mParent) {
        const RectT<double> client = mParent->GetLookClientRect(-1);
        position.x += client.x - mParent->mScrollOffset.x;
        position.y += client.y - mParent->mScrollOffset.y;
    }
    return position;
}

KXRESULT LControl::OffsetToControl(const RCPtr<LControl>& other, PointT<double>& point) const
{
    if (!other)
        return E_INVALIDARG;
    const PointT<long> mine = GetRootPosition();
    const PointT<long> theirs = other->GetRootPosition();
    point.x += static_cast<double>(mine.x) - static_cast<double>(theirs.x);
    point.y += static_cast<double>(mine.y) - static_cast<double>(theirs.y);
    return S_OK;
}

RectT<double> LControl::GetChildrenBounds() const
{
    int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    const RCPtrArray<LControl>& children = mChildren.GetChildren();
    for (int32_t i = 0; i < children.GetCount(); ++i) {
        const LControl& child = *children.GetAt(i);
        const LLayoutDescriptor& layout = child.GetLayout();
        if (layout.mXIsDocked || layout.mYIsDocked)
            continue;
        const RectT<long> rect = child.mRect;
        left = std::min<int32_t>(left, rect.x);
        top = std::min<int32_t>(top, rect.y);
        right = std::max<int32_t>(right, static_cast<int32_t>(static_cast<uint32_t>(rect.x) +
                                                              static_cast<uint32_t>(rect.width)));
        bottom = std::max<int32_t>(bottom, static_cast<int32_t>(static_cast<uint32_t>(rect.y) +
                                                                static_cast<uint32_t>(rect.height)));
    }
    // The extents wrap as 32-bit integers do: without undocked children
    // they come out as 1 (far edges at 2^31), which the scroll view expects.
    const auto wrappedDifference = [](int32_t a, int32_t b) {
        return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
    };
    return RectT<double>(left, top, wrappedDifference(right, left), wrappedDifference(bottom, top));
}

// ---- Scrolling ----

const PointT<double>& LControl::SetScrollOffset(const PointT<double>& offset)
{
    ScopedFlag suspended(mBackBufferSuspended);
    const PointT<double> rounded(LayoutUtils::Round(offset.x), LayoutUtils::Round(offset.y));
    if (rounded == mScrollOffset)
        return mScrollOffset;
    const RCPtr<LControl> self(this);
    if (mUnclippedDescendantCount > 0)
        InvalidateUnclippedDescendants();
    const PointT<double> old = mScrollOffset;
    mScrollOffset = rounded;
    const RCPtrArray<LControl> children = mChildren.Snapshot();
    for (int32_t i = 0; i < children.GetCount(); ++i) {
        const RCPtr<LControl>& child = children.GetAt(i);
        if (child->mParent.Get() == this)
            child->OnParentScrollOffsetChange(old, rounded);
    }
    InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
    InvalidateBackBuffer(old, rounded);
    SendNotificationWithData(NID_SCROLL_OFFSET_CHANGE);
    // What lies under a resting pointer has moved.
    if (const RCPtr<LRootWindow> window = GetRootWindow()) {
        PointT<long> cursor;
        window->GetCursorPosition(cursor);
        PointT<double> local(cursor.x, cursor.y);
        const PointT<double> origin = GetRootPosition();
        local.x -= origin.x;
        local.y -= origin.y;
        if (local.x >= 0.0 && local.y >= 0.0 && local.x < mRect.width && local.y < mRect.height) {
            RCPtr<LControl> hit;
            PointT<long> hitPoint;
            window->GetControlAtPoint(hit, cursor, hitPoint, true);
        }
    }
    return mScrollOffset;
}

KXRESULT LControl::OnParentScrollOffsetChange(const PointT<double>&, const PointT<double>&)
{
    const LLayoutDescriptor& layout = GetLayout();
    if (layout.mXIsDocked || layout.mYIsDocked)
        RecalcLayout();
    return S_OK;
}

KXRESULT LControl::OnChildRectChange(const RCPtr<LControl>& child)
{
    if (!mLayoutSuspended)
        RecalcLayout();
    InvalidateChild(child);
    return S_OK;
}

} // namespace KX
