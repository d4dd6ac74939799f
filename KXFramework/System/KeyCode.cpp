#include "System/KeyCode.h"

#include "ObjectBase/StaticObjects.h"

#include <algorithm>
#include <map>

namespace KX {

namespace {

using String = StringT<wchar_t, char>;

// The two key tables: made empty before the entry point, filled together on
// the first lookup, kept to process exit.
std::map<String, int32_t> sVirtualKeyNames KX_STATIC_INIT_SERVICES;
std::map<int32_t, String> sVirtualKeyDisplayNames KX_STATIC_INIT_SERVICES;

struct NamedKey
{
    const wchar_t* name;
    int32_t virtualKey;
};

// Every "VKEY_" name in table order. The values are the Windows virtual-key
// constants; PAGEUP and PAGEDN are the prior and next keys, and aliases share
// a value.
const NamedKey kVirtualKeyNames[] = {
    {L"VKEY_BACK", 0x08}, {L"VKEY_TAB", 0x09}, {L"VKEY_CLEAR", 0x0C}, {L"VKEY_RETURN", 0x0D},
    {L"VKEY_SHIFT", 0x10}, {L"VKEY_CONTROL", 0x11}, {L"VKEY_MENU", 0x12}, {L"VKEY_PAUSE", 0x13},
    {L"VKEY_CAPITAL", 0x14}, {L"VKEY_KANA", 0x15}, {L"VKEY_HANGEUL", 0x15}, {L"VKEY_HANGUL", 0x15},
    {L"VKEY_JUNJA", 0x17}, {L"VKEY_FINAL", 0x18}, {L"VKEY_HANJA", 0x19}, {L"VKEY_KANJI", 0x19},
    {L"VKEY_ESCAPE", 0x1B}, {L"VKEY_CONVERT", 0x1C}, {L"VKEY_NONCONVERT", 0x1D}, {L"VKEY_ACCEPT", 0x1E},
    {L"VKEY_MODECHANGE", 0x1F}, {L"VKEY_SPACE", 0x20}, {L"VKEY_PAGEUP", 0x21}, {L"VKEY_PAGEDN", 0x22},
    {L"VKEY_END", 0x23}, {L"VKEY_HOME", 0x24}, {L"VKEY_LEFT", 0x25}, {L"VKEY_UP", 0x26},
    {L"VKEY_RIGHT", 0x27}, {L"VKEY_DOWN", 0x28}, {L"VKEY_SELECT", 0x29}, {L"VKEY_PRINT", 0x2A},
    {L"VKEY_EXECUTE", 0x2B}, {L"VKEY_SNAPSHOT", 0x2C}, {L"VKEY_INSERT", 0x2D}, {L"VKEY_DELETE", 0x2E},
    {L"VKEY_HELP", 0x2F},
    {L"VKEY_0", 0x30}, {L"VKEY_1", 0x31}, {L"VKEY_2", 0x32}, {L"VKEY_3", 0x33}, {L"VKEY_4", 0x34},
    {L"VKEY_5", 0x35}, {L"VKEY_6", 0x36}, {L"VKEY_7", 0x37}, {L"VKEY_8", 0x38}, {L"VKEY_9", 0x39},
    {L"VKEY_A", 0x41}, {L"VKEY_B", 0x42}, {L"VKEY_C", 0x43}, {L"VKEY_D", 0x44}, {L"VKEY_E", 0x45},
    {L"VKEY_F", 0x46}, {L"VKEY_G", 0x47}, {L"VKEY_H", 0x48}, {L"VKEY_I", 0x49}, {L"VKEY_J", 0x4A},
    {L"VKEY_K", 0x4B}, {L"VKEY_L", 0x4C}, {L"VKEY_M", 0x4D}, {L"VKEY_N", 0x4E}, {L"VKEY_O", 0x4F},
    {L"VKEY_P", 0x50}, {L"VKEY_Q", 0x51}, {L"VKEY_R", 0x52}, {L"VKEY_S", 0x53}, {L"VKEY_T", 0x54},
    {L"VKEY_U", 0x55}, {L"VKEY_V", 0x56}, {L"VKEY_W", 0x57}, {L"VKEY_X", 0x58}, {L"VKEY_Y", 0x59},
    {L"VKEY_Z", 0x5A},
    {L"VKEY_LWIN", 0x5B}, {L"VKEY_RWIN", 0x5C}, {L"VKEY_APPS", 0x5D}, {L"VKEY_SLEEP", 0x5F},
    {L"VKEY_NUMPAD0", 0x60}, {L"VKEY_NUMPAD1", 0x61}, {L"VKEY_NUMPAD2", 0x62}, {L"VKEY_NUMPAD3", 0x63},
    {L"VKEY_NUMPAD4", 0x64}, {L"VKEY_NUMPAD5", 0x65}, {L"VKEY_NUMPAD6", 0x66}, {L"VKEY_NUMPAD7", 0x67},
    {L"VKEY_NUMPAD8", 0x68}, {L"VKEY_NUMPAD9", 0x69},
    {L"VKEY_MULTIPLY", 0x6A}, {L"VKEY_ADD", 0x6B}, {L"VKEY_SEPARATOR", 0x6C}, {L"VKEY_SUBTRACT", 0x6D},
    {L"VKEY_DECIMAL", 0x6E}, {L"VKEY_DIVIDE", 0x6F},
    {L"VKEY_F1", 0x70}, {L"VKEY_F2", 0x71}, {L"VKEY_F3", 0x72}, {L"VKEY_F4", 0x73}, {L"VKEY_F5", 0x74},
    {L"VKEY_F6", 0x75}, {L"VKEY_F7", 0x76}, {L"VKEY_F8", 0x77}, {L"VKEY_F9", 0x78}, {L"VKEY_F10", 0x79},
    {L"VKEY_F11", 0x7A}, {L"VKEY_F12", 0x7B}, {L"VKEY_F13", 0x7C}, {L"VKEY_F14", 0x7D}, {L"VKEY_F15", 0x7E},
    {L"VKEY_F16", 0x7F}, {L"VKEY_F17", 0x80}, {L"VKEY_F18", 0x81}, {L"VKEY_F19", 0x82}, {L"VKEY_F20", 0x83},
    {L"VKEY_F21", 0x84}, {L"VKEY_F22", 0x85}, {L"VKEY_F23", 0x86}, {L"VKEY_F24", 0x87},
    {L"VKEY_NUMLOCK", 0x90}, {L"VKEY_SCROLL", 0x91},
    {L"VKEY_OEM_NEC_EQUAL", 0x92}, {L"VKEY_OEM_FJ_JISHO", 0x92}, {L"VKEY_OEM_FJ_MASSHOU", 0x93},
    {L"VKEY_OEM_FJ_TOUROKU", 0x94}, {L"VKEY_OEM_FJ_LOYA", 0x95}, {L"VKEY_OEM_FJ_ROYA", 0x96},
    {L"VKEY_LSHIFT", 0xA0}, {L"VKEY_RSHIFT", 0xA1}, {L"VKEY_LCONTROL", 0xA2}, {L"VKEY_RCONTROL", 0xA3},
    {L"VKEY_LMENU", 0xA4}, {L"VKEY_RMENU", 0xA5},
    {L"VKEY_BROWSER_BACK", 0xA6}, {L"VKEY_BROWSER_FORWARD", 0xA7}, {L"VKEY_BROWSER_REFRESH", 0xA8},
    {L"VKEY_BROWSER_STOP", 0xA9}, {L"VKEY_BROWSER_SEARCH", 0xAA}, {L"VKEY_BROWSER_FAVORITES", 0xAB},
    {L"VKEY_BROWSER_HOME", 0xAC},
    {L"VKEY_VOLUME_MUTE", 0xAD}, {L"VKEY_VOLUME_DOWN", 0xAE}, {L"VKEY_VOLUME_UP", 0xAF},
    {L"VKEY_MEDIA_NEXT_TRACK", 0xB0}, {L"VKEY_MEDIA_PREV_TRACK", 0xB1}, {L"VKEY_MEDIA_STOP", 0xB2},
    {L"VKEY_MEDIA_PLAY_PAUSE", 0xB3},
    {L"VKEY_LAUNCH_MAIL", 0xB4}, {L"VKEY_LAUNCH_MEDIA_SELECT", 0xB5}, {L"VKEY_LAUNCH_APP1", 0xB6},
    {L"VKEY_LAUNCH_APP2", 0xB7},
};

// Display texts other than digits, letters, F-keys and the numeric pad. The
// aliases of 0x15, 0x19 and 0x92 come after the first text of their code,
// which is the one that stays.
const NamedKey kDisplayNames[] = {
    {L"Clear", 0x0C}, {L"Return", 0x0D}, {L"Shift", 0x10}, {L"Control", 0x11}, {L"Menu", 0x12},
    {L"Pause", 0x13}, {L"Capital", 0x14}, {L"Kana", 0x15}, {L"Hangeul", 0x15}, {L"Hangul", 0x15},
    {L"Junja", 0x17}, {L"Final", 0x18}, {L"Hanja", 0x19}, {L"Kanji", 0x19}, {L"Escape", 0x1B},
    {L"Convert", 0x1C}, {L"Non-convert", 0x1D}, {L"Accept", 0x1E}, {L"Mode Change", 0x1F},
    {L"Space", 0x20}, {L"Page Up", 0x21}, {L"Page Down", 0x22}, {L"End", 0x23}, {L"Home", 0x24},
    {L"Left Arrow", 0x25}, {L"Up Arrow", 0x26}, {L"Right Arrow", 0x27}, {L"Down Arrow", 0x28},
    {L"Select", 0x29}, {L"Print", 0x2A}, {L"Execute", 0x2B}, {L"Snapshot", 0x2C}, {L"Insert", 0x2D},
    {L"Del", 0x2E}, {L"Help", 0x2F},
    {L"Left Win", 0x5B}, {L"Right Win", 0x5C}, {L"Apps", 0x5D}, {L"Sleep", 0x5F},
    {L"*", 0x6A}, {L"+", 0x6B}, {L"Separator", 0x6C}, {L"-", 0x6D}, {L".", 0x6E}, {L"/", 0x6F},
    {L"Numlock", 0x90}, {L"Scroll", 0x91}, {L"NEC Equal", 0x92}, {L"Jisho", 0x92}, {L"Masshou", 0x93},
    {L"Touroku", 0x94}, {L"Loya", 0x95}, {L"Roya", 0x96},
    {L"Left Shift", 0xA0}, {L"Right Shift", 0xA1}, {L"Left Control", 0xA2}, {L"Right Control", 0xA3},
    {L"Left Menu", 0xA4}, {L"Right Menu", 0xA5},
    {L"Browser Back", 0xA6}, {L"Browser Forward", 0xA7}, {L"Browser Refresh", 0xA8},
    {L"Browser Stop", 0xA9}, {L"Browser Search", 0xAA}, {L"Browser Favorites", 0xAB},
    {L"Browser Home", 0xAC}, {L"Volume Mute", 0xAD}, {L"Volume Down", 0xAE}, {L"Volume Up", 0xAF},
    {L"Media Next Track", 0xB0}, {L"Media Prev Track", 0xB1}, {L"Media Stop", 0xB2},
    {L"Media Play Pause", 0xB3}, {L"Launch Mail", 0xB4}, {L"Launch Media Select", 0xB5},
    {L"Launch App 1", 0xB6}, {L"Launch App 2", 0xB7},
};

void AddDisplayName(int32_t virtualKey, const String& text)
{
    // The first text inserted for a code stays.
    sVirtualKeyDisplayNames.emplace(virtualKey, text);
}

bool Contains(const String& text, const wchar_t* part)
{
    return text.Find(String(part)) >= 0;
}

} // namespace

KeyCode::KeyCode(wchar_t character, uint32_t modifierFlags)
    : mCode((static_cast<uint32_t>(character) & CharacterMask) | GetModifierBits(modifierFlags)),
      mSideMask(GetSideMask(modifierFlags)),
      mPreviousState(0)
{
}

KeyCode::KeyCode(uint32_t virtualKey, bool keyDown, uint8_t previousState, uint32_t modifierFlags)
    : mCode(((virtualKey & 0xFF) << 16) | (keyDown ? KeyDownBit : 0) | GetModifierBits(modifierFlags)),
      mSideMask(GetSideMask(modifierFlags)),
      mPreviousState(previousState)
{
}

uint32_t KeyCode::GetSideMask(uint32_t modifierFlags)
{
    struct SideRule
    {
        uint32_t flags;
        uint32_t side;
    };
    static const SideRule kRules[] = {
        {ModShift | ModLeftShift, 0x01}, {ModShift | ModRightShift, 0x02},
        {ModCtrl | ModLeftCtrl, 0x04},   {ModCtrl | ModRightCtrl, 0x08},
        {ModAlt | ModLeftAlt, 0x10},     {ModAlt | ModRightAlt, 0x20},
        {ModWin | ModLeftWin, 0x40},     {ModWin | ModRightWin, 0x80},
    };
    uint32_t side = 0;
    for (const SideRule& rule : kRules) {
        if ((modifierFlags & rule.flags) == rule.flags)
            side |= rule.side;
    }
    return side;
}

uint32_t KeyCode::GetModifierBits(uint32_t modifierFlags)
{
    uint32_t bits = 0;
    if (modifierFlags & ModCtrl)
        bits |= CtrlBit;
    if (modifierFlags & ModShift)
        bits |= ShiftBit;
    if (modifierFlags & ModAlt)
        bits |= AltBit;
    if (modifierFlags & ModWin)
        bits |= CommandBit;
    if (modifierFlags & Mod1000)
        bits |= Flag1000Bit;
    return bits;
}

void KeyCode::InitVirtualKeyTables()
{
    for (const NamedKey& key : kVirtualKeyNames)
        sVirtualKeyNames.emplace(String(key.name), key.virtualKey);

    for (wchar_t digit = L'0'; digit <= L'9'; ++digit)
        AddDisplayName(digit, String(digit));
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter)
        AddDisplayName(letter, String(letter));
    for (int32_t n = 1; n <= 24; ++n)
        AddDisplayName(0x70 + n - 1, String::CreateFormatted(L"F%d", n));
    for (int32_t n = 0; n <= 9; ++n)
        AddDisplayName(0x60 + n, String::CreateFormatted(L"Numpad %d", n));
    for (const NamedKey& key : kDisplayNames)
        AddDisplayName(key.virtualKey, String(key.name));
}

