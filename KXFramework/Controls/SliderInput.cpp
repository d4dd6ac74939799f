// The slider's input: the thumb drag (through the thumb's notifications), the
// track press with its repeating steps, the arrow keys and the wheel.
#include "Controls/Slider.h"

#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "ControlBase/LayoutUtils.h"
#include "Controls/ValueAdjustment.h"
#include "Notification/NotificationIDs.h"
#include "ObjectBase/Holder.h"

#include <cmath>

namespace KX {

namespace {

// The first step of a held track press comes this long after the press, the
// next ones this often.
constexpr double kTrackFirstDelay = 0.3;
constexpr double kTrackRepeatInterval = 0.1;
// The clock counts whole milliseconds; a countdown left within this of 0 by
// the rounding of their difference in seconds has run out.
constexpr double kClockRounding = 1e-9;

// Looks.
constexpr int32_t kLookNormal = 0;
constexpr int32_t kLookFocusInside = 1;
constexpr int32_t kLookDisabled = 2;

double ElapsedTime()
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    return application ? application->GetElapsedTime() : 0.0;
}

double Distance(const PointT<double>& a, const PointT<double>& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

} // namespace

// ---- Thumb drag ----

KXRESULT LSlider::OnThumbDragCondition(const RCPtr<LNotificationDistributor>&,
                                       const RCPtr<LNotification>& notification)
{
    const RCPtr<LConditionsParam> param =
        notification ? RCPtr<LConditionsParam>::DynamicCast(notification->GetData()) : RCPtr<LConditionsParam>();
    if (!param || !mThumb)
        return S_FALSE;
    const RCPtr<LSlider> self(this);
    const bool wasDragging = (param->mOldConditions & kLeftDrag) != 0;
    const bool dragging = (param->mNewConditions & kLeftDrag) != 0;
    if (dragging && !wasDragging) {
        // Where in the thumb the pointer took hold of it (the payload's point
        // is the thumb's drag origin, in this slider's client coordinates).
        const PointT<long> origin = ThumbOrigin();
        mGrabOffset[0] = static_cast<int32_t>(LayoutUtils::Round(param->mPoint.x - origin.x));
        mGrabOffset[1] = static_cast<int32_t>(LayoutUtils::Round(param->mPoint.y - origin.y));
        mThumbDragging = true;
        mPendingValue = -1.0;
        SendNotificationWithData(NID_VALUE_CHANGE_CAPTURE, LHolder<bool>::Create(true));
    } else if (!dragging && wasDragging) {
        mThumbDragging = false;
        if (mPendingValue >= 0.0 && mPendingValue <= 1.0)
            SetValueAndThumb(mPendingValue);
        mPendingValue = -1.0;
        SendNotificationWithData(NID_VALUE_CHANGE_CAPTURE, LHolder<bool>::Create(false));
    }
    return S_FALSE;
}

KXRESULT LSlider::OnThumbMouseMove(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    const RCPtr<LPointWithModifiersParam> param =
        notification ? RCPtr<LPointWithModifiersParam>::DynamicCast(notification->GetData())
                     : RCPtr<LPointWithModifiersParam>();
    const RCPtr<LControl> thumb = mThumb;
    if (!param || !thumb || !mThumbDragging)
        return S_OK;
    const RCPtr<LSlider> self(this);
    // From the thumb's coordinates into the slider's.
    const RectT<double> client = GetLookClientRect(-1);
    const PointT<long> origin = ThumbOrigin();
    const long x = param->mX + origin.x - static_cast<long>(mScrollOffset.x) + static_cast<long>(client.x);
    const long y = param->mY + origin.y - static_cast<long>(mScrollOffset.y) + static_cast<long>(client.y);
    PointT<long> target;
    ConstrainThumbPoint(target, x, y);
    if (target != origin) {
        MoveThumbTo(target);
        UpdateValueFromThumb();
    }
    return S_OK;
}

KXRESULT LSlider::OnThumbClick(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    return S_OK;
}

// ---- Track press ----

void LSlider::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    if (!param)
        return;
    const RCPtr<LSlider> self(this);
    const uint32_t changed = param->GetChangedConditions();
    const uint32_t now = param->mNewConditions;
    if ((changed & kLeftDrag) && (now & kLeftDrag) && IsEnabled(true)) {
        mTrackRepeat = true;
        AddIdleRequest();
        mTrackRepeatLast = ElapsedTime();
        mTrackRepeatCountdown = kTrackFirstDelay;
    } else if ((changed & kLeftDrag) && !(now & kLeftDrag) && mTrackRepeat) {
        mTrackRepeat = false;
        ReleaseIdle();
    } else if ((changed & kContainsFocus) && !(now & kContainsFocus)) {
        ValueAdjustment::Input::FocusLost(*this);
        SelectStateLook(false);
    } else if ((changed & kContainsFocus) && (now & kContainsFocus)) {
        SelectStateLook(true);
    } else if (changed & kEnabled) {
        SelectStateLook((now & kContainsFocus) != 0);
    }
}

