// KX::LSlider ("Framework.Slider"): a value control whose thumb travels along
// a straight track. The skin gives it two marker children, "thumbStart" and
// "thumbEnd", whose positions are the two ends of the track; the slider makes
// the movable "thumb" itself as a copy of "thumbStart" and hides the markers.
// The value is normalized 0 to 1 and mapped linearly to 0 to 127.
//
// Contract:
// - The thumb's position is the start plus the value's share of the way to
//   the end. Dragging the thumb moves it along the track (a diagonal track
//   takes the pointer's perpendicular projection) and sets the value from
//   where it is. A value set through SetNormalizedValue during a thumb drag
//   waits until the drag ends and then replaces the dragged value.
// - Holding the track down steps the value toward the pointer by a tenth of
//   the range: first 0.3 s after the press, then every 0.1 s (idle passes,
//   the application clock), and once more at the release; a step never
//   passes the pointer.
// - The value at a point is the point's signed projection onto the track
//   from the start, as a share of the track's length, limited to 0..1; a
//   track whose markers coincide gives 0 everywhere.
// - Up and Right (without modifiers) raise the mapped value by one unit,
//   Left and Down lower it; the wheel does the same (up and right raise).
// - Listeners see "NID_VALUE_CHANGE" on every change, "NID_VALUE_CHANGE_CAPTURE"
//   (a bool holder) true when a thumb drag begins and false when it ends,
//   "NID_VALUE_CHANGE_KEY_DOWN" with the key at the first arrow press of an
//   adjustment and "NID_VALUE_CHANGE_KEY_UP" with the key at its release, or
//   without data when the focus leaves the slider during an adjustment.
// - Without "thumbStart" there is no thumb: the value changes by keys, the
//   wheel and the program only.
// - Looks: 0 normal, 1 focus inside the slider (on the thumb), 2 disabled.
#pragma once

#include "Controls/Panel.h"

namespace KX {

namespace ValueAdjustment {
struct Input;
}

class LSlider : public LPanel
{
    // The arrow keys and the wheel (ValueAdjustment.h).
    friend struct ValueAdjustment::Input;

public:
    using SliderHandler = LNotificationHandler<LSlider>;

    // The mapped value range: 0 to 127.
    static constexpr double kMappedMaximum = 127.0;

    LSlider(const RCPtr<LControl>& parent, const String& name);

    const RCPtr<LControl>& GetThumb() const { return mThumb; }
    bool IsThumbDragging() const { return mThumbDragging; }
    bool IsTrackRepeating() const { return mTrackRepeat; }
    double GetTrackStep() const { return mTrackStep; }
    PointT<long> GetThumbHotSpot() const { return PointT<long>(mThumbHotSpot[0], mThumbHotSpot[1]); }
    // The two ends of the track: the markers' origins, rounded.
    PointT<long> GetTrackStart() const;
    PointT<long> GetTrackEnd() const;

    // ==== LControl ====

    // During a thumb drag the value only waits as pending; otherwise
    // SetValueAndThumb. The current value.
    double SetNormalizedValue(double value) override;
    // The base's; then the thumb is placed for the value.
    KXRESULT EndBackBufferResize() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
    KXRESULT OnMouseWheel(const RCPtr<LMouseWheelParam>& param) override;
    KXRESULT OnMouseWheelHorizontal(const RCPtr<LMouseWheelParam>& param) override;
    // A click on the track: one step toward the click.
    void OnLeftClick(const RCPtr<LMouseButtonParam>& param) override;
    // The arrow keys; any other key goes to the panel's handling.
    KXRESULT ProcessHotKey(const RCPtr<LKeyParam>& param) override;
    // The steps of a held track press.
    void OnIdle() override;
    // The panel's; then the markers and the thumb. E_FAIL when the panel's
    // initialisation fails.
    KXRESULT Initialize() override;
    // A "thumb" that comes without a description of its own is made from
    // "thumbStart"; any other child goes to the base.
    KXRESULT AddChild(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor) override;
    // Hides the markers, takes the thumb's hot spot and places the thumb.
    KXRESULT OnCreated() override;

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== Operations of the slider, in slot order ====

    // The control base's SetNormalizedValue, then the thumb follows. The
    // current value.
    virtual double SetValueAndThumb(double value);
    // The value from where the thumb is.
    virtual void UpdateValueFromThumb();
    // Places the thumb for the value (not while it is dragged).
    virtual void UpdateThumbPosition();
    // Where the thumb goes for a pointer at (x, y) during a drag: less the
    // grab offset, on the track, between the markers.
    virtual void ConstrainThumbPoint(PointT<long>& out, long x, long y);
    // The value at a point (see the contract).
    virtual double GetValueAtPoint(double x, double y);
    virtual double GetValue();

protected:
    ~LSlider() override;

    // ---- Thumb drag (handlers of the thumb's notifications) ----
    KXRESULT OnThumbDragCondition(const RCPtr<LNotificationDistributor>& sender,
                                  const RCPtr<LNotification>& notification);
    KXRESULT OnThumbMouseMove(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    // A click on the thumb leaves the value where the thumb is.
    KXRESULT OnThumbClick(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);

private:
    // Makes the thumb from "thumbStart" and listens to it; 0, or E_FAIL
    // without a marker or a factory.
    KXRESULT CreateThumb();
    // Stops listening to the current thumb and takes it out of the slider.
    void ReleaseThumb();
    // One step of a track press toward a point of the slider.
    void StepToward(const PointT<double>& point);
    // The thumb's position specs take a new origin.
    void MoveThumbTo(const PointT<long>& origin);
    // The thumb's origin, rounded.
    PointT<long> ThumbOrigin() const;
    // The mapped value moved by one unit (up: 1, down: -1).
    void StepMappedValue(double step);
    // The look for the focus and enabled state.
    void SelectStateLook(bool focusInside);

    // ---- Fields, in order ----
    RCPtr<SliderHandler> mSliderHandler;
    RCPtr<LControl> mThumb;
    RCPtr<LControl> mThumbStart;
    RCPtr<LControl> mThumbEnd;
    bool mThumbDragging = false;
    int32_t mGrabOffset[2] = {0, 0};
    double mTrackStep = 0.1;
    bool mTrackRepeat = false;
    double mTrackRepeatLast = 0.0;
    double mTrackRepeatCountdown = 0.0;
    double mPendingValue = -1.0;
    bool mKeyAdjusting = false;
    int32_t mThumbHotSpot[2] = {0, 0};
};

} // namespace KX