int32_t KeyCode::GetVirtualKey(const StringT<wchar_t, char>& name)
{
    if (sVirtualKeyNames.empty())
        InitVirtualKeyTables();
    const auto found = sVirtualKeyNames.find(name);
    return found == sVirtualKeyNames.end() ? 0 : found->second;
}

StringT<wchar_t, char> KeyCode::GetVirtualKeyDisplayName(int32_t virtualKey)
{
    if (sVirtualKeyNames.empty())
        InitVirtualKeyTables();
    const auto found = sVirtualKeyDisplayNames.find(virtualKey);
    return found == sVirtualKeyDisplayNames.end() ? String() : found->second;
}

StringT<wchar_t, char> KeyCode::ToString(uint32_t code)
{
    String text;
    if (code & CtrlBit)
        text.Append(String(L"Ctrl+"));
    if (code & AltBit)
        text.Append(String(L"Alt+"));
    if (code & ShiftBit)
        text.Append(String(L"Shift+"));
    if (code & CommandBit)
        text.Append(String(L"Cmd+"));
    if (code & NoKey)
        return text;

    const int32_t virtualKey = static_cast<int32_t>((code & VirtualKeyMask) >> 16);
    if (virtualKey != 0) {
        text.Append(GetVirtualKeyDisplayName(virtualKey));
        return text;
    }
    const uint32_t character = code & CharacterMask;
    if (character >= 1 && character <= 26) {
        // A control character is shown as the Ctrl key that types it.
        text.Append(String(L"Ctrl+"));
        text.Append(static_cast<wchar_t>(L'A' + character - 1));
    } else if (character >= 33 && character <= 126) {
        text.Append(static_cast<wchar_t>(character));
    }
    return text;
}

