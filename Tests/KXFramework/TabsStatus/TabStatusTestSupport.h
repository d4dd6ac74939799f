// What the tests of the tab control and the status bar share: the small test
// scenes of TabStatusSkins.xml with their texts in a factory with the
// framework's control types, plain parts ("Test.Part") and a label that
// records its texts ("Test.CountingLabel"); an application with a settable
// clock that finds its status bar as the program does, by the name
// "statusBar" among the children of its main window's top control; a root
// window over the fake OS window with a real GDI+ renderer, so that scenes
// can be painted off-screen (PNGs under screenshots/TabStatusTests/); and the
// pointer as the OS window hands it to the root window.
#pragma once

#include "KXFramework/ControlTree/ControlTestSupport.h"
#include "KXFramework/Renderer/RendererTestSupport.h"

#include "Controls/Label.h"
#include "Controls/StatusBar.h"

#include <string>
#include <vector>

namespace TabStatusTest {

using KX::RCPtr;
using String = KX::StringT<wchar_t, char>;
using KX::PointT;
using KX::RectT;

// The colours of the scenes' parts (TabStatusSkins.xml).
constexpr uint32_t kBackground = 0xFF202428;
constexpr uint32_t kHolder = 0xFF3A4048;
constexpr uint32_t kPageA = 0xFFC04030;
constexpr uint32_t kPageB = 0xFF3FAE6A;
constexpr uint32_t kPageC = 0xFF4A82BF;
constexpr uint32_t kStatus = 0xFFD8DCE0;

// The application of these tests: the control tests' clock and cursors, and
// the status bar looked up as the program's application class does.
class TestApplication : public KXTest::ControlTestApplication
{
public:
    static RCPtr<TestApplication> Make(const RCPtr<KX::LControlFactory>& factory)
    {
        return RCPtr<TestApplication>(new TestApplication(factory));
    }

    RCPtr<KX::LStatusBar> GetStatusBar() override;

protected:
    explicit TestApplication(const RCPtr<KX::LControlFactory>& factory) : ControlTestApplication(factory) {}
};

// A label that records every text it is given.
class CountingLabel : public KX::LLabel
{
public:
    CountingLabel(const RCPtr<KX::LControl>& parent, const String& name) : LLabel(parent, name) {}

    KX::KXRESULT SetText(const String& text) override
    {
        texts.push_back(KXTest::Text(text));
        return LLabel::SetText(text);
    }

    std::vector<std::wstring> texts;

protected:
    ~CountingLabel() override = default;
};

class TabStatusTestBase : public ::testing::Test
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

    // Pointer input as the OS window hands it to the root window.
    void MoveTo(const PointT<long>& point);
    void Press(const PointT<long>& point);
    void Release(const PointT<long>& point);
    // Press and release at the control's centre.
    void Click(const RCPtr<KX::LControl>& control);
    // One idle pass of the application, the clock moved on by 33 ms.
    void IdlePass();

    // The name of the cursor the window shows now.
    std::wstring CurrentCursorName() const { return application->CursorName(os.currentCursor); }

    // Paints the whole window into an off-screen surface and saves it as
    // <test name>[_suffix].png; Pixel reads the last paint.
    void PaintWindow(const std::string& suffix = std::string());
    uint32_t Pixel(long x, long y) const;
    // How many pixels of the last paint inside the rectangle differ from the
    // colour.
    int CountPixelsOtherThan(const RectT<long>& rect, uint32_t argb) const;

    // Whether the strings of TabStatusStrings.xml are loaded; set before
    // SetUp runs.
    bool mWithStrings = true;

    KXTest::FakeOSServices os;
    RCPtr<KX::LControlFactory> factory;
    RCPtr<TestApplication> application;
    RCPtr<KX::LGDIRenderer> renderer;
    RCPtr<KX::LRootWindow> window;
    RCPtr<KX::LRenderContextInfo> surface;
};

} // namespace TabStatusTest
