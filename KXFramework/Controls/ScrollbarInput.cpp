// The scroll bar's pointer input: paging while the channel is held beside the
// thumb (at once, after a first delay, then at the repeat interval, counted in
// idle passes with the application clock), with the pressed side of the
// channel shown; and dragging the thumb.
#include "Controls/Scrollbar.h"

#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "ControlBase/LayoutUtils.h"

#include <algorithm>

namespace KX {

namespace {

bool BitSet(uint32_t word, uint32_t bit)
{
    return (word & bit) != 0;
}

// The conditions parameter of a condition notification, or null.
RCPtr<LConditionsParam> ConditionsOf(const RCPtr<LNotification>& notification)
{
    return notification ? RCPtr<LConditionsParam>::DynamicCast(notification->GetData())
                        : RCPtr<LConditionsParam>();
}

bool Became(const LConditionsParam& param, uint32_t bit)
{
    return !BitSet(param.mOldConditions, bit) && BitSet(param.mNewConditions, bit);
}

bool Ceased(const LConditionsParam& param, uint32_t bit)
{
    return BitSet(param.mOldConditions, bit) && !BitSet(param.mNewConditions, bit);
}

} // namespace

double LScrollbar::Now()
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    return application ? application->GetElapsedTime() : 0.0;
}

// ---- Paging ----

int32_t LScrollbar::ClassifyChannelPoint(double along) const
{
    const double thumbStart = GetThumbPosition();
    const double thumbEnd = thumbStart + mThumbLength;
    if (along >= mChannelStart && along <= thumbStart)
        return kPageBack;
    if (along >= thumbEnd && along <= mChannelEnd)
        return kPageForward;
    return kPageNone;
}

int32_t LScrollbar::ClassifyPointer()
{
    if (!mChannel || !mThumb || !mChannel->IsHovered())
        return kPageNone;
    const RCPtr<LRootWindow>& window = GetRootWindow();
    if (!window)
        return kPageNone;
    PointT<long> cursor;
    if (window->GetCursorPosition(cursor) < 0)
        return kPageNone;
    const PointT<double> origin = mChannel->GetRootPosition();
    const RectT<double> look = mChannel->GetLookClientRect(-1);
    const PointT<double> inLook(cursor.x - origin.x - look.x, cursor.y - origin.y - look.y);
    return ClassifyChannelPoint(AlongAxis(inLook));
}

void LScrollbar::UpdatePageHighlight()
{
    if (!mChannel)
        return;
    const RCPtr<LControl> channel = mChannel;
    if (mPageMode == kPageNone || ClassifyPointer() != mPageMode) {
        channel->ClearAllLookRegions();
        channel->SelectLook(0, true);
        return;
    }
    // The pressed look shows on the pressed side of the thumb only.
    const RectT<double> look = channel->GetLookClientRect(-1);
    const double thumbStart = GetThumbPosition();
    const double from = mPageMode == kPageBack ? mChannelStart : thumbStart + mThumbLength;
    const double to = mPageMode == kPageBack ? thumbStart : mChannelEnd;
    const RectT<double> area = mVertical ? RectT<double>(look.x, look.y + from, look.width, to - from)
                                         : RectT<double>(look.x + from, look.y, to - from, look.height);
    LRectRegion region;
    region.AddRect(area);
    channel->SetLookRegion(1, region);
    channel->SetLookWeight(1, 1.0f, false);
}

