#include "System/KeyCode.h"

#include <gtest/gtest.h>

#include <string>

using namespace KX;

namespace {

using String = StringT<wchar_t, char>;

std::wstring Text(const String& text)
{
    return std::wstring(text.GetData());
}

struct ParseCase
{
    const wchar_t* text;
    uint32_t code;
};

TEST(KeyCode, TextFormsParseToCodeWords)
{
    const ParseCase cases[] = {
        {L"Alt+VKEY_F4", 0x24730000},
        {L"ctrl+shift+vkey_pageup", 0x23210000},
        {L"VKEY_PAGEDN", 0x20220000},
        // The name holds "SHIFT", so Shift is on.
        {L"VKEY_LSHIFT", 0x22A00000},
        // Only "CTRL" and "COMMAND" switch Ctrl and Command on.
        {L"Control+VKEY_X", 0x20580000},
        {L"Cmd+VKEY_X", 0x20580000},
        {L"Command+VKEY_X", 0x28580000},
        {L"Alt+Ctrl+Shift+Command+VKEY_HOME", 0x2F240000},
        // An unknown name leaves no virtual key.
        {L"Alt+VKEY_NOSUCHKEY", 0x24000000},
        // Characters keep Alt only; Ctrl and Shift are part of the character.
        {L"Ctrl+S", 0x00000053},
        {L"Shift+a", 0x00000061},
        {L"Alt+x", 0x04000078},
        {L"\x00e9", 0x000000E9},
        {L"[19]", 0x00000013},
        {L"Alt+[65]", 0x04000041},
        {L"[x]", 0x00000000},
        {L"Ctrl+[19", 0x20000000},
        // No character to read: the key stays as it started.
        {L"", 0x20000000},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "text '" << String(c.text).ToNarrow().GetData() << "'");
        const KeyCode key = KeyCode::FromString(String(c.text));
        EXPECT_EQ(c.code, key.GetCode());
        EXPECT_EQ(0u, key.GetSideMask());
        EXPECT_EQ(0, key.GetPreviousState());
    }
}

struct DisplayCase
{
    uint32_t code;
    const wchar_t* text;
};

TEST(KeyCode, CodeWordsShowAsDisplayTexts)
{
    const DisplayCase cases[] = {
        {0x24730000, L"Alt+F4"},
        {0x23210000, L"Ctrl+Shift+Page Up"},
        {0x0F000000, L"Ctrl+Alt+Shift+Cmd+"},
        {0x84730000, L"Alt+"},            // no key: only the modifiers
        {0x01080000, L"Ctrl+"},           // Backspace has no display text
        {0x20090000, L""},                // nor has Tab
        {0x00000013, L"Ctrl+S"},          // character 19 is typed by Ctrl+S
        {0x00000001, L"Ctrl+A"},
        {0x0000001A, L"Ctrl+Z"},
        {0x04000078, L"Alt+x"},
        {0x00000021, L"!"},
        {0x0000007E, L"~"},
        {0x00000020, L""},                // a blank shows nothing
        {0x0000007F, L""},
        {0x000000E9, L""},
        {0x20200000, L"Space"},
        {0x202E0000, L"Del"},
        {0x20300000, L"0"},
        {0x205A0000, L"Z"},
        {0x20600000, L"Numpad 0"},
        {0x20690000, L"Numpad 9"},
        {0x20870000, L"F24"},
        {0x20150000, L"Kana"},            // the first of three texts stays
        {0x20190000, L"Hanja"},
        {0x20920000, L"NEC Equal"},
        {0x20B70000, L"Launch App 2"},
    };
    for (const DisplayCase& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.code);
        EXPECT_EQ(std::wstring(c.text), Text(KeyCode::ToString(c.code)));
    }
}

