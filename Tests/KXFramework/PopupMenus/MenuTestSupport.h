// What the menu tests share: a control factory with the framework's control
// types registered as the program registers them, loaded either with the
// menu test documents (Documents/MenuSkin.xml and MenuStrings.xml: small
// scenes for the drop-down base, popup menus, submenus, titles and bars) or
// with the program's own documents; an application whose clock the tests set
// (the submenu hover delay is measured on it); a root window over a fake OS
// window, of a client size the test chooses, with a real GDI+ renderer;
// pointer and keys as the OS window hands them to the root window; idle
// passes; off-screen paints of the whole window read back pixel by pixel and
// saved under screenshots/MenuTests/.
#pragma once

#include "KXFramework/ControlTree/ControlTestSupport.h"
#include "KXFramework/Renderer/RendererTestSupport.h"

#include "System/KeyCode.h"

#include <string>
#include <vector>

namespace MenuTest {

using KX::PointT;
using KX::RCPtr;
using KX::RectT;
using KXTest::Text;
using String = KX::StringT<wchar_t, char>;

// Key words as the list and the popup compare them.
constexpr uint32_t kUp = VK_UP;
constexpr uint32_t kDown = VK_DOWN;
constexpr uint32_t kLeft = VK_LEFT;
constexpr uint32_t kRight = VK_RIGHT;
constexpr uint32_t kEnter = VK_RETURN;
constexpr uint32_t kEscape = VK_ESCAPE;

// Red, green and blue each within `tolerance`.
bool NearColour(uint32_t a, uint32_t b, int tolerance = 6);

// The application of these tests: the control tests' clock, and a status
// line that records what it is asked to show ("set:<text>", "reset").
class MenuTestApplication : public KXTest::ControlTestApplication
{
public:
    static RCPtr<MenuTestApplication> Make(const RCPtr<KX::LControlFactory>& factory)
    {
        return RCPtr<MenuTestApplication>(new MenuTestApplication(factory));
    }

    KX::KXRESULT SetStatusText(const String& text, bool) override
    {
        statusCalls.push_back(L"set:" + Text(text));
        return S_OK;
    }
    KX::KXRESULT ResetStatusText(bool) override
    {
        statusCalls.push_back(L"reset");
        return S_OK;
    }

    std::vector<std::wstring> statusCalls;

protected:
    explicit MenuTestApplication(const RCPtr<KX::LControlFactory>& factory) : ControlTestApplication(factory) {}
};

class MenuTestBase : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the menu test documents (true) or the program's (false),
    // registers the control types and the test classes, loads the
    // application's key bindings and settles the skin. The window's client
    // size is `clientSize`.
    void Load(bool testDocuments, const PointT<long>& clientSize = PointT<long>(560, 360));
    // The scene of that name becomes the window's root control.
    RCPtr<KX::LControl> OpenScene(const wchar_t* scene);

    // The control at a path of names below the root control ("a/b").
    RCPtr<KX::LControl> Find(const std::wstring& path) const;
    template <class T>
    RCPtr<T> FindAs(const std::wstring& path) const
    {
        return RCPtr<T>::DynamicCast(Find(path));
    }
    // A control's origin and middle in window coordinates (rounded).
    PointT<long> OriginOf(const RCPtr<KX::LControl>& control) const;
    PointT<long> Middle(const RCPtr<KX::LControl>& control) const;
    // A control's rectangle in window coordinates (rounded origin).
    RectT<long> WindowRectOf(const RCPtr<KX::LControl>& control) const;

    // The middle of the row that shows a list item, in window coordinates.
    PointT<long> ItemPoint(const RCPtr<KX::LControl>& list, int32_t item) const;
    // Texts of the labels a popup's rows show (item order, rows on screen).
    std::vector<std::wstring> RowTexts(const RCPtr<KX::LControl>& popup) const;

    // ---- Pointer and keys as the OS window delivers them ----
    void MoveTo(const PointT<long>& point);
    void Press(const PointT<long>& point, int32_t button = 1);
    void Release(const PointT<long>& point, int32_t button = 1);
    void Click(const PointT<long>& point, int32_t button = 1);
    // Moves in steps of at most `step` pixels.
    void MoveAlong(const PointT<long>& from, const PointT<long>& to, long step = 4);
    // A key press (as the window makes it); the handled result.
    KX::KXRESULT PressKey(uint32_t virtualKey, uint32_t modifiers = 0);

    // ---- Time ----
    void IdlePass();
    // Idle passes: the clock moves on by `step` ms before each pass until
    // `duration` has gone by.
    void RunIdle(uint32_t duration, uint32_t step = 33);
    uint32_t Now() const { return application->mTicks; }

    // ---- Pixels ----
    // Paints the whole window off-screen and saves it as
    // <test name>[_suffix].png; Pixel reads the last paint.
    void PaintWindow(const std::string& suffix = std::string());
    uint32_t Pixel(long x, long y) const;
    // The pixel at a point of a control (control coordinates), last paint.
    uint32_t PixelIn(const RCPtr<KX::LControl>& control, long x, long y) const;

    KXTest::FakeOSServices os;
    RCPtr<KX::LControlFactory> factory;
    RCPtr<MenuTestApplication> application;
    RCPtr<KX::LGDIRenderer> renderer;
    RCPtr<KX::LRootWindow> window;
    RCPtr<KX::LRenderContextInfo> surface;
};

} // namespace MenuTest
