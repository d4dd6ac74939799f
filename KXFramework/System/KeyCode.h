// KX::KeyCode: one keyboard event or one bindable key, as the framework passes
// it around: a code word, a side mask and a previous-state byte.
//
// The code word:
//   bits 0-15    the character, for typed characters
//   bits 16-23   the virtual-key code, for key presses and releases
//   0x01000000 Ctrl, 0x02000000 Shift, 0x04000000 Alt, 0x08000000 Command
//   (the Windows key), 0x10000000 the modifier flag 0x1000
//   0x20000000   key down (a press, and every key made from a "VKEY_" text)
//   0x80000000   no key
// The side mask says which side's modifier keys are held (0x01 left Shift,
// 0x02 right Shift, 0x04 left Ctrl, 0x08 right Ctrl, 0x10 left Alt, 0x20 right
// Alt, 0x40 left Windows, 0x80 right Windows). The previous state is 1 when the
// key was already down before the event.
//
// Text forms: "VKEY_" names of virtual keys ("Alt+VKEY_F4") as string tables
// write them, and display texts ("Alt+F4") as menus show them. The two key
// tables behind them are program-wide, filled on first use, without a lock:
// use them from the user-interface thread.
#pragma once

#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

class KeyCode
{
public:
    // Code-word bits.
    static constexpr uint32_t CharacterMask = 0x0000FFFF;
    static constexpr uint32_t VirtualKeyMask = 0x00FF0000;
    static constexpr uint32_t CtrlBit = 0x01000000;
    static constexpr uint32_t ShiftBit = 0x02000000;
    static constexpr uint32_t AltBit = 0x04000000;
    static constexpr uint32_t CommandBit = 0x08000000;
    static constexpr uint32_t Flag1000Bit = 0x10000000;
    static constexpr uint32_t KeyDownBit = 0x20000000;
    static constexpr uint32_t NoKey = 0x80000000;

    // The framework's key and mouse modifier flags.
    static constexpr uint32_t ModCtrl = 0x01, ModLeftCtrl = 0x02, ModRightCtrl = 0x04;
    static constexpr uint32_t ModShift = 0x08, ModLeftShift = 0x10, ModRightShift = 0x20;
    static constexpr uint32_t ModAlt = 0x40, ModLeftAlt = 0x80, ModRightAlt = 0x100;
    static constexpr uint32_t ModWin = 0x200, ModLeftWin = 0x400, ModRightWin = 0x800;
    static constexpr uint32_t Mod1000 = 0x1000;

    KeyCode() = default;
    KeyCode(uint32_t code, uint32_t sideMask, uint8_t previousState)
        : mCode(code), mSideMask(sideMask), mPreviousState(previousState)
    {
    }
    // A typed character: its low 16 bits and the modifiers' code bits.
    KeyCode(wchar_t character, uint32_t modifierFlags);
    // A key press (keyDown true) or release of a virtual key.
    KeyCode(uint32_t virtualKey, bool keyDown, uint8_t previousState, uint32_t modifierFlags);

    uint32_t GetCode() const { return mCode; }
    uint32_t GetSideMask() const { return mSideMask; }
    uint8_t GetPreviousState() const { return mPreviousState; }
    uint32_t GetVirtualKeyCode() const { return (mCode & VirtualKeyMask) >> 16; }
    wchar_t GetCharacter() const { return static_cast<wchar_t>(mCode & CharacterMask); }
    // A press of a virtual key: a virtual key, the key-down bit, not the
    // no-key value.
    bool IsVirtualKeyDown() const
    {
        return (mCode & VirtualKeyMask) != 0 && (mCode & NoKey) == 0 && (mCode & KeyDownBit) != 0;
    }

    // The side bits of modifier flags: a side counts when its general flag is
    // present too.
    static uint32_t GetSideMask(uint32_t modifierFlags);
    // The code-word bits of modifier flags.
    static uint32_t GetModifierBits(uint32_t modifierFlags);

    // "VKEY_" name -> virtual-key code; 0 for an unknown name.
    static int32_t GetVirtualKey(const StringT<wchar_t, char>& name);
    // Virtual-key code -> display text; empty when the key has none.
    static StringT<wchar_t, char> GetVirtualKeyDisplayName(int32_t virtualKey);
    // Display text of a code word: "Ctrl+", "Alt+", "Shift+", "Cmd+", then
    // the key.
    static StringT<wchar_t, char> ToString(uint32_t code);
    // A key from its text form ("Alt+VKEY_F4", "Alt+x", "[19]").
    static KeyCode FromString(const StringT<wchar_t, char>& text);

    // Whether two keys are the same binding. Characters ignore Ctrl and Shift
    // (they are part of the character already); virtual keys and the no-key
    // value compare whole code words. Side mask and previous state never count.
    bool Matches(const KeyCode& other) const;

    // Fills both key tables; runs on the first lookup.
    static void InitVirtualKeyTables();

private:
    uint32_t mCode = 0;
    uint32_t mSideMask = 0;
    uint8_t mPreviousState = 0;
};

} // namespace KX
