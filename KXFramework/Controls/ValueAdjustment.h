// What the value controls (slider, knob) share: the arrow keys that adjust a
// value by one unit of its mapped range, the wheel steps that do the same, and
// the notifications that tell the listeners when an adjustment by the keys
// begins and ends (ValueAdjustment::Input).
#pragma once

#include "ControlBase/EventParams.h"
#include "Notification/NotificationIDs.h"
#include "System/KeyCode.h"

#include <cstdint>

namespace KX {

namespace ValueAdjustment {

// The arrow keys' virtual-key codes (VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN).
enum ArrowVirtualKey : uint32_t {
    kVirtualKeyLeft = 37,
    kVirtualKeyUp = 38,
    kVirtualKeyRight = 39,
    kVirtualKeyDown = 40,
};

// The code word of a press of a virtual key without modifiers.
constexpr uint32_t PressCodeWord(uint32_t virtualKey)
{
    return KeyCode::KeyDownBit | (virtualKey << 16);
}

constexpr uint32_t kUpPressed = PressCodeWord(kVirtualKeyUp);
constexpr uint32_t kRightPressed = PressCodeWord(kVirtualKeyRight);
constexpr uint32_t kLeftPressed = PressCodeWord(kVirtualKeyLeft);
constexpr uint32_t kDownPressed = PressCodeWord(kVirtualKeyDown);
static_assert(kUpPressed == 0x20260000 && kRightPressed == 0x20270000 && kLeftPressed == 0x20250000 &&
                  kDownPressed == 0x20280000,
              "the code words the key bindings and the tests write");

// What a key does to a value.
enum class ArrowKey {
    Other,    // not an adjustment key (arrows with modifiers included)
    Release,  // an arrow key (left, up, right, down) went up
    Increase, // Up or Right pressed, without modifiers
    Decrease, // Left or Down pressed, without modifiers
};

inline ArrowKey Classify(const KeyCode& key)
{
    const uint32_t code = key.GetCode();
    const uint32_t virtualKey = key.GetVirtualKeyCode();
    if (!(code & KeyCode::NoKey) && !(code & KeyCode::KeyDownBit) && virtualKey >= kVirtualKeyLeft &&
        virtualKey <= kVirtualKeyDown)
        return ArrowKey::Release;
    if (code == kUpPressed || code == kRightPressed)
        return ArrowKey::Increase;
    if (code == kLeftPressed || code == kDownPressed)
        return ArrowKey::Decrease;
    return ArrowKey::Other;
}

// One unit of the mapped range per wheel step: up and right raise the value.
inline double WheelStep(const LMouseWheelParam& param)
{
    if (param.IsHorizontal())
        return param.mDirection == LMouseWheelParam::WheelRight ? 1.0 : -1.0;
    return param.mDirection == LMouseWheelParam::WheelUp ? 1.0 : -1.0;
}

// The key and wheel input of a value control, written once for the knob and
// the slider. A control names it a friend: it reads and sets the control's
// mKeyAdjusting (an arrow-key adjustment is under way), sends the control's
// notifications and moves the control's mapped value with its own
// StepMappedValue (one unit up: 1, down: -1).
struct Input
{
    // An adjustment key (any but Other). A release ends the adjustment:
    // "NID_VALUE_CHANGE_KEY_UP" with the key. A press begins an adjustment
    // when none is under way ("NID_VALUE_CHANGE_KEY_DOWN" with the key, once
    // per adjustment), then moves the mapped value one unit up (Increase) or
    // down (Decrease).
    template <class Control>
    static void Key(Control& control, ArrowKey key, const RCPtr<LKeyParam>& param)
    {
        if (key == ArrowKey::Release) {
            control.mKeyAdjusting = false;
            control.SendNotificationWithData(NID_VALUE_CHANGE_KEY_UP, param);
            return;
        }
        if (!control.mKeyAdjusting) {
            control.mKeyAdjusting = true;
            control.SendNotificationWithData(NID_VALUE_CHANGE_KEY_DOWN, param);
        }
        control.StepMappedValue(key == ArrowKey::Increase ? 1.0 : -1.0);
    }

    // The focus left the control: an adjustment under way ends with
    // "NID_VALUE_CHANGE_KEY_UP" without data (no key went up).
    template <class Control>
    static void FocusLost(Control& control)
    {
        if (!control.mKeyAdjusting)
            return;
        control.mKeyAdjusting = false;
        control.SendNotificationWithData(NID_VALUE_CHANGE_KEY_UP);
    }

    // One wheel step (WheelStep). S_OK; S_FALSE without a parameter.
    template <class Control>
    static KXRESULT Wheel(Control& control, const RCPtr<LMouseWheelParam>& param)
    {
        if (!param)
            return S_FALSE;
        control.StepMappedValue(WheelStep(*param));
        return S_OK;
    }
};

} // namespace ValueAdjustment
} // namespace KX
