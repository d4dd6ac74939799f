// What the off-screen tests of the text controls share: the scenes of
// TextSkins.xml and the texts of TextStrings.xml, loaded as the program loads
// its documents, in a factory with the framework's control types; an
// application whose clock the tests set, with its global key bindings and
// clipboard started as start-up starts them; a root window over the fake OS
// window with a real GDI+ renderer (text is measured and drawn as on screen;
// paints go to screenshots/TextControlTests/); and the pointer and keys as
// the OS window hands them to the root window.
#pragma once

#include "KXFramework/ControlTree/ControlTestSupport.h"
#include "KXFramework/Renderer/RendererTestSupport.h"

#include "Controls/TextBox.h"
#include "System/KeyCode.h"

#include <string>
#include <vector>

namespace TextTest {

using KX::RCPtr;
using String = KX::StringT<wchar_t, char>;
using KX::PointT;
using KX::RectT;

// The fake OS window with a real window handle of its own (a message-only
// window), so that the clipboard has an owner window as in the program.
class OwnedOSServices : public KXTest::FakeOSServices
{
public:
    HWND GetHandle() override { return handle; }
    HWND handle = nullptr;
};

class TextControlTest : public ::testing::Test
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
    RCPtr<KX::LTextBox> TextBox(const std::wstring& path) const { return FindAs<KX::LTextBox>(path); }
    // The control's origin and centre in window coordinates (rounded).
    PointT<long> OriginOf(const RCPtr<KX::LControl>& control) const;
    PointT<long> CentreOf(const RCPtr<KX::LControl>& control) const;
    // A point of a control's own coordinates in window coordinates.
    PointT<long> InWindow(const RCPtr<KX::LControl>& control, double x, double y) const;

    // Pointer input as the OS window hands it to the root window.
    void MoveTo(const PointT<long>& point, int32_t modifiers = 0);
    void Press(const PointT<long>& point, int32_t button = 1, int32_t modifiers = 0);
    void Release(const PointT<long>& point, int32_t button = 1, int32_t modifiers = 0);
    void Click(const PointT<long>& point, int32_t modifiers = 0);
    void DoubleClick(const PointT<long>& point);
    // Keys as the window makes them: a virtual key pressed (and released),
    // with the framework's modifier flags (Ctrl 0x01, Shift 0x08, Alt 0x40).
    void KeyDown(uint32_t virtualKey, uint32_t modifiers = 0);
    void KeyUp(uint32_t virtualKey, uint32_t modifiers = 0);
    void Tap(uint32_t virtualKey, uint32_t modifiers = 0);
    // Typed characters, each with its key press and release as a keyboard
    // makes them (letters and digits press their key; others only type).
    void Type(const std::wstring& text);

    // Idle passes: the clock moves on by `step` ms before each pass until
    // `duration` has gone by.
    void RunIdle(uint32_t duration, uint32_t step = 33);
    void IdlePass();
    // Puts the focus on a control as a press would.
    void Focus(const RCPtr<KX::LControl>& control);

    // Paints the whole window into an off-screen surface and saves it as
    // <test name>[_suffix].png; Pixel reads the last paint (0xAARRGGBB).
    void PaintWindow(const std::string& suffix = std::string());
    uint32_t Pixel(long x, long y) const;

    // The texts of the strings the tests read.
    static std::wstring Text(const String& text) { return KXTest::Text(text); }

    OwnedOSServices os;
    RCPtr<KX::LControlFactory> factory;
    RCPtr<KXTest::ControlTestApplication> application;
    RCPtr<KX::LGDIRenderer> renderer;
    RCPtr<KX::LRootWindow> window;
    RCPtr<KX::LRenderContextInfo> surface;
};

// The characters of the notifications a listener saw, as texts.
std::vector<std::wstring> IdsOf(const KXTest::Listener& listener);
// How many notifications of that identifier a listener saw.
int CountOf(const KXTest::Listener& listener, const wchar_t* id);

} // namespace TextTest
