// What the menu tests share: the scene fixture over the menu test documents
// (Documents/MenuSkin.xml and MenuStrings.xml: small scenes for the drop-down
// base, popup menus, submenus, titles and bars) or the program's own, with
// the framework's control types registered as the program registers them; an
// application whose clock the tests set (the submenu hover delay is measured
// on it) and that records its status line; a window of a client size the test
// chooses. Paints are saved under screenshots/MenuTests/.
#pragma once

#include "Support/Scenes/SceneFixture.h"

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

using RendererTest::NearColour;

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

// The scene fixture over the menu test documents or the program's own.
class MenuTestBase : public KXTest::SceneFixture<MenuTestApplication>
{
protected:
    // Loads the menu test documents (true) or the program's (false),
    // registers the control types and the test classes, and starts the
    // application with its key bindings. The window's client size is
    // `clientSize`.
    void Load(bool testDocuments, const PointT<long>& clientSize = PointT<long>(560, 360));

    // A control's rectangle in window coordinates (rounded origin).
    RectT<long> WindowRectOf(const RCPtr<KX::LControl>& control) const;
    // The middle of the row that shows a list item, in window coordinates.
    PointT<long> ItemPoint(const RCPtr<KX::LControl>& list, int32_t item) const;
    // Texts of the labels a popup's rows show (item order, rows on screen).
    std::vector<std::wstring> RowTexts(const RCPtr<KX::LControl>& popup) const;

    uint32_t Now() const { return application->mTicks; }
    // The pixel at a point of a control (control coordinates), last paint.
    uint32_t PixelIn(const RCPtr<KX::LControl>& control, long x, long y) const;
};

} // namespace MenuTest
