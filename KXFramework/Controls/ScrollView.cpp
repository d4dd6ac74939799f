// The scroll view: creation, the client extent and its automatic form, the
// client, visible and scroll rectangles, and what resizes and child changes
// set off. The bars and their coupling with the offset are in
// ScrollViewBars.cpp.
#include "Controls/ScrollView.h"

#include "Controls/ScopedFlag.h"
#include "Notification/NotificationIDs.h"

#include <algorithm>
#include <cmath>

namespace KX {

namespace {

// Sizes within this of each other are equal.
constexpr double kTolerance = 2.220446049250313e-15;
bool IsTrue(const StringT<wchar_t, char>& text)
{
    return text.ToLower().Trim() == L"true";
}

} // namespace

LScrollView::LScrollView(const RCPtr<LControl>& parent, const String& name) : LControl(parent, name) {}

LScrollView::~LScrollView() = default;

// ---- Creation ----

KXRESULT LScrollView::Initialize()
{
    const KXRESULT result = LControl::Initialize();
    if (result < 0)
        return result;
    mScrollViewHandler = new Handler(this);
    mCorner = FindChild(String(L"corner"));
    mHBar = RCPtr<LScrollbar>::DynamicCast(FindChild(String(L"hBar")));
    mVBar = RCPtr<LScrollbar>::DynamicCast(FindChild(String(L"vBar")));
    return BindScrollBars();
}

KXRESULT LScrollView::ApplyCreateParams()
{
    const KXRESULT result = LControl::ApplyCreateParams();
    const ConstRCPtr<LStringTable> params = mDescriptor ? mDescriptor->GetCreateParams() : ConstRCPtr<LStringTable>();
    int32_t mask = 0;
    String text;
    if (params && params->GetString(L"AUTO_CLIENT_EXTENT_X", text) && IsTrue(text))
        mask |= kAutoExtentX;
    if (params && params->GetString(L"AUTO_CLIENT_EXTENT_Y", text) && IsTrue(text))
        mask |= kAutoExtentY;
    mAutoExtent = mask;
    mAutoExtentMargin = PointT<long>(0, 0);
    UpdateAutoClientExtent();
    return result;
}

KXRESULT LScrollView::ApplyControlDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    if (!mCreated)
        return LControl::ApplyControlDescriptor(descriptor);
    const RCPtr<LControl> self(this);
    // The children come and go while the new description is applied: the
    // extent follows them once, at the end.
    const int32_t mask = mAutoExtent;
    mAutoExtent = 0;
    const KXRESULT result = LControl::ApplyControlDescriptor(descriptor);
    // Parts the new skin no longer names have left the tree: they count as
    // absent from now on.
    const auto keepChild = [this](auto& part) {
        if (part && part->GetParent().Get() != this)
            part = nullptr;
    };
    keepChild(mCorner);
    keepChild(mHBar);
    keepChild(mVBar);
    BindScrollBars();
    mAutoExtent = mask;
    UpdateAutoClientExtent();
    UpdateScrollBars();
    EndBackBufferResize();
    return result;
}

// ---- Notifications ----

KXRESULT LScrollView::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                          const RCPtr<LNotification>& notification)
{
    if (mCreated && mScrollViewHandler && mScrollViewHandler->Binds(sender, notification)) {
        const RCPtr<Handler> handler = mScrollViewHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LControl::ReceiveNotification(sender, notification);
}

KXRESULT LScrollView::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                             const wchar_t* identifier)
{
    if (mScrollViewHandler)
        mScrollViewHandler->RemoveHandler(sender, identifier);
    return LControl::UnregisterNotification(sender, identifier);
}

// ---- Extent ----

KXRESULT LScrollView::SetClientExtent(double width, double height)
{
    if (std::fabs(width - mClientExtent.x) <= kTolerance && std::fabs(height - mClientExtent.y) <= kTolerance)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    mClientExtent = PointT<double>(width, height);
    OnClientExtentChanged();
    SendNotificationWithData(NID_CLIENT_EXTENT_CHANGE);
    return S_OK;
}

void LScrollView::OnClientExtentChanged()
{
    UpdateScrollBars();
    if (HasBackBuffer())
        ResizeBackBuffer();
}

void LScrollView::OnClientRectChanged() {}

void LScrollView::OnScrollBarVisibilityChanged(bool) {}

KXRESULT LScrollView::SetAutoClientExtent(int32_t mask, int32_t marginX, int32_t marginY)
{
    mAutoExtent = mask;
    mAutoExtentMargin = PointT<long>(marginX, marginY);
    UpdateAutoClientExtent();
    return S_OK;
}

KXRESULT LScrollView::UpdateAutoClientExtent()
{
    if (mAutoExtent == 0)
        return S_FALSE;
    const PointT<long> children = GetChildrenExtent();
    const double width = ClampToIntegerLimit(static_cast<double>(children.x) + mAutoExtentMargin.x);
    const double height = ClampToIntegerLimit(static_cast<double>(children.y) + mAutoExtentMargin.y);
    return SetClientExtent((mAutoExtent & kAutoExtentX) ? width : mClientExtent.x,
                           (mAutoExtent & kAutoExtentY) ? height : mClientExtent.y);
}