void LSlider::SelectStateLook(bool focusInside)
{
    if (!IsEnabled(true))
        SelectLook(kLookDisabled, true);
    else
        SelectLook(focusInside ? kLookFocusInside : kLookNormal, true);
}

void LSlider::OnIdle()
{
    if (!(mHover || mHoverOverride) || !IsEnabled(true) || !mTrackRepeat)
        return;
    const double now = ElapsedTime();
    mTrackRepeatCountdown -= now - mTrackRepeatLast;
    mTrackRepeatLast = now;
    if (mTrackRepeatCountdown > kClockRounding)
        return;
    mTrackRepeatCountdown = kTrackRepeatInterval;
    const RCPtr<LRootWindow>& window = GetRootWindow();
    if (!window)
        return;
    PointT<long> cursor;
    window->GetCursorPosition(cursor);
    const PointT<double> origin = GetRootPosition();
    StepToward(PointT<double>(cursor.x - origin.x, cursor.y - origin.y));
}

void LSlider::OnLeftClick(const RCPtr<LMouseButtonParam>& param)
{
    if (param)
        StepToward(PointT<double>(param->mX, param->mY));
}

void LSlider::StepToward(const PointT<double>& point)
{
    const RCPtr<LSlider> self(this);
    const PointT<double> hotPoint(point.x - mThumbHotSpot[0], point.y - mThumbHotSpot[1]);
    const double target = GetValueAtPoint(hotPoint.x, hotPoint.y);
    const PointT<long> start = GetTrackStart();
    const PointT<double> startPoint(start.x, start.y);
    const PointT<long> thumb = ThumbOrigin();
    const double value = GetValue();
    double next;
    if (Distance(hotPoint, startPoint) < Distance(PointT<double>(thumb.x, thumb.y), startPoint)) {
        const double candidate = value - mTrackStep;
        next = target <= candidate ? candidate : target;
    } else {
        const double candidate = value + mTrackStep;
        next = target >= candidate ? candidate : target;
    }
    SetValueAndThumb(next);
}

// ---- Keys and wheel ----

void LSlider::StepMappedValue(double step)
{
    SetNormalizedValue(ValueToNormalized(NormalizedToValue(GetValue()) + step));
}

KXRESULT LSlider::ProcessHotKey(const RCPtr<LKeyParam>& param)
{
    if (!param)
        return E_INVALIDARG;
    const ValueAdjustment::ArrowKey key = ValueAdjustment::Classify(param->mKey);
    if (key == ValueAdjustment::ArrowKey::Other)
        return LPanel::ProcessHotKey(param);
    const RCPtr<LSlider> self(this);
    ValueAdjustment::Input::Key(*this, key, param);
    return S_OK;
}

KXRESULT LSlider::OnMouseWheel(const RCPtr<LMouseWheelParam>& param)
{
    return ValueAdjustment::Input::Wheel(*this, param);
}

KXRESULT LSlider::OnMouseWheelHorizontal(const RCPtr<LMouseWheelParam>& param)
{
    return OnMouseWheel(param);
}

} // namespace KX
