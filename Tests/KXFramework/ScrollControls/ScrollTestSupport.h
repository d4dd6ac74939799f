// What the scrolling tests share: the test skin (ScrollSkin.xml, embedded as
// "SCROLL_SKIN") loaded into a factory with the framework's control types,
// an application with a fixed clock, a root window over a fake OS window
// with a real GDI+ renderer, the pointer and the keys as the window hands
// them to the root window, idle passes pumped by the test, and off-screen
// paints of the window saved under screenshots/ScrollControlTests/.
#pragma once

#include "KXFramework/ControlTree/ControlTestSupport.h"
#include "KXFramework/Renderer/RendererTestSupport.h"

#include "Controls/Panel.h"
#include "Controls/ScrollView.h"
#include "Controls/Scrollbar.h"

#include <string>

namespace ScrollTest {

using KX::RCPtr;
using String = KX::StringT<wchar_t, char>;

// The skin's plain parts ("Test.Block"): a control of the base class.
class Block : public KX::LControl
{
public:
    Block(const RCPtr<KX::LControl>& parent, const String& name) : LControl(parent, name) {}

protected:
    ~Block() override = default;
};

class ScrollTestBase : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the skin's top control of that name the window's root control.
    RCPtr<KX::LControl> Open(const wchar_t* name);
    // The control at a path of names below the root control ("view/vBar").
    RCPtr<KX::LControl> Find(const std::wstring& path) const;
    template <class T>
    RCPtr<T> FindAs(const std::wstring& path) const
    {
        return RCPtr<T>::DynamicCast(Find(path));
    }
    // A point of a control (its own coordinates) in the window's client area.
    KX::PointT<long> AtControl(const RCPtr<KX::LControl>& control, long x, long y) const;

    // The pointer as the window reports it.
    void MoveTo(const KX::PointT<long>& point);
    void Press(const KX::PointT<long>& point);
    void Release(const KX::PointT<long>& point);
    // A wheel step at a point with the window's modifier flags.
    KX::KXRESULT Wheel(const KX::PointT<long>& point, int32_t direction, int32_t modifiers = 0);
    // A key press as the window makes it (modifier flags of KX::KeyCode).
    KX::KXRESULT PressKey(uint32_t virtualKey, uint32_t modifiers = 0);
    // The name of the focused control, or "none".
    std::wstring Focused() const;

    // The clock moves on by `milliseconds` and one idle pass runs.
    void Advance(uint32_t milliseconds);

    // Paints the whole window off-screen and saves it as <test>[_suffix].png.
    void PaintWindow(const std::string& suffix = std::string());
    uint32_t Pixel(long x, long y) const;

    KXTest::FakeOSServices os;
    RCPtr<KX::LControlFactory> factory;
    RCPtr<KXTest::ControlTestApplication> application;
    RCPtr<KX::LGDIRenderer> renderer;
    RCPtr<KX::LRootWindow> window;
    RCPtr<KX::LRenderContextInfo> surface;
};

// The skin's colours.
constexpr uint32_t kViewColor = 0xFF404850;
constexpr uint32_t kContentColor = 0xFF8090A0;
constexpr uint32_t kMarkerColor = 0xFFE04030;
constexpr uint32_t kChannelColor = 0xFF606060;
constexpr uint32_t kChannelPressedColor = 0xFF2060C0;
constexpr uint32_t kThumbColor = 0xFFD0D0D0;
constexpr uint32_t kArrowColor = 0xFF909090;

} // namespace ScrollTest
