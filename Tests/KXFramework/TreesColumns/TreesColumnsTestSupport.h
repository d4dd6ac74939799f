// What the tests of the tree view and the multi-column list box share: the
// small test skins of TreesColumnsSkins.xml in a factory with the framework's
// control types and plain parts ("Test.Part"); an application whose clock the
// tests set; a root window over the fake OS window with a real GDI+ renderer,
// so that scenes can be painted off-screen (PNGs under
// screenshots/TreeColumnTests/); and the pointer and keys as the OS window
// hands them to the root window.
#pragma once

#include "KXFramework/ControlTree/ControlTestSupport.h"
#include "KXFramework/Renderer/RendererTestSupport.h"

#include "System/KeyCode.h"

#include <string>
#include <vector>

namespace TreesColumnsTest {

using KX::RCPtr;
using String = KX::StringT<wchar_t, char>;
using KX::PointT;
using KX::RectT;

class TreesColumnsTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The scene of that name becomes the window's root control.
    RCPtr<KX::LControl> OpenScene(const wchar_t* scene);
    // The control at a path of names below the root control ("a/b").
    RCPtr<KX::LControl> Find(const std::wstring& path) const;
    template <class T>
    RCPtr<T> FindAs(const std::wstring& path) const
    {
        return RCPtr<T>::DynamicCast(Find(path));
    }
    // The centre of a control in window coordinates (rounded).
    PointT<long> CentreOf(const RCPtr<KX::LControl>& control) const;
    // The control's origin in window coordinates (rounded).
    PointT<long> OriginOf(const RCPtr<KX::LControl>& control) const;

    // Pointer input as the OS window hands it to the root window.
    // Modifiers as the OS window gives them (kCtrl, kShift).
    static constexpr int32_t kCtrl = 0x01;
    static constexpr int32_t kShift = 0x08;
    void MoveTo(const PointT<long>& point, int32_t modifiers = 0);
    void Press(const PointT<long>& point, int32_t button = 1, int32_t modifiers = 0);
    void Release(const PointT<long>& point, int32_t button = 1, int32_t modifiers = 0);
    // Press and release at one point; DoubleClick as the second click of a
    // pair (the window's double-click press, then the release).
    void Click(const PointT<long>& point, int32_t modifiers = 0);
    void DoubleClick(const PointT<long>& point);
    // A virtual key pressed and released, as the window makes them.
    void Key(uint32_t virtualKey, uint32_t modifiers = 0);
    // Idle passes: the clock moves on by `step` ms before each pass until
    // `duration` has gone by. Also lets the double-click time pass.
    void RunIdle(uint32_t duration, uint32_t step = 33);

    // Paints the whole window into an off-screen surface and saves it as
    // <test name>[_suffix].png; Pixel reads the last paint.
    void PaintWindow(const std::string& suffix = std::string());
    uint32_t Pixel(long x, long y) const;
    uint32_t Pixel(const PointT<long>& point) const { return Pixel(point.x, point.y); }

    KXTest::FakeOSServices os;
    RCPtr<KX::LControlFactory> factory;
    RCPtr<KXTest::ControlTestApplication> application;
    RCPtr<KX::LGDIRenderer> renderer;
    RCPtr<KX::LRootWindow> window;
    RCPtr<KX::LRenderContextInfo> surface;
};

// The skin's colours (opaque ARGB) that the tests look for.
namespace Colour {
constexpr uint32_t kList = 0xFF30363C;
constexpr uint32_t kRow = 0xFF3A4048;
constexpr uint32_t kRowHover = 0xFF4A5560;
constexpr uint32_t kRowDisabled = 0xFF26292C;
constexpr uint32_t kRowSelected = 0xFF2C5584;
constexpr uint32_t kRowSelectedHover = 0xFF3A6A9C;
constexpr uint32_t kExpander = 0xFF808890;
constexpr uint32_t kExpanderHover = 0xFF98A0A8;
constexpr uint32_t kExpanderOpen = 0xFF3FAE6A;
constexpr uint32_t kExpanderDisabled = 0xFF50545A;
} // namespace Colour

// The item text of a list record, empty for a null text object.
std::wstring TextOf(const RCPtr<KX::LTaggableObject>& object);

} // namespace TreesColumnsTest
