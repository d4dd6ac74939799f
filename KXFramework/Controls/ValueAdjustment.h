// What the value controls (slider, knob) share: the arrow keys that adjust a
// value by one unit of its mapped range, and the notifications that tell the
// listeners when an adjustment begins and ends.
#pragma once

#include "ControlBase/EventParams.h"
#include "System/KeyCode.h"

#include <cstdint>

namespace KX {

namespace ValueAdjustment {

// What a key does to a value.
enum class ArrowKey {
    Other,    // not an adjustment key (arrows with modifiers included)
    Release,  // an arrow key (left, up, right, down) went up
    Increase, // Up or Right pressed, without modifiers
    Decrease, // Left or Down pressed, without modifiers
};

inline ArrowKey Classify(const KeyCode& key)
{
    constexpr uint32_t kUp = 0x20260000;
    constexpr uint32_t kRight = 0x20270000;
    constexpr uint32_t kLeft = 0x20250000;
    constexpr uint32_t kDown = 0x20280000;
    constexpr uint32_t kFirstArrow = 37; // VK_LEFT
    constexpr uint32_t kLastArrow = 40;  // VK_DOWN
    const uint32_t code = key.GetCode();
    const uint32_t virtualKey = key.GetVirtualKeyCode();
    if (!(code & KeyCode::NoKey) && !(code & KeyCode::KeyDownBit) && virtualKey >= kFirstArrow &&
        virtualKey <= kLastArrow)
        return ArrowKey::Release;
    if (code == kUp || code == kRight)
        return ArrowKey::Increase;
    if (code == kLeft || code == kDown)
        return ArrowKey::Decrease;
    return ArrowKey::Other;
}

// One unit of the mapped range per wheel step: up and right raise the value.
inline double WheelStep(const LMouseWheelParam& param)
{
    if (param.IsHorizontal())
        return param.mDirection == 3 ? 1.0 : -1.0;
    return param.mDirection == 1 ? 1.0 : -1.0;
}

} // namespace ValueAdjustment
} // namespace KX
