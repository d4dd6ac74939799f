// What the look and skin tests share: the program's own skin and string
// tables loaded into a factory, with a plain control creator registered under
// every class name the skins use (in this test program only), an application
// that settled on the skin's font, a root window over a fake OS window and a
// real GDI+ renderer, and off-screen paints of the whole window whose pixels
// are read back and saved as PNGs under screenshots/ControlLooksTests/.
#pragma once

#include "KXFramework/ControlTree/ControlTestSupport.h"
#include "KXFramework/Renderer/RendererTestSupport.h"

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

class SkinTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The window's root control made from the skin's "mainControl".
    RCPtr<KX::LControl> OpenMainControl();
    // The control at a path of names below the root control ("a/b").
    RCPtr<KX::LControl> Find(const std::wstring& path) const;
    // Paints the whole window into a new off-screen surface and saves it as
    // <test name>[_suffix].png. The surface stays for Pixel.
    void PaintWindow(const std::string& suffix = std::string());
    // A pixel of the last paint.
    uint32_t Pixel(long x, long y) const;
    // Empties the window's dirty region and the OS window's invalidations.
    void ForgetInvalidations();
    std::vector<KX::RectT<long>> DirtyRectangles();

    KXTest::FakeOSServices os;
    RCPtr<KX::LControlFactory> factory;
    RCPtr<KXTest::ControlTestApplication> application;
    RCPtr<KX::LGDIRenderer> renderer;
    RCPtr<KX::LRootWindow> window;
    RCPtr<KX::LRenderContextInfo> surface;
};

} // namespace LooksTest
