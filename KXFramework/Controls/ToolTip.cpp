// The tool tip: its timing through the idle pass, its place at the pointer
// and its removal.
#include "Controls/ToolTip.h"

#include "Application/RootWindow.h"
#include "Controls/ControlClock.h"

#include <cmath>

namespace KX {

uint32_t LToolTip::sLastToolTipHideTick = 0;

LToolTip::LToolTip(const RCPtr<LControl>& parent, const String& name) : LControl(parent, name) {}

LToolTip::~LToolTip() = default;

bool LToolTip::IsTransparentAt(const PointT<long>&)
{
    return false;
}

KXRESULT LToolTip::ApplyCreateParams()
{
    SetFocusDisabled(true);
    return S_OK;
}

KXRESULT LToolTip::OnCreated()
{
    SetVisible(false);
    return S_OK;
}

KXRESULT LToolTip::Show()
{
    const RCPtr<LControl> self(this);
    // Never wider than the window, less a margin; the minimum stays.
    if (const RCPtr<LRootWindow>& window = GetRootWindow()) {
        LLayoutDescriptor::SizeLimitSpec minimum;
        LLayoutDescriptor::SizeLimitSpec maximum;
        GetLayout().GetSizeLimits(0, minimum, maximum);
        maximum = LLayoutDescriptor::SizeLimitSpec();
        maximum.mAbs = static_cast<double>(window->GetClientRect().width) - kWindowMargin;
        SetSizeLimits(0, minimum, maximum);
    }
    const uint32_t now = ApplicationTicks();
    mToolTipTick = now;
    if (now - sLastToolTipHideTick < kQuickFollowTime) {
        Appear(now);
    } else {
        mToolTipState = StatePending;
    }
    AddIdleRequest();
    return S_OK;
}

void LToolTip::Appear(uint32_t now)
{
    mToolTipState = StateShown;
    mToolTipTick = now;
    UpdatePosition();
    SetVisible(true);
}

KXRESULT LToolTip::Hide()
{
    const RCPtr<LControl> self(this);
    if (mToolTipState != StateHidden) {
        mToolTipState = StateHidden;
        ReleaseIdle();
    }
    // Only a tip that could be seen starts the quick-follow window.
    if (IsVisible(false))
        sLastToolTipHideTick = ApplicationTicks();
    if (const RCPtr<LControl> parent = mParent)
        parent->RemoveChildDeferred(self);
    return S_OK;
}

void LToolTip::OnIdle()
{
    const uint32_t now = ApplicationTicks();
    if (mToolTipState == StatePending) {
        if (now - mToolTipTick > kShowDelay)
            Appear(now);
    } else if (mToolTipState == StateShown) {
        if (now - mToolTipTick > kShowDuration)
            Hide();
    }
}

KXRESULT LToolTip::UpdatePosition()
{
    const RCPtr<LRootWindow>& window = GetRootWindow();
    if (!window || !mParent)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    PointT<long> pointer;
    window->GetCursorPosition(pointer);
    const PointT<double> parentRoot = mParent->GetRootPosition();
    const PointT<double>& parentScroll = mParent->GetScrollOffset();
    const long origin[2] = {static_cast<long>(std::trunc(parentRoot.x - parentScroll.x)),
                            static_cast<long>(std::trunc(parentRoot.y - parentScroll.y))};
    const RectT<long> client = window->GetClientRect();
    const long limit[2] = {client.width, client.height};
    const long tip[2] = {static_cast<long>(mRect.width), static_cast<long>(mRect.height)};
    const double start[2] = {static_cast<double>(pointer.x), static_cast<double>(pointer.y) + kPointerGap};

    for (int32_t axis = 0; axis < 2; ++axis) {
        double p = start[axis];
        if (p + tip[axis] > limit[axis])
            p = static_cast<double>(limit[axis] - tip[axis]);
        if (p < 0.0)
            p = 0.0;
        LLayoutDescriptor::PositionSpec position;
        LLayoutDescriptor::SizeSpec size;
        bool docked = false;
        GetLayout().GetAxisSpec(axis, position, docked, size);
        position.mKind = LLayoutDescriptor::PositionParent;
        position.mRel = 0.0f;
        position.mAbs = p - origin[axis];
        SetPlacement(axis, position, docked, size);
    }
    return S_OK;
}

} // namespace KX
