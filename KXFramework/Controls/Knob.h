// KX::LKnob ("Framework.Knob"): a rotary value control drawn as a film strip:
// each of its first looks is one position of the knob, and the look matching
// the value is shown. Its value is normalized 0 to 1 and mapped linearly to
// 0 to 127.
//
// It is turned by dragging, linearly (moving the pointer right or up raises
// the value; with Ctrl held the movement is multiplied by the fine-adjustment
// factor) or radially (the value follows the pointer's angle around the
// knob's centre between a start and an end angle, 0 degrees at the top,
// clockwise), by the arrow keys and by the wheel (one unit of the mapped
// range per step).
//
// Create parameters: "LINEAR_GESTURE_FULL_RANGE" (pixels of travel for the
// whole range; by default about 128, a whole number of pixels per frame),
// "RADIAL_GESTURE_START_ANGLE" and "RADIAL_GESTURE_END_ANGLE" (degrees; either
// one given and not 0 selects the radial gesture), "FINE_ADJUST_MULTIPLIER"
// (0.25 by default).
//
// Looks: 0 to frames - 1 are the film strip, up to the first missing look;
// look frames + 1, when present, holds the image laid over every frame while
// the knob has the focus, look frames + 2 the one laid over them while it is
// disabled.
//
// Contract:
// - Listeners see "NID_VALUE_CHANGE" on every change, "NID_VALUE_CHANGE_CAPTURE"
//   (a bool holder) true when a drag begins and false when it ends,
//   "NID_VALUE_CHANGE_KEY_DOWN" with the key at the first arrow press of an
//   adjustment and "NID_VALUE_CHANGE_KEY_UP" with the key at its release, or
//   without data when the focus leaves during an adjustment.
// - A value set through SetNormalizedValue during a drag waits until the drag
//   ends; then it replaces the dragged value.
// - The linear gesture moves the value in steps of one pixel's worth; its
//   full range is at least 2 pixels. A knob without frame looks shows none.
#pragma once

#include "ControlBase/Control.h"

namespace KX {

namespace ValueAdjustment {
struct Input;
}

class LKnob : public LControl
{
    // The arrow keys and the wheel (ValueAdjustment.h).
    friend struct ValueAdjustment::Input;

public:
    // The mapped value range: 0 to 127.
    static constexpr double kMappedMaximum = 127.0;
    // The default fine-adjustment factor.
    static constexpr double kDefaultFineAdjust = 0.25;

    LKnob(const RCPtr<LControl>& parent, const String& name) : LControl(parent, name) {}

    bool IsRadial() const { return mRadialMode; }
    int32_t GetLinearFullRange() const { return mLinearFullRange; }
    double GetRadialStartAngle() const { return mRadialStartAngle; }
    double GetRadialEndAngle() const { return mRadialEndAngle; }
    double GetFineAdjust() const { return mFineAdjust; }
    uint32_t GetFrameCount() const { return mFrameCount; }
    PointT<long> GetCenter() const { return PointT<long>(mCenter[0], mCenter[1]); }
    int32_t GetFocusLookIndex() const { return mFocusLookIndex; }
    int32_t GetDisabledLookIndex() const { return mDisabledLookIndex; }

    // ==== LControl ====

    // While the left button drags the knob the value only waits as pending.
    double SetNormalizedValue(double value) override;
    // Shows the frame of the value.
    void OnValueChange() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
    void OnMouseMove(const RCPtr<LPointWithModifiersParam>& param) override;
    KXRESULT OnMouseWheel(const RCPtr<LMouseWheelParam>& param) override;
    KXRESULT OnMouseWheelHorizontal(const RCPtr<LMouseWheelParam>& param) override;
    // A click changes nothing: the press already took effect.
    void OnLeftClick(const RCPtr<LMouseButtonParam>& param) override;
    KXRESULT OnKey(const RCPtr<LKeyParam>& param) override;
    KXRESULT Initialize() override;
    KXRESULT OnCreated() override;

protected:
    ~LKnob() override = default;

private:
    // The value at a point of the knob for the radial gesture.
    void ApplyRadialGesture(const PointT<long>& point);
    // The value moved by the pointer's travel for the linear gesture.
    void ApplyLinearGesture(const PointT<long>& point);
    // The mapped value moved by one unit up (step 1) or down (-1), through
    // the knob's own SetNormalizedValue.
    void StepMappedValue(double step);
    // Lays the image of a look (or none, for -1) over every frame look.
    void SetFrameImages(int32_t sourceLook);
    // Whether the application reports the Ctrl key down.
    static bool IsCtrlDown();
    // An angle in degrees brought into [0, 360).
    static double NormalizeAngle(double degrees);

    // ---- Fields, in order ----
    bool mRadialMode = false;
    int32_t mLinearFullRange = 0;
    double mRadialStartAngle = 0.0;
    double mRadialEndAngle = 0.0;
    double mFineAdjust = 0.0;
    uint32_t mFrameCount = 0;
    int32_t mLastPointer[2] = {0, 0};
    int32_t mPrevPointer[2] = {0, 0};
    int32_t mCenter[2] = {0, 0};
    double mPendingValue = -1.0;
    bool mKeyAdjusting = false;
    int32_t mFocusLookIndex = -1;
    int32_t mDisabledLookIndex = -1;
};

} // namespace KX
