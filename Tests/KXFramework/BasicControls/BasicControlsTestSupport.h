// What the basic-control tests share: a control factory with the framework's
// own control types registered as the program registers them (and a plain
// control for the test skins' "Test.Plain" and the classes still to come),
// an application with a fixed clock, a root window over a fake OS window with
// a real GDI+ renderer, the pointer and keys as the OS window delivers them,
// idle passes pumped by the test, and off-screen paints of the whole window
// read back pixel by pixel and saved under screenshots/BasicControlsTests/.
//
// Two skins: the test skin (Documents/TestSkin.xml, a look colour of its own
// for each of a button's fourteen slots) and the program's own skin.
#pragma once

#include "KXFramework/ControlTree/ControlTestSupport.h"
#include "KXFramework/Renderer/RendererTestSupport.h"

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
// Red, green and blue each within `tolerance`.
bool NearColour(uint32_t a, uint32_t b, int tolerance = 6);

class BasicControlsTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the test documents (true) or the program's (false), registers
    // the control types, settles the skin and opens the top control.
    void Open(bool testSkin);

    // The control at a path of names below the root control ("a/b").
    RCPtr<KX::LControl> Find(const std::wstring& path) const;
    template <class T>
    RCPtr<T> FindAs(const std::wstring& path) const
    {
        return RCPtr<T>::DynamicCast(Find(path));
    }
    // The middle of a control, in window coordinates.
    KX::PointT<long> Middle(const RCPtr<KX::LControl>& control) const;

    // ---- Input as the OS window delivers it ----
    void MoveTo(const KX::PointT<long>& point);
    void Press(const KX::PointT<long>& point);
    void Release(const KX::PointT<long>& point);
    void Click(const KX::PointT<long>& point);
    KX::KXRESULT PressKey(uint32_t virtualKey, uint32_t modifiers = 0);

    // ---- Time ----
    // One idle pass without the clock moving.
    void IdlePass();
    // Idle passes at the window timer's rate: the clock moves `step`
    // milliseconds before each pass (less before the last) until `duration`
    // has gone by.
    void RunIdle(uint32_t duration, uint32_t step = 33);

    // ---- Pixels ----
    // Paints the whole window into a new off-screen surface and saves it as
    // <test name>[_suffix].png; the surface stays for Pixel.
    void PaintWindow(const std::string& suffix = std::string());
    uint32_t Pixel(long x, long y) const;
    // The pixel in the middle of a control's upper left quarter (clear of a
    // centred caption), from the last paint.
    uint32_t ControlPixel(const RCPtr<KX::LControl>& control) const;

    KXTest::FakeOSServices os;
    RCPtr<KX::LControlFactory> factory;
    RCPtr<KXTest::ControlTestApplication> application;
    RCPtr<KX::LGDIRenderer> renderer;
    RCPtr<KX::LRootWindow> window;
    RCPtr<KX::LRenderContextInfo> surface;
};

} // namespace BasicTest