KXRESULT LScrollbar::OnChannelLeftDrag(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    const RCPtr<LConditionsParam> param = ConditionsOf(notification);
    if (!param || !mChannel || !mThumb)
        return S_OK;
    const RCPtr<LControl> self(this);
    if (Became(*param, kLeftPressed)) {
        // The press point, from the channel's parent's client area into the
        // channel's look area.
        const RectT<double> look = mChannel->GetLookClientRect(-1);
        const PointT<double> inLook(param->mPoint.x - mChannel->GetRect().x - look.x,
                                    param->mPoint.y - mChannel->GetRect().y - look.y);
        mPageMode = ClassifyChannelPoint(AlongAxis(inLook));
        if (mPageMode == kPageBack)
            SetNormalizedValue(mNormalizedValue - mPage);
        else if (mPageMode == kPageForward)
            SetNormalizedValue(mNormalizedValue + mPage);
        if (mPageMode != kPageNone) {
            UpdatePageHighlight();
            mPageRepeatTime = Now();
            mPageRepeatCountdown = mFirstPageRepeatDelay;
            AddIdleRequest();
        }
    } else if (Ceased(*param, kCapture) && mPageMode != kPageNone) {
        mPageMode = kPageNone;
        UpdatePageHighlight();
        ReleaseIdle();
    }
    if (mPageMode != kPageNone)
        UpdatePageHighlight();
    return S_OK;
}

KXRESULT LScrollbar::OnChannelHover(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    const RCPtr<LConditionsParam> param = ConditionsOf(notification);
    if (!param)
        return S_OK;
    // Time spent away from the channel does not count towards a repeat.
    if (Became(*param, kHoverOrOverride))
        mPageRepeatTime = Now();
    if (mPageMode != kPageNone)
        UpdatePageHighlight();
    return S_OK;
}

void LScrollbar::OnIdle()
{
    LControl::OnIdle();
    if (mPageMode == kPageNone || ClassifyPointer() != mPageMode)
        return;
    const RCPtr<LControl> self(this);
    const double now = Now();
    mPageRepeatCountdown -= now - mPageRepeatTime;
    mPageRepeatTime = now;
    if (mPageRepeatCountdown > 0.0)
        return;
    mPageRepeatCountdown = mPageRepeatInterval;
    SetNormalizedValue(mNormalizedValue + (mPageMode == kPageBack ? -mPage : mPage));
    UpdatePageHighlight();
}

// ---- Thumb drag ----

KXRESULT LScrollbar::OnThumbLeftDrag(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    const RCPtr<LConditionsParam> param = ConditionsOf(notification);
    if (!param || !mThumb)
        return S_OK;
    if (Became(*param, kLeftDrag)) {
        mDraggingThumb = true;
        // The drag origin is in the channel's client area, as the thumb's
        // rectangle is.
        mGrabOffset = PointT<long>(param->mPoint.x - mThumb->GetRect().x, param->mPoint.y - mThumb->GetRect().y);
        mDeferredValue = -1.0;
    } else if (Ceased(*param, kLeftDrag)) {
        const RCPtr<LControl> self(this);
        mDraggingThumb = false;
        const double deferred = mDeferredValue;
        mDeferredValue = -1.0;
        if (deferred >= 0.0 && deferred <= 1.0)
            ApplyValue(deferred);
    }
    return S_OK;
}

KXRESULT LScrollbar::OnThumbMouseMove(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    if (!mDraggingThumb || !mThumb || !notification)
        return S_OK;
    const RCPtr<LPointWithModifiersParam> param = RCPtr<LPointWithModifiersParam>::DynamicCast(notification->GetData());
    if (!param)
        return S_OK;
    const RCPtr<LControl> self(this);
    PointT<double> pointer(param->mX, param->mY);
    mThumb->OffsetToControl(self, pointer);
    const RectT<double> ownLook = GetLookClientRect(-1);
    const double travel = mChannelEnd - mChannelStart - mThumbLength;
    double position = AlongAxis(pointer) - LayoutUtils::Round(mChannelOffset) -
                      AlongAxis(PointT<double>(ownLook.x, ownLook.y)) -
                      AlongAxis(PointT<double>(mGrabOffset.x, mGrabOffset.y));
    position = std::max(mChannelStart, std::min(mChannelEnd - mThumbLength, position));
    if (travel <= 0.0 || position == GetThumbPosition())
        return S_OK;
    MoveThumbTo(position);
    const double value = std::max(0.0, std::min(1.0, (position - mChannelStart) / travel));
    LControl::SetNormalizedValue(value);
    return S_OK;
}

} // namespace KX
