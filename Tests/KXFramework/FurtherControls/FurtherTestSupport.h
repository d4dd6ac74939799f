// What the tests of the further controls share: the small test skins of
// FurtherSkins.xml (one top-level scene per control family) in a factory with
// the framework's control types, plain parts ("Test.Part") and a drop target
// of the test program's own; an application whose clock and Ctrl key the
// tests set; a root window over the fake OS window with a real GDI+
// renderer, so that scenes can be painted off-screen (PNGs under
// screenshots/FurtherControlTests/); and the pointer, keys and wheel as the
// OS window hands them to the root window.
#pragma once

#include "KXFramework/ControlTree/ControlTestSupport.h"
#include "KXFramework/Renderer/RendererTestSupport.h"

#include "System/KeyCode.h"

#include <string>
#include <vector>

namespace FurtherTest {

using KX::RCPtr;
using String = KX::StringT<wchar_t, char>;
using KX::PointT;
using KX::RectT;

// The application of these tests: the control tests' clock and cursors, and
// a Ctrl key that the tests press and release.
class TestApplication : public KXTest::ControlTestApplication
{
public:
    static RCPtr<TestApplication> Make(const RCPtr<KX::LControlFactory>& factory)
    {
        return RCPtr<TestApplication>(new TestApplication(factory));
    }

    KX::KXRESULT GetKeyState(int32_t virtualKey, bool& down, bool& toggled) override
    {
        down = virtualKey == VK_CONTROL && ctrlDown;
        toggled = false;
        return S_OK;
    }

    bool ctrlDown = false;

protected:
    explicit TestApplication(const RCPtr<KX::LControlFactory>& factory) : ControlTestApplication(factory) {}
};

// A control that accepts every drop and records what the drag told it.
class DropTarget : public KXTest::TestControl
{
public:
    DropTarget(const RCPtr<KX::LControl>& parent, const String& name) : TestControl(parent, name) {}

    bool AcceptsDrop(const RCPtr<KX::LControl>&) override { return true; }
    void DragEnter(const RCPtr<KX::LControl>& dragged) override { events.push_back(L"enter " + Name(dragged)); }
    void DragLeave(const RCPtr<KX::LControl>& dragged) override { events.push_back(L"leave " + Name(dragged)); }
    KX::KXRESULT Drop(const RCPtr<KX::LControl>& dragged) override
    {
        events.push_back(L"drop " + Name(dragged));
        return S_OK;
    }

    std::vector<std::wstring> events;

protected:
    ~DropTarget() override = default;

private:
    static std::wstring Name(const RCPtr<KX::LControl>& control)
    {
        return control ? KXTest::Text(control->GetName()) : std::wstring(L"(none)");
    }
};

// The values a listener saw in "NID_VALUE_CHANGE", and the flags of
// "NID_VALUE_CHANGE_CAPTURE".
std::vector<double> ValuesSeen(const KXTest::Listener& listener);
std::vector<bool> CapturesSeen(const KXTest::Listener& listener);

class FurtherControlTest : public ::testing::Test
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
    void MoveTo(const PointT<long>& point, int32_t modifiers = 0);
    void Press(const PointT<long>& point, int32_t button = 1);
    void Release(const PointT<long>& point, int32_t button = 1);
    // Press, moves in steps of at most `step` pixels along the way, release.
    void Drag(const PointT<long>& from, const PointT<long>& to, long step = 10);
    // One wheel step over a point (direction 0 down, 1 up, 2 left, 3 right).
    void Wheel(const PointT<long>& point, int32_t direction);
    // A virtual key pressed or released, as the window makes it.
    void Key(uint32_t virtualKey, bool down, uint32_t modifiers = 0);
    // Idle passes: the clock moves on by `step` ms before each pass until
    // `duration` has gone by.
    void RunIdle(uint32_t duration, uint32_t step = 33);
    void IdlePass();

    // Paints the whole window (the fake window's client size, 560 x 360
    // unless a test sets another before SetUp) into an off-screen surface
    // and saves it as <test name>[_suffix].png; Pixel reads the last paint.
    void PaintWindow(const std::string& suffix = std::string());
    uint32_t Pixel(long x, long y) const;

    // The name of the cursor the window shows now.
    std::wstring CurrentCursor() const { return application->CursorName(os.currentCursor); }

    KXTest::FakeOSServices os;
    RCPtr<KX::LControlFactory> factory;
    RCPtr<TestApplication> application;
    RCPtr<KX::LGDIRenderer> renderer;
    RCPtr<KX::LRootWindow> window;
    RCPtr<KX::LRenderContextInfo> surface;
};

} // namespace FurtherTest