PointT<long> LScrollView::GetChildrenExtent() const
{
    int64_t right = 0;
    int64_t bottom = 0;
    const RCPtrArray<LControl>& children = mChildren.GetChildren();
    for (int32_t i = 0; i < children.GetCount(); ++i) {
        const LControl& child = *children.GetAt(i);
        const LLayoutDescriptor& layout = child.GetLayout();
        const RectT<long> rect = child.GetRect();
        if (!layout.mXIsDocked)
            right = std::max<int64_t>(right, static_cast<int64_t>(rect.x) + rect.width);
        if (!layout.mYIsDocked)
            bottom = std::max<int64_t>(bottom, static_cast<int64_t>(rect.y) + rect.height);
    }
    return PointT<long>(static_cast<long>(std::min<int64_t>(right, INT32_MAX)),
                        static_cast<long>(std::min<int64_t>(bottom, INT32_MAX)));
}

PointT<double> LScrollView::GetMaxSize()
{
    const LLayoutDescriptor& layout = GetLayout();
    PointT<double> size;
    if (!layout.mXMaximum.mIsControl)
        size.x = layout.mXMaximum.mAbs;
    if (!layout.mYMaximum.mIsControl)
        size.y = layout.mYMaximum.mAbs;
    if (layout.mXMaximum.mIsControl || layout.mYMaximum.mIsControl) {
        const PointT<long> children = GetChildrenExtent();
        if (layout.mXMaximum.mIsControl)
            size.x = children.x;
        if (layout.mYMaximum.mIsControl)
            size.y = children.y;
    }
    return size;
}

// ---- Rectangles ----

RectT<double> LScrollView::GetClientRect()
{
    const RectT<double> look = GetLookClientRect(-1);
    RectT<double> client(ClampToIntegerLimit(look.x), ClampToIntegerLimit(look.y), ClampToIntegerLimit(look.width),
                         ClampToIntegerLimit(look.height));
    const PointT<double> bars = GetScrollBarSizes();
    if (IsBarUsable(mVBar))
        client.width = std::max(0.0, client.width - bars.x);
    if (IsBarUsable(mHBar))
        client.height = std::max(0.0, client.height - bars.y);
    return client;
}

RectT<double> LScrollView::GetScrollRange(const RCPtr<LControl>&)
{
    const RectT<double> client = GetClientRect();
    // Without a client extent the range is unbounded: the integer limit.
    const auto range = [](double extent, double clientSize) {
        return extent == 0.0 ? kIntegerLimit : std::max(0.0, extent - clientSize);
    };
    return RectT<double>(0.0, 0.0, range(mClientExtent.x, client.width), range(mClientExtent.y, client.height));
}

RectT<double> LScrollView::GetVisibleRect()
{
    const RectT<double> look = GetLookClientRect(-1);
    const RectT<double> children = GetChildrenBounds();
    // Without undocked children the bounds' far edges lie at 2^31, beyond
    // any client size.
    const double childrenRight = children.x + children.width;
    const double childrenBottom = children.y + children.height;
    return RectT<double>(std::max(0.0, mScrollOffset.x), std::max(0.0, mScrollOffset.y),
                         std::max(1.0, std::min(look.width, childrenRight)),
                         std::max(1.0, std::min(look.height, childrenBottom)));
}

// ---- Scrolling ----

const PointT<double>& LScrollView::SetScrollOffset(const PointT<double>& offset)
{
    ScopedFlag setting(mSettingScrollOffset);
    return LControl::SetScrollOffset(offset);
}

// ---- Resizes and children ----

KXRESULT LScrollView::BeginBackBufferResize()
{
    const KXRESULT result = LControl::BeginBackBufferResize();
    mResizingBackBuffer = true;
    return result;
}

KXRESULT LScrollView::EndBackBufferResize()
{
    const RCPtr<LControl> self(this);
    const KXRESULT result = LControl::EndBackBufferResize();
    mResizingBackBuffer = false;
    UpdateAutoClientExtent();
    UpdateScrollBars();
    return result;
}

KXRESULT LScrollView::InvalidateChild(const RCPtr<LControl>& child)
{
    if (child && !mUpdatingScrollBars && !mSettingScrollOffset && !mResizingBackBuffer) {
        const LLayoutDescriptor& layout = child->GetLayout();
        if (!(layout.mXIsDocked && layout.mYIsDocked) && UpdateAutoClientExtent() == S_OK)
            UpdateScrollBars();
    }
    return LControl::InvalidateChild(child);
}

void LScrollView::OnChildRemoved(const RCPtr<LControl>& child, int32_t formerIndex)
{
    LControl::OnChildRemoved(child, formerIndex);
    if (GetRootWindow())
        UpdateAutoClientExtent();
}

} // namespace KX
