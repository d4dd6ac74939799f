// The progress bar: overlay and percentage from the value, and the remaining
// time, given or estimated, in words.
#include "Controls/ProgressBar.h"

#include "Application/FrameworkApp.h"
#include "Controls/ControlClock.h"
#include "Controls/Label.h"
#include "Controls/Panel.h"
#include "Utilities/Geometry/NumberConversion.h"

#include <cstdint>

namespace KX {

namespace {

// Estimates beyond this many seconds (some 68 years) are shown as this.
constexpr double kLongestEstimate = 2147483647.0;

// The named child of the class, or null when it is missing or of another class.
template <class T>
RCPtr<T> FindPart(const LControl& control, const wchar_t* name)
{
    return RCPtr<T>::DynamicCast(control.FindChild(StringT<wchar_t, char>(name)));
}

StringT<wchar_t, char> AppString(const wchar_t* identifier)
{
    StringT<wchar_t, char> text;
    if (LFrameworkApp* application = LFrameworkApp::sInstance)
        application->GetString(text, identifier);
    return text;
}

StringT<wchar_t, char> Number(int32_t value)
{
    return StringT<wchar_t, char>::CreateFormatted(L"%d", value);
}

} // namespace

LProgressBar::LProgressBar(const RCPtr<LControl>& parent, const String& name) : LControl(parent, name) {}

LProgressBar::~LProgressBar() = default;

KXRESULT LProgressBar::Initialize()
{
    const KXRESULT result = LControl::Initialize();
    if (result < 0)
        return result;
    mProgressHandler = new ProgressHandler(this);
    mActiveOverlay = FindPart<LPanel>(*this, L"activeOverlay");
    mTimeRemainingLabel = FindPart<LLabel>(*this, L"timeRemainingLabel");
    mPercentCompleteLabel = FindPart<LLabel>(*this, L"percentCompleteLabel");
    if (mTimeRemainingLabel)
        mTimeRemainingLabel->SetVisible(false);
    mHoursSingular = AppString(L"HOURS_SINGULAR");
    mHoursPlural = AppString(L"HOURS_PLURAL");
    mMinutesSingular = AppString(L"MINUTES_SINGULAR");
    mMinutesPlural = AppString(L"MINUTES_PLURAL");
    mSecondsSingular = AppString(L"SECONDS_SINGULAR");
    mSecondsPlural = AppString(L"SECONDS_PLURAL");
    mRemaining = AppString(L"REMAINING");
    SetNormalizedValue(0.0);
    SetValueRange(0.0, 100.0, 0);
    return result;
}

KXRESULT LProgressBar::OnCreated()
{
    SetFocusDisabled(true);
    OnValueChange();
    return S_OK;
}

// ---- Value ----

void LProgressBar::OnValueChange()
{
    const RCPtr<LControl> self(this);
    const double percent = mNormalizedValue * 100.0;
    ShowOverlay(percent);
    if (mPercentCompleteLabel)
        mPercentCompleteLabel->SetText(String::FormatDouble(percent, 0));
    if (mAutoTimeEstimate)
        UpdateEstimate();
}

void LProgressBar::ShowOverlay(double percent)
{
    if (!mActiveOverlay)
        return;
    const RCPtr<LPanel> overlay = mActiveOverlay;
    const int32_t width = RoundDoubleToInt(mRect.width * percent / 100.0);
    if (width < 1) {
        overlay->SetVisible(false);
        return;
    }
    overlay->SetVisible(true);
    // The overlay keeps where it starts and gets the width of the fraction.
    LLayoutDescriptor::PositionSpec position;
    LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    overlay->GetLayout().GetAxisSpec(0, position, docked, size);
    size = LLayoutDescriptor::SizeSpec();
    size.mKind = LLayoutDescriptor::SizeSelf;
    size.mAbs = width;
    overlay->SetPlacement(0, position, docked, size);
}

void LProgressBar::UpdateEstimate()
{
    const double now = ApplicationSeconds();
    const double value = mNormalizedValue;
    if (value - mEstimateMarkValue > 0.0 && now - mEstimateMarkTime > 0.0) {
        const double rate = (value - mEstimateStartValue) / (now - mEstimateStartTime);
        // The mark that decides whether the value grew moves at most once a
        // second, so a burst of small steps still counts as growth.
        if (now - mEstimateMarkTime > 1.0) {
            mEstimateMarkValue = value;
            mEstimateMarkTime = now;
        }
        // A very slow rate gives an estimate beyond any integer: limited
        // first, so that the conversion is always defined.
        double seconds = (1.0 - value) / rate;
        if (!(seconds >= 0.0))
            seconds = 0.0;
        else if (seconds > kLongestEstimate)
            seconds = kLongestEstimate;
        SetTimeRemaining(RoundDoubleToInt(seconds));
    }
    if (value >= 1.0)
        mAutoTimeEstimate = false;
}

KXRESULT LProgressBar::SetAutoTimeEstimate(bool on)
{
    if (on == mAutoTimeEstimate)
        return S_FALSE;
    mAutoTimeEstimate = on;
    if (on) {
        mEstimateStartTime = mEstimateMarkTime = ApplicationSeconds();
        mEstimateStartValue = mEstimateMarkValue = mNormalizedValue;
    }
    return S_OK;
}

// ---- Remaining time ----

KXRESULT LProgressBar::SetTimeRemaining(int32_t seconds)
{
    if (!mTimeRemainingLabel)
        return S_FALSE;
    const RCPtr<LLabel> label = mTimeRemainingLabel;
    label->SetVisible(true);
    return label->SetText(FormatTimeRemaining(seconds));
}

StringT<wchar_t, char> LProgressBar::FormatTimeRemaining(int32_t seconds) const
{
    const String blank(L" ");
    if (seconds < 1)
        return Number(0) + blank + mSecondsPlural + blank + mRemaining;
    const int32_t hours = seconds / 3600;
    const int32_t minutes = (seconds % 3600) / 60;
    const int32_t rest = (seconds % 3600) % 60;
    String text;
    if (hours > 0) {
        text = Number(hours) + blank + (hours == 1 ? mHoursSingular : mHoursPlural) + blank;
        if (minutes == 0)
            text += Number(0) + blank + mMinutesPlural + blank;
    }
    if (minutes >= 1)
        text += Number(minutes) + blank + (minutes == 1 ? mMinutesSingular : mMinutesPlural) + blank;
    text += Number(rest) + blank + (rest == 1 ? mSecondsSingular : mSecondsPlural) + blank + mRemaining;
    return text;
}

// ---- Notifications ----

KXRESULT LProgressBar::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                           const RCPtr<LNotification>& notification)
{
    if (mCreated && mProgressHandler && mProgressHandler->Binds(sender, notification)) {
        const RCPtr<ProgressHandler> handler = mProgressHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LControl::ReceiveNotification(sender, notification);
}

KXRESULT LProgressBar::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                              const wchar_t* identifier)
{
    if (mProgressHandler)
        mProgressHandler->RemoveHandler(sender, identifier);
    return LControl::UnregisterNotification(sender, identifier);
}

} // namespace KX
