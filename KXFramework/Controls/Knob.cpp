#include "Controls/Knob.h"

#include "Application/FrameworkApp.h"
#include "ControlBase/LayoutUtils.h"
#include "ControlBase/Look.h"
#include "ControlBase/VisualPart.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Controls/ValueAdjustment.h"
#include "Notification/NotificationIDs.h"
#include "ObjectBase/Holder.h"

#include <algorithm>
#include <cmath>

namespace KX {

namespace {

constexpr double kPi = 3.14159265358979323846;
// The linear gesture's default travel: about this many pixels, a whole
// number per frame.
constexpr double kDefaultTravel = 128.0;
// The shortest full range the linear gesture can quantise to.
constexpr int32_t kMinimumFullRange = 2;

bool ReadParam(const ConstRCPtr<LStringTable>& params, const wchar_t* id, StringT<wchar_t, char>& text)
{
    return params && params->GetString(id, text);
}

} // namespace

// ---- Creation ----

KXRESULT LKnob::Initialize()
{
    const KXRESULT result = LControl::Initialize();
    if (result < 0)
        return result;

    const ConstRCPtr<LStringTable> params = mDescriptor ? mDescriptor->GetCreateParams() : ConstRCPtr<LStringTable>();
    String text;
    if (ReadParam(params, L"LINEAR_GESTURE_FULL_RANGE", text))
        mLinearFullRange = _wtoi(text.GetData());
    if (ReadParam(params, L"RADIAL_GESTURE_START_ANGLE", text))
        mRadialStartAngle = _wtof(text.GetData());
    if (ReadParam(params, L"RADIAL_GESTURE_END_ANGLE", text))
        mRadialEndAngle = _wtof(text.GetData());
    if (ReadParam(params, L"FINE_ADJUST_MULTIPLIER", text))
        mFineAdjust = _wtof(text.GetData());

    mRadialMode = mRadialStartAngle != 0.0 || mRadialEndAngle != 0.0;
    mRadialStartAngle = NormalizeAngle(mRadialStartAngle);
    mRadialEndAngle = NormalizeAngle(mRadialEndAngle);
    if (mFineAdjust == 0.0)
        mFineAdjust = kDefaultFineAdjust;
    SetValueRange(0.0, kMappedMaximum, 0);
    return result;
}

KXRESULT LKnob::OnCreated()
{
    const RCPtr<LKnob> self(this);
    mFrameCount = 0;
    while (static_cast<int32_t>(mFrameCount) < mLooks.GetCount() && mLooks.GetAt(mFrameCount))
        ++mFrameCount;

    const int32_t focusLook = static_cast<int32_t>(mFrameCount) + 1;
    const int32_t disabledLook = static_cast<int32_t>(mFrameCount) + 2;
    if (focusLook < mLooks.GetCount() && mLooks.GetAt(focusLook)) {
        mFocusLookIndex = focusLook;
        if (mHasFocus)
            SetFrameImages(mFocusLookIndex);
    }
    if (disabledLook < mLooks.GetCount() && mLooks.GetAt(disabledLook)) {
        mDisabledLookIndex = disabledLook;
        if (!IsEnabled(true))
            SetFrameImages(mDisabledLookIndex);
    }

    if (!mRadialMode && mLinearFullRange == 0) {
        // About 128 pixels, a whole number of them (at least one) per frame.
        const double frames = std::max<double>(mFrameCount, 1.0);
        const double perFrame = std::max(1.0, LayoutUtils::Round(kDefaultTravel / frames));
        mLinearFullRange = static_cast<int32_t>(perFrame * frames);
    }
    // One pixel of travel less than the range is the step count: a range
    // below 2 would leave none.
    mLinearFullRange = std::max(mLinearFullRange, kMinimumFullRange);

    const RectT<double> client = GetLookClientRect(-1);
    mCenter[0] = static_cast<int32_t>(client.x + client.width / 2.0);
    mCenter[1] = static_cast<int32_t>(client.y + client.height / 2.0);
    return S_OK;
}

double LKnob::NormalizeAngle(double degrees)
{
    double angle = std::fmod(degrees, 360.0);
    if (angle < 0.0)
        angle += 360.0;
    return angle >= 360.0 ? 0.0 : angle;
}

// ---- Value and frames ----

double LKnob::SetNormalizedValue(double value)
{
    if (mLeftDrag) {
        mPendingValue = value;
        return mNormalizedValue;
    }
    return LControl::SetNormalizedValue(value);
}

void LKnob::OnValueChange()
{
    if (mFrameCount == 0)
        return;
    const double frame = LayoutUtils::Round((static_cast<double>(mFrameCount) - 1.0) * mNormalizedValue);
    SelectLook(static_cast<int32_t>(frame), true);
}

void LKnob::SetFrameImages(int32_t sourceLook)
{
    RCPtr<LBitmap> bitmap;
    ResizeType resizeType = ResizeType(0);
    if (sourceLook >= 0 && sourceLook < mLooks.GetCount()) {
        if (const RCPtr<LLook>& look = mLooks.GetAt(sourceLook)) {
            const RCPtr<LVisualPart>& part = look->GetImagePart() ? look->GetImagePart() : look->GetClientVisualPart();
            if (part) {
                bitmap = part->GetBitmap();
                resizeType = part->GetResizeType();
            }
        }
    }
    for (uint32_t frame = 0; frame < mFrameCount; ++frame)
        SetLookImage(bitmap, resizeType, static_cast<int32_t>(frame), false);
}

// ---- Conditions and drag ----

void LKnob::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    if (!param)
        return;
    const RCPtr<LKnob> self(this);
    const uint32_t oldWord = param->mOldConditions;
    const uint32_t newWord = param->mNewConditions;
    const uint32_t changed = oldWord ^ newWord;

