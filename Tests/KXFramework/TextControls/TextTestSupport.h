// What the off-screen tests of the text controls share: the scene fixture
// over the program's way of loading its documents (TextSkins.xml and
// TextStrings.xml), with text measured and drawn as on screen; paints go to
// screenshots/TextControlTests/.
#pragma once

#include "Support/Scenes/SceneFixture.h"

#include "Controls/TextBox.h"

#include <string>
#include <vector>

namespace TextTest {

using KX::RCPtr;
using String = KX::StringT<wchar_t, char>;
using KX::PointT;
using KX::RectT;

// The scenes of TextSkins.xml and the texts of TextStrings.xml, loaded as the
// program loads its documents, with the key bindings and the clipboard
// started as start-up starts them, in a window that has the keyboard.
class TextControlTest : public KXTest::SceneFixture<>
{
protected:
    void SetUp() override;

    RCPtr<KX::LTextBox> TextBox(const std::wstring& path) const { return FindAs<KX::LTextBox>(path); }
    // A point of a control's own coordinates in window coordinates.
    PointT<long> InWindow(const RCPtr<KX::LControl>& control, double x, double y) const;
    // Typed characters, each with its key press and release as a keyboard
    // makes them (letters and digits press their key; others only type).
    void Type(const std::wstring& text);
    // Puts the focus on a control as a press would.
    void Focus(const RCPtr<KX::LControl>& control);

    // The texts of the strings the tests read.
    static std::wstring Text(const String& text) { return KXTest::Text(text); }
};

// The characters of the notifications a listener saw, as texts.
std::vector<std::wstring> IdsOf(const KXTest::Listener& listener);
// How many notifications of that identifier a listener saw.
int CountOf(const KXTest::Listener& listener, const wchar_t* id);

} // namespace TextTest
