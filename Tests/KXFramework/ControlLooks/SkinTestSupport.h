// What the look and skin tests share: the program's own skin and string
// tables loaded into a factory, with a plain control creator registered under
// every class name the skins use (in this test program only), an application
// that settled on the skin's font, in the scene fixture; paints are saved as
// PNGs under screenshots/ControlLooksTests/.
#pragma once

#include "Support/Scenes/SceneFixture.h"

#include "ControlBase/FontText.h"
#include "ControlBase/Look.h"
#include "ControlBase/VisualPart.h"
#include "Renderer/AutoClip.h"

#include <string>

namespace LooksTest {

using KX::RCPtr;
using String = KX::StringT<wchar_t, char>;

// A control of the base class only, with the protected parts the tests reach.
class PlainControl : public KX::LControl
{
public:
    PlainControl(const RCPtr<KX::LControl>& parent, const String& name) : LControl(parent, name) {}

    using LControl::EditLayout;
    using LControl::SendNotificationWithData;

protected:
    ~PlainControl() override = default;
};

// Registers the plain control's creator under every class name of the
// factory's skins. Answers how many names were registered.
int RegisterPlainCreators(const RCPtr<KX::LControlFactory>& factory);
// The names of a description's descendants, depth first in creation order.
void CollectDescriptorNames(const RCPtr<KX::LControlDescriptor>& descriptor, std::vector<std::wstring>& names);

// Red, green and blue of a packed colour each within `tolerance` of the
// other's.
bool NearColor(uint32_t a, uint32_t b, int tolerance = 8);
// Whether a pixel is close to white (every channel at least 0xC0).
bool NearWhite(uint32_t argb);

// The scene fixture over the program's own documents, built with the plain
// control under every class name.
class SkinTest : public KXTest::SceneFixture<>
{
protected:
    void SetUp() override;

    // The window's root control made from the skin's "mainControl".
    RCPtr<KX::LControl> OpenMainControl();
    // Empties the window's dirty region and the OS window's invalidations.
    void ForgetInvalidations();
    std::vector<KX::RectT<long>> DirtyRectangles();
};

} // namespace LooksTest