    if ((changed & kLeftDrag) && (newWord & kLeftDrag)) {
        const PointT<long> press(LayoutUtils::Round(mDragOrigin.x - mRect.x),
                                 LayoutUtils::Round(mDragOrigin.y - mRect.y));
        mLastPointer[0] = mPrevPointer[0] = press.x;
        mLastPointer[1] = mPrevPointer[1] = press.y;
        if (mRadialMode)
            ApplyRadialGesture(press);
        mPendingValue = -1.0;
        SendNotificationWithData(NID_VALUE_CHANGE_CAPTURE, LHolder<bool>::Create(true));
    } else if ((changed & kLeftDrag) && !(newWord & kLeftDrag)) {
        if (mPendingValue >= 0.0 && mPendingValue <= 1.0)
            LControl::SetNormalizedValue(mPendingValue);
        mPendingValue = -1.0;
        SendNotificationWithData(NID_VALUE_CHANGE_CAPTURE, LHolder<bool>::Create(false));
    } else if ((changed & kHasFocus) && !(newWord & kHasFocus)) {
        ValueAdjustment::Input::FocusLost(*this);
    }

    if ((changed & kHasFocus) && mFocusLookIndex >= 0)
        SetFrameImages((newWord & kHasFocus) ? mFocusLookIndex : -1);
    if ((changed & kEnabled) && mDisabledLookIndex >= 0)
        SetFrameImages((newWord & kEnabled) ? -1 : mDisabledLookIndex);
}

void LKnob::OnMouseMove(const RCPtr<LPointWithModifiersParam>& param)
{
    if (!param || !mLeftDrag)
        return;
    const PointT<long> point = param->GetPoint();
    if (mRadialMode)
        ApplyRadialGesture(point);
    else
        ApplyLinearGesture(point);
}

void LKnob::OnLeftClick(const RCPtr<LMouseButtonParam>&) {}

void LKnob::ApplyRadialGesture(const PointT<long>& point)
{
    const double dx = static_cast<double>(point.x) - mCenter[0];
    const double dy = static_cast<double>(point.y) - mCenter[1];
    if (dx == 0.0 && dy == 0.0)
        return;
    // 0 degrees at the top, 90 at the right: y grows downwards.
    double angle = NormalizeAngle((std::atan2(dy, dx) + kPi / 2.0) * 180.0 / kPi);
    const double start = mRadialStartAngle;
    double end = mRadialEndAngle;
    if (end <= start)
        end += 360.0;
    if (angle <= start)
        angle += 360.0;
    double value;
    if (angle >= start && angle <= end)
        value = (angle - start) / (end - start);
    else // the dead zone between the end and the start: the nearer one
        value = angle <= (start + 360.0 - end) / 2.0 + end ? 1.0 : 0.0;
    LControl::SetNormalizedValue(value);
}

void LKnob::ApplyLinearGesture(const PointT<long>& point)
{
    const bool fine = IsCtrlDown();
    double c = static_cast<double>(point.x) - mLastPointer[0];
    double d = static_cast<double>(point.y) - mLastPointer[1];
    const double e = (static_cast<double>(point.x) - mPrevPointer[0]) - (static_cast<double>(point.y) - mPrevPointer[1]);
    // A diagonal move counts along its main direction only.
    if (c > 0.0 && d > 0.0) {
        if (e > 0.0 && c < d)
            d = 0.0;
        else if (e < 0.0 && c > d)
            c = 0.0;
    } else if (c < 0.0 && d < 0.0) {
        if (e > 0.0 && c < d)
            c = 0.0;
        else if (e < 0.0 && c > d)
            d = 0.0;
    }
    const double range = static_cast<double>(mLinearFullRange);
    double movement = (c - d) / (range - 1.0);
    if (fine)
        movement *= mFineAdjust;
    double value = std::min(1.0, std::max(0.0, mNormalizedValue + movement));
    // Steps of one pixel's worth; a fine factor at or above the range leaves
    // no step to quantise to.
    const double steps = fine ? range / mFineAdjust - 1.0 : range - 1.0;
    if (steps > 0.0)
        value = LayoutUtils::Round(steps * value) / steps;
    LControl::SetNormalizedValue(value);
    mPrevPointer[0] = mLastPointer[0];
    mPrevPointer[1] = mLastPointer[1];
    mLastPointer[0] = point.x;
    mLastPointer[1] = point.y;
}

bool LKnob::IsCtrlDown()
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    if (!application)
        return false;
    bool down = false;
    bool toggled = false;
    application->GetKeyState(VK_CONTROL, down, toggled);
    return down;
}

// ---- Keys and wheel ----

void LKnob::StepMappedValue(double step)
{
    SetNormalizedValue(ValueToNormalized(NormalizedToValue(mNormalizedValue) + step));
}

KXRESULT LKnob::OnKey(const RCPtr<LKeyParam>& param)
{
    if (!param)
        return S_FALSE;
    const RCPtr<LKnob> self(this);
    const ValueAdjustment::ArrowKey key = ValueAdjustment::Classify(param->mKey);
    if (key == ValueAdjustment::ArrowKey::Other)
        return S_FALSE;
    ValueAdjustment::Input::Key(*this, key, param);
    return S_OK;
}

KXRESULT LKnob::OnMouseWheel(const RCPtr<LMouseWheelParam>& param)
{
    return ValueAdjustment::Input::Wheel(*this, param);
}

KXRESULT LKnob::OnMouseWheelHorizontal(const RCPtr<LMouseWheelParam>& param)
{
    return OnMouseWheel(param);
}

} // namespace KX