TEST(KeyCode, KeyTables)
{
    EXPECT_EQ(0x15, KeyCode::GetVirtualKey(String(L"VKEY_KANA")));
    EXPECT_EQ(0x15, KeyCode::GetVirtualKey(String(L"VKEY_HANGUL")));
    EXPECT_EQ(0x19, KeyCode::GetVirtualKey(String(L"VKEY_KANJI")));
    EXPECT_EQ(0x92, KeyCode::GetVirtualKey(String(L"VKEY_OEM_FJ_JISHO")));
    EXPECT_EQ(0x21, KeyCode::GetVirtualKey(String(L"VKEY_PAGEUP")));
    EXPECT_EQ(0x5A, KeyCode::GetVirtualKey(String(L"VKEY_Z")));
    EXPECT_EQ(0x87, KeyCode::GetVirtualKey(String(L"VKEY_F24")));
    EXPECT_EQ(0xB7, KeyCode::GetVirtualKey(String(L"VKEY_LAUNCH_APP2")));
    // Names compare as strings: case counts, and Windows' own names are not keys.
    EXPECT_EQ(0, KeyCode::GetVirtualKey(String(L"vkey_f4")));
    EXPECT_EQ(0, KeyCode::GetVirtualKey(String(L"VKEY_PRIOR")));
    EXPECT_EQ(0, KeyCode::GetVirtualKey(String(L"")));

    int withText = 0;
    for (int32_t code = 0; code < 256; ++code) {
        if (!KeyCode::GetVirtualKeyDisplayName(code).IsEmpty())
            ++withText;
    }
    EXPECT_EQ(143, withText);
    EXPECT_TRUE(KeyCode::GetVirtualKeyDisplayName(0x08).IsEmpty());
    EXPECT_EQ(L"Mode Change", Text(KeyCode::GetVirtualKeyDisplayName(0x1F)));
}

TEST(KeyCode, EventConstructorsAndSideMask)
{
    const KeyCode typed(L'a', KeyCode::ModCtrl | KeyCode::ModLeftCtrl | KeyCode::ModShift | KeyCode::ModRightShift);
    EXPECT_EQ(0x03000061u, typed.GetCode());
    EXPECT_EQ(0x04u | 0x02u, typed.GetSideMask());
    EXPECT_EQ(0, typed.GetPreviousState());

    const KeyCode press(0x141, true, 1,
                        KeyCode::ModAlt | KeyCode::ModRightAlt | KeyCode::ModWin | KeyCode::ModLeftWin | 0x1000);
    EXPECT_EQ(0x3C410000u, press.GetCode()); // the virtual key is cut to a byte
    EXPECT_EQ(0x20u | 0x40u, press.GetSideMask());
    EXPECT_EQ(1, press.GetPreviousState());

    const KeyCode release(0x73, false, 1, 0);
    EXPECT_EQ(0x00730000u, release.GetCode());

    // A side counts only together with its general flag.
    EXPECT_EQ(0u, KeyCode::GetSideMask(KeyCode::ModLeftShift | KeyCode::ModRightCtrl | KeyCode::ModLeftAlt));
    EXPECT_EQ(0xFFu, KeyCode::GetSideMask(0xFFF));
}

TEST(KeyCode, Matches)
{
    const KeyCode s(L'S', 0);
    EXPECT_TRUE(KeyCode(L'S', KeyCode::ModCtrl).Matches(s));
    EXPECT_TRUE(KeyCode(L'S', KeyCode::ModShift | KeyCode::ModLeftShift).Matches(s));
    EXPECT_FALSE(KeyCode(L'S', KeyCode::ModAlt).Matches(s));
    EXPECT_FALSE(KeyCode(L's', 0).Matches(s));

    const KeyCode altF4 = KeyCode::FromString(String(L"Alt+VKEY_F4"));
    const KeyCode f4 = KeyCode::FromString(String(L"VKEY_F4"));
    const KeyCode pressAltF4(0x73, true, 0, KeyCode::ModAlt | KeyCode::ModLeftAlt);
    const KeyCode repeatAltF4(0x73, true, 1, KeyCode::ModAlt);
    const KeyCode releaseAltF4(0x73, false, 1, KeyCode::ModAlt);
    EXPECT_TRUE(pressAltF4.Matches(altF4));   // side mask does not count
    EXPECT_TRUE(repeatAltF4.Matches(altF4));  // nor does the previous state
    EXPECT_FALSE(pressAltF4.Matches(f4));
    EXPECT_FALSE(releaseAltF4.Matches(altF4));
    EXPECT_FALSE(releaseAltF4.Matches(f4));
    // A virtual key compares whole words: Shift counts there.
    EXPECT_FALSE(KeyCode(0x73, true, 0, KeyCode::ModAlt | KeyCode::ModShift).Matches(altF4));

    const KeyCode none(KeyCode::NoKey, 0, 0);
    EXPECT_TRUE(none.Matches(KeyCode(KeyCode::NoKey, 4, 1)));
    EXPECT_FALSE(none.Matches(KeyCode(KeyCode::NoKey | KeyCode::CtrlBit, 0, 0)));
}

} // namespace
