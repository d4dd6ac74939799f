// What the basic-control tests share: the scene fixture with the framework's
// own control types registered as the program registers them (and a plain
// control for the test skins' "Test.Plain" and the classes still to come),
// tool tips that start from a clean slate, and paints saved under
// screenshots/BasicControlsTests/.
//
// Two skins: the test skin (Documents/TestSkin.xml, a look colour of its own
// for each of a button's fourteen slots) and the program's own skin.
#pragma once

#include "Support/Scenes/SceneFixture.h"

#include "Controls/Button.h"
#include "Controls/Label.h"
#include "Controls/ProgressBar.h"
#include "Controls/ToolTip.h"

#include <string>
#include <vector>

namespace BasicTest {

using KX::RCPtr;
using KXTest::Text;
using String = KX::StringT<wchar_t, char>;

// The colour of slot i of the test skin's button look list.
uint32_t SlotColour(int32_t slot);
using RendererTest::NearColour;

// The scene fixture over the test skin or the program's own.
class BasicControlsTest : public KXTest::SceneFixture<>
{
protected:
    void SetUp() override;

    // Loads the test documents (true) or the program's (false), registers
    // the control types, starts the application with its key bindings and
    // opens the top control.
    void Open(bool testSkin);

    // The pixel in the middle of a control's upper left quarter (clear of a
    // centred caption), from the last paint.
    uint32_t ControlPixel(const RCPtr<KX::LControl>& control) const;
};

} // namespace BasicTest
