#include "Controls/LevelMeter.h"

#include "ControlBase/LayoutUtils.h"
#include "Notification/NotificationIDs.h"

namespace KX {

namespace {

const wchar_t* const kLevelOverlayName = L"activeOverlay";
const wchar_t* const kPeakLoName = L"peakLo";
const wchar_t* const kPeakHiName = L"peakHi";
const wchar_t* const kClipButtonName = L"clipButton";

constexpr double kLightOn = 1.0;
constexpr double kLightOff = 0.0;
constexpr double kLitThreshold = 0.5;

double Along(const PointT<double>& point, int32_t axis)
{
    return axis == 0 ? point.x : point.y;
}

} // namespace

// ---- Creation ----

KXRESULT LLevelMeter::Initialize()
{
    const KXRESULT result = LControl::Initialize();
    mMeterHandler = new MeterHandler(this);
    mPeakMarker = FindChild(String(kPeakLoName));
    UseMeterToolTip(mPeakMarker);
    mLevelOverlay = FindChild(String(kLevelOverlayName));
    UseMeterToolTip(mLevelOverlay);
    mClipButton = FindChild(String(kClipButtonName));
    return result;
}

KXRESULT LLevelMeter::OnCreated()
{
    const RCPtr<LLevelMeter> self(this);
    mVertical = mRect.height > mRect.width ? 1 : 0;

    if (mPeakMarker) {
        HidePart(mPeakMarker);
        mPeakLoPos = PointT<double>(mPeakMarker->GetRect().x, mPeakMarker->GetRect().y);
        if (const RCPtr<LControl> peakHi = FindChild(String(kPeakHiName))) {
            HidePart(peakHi);
            mPeakHiPos = PointT<double>(peakHi->GetRect().x, peakHi->GetRect().y);
        } else {
            // A marker needs both ends of its range.
            mPeakMarker = nullptr;
        }
    }
    HidePart(mLevelOverlay);
    if (mClipButton)
        mClipButton->SetFocusDisabled(true);
    SetFocusDisabled(true);

    OnValueChange();
    return S_OK;
}

void LLevelMeter::HidePart(const RCPtr<LControl>& part)
{
    if (!part)
        return;
    part->SetVisible(false);
    part->SetFocusDisabled(true);
}

void LLevelMeter::UseMeterToolTip(const RCPtr<LControl>& part)
{
    // The flag is the control base's own; a member pointer named through this
    // class reaches it on any control.
    if (part)
        part.Get()->*(&LLevelMeter::mUseParentToolTip) = true;
}

// ---- Levels ----

KXRESULT LLevelMeter::SetLevels(double level, double peak)
{
    return SetLevelsAndClip(level, peak, mClipValue);
}

KXRESULT LLevelMeter::SetLevelsAndClip(double level, double peak, int32_t clip)
{
    const RCPtr<LLevelMeter> self(this);
    UpdateClipLight(clip);

    mInUpdate = true;
    SetNormalizedValue(level);
    mInUpdate = false;

    // The bar and the marker follow the level as passed, not as clamped.
    UpdateBar(level);
    UpdatePeakMarker(peak);
    return S_OK;
}

void LLevelMeter::UpdateClipLight(int32_t clip)
{
    if (mClipButton) {
        if (clip != mClipValue)
            mClipButton->SetNormalizedValue(kLightOn);
        else if (!mClipLatching)
            mClipButton->SetNormalizedValue(kLightOff);
    }
    mClipValue = clip;
}

void LLevelMeter::UpdateBar(double level)
{
    const RCPtr<LControl> overlay = mLevelOverlay;
    if (!overlay)
        return;
    // A vertical overlay covers the part above the level.
    const double length = mVertical ? mRect.height * (1.0 - level) : mRect.width * level;
    const double pixels = LayoutUtils::Round(length);
    if (pixels < 1.0) {
        overlay->SetVisible(false);
        return;
    }
    overlay->SetVisible(true);
    LLayoutDescriptor::PositionSpec position;
    LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    overlay->GetLayout().GetAxisSpec(mVertical, position, docked, size);
    size.mKind = LLayoutDescriptor::SizeSelf;
    size.mAbs = pixels;
    overlay->SetPlacement(mVertical, position, docked, size);
}

void LLevelMeter::UpdatePeakMarker(double peak)
{
    const RCPtr<LControl> marker = mPeakMarker;
    if (!marker)
        return;
    const double range = Along(mPeakHiPos, mVertical) - Along(mPeakLoPos, mVertical);
    const double offset = LayoutUtils::Round(range * peak);
    if (offset == 0.0) {
        marker->SetVisible(false);
        return;
    }
    marker->SetVisible(true);
    LLayoutDescriptor::PositionSpec position;
    LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    marker->GetLayout().GetAxisSpec(mVertical, position, docked, size);
    position.mAbs = offset;
    marker->SetPlacement(mVertical, position, docked, size);
}

void LLevelMeter::OnValueChange()
{
    if (!mInUpdate)
        SetLevelsAndClip(mNormalizedValue, 0.0, mClipValue);
}

// ---- Clip light ----

KXRESULT LLevelMeter::SetClipLatching(bool latching)
{
    const RCPtr<LControl> light = mClipButton;
    if (!light)
        return E_FAIL;
    light->SetNormalizedValue(kLightOff);
    if (latching == mClipLatching)
        return S_OK;
    mClipLatching = latching;
    const RCPtr<LNotificationDistributor> sender(light.Get());
    if (latching)
        return mMeterHandler ? mMeterHandler->AddHandler(&LLevelMeter::OnClipClicked, sender, NID_LEFT_CLICK) : E_FAIL;
    UnregisterNotification(sender, NID_LEFT_CLICK);
    return S_OK;
}

bool LLevelMeter::IsClipLit()
{
    return mClipButton && mClipButton->GetNormalizedValue() >= kLitThreshold;
}

int32_t LLevelMeter::GetClipValue()
{
    return mClipValue;
}

void LLevelMeter::SetClipValue(int32_t value)
{
    mClipValue = value;
}

KXRESULT LLevelMeter::OnClipClicked(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    const RCPtr<LControl> light = mClipButton;
    if (light && light->GetNormalizedValue() >= kLitThreshold) {
        light->SetNormalizedValue(kLightOff);
        SendNotificationWithData(NID_CLIPLIGHT_UNLATCHED);
    }
    return S_FALSE;
}

// ---- Notifications ----

KXRESULT LLevelMeter::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                          const RCPtr<LNotification>& notification)
{
    if (mCreated && mMeterHandler && mMeterHandler->Binds(sender, notification)) {
        const RCPtr<MeterHandler> handler = mMeterHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LControl::ReceiveNotification(sender, notification);
}

KXRESULT LLevelMeter::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                             const wchar_t* identifier)
{
    if (mMeterHandler)
        mMeterHandler->RemoveHandler(sender, identifier);
    return LControl::UnregisterNotification(sender, identifier);
}

} // namespace KX
