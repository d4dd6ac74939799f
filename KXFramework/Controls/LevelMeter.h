// KX::LLevelMeter ("Framework.LevelMeter"): a signal level shown as a bar, a
// peak marker and a clip light, assembled from children of its skin:
// - "activeOverlay": its length along the meter follows the level (along X
//   for a meter at least as wide as tall, else along Y, where the overlay
//   covers the part above the level);
// - "peakLo" and "peakHi": the peak marker, moved from the place of "peakLo"
//   towards that of "peakHi" (both are hidden; without "peakHi" there is no
//   peak marker);
// - "clipButton": a control whose value is the clip light.
//
// Contract:
// - The level is the control's normalized value. SetLevelsAndClip turns the
//   clip light on whenever the clip value passed in differs from the last
//   one; an unchanged clip value turns it off again unless latching is on.
//   With latching on the light stays lit until the user clicks it, which
//   switches it off and sends "NID_CLIPLIGHT_UNLATCHED" (no data).
// - A skin without "activeOverlay" or "clipButton" gives a meter without a
//   bar or without a clip light: those steps are skipped.
// - Neither the meter nor its parts take the focus.
#pragma once

#include "ControlBase/Control.h"

namespace KX {

class LLevelMeter : public LControl
{
public:
    using MeterHandler = LNotificationHandler<LLevelMeter>;

    LLevelMeter(const RCPtr<LControl>& parent, const String& name) : LControl(parent, name) {}

    // ==== Operations of the level meter, in slot order ====

    // SetLevelsAndClip with the current clip value.
    virtual KXRESULT SetLevels(double level, double peak);
    // Clip light, level (the control's value) and bar, peak marker. 0.
    virtual KXRESULT SetLevelsAndClip(double level, double peak, int32_t clip);
    // Switches the light off and, when the setting changes, listens to the
    // light's clicks (on) or stops listening (off). E_FAIL without a light.
    virtual KXRESULT SetClipLatching(bool latching);
    // Whether the light is on (its value at least 0.5).
    virtual bool IsClipLit();
    virtual int32_t GetClipValue();
    // Stores the clip value; nothing is redrawn.
    virtual void SetClipValue(int32_t value);

    bool IsClipLatching() const { return mClipLatching; }
    bool IsVertical() const { return mVertical != 0; }
    const RCPtr<LControl>& GetLevelOverlay() const { return mLevelOverlay; }
    const RCPtr<LControl>& GetPeakMarker() const { return mPeakMarker; }
    const RCPtr<LControl>& GetClipButton() const { return mClipButton; }

    // ==== LControl ====

    // A value set from outside redraws the bar, with no peak.
    void OnValueChange() override;
    KXRESULT Initialize() override;
    KXRESULT OnCreated() override;

    // To the first table that binds the notification: the meter's own, then
    // the control's.
    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

protected:
    ~LLevelMeter() override = default;

    // The light's "NID_LEFT_CLICK" while latching: a lit light goes off and
    // "NID_CLIPLIGHT_UNLATCHED" is sent. 1.
    KXRESULT OnClipClicked(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);

private:
    // Steps of SetLevelsAndClip.
    void UpdateClipLight(int32_t clip);
    void UpdateBar(double level);
    void UpdatePeakMarker(double peak);

    // Hides a part and keeps the focus off it.
    static void HidePart(const RCPtr<LControl>& part);
    // The part shows the meter's tool tip.
    static void UseMeterToolTip(const RCPtr<LControl>& part);

    // ---- Fields, in order ----
    RCPtr<MeterHandler> mMeterHandler;
    int32_t mClipValue = 0;
    bool mClipLatching = false;
    PointT<double> mPeakLoPos;
    PointT<double> mPeakHiPos;
    RCPtr<LControl> mPeakMarker;
    RCPtr<LControl> mLevelOverlay;
    RCPtr<LControl> mClipButton;
    bool mInUpdate = false;
    int32_t mVertical = 0;
};

} // namespace KX