KeyCode KeyCode::FromString(const StringT<wchar_t, char>& text)
{
    KeyCode key(KeyDownBit, 0, 0);
    const String upper = text.ToUpper();
    const bool alt = Contains(upper, L"ALT");
    uint32_t flags = 0;
    if (Contains(upper, L"CTRL"))
        flags |= ModCtrl;
    if (alt)
        flags |= ModAlt;
    if (Contains(upper, L"SHIFT"))
        flags |= ModShift;
    if (Contains(upper, L"COMMAND"))
        flags |= ModWin;
    const uint32_t characterFlags = alt ? ModAlt : 0;

    const int32_t nameStart = upper.Find(String(L"VKEY_"));
    if (nameStart >= 0) {
        const uint32_t virtualKey = static_cast<uint8_t>(GetVirtualKey(upper.Mid(nameStart)));
        key.mCode = (virtualKey << 16) | KeyDownBit | GetModifierBits(flags);
        key.mSideMask = GetSideMask(flags);
        return key;
    }

    const int32_t open = upper.Find(String(L"["));
    if (open >= 0) {
        const int32_t close = upper.Find(String(L"]"));
        if (close < 0)
            return key;
        const int32_t digits = std::max(close - open - 1, 0);
        const int32_t number = upper.Mid(open + 1, digits).ToInt();
        return KeyCode(static_cast<wchar_t>(number), characterFlags);
    }

    // An empty text names no character: the key stays as it started.
    if (text.IsEmpty())
        return key;
    return KeyCode(text.GetAt(text.GetLength() - 1), characterFlags);
}

bool KeyCode::Matches(const KeyCode& other) const
{
    constexpr uint32_t kVirtualOrNoKey = NoKey | VirtualKeyMask;
    constexpr uint32_t kCharacterModifiers = CtrlBit | ShiftBit;
    if (((mCode | other.mCode) & kVirtualOrNoKey) == 0)
        return ((mCode ^ other.mCode) & ~kCharacterModifiers) == 0;
    return mCode == other.mCode;
}

} // namespace KX
