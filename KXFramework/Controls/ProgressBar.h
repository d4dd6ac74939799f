// KX::LProgressBar: a fraction done shown as a growing overlay, a percentage
// and a remaining-time text ("Framework.ProgressBar").
//
// Contract:
// - The value is the control base's normalized value (0 to 1). Every change
//   sizes the overlay panel "activeOverlay" to that fraction of the bar's
//   width (hidden below one pixel) and writes the whole percent into
//   "percentCompleteLabel".
// - The remaining time is given by the owner in seconds (SetTimeRemaining) or
//   estimated by the bar from the application clock and the rate at which
//   the value grew since the estimate was switched on; either way it is
//   written into "timeRemainingLabel" as hours, minutes and seconds with the
//   application string table's words ("1 Hour 2 Minutes 5 Seconds
//   Remaining"). That label stays hidden until the first remaining time.
// - Each of the three children is optional: a child that is missing or of
//   another class leaves its part of the display out, without an error.
// - User-interface thread only; other threads' progress reaches the owner
//   through notifications.
#pragma once

#include "ControlBase/Control.h"
#include "Notification/NotificationHandler.h"

#include <cstdint>

namespace KX {

class LLabel;
class LPanel;

class LProgressBar : public LControl
{
public:
    using ProgressHandler = LNotificationHandler<LProgressBar>;

    LProgressBar(const RCPtr<LControl>& parent, const String& name);

    // ==== Overridden slots ====

    // Overlay, percentage and, while estimating, the remaining time.
    void OnValueChange() override;
    // The base's, then the children by name, the time words, value 0 and the
    // range 0 to 100.
    KXRESULT Initialize() override;
    // Focus disabled, then the display of the current value. 0.
    KXRESULT OnCreated() override;

    // ==== Appended slots ====

    // Shows the remaining-time label with the time; values below 1 read as 0.
    virtual KXRESULT SetTimeRemaining(int32_t seconds);
    // Switching it on starts the estimate from the clock and value now.
    virtual KXRESULT SetAutoTimeEstimate(bool on);

    // ==== Notifications ====

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // The text SetTimeRemaining writes for the seconds.
    String FormatTimeRemaining(int32_t seconds) const;

    bool GetAutoTimeEstimate() const { return mAutoTimeEstimate; }
    const RCPtr<LPanel>& GetActiveOverlay() const { return mActiveOverlay; }
    const RCPtr<LLabel>& GetTimeRemainingLabel() const { return mTimeRemainingLabel; }
    const RCPtr<LLabel>& GetPercentCompleteLabel() const { return mPercentCompleteLabel; }

protected:
    ~LProgressBar() override;

private:
    // The remaining time from the rate of growth since the estimate began.
    void UpdateEstimate();
    void ShowOverlay(double fraction);

    RCPtr<ProgressHandler> mProgressHandler;
    RCPtr<LPanel> mActiveOverlay;
    RCPtr<LLabel> mTimeRemainingLabel;
    RCPtr<LLabel> mPercentCompleteLabel;
    String mHoursSingular;
    String mHoursPlural;
    String mMinutesSingular;
    String mMinutesPlural;
    String mSecondsSingular;
    String mSecondsPlural;
    String mRemaining;
    double mEstimateStartTime = 0.0;
    double mEstimateStartValue = 0.0;
    double mEstimateMarkTime = 0.0;
    double mEstimateMarkValue = 0.0;
    bool mAutoTimeEstimate = false;
};

} // namespace KX
