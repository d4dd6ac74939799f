// The off-screen scene of the control test programs: a skin's scene in a root
// window over the fake OS window, driven through the root window's input
// entry points as the OS window hands input over, with a clock the tests
// move, and painted with a real GDI+ renderer into off-screen surfaces that
// are read back and saved as screenshots.
//
// A program's fixture derives from SceneFixture<its application class> and
// builds the scene in its SetUp (or in a helper its tests call), in order:
//   1. LoadDocuments (test documents embedded in the test program) or
//      LoadProgramDocuments (every document of the program's resources): a
//      new factory with them and the framework's control types, registered
//      as the program registers them;
//   2. RegisterClass<T> for the test program's own classes;
//   3. StartApplication: the application made over the factory (or one the
//      fixture made, for an application class that takes more), the
//      start-up steps asked for, the first skin settled, and a root window
//      with the fixture's GDI+ renderer, registered with the application.
// A document that does not load fails the test fatally; callers wrap the
// loading step in ASSERT_NO_FATAL_FAILURE so that the set-up stops there.
// Starting the application again (a test that switches documents) makes a
// new application and window over the current factory and keeps the
// renderer. TearDown takes the scene down: root control, window, renderer,
// the application's shut-down or the clipboard, application, factory, in
// that order.
//
// The fixture paints with the GDI+ support of RendererTestSupport.cpp (the
// scene support library TestScenes, which a program that uses the fixture
// links); screenshots go to screenshots/<test program>/.
#pragma once

#include "ControlTestSupport.h"
#include "RendererTestSupport.h"

#include "Controls/FrameworkControlTypes.h"
#include "System/ClipBoard.h"
#include "System/GlobalHotKeyManager.h"
#include "System/KeyCode.h"

#include <algorithm>
#include <string>

namespace KXTest {

template <class Application = ControlTestApplication>
class SceneFixture : public ::testing::Test
{
protected:
    // What the application's start-up does before the skin is settled.
    enum StartUpSteps : uint32_t
    {
        kNoStartUpSteps = 0,
        // The global key bindings ("GHK" of the application's strings).
        kKeyBindings = 1,
        // The clipboard, owned by a message-only window that the fake OS
        // window answers as its handle, as the program's window owns it.
        kClipboard = 2,
        // The application's own start-up (RunApplicationStartup: the
        // framework's types, the key bindings, the clipboard and the skin
        // from the settings, then what the application class adds) in place
        // of the steps above and the first skin, and its Shutdown at the
        // end, as the program runs them.
        kApplicationStartUp = 4,
    };

    void TearDown() override
    {
        surface = nullptr;
        if (window) {
            window->SetRootControl(RCPtr<KX::LControl>());
            application->RemoveRootWindow(window);
            window = nullptr;
        }
        renderer = nullptr;
        if (mShutDownApplication && application)
            application->Shutdown();
        if (mClipboardStarted && application && application->GetClipboard())
            application->GetClipboard()->UnregisterAll();
        if (os.handle)
            DestroyWindow(os.handle);
        os.handle = nullptr;
        application = nullptr;
        factory = nullptr;
    }

    // ---- Building the scene ----

    // A factory of that name with the test program's embedded skin document,
    // after a string table and the framework's strings (US English) where
    // `strings` is given, and the framework's control types.
    void LoadDocuments(const wchar_t* factoryName, const wchar_t* skin, const wchar_t* strings = nullptr,
                       const wchar_t* frameworkStrings = L"::NO_FRAMEWORK_STRINGS")
    {
        factory = KX::LControlFactory::Create(String(factoryName));
        if (strings) {
            ASSERT_EQ(S_OK, factory->LoadStringTables(String(strings), String(frameworkStrings), 0x0409))
                << Text(factory->GetLastErrorText());
        }
        ASSERT_EQ(S_OK, factory->LoadSkin(String(skin))) << Text(factory->GetLastErrorText());
        KX::RegisterFrameworkControlTypes(*factory);
    }
    // The same with every document of the program's resources, loaded as
    // the program loads them.
    void LoadProgramDocuments(const wchar_t* factoryName)
    {
        factory = KX::LControlFactory::Create(String(factoryName));
        ASSERT_EQ(S_OK, factory->LoadResources(String(L"::"), 0x0409)) << Text(factory->GetLastErrorText());
        KX::RegisterFrameworkControlTypes(*factory);
    }
    // A class of the test program for the documents' class name. The first
    // registration of a name wins: the framework's types come first, and
    // these only fill the gaps.
    template <class T>
    void RegisterClass(const wchar_t* className)
    {
        factory->RegisterControlCreateFunction(String(className), &KX::LControl::CreateControlOfClass<T>);
    }
    // The application, its start-up steps (StartUpSteps), skin 0, and the
    // root window over `os`.
    void StartApplication(uint32_t startUpSteps = kNoStartUpSteps)
    {
        StartApplication(Application::Make(factory), startUpSteps);
    }
    // The same with an application the fixture made over the factory.
    void StartApplication(const RCPtr<Application>& made, uint32_t startUpSteps)
    {
        application = made;
        if (startUpSteps & kApplicationStartUp) {
            mShutDownApplication = true;
            ASSERT_EQ(S_OK, application->RunApplicationStartup());
        } else {
            RunStartUpSteps(startUpSteps);
        }
        if (!renderer)
            renderer = RendererTest::MakeGdiRenderer();
        if ((startUpSteps & kClipboard) && !os.handle)
            os.handle = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        KX::LRootWindow::Create(window, RCPtr<KX::LRenderer>(renderer.Get()), &os);
        application->AddRootWindow(window);
    }
    // ---- The scene's controls ----

    // The top control of that name becomes the window's root control.
    RCPtr<KX::LControl> OpenScene(const wchar_t* scene)
    {
        EXPECT_EQ(S_OK, window->SetRootControl(String(scene)));
        return window->GetRootControl();
    }
    // The control at a path of names below the root control ("a/b"); null
    // when a name is missing.
    RCPtr<KX::LControl> Find(const std::wstring& path) const { return FindControl(window->GetRootControl(), path); }
    template <class T>
    RCPtr<T> FindAs(const std::wstring& path) const
    {
        return RCPtr<T>::DynamicCast(Find(path));
    }
    // A control's origin and centre in window coordinates (rounded half
    // away from zero).
    KX::PointT<long> OriginOf(const RCPtr<KX::LControl>& control) const
    {
        return KX::PointT<long>(control->GetRootPosition());
    }
    KX::PointT<long> CentreOf(const RCPtr<KX::LControl>& control) const
    {
        const KX::PointT<double> origin = control->GetRootPosition();
        const KX::RectT<double>& rect = control->GetRect();
        return KX::PointT<long>(KX::PointT<double>(origin.x + rect.width / 2.0, origin.y + rect.height / 2.0));
    }

    // ---- Input as the OS window hands it to the root window ----

    // The pointer moves to a client point; a button goes down or up where
    // the pointer is (it moves there first when it is elsewhere), with the
    // buttons held in between reported by the OS window.
    void MoveTo(const KX::PointT<long>& point, int32_t modifiers = 0)
    {
        os.cursor = point;
        window->MouseMove(point, modifiers, 0);
    }
    void Press(const KX::PointT<long>& point, int32_t button = 1, int32_t modifiers = 0)
    {
        ButtonEvent(KX::LRootWindow::kPress, point, button, modifiers);
    }
    void Release(const KX::PointT<long>& point, int32_t button = 1, int32_t modifiers = 0)
    {
        if (os.cursor != point)
            MoveTo(point, modifiers);
        os.buttons &= ~button;
        window->MouseButton(KX::LRootWindow::kRelease, button, modifiers, point, 0);
    }
    void Click(const KX::PointT<long>& point, int32_t button = 1, int32_t modifiers = 0)
    {
        Press(point, button, modifiers);
        Release(point, button, modifiers);
    }
    // The second click of a double click, right after a Click: the press the
    // OS window reports as a double click, then the release.
    void DoubleClick(const KX::PointT<long>& point, int32_t button = 1)
    {
        ButtonEvent(KX::LRootWindow::kDoubleClick, point, button, 0);
        Release(point, button);
    }
    // The pointer from `from` to `to` in steps of at most `step` pixels:
    // MoveAlong moves there first; Drag presses there and releases at `to`.
    void MoveAlong(const KX::PointT<long>& from, const KX::PointT<long>& to, long step = 4)
    {
        MoveTo(from);
        StepTo(from, to, step);
    }
    void Drag(const KX::PointT<long>& from, const KX::PointT<long>& to, long step = 10)
    {
        Press(from);
        StepTo(from, to, step);
        Release(to);
    }
    // One wheel step over a point (direction 0 down, 1 up, 2 left, 3 right),
    // with the window's modifier flags; the root window's answer.
    KX::KXRESULT Wheel(const KX::PointT<long>& point, int32_t direction, int32_t modifiers = 0)
    {
        if (os.cursor != point)
            MoveTo(point);
        return window->MouseWheel(point, modifiers, direction);
    }
    // A virtual key pressed, released, or both, as the window makes them
    // (modifier flags of KX::KeyCode); the root window's answer.
    KX::KXRESULT KeyDown(uint32_t virtualKey, uint32_t modifiers = 0)
    {
        return window->KeyEvent(KX::LKeyParam::Create(KX::KeyCode(virtualKey, true, 0, modifiers), 1));
    }
    KX::KXRESULT KeyUp(uint32_t virtualKey, uint32_t modifiers = 0)
    {
        return window->KeyEvent(KX::LKeyParam::Create(KX::KeyCode(virtualKey, false, 1, modifiers), 1));
    }
    void Tap(uint32_t virtualKey, uint32_t modifiers = 0)
    {
        KeyDown(virtualKey, modifiers);
        KeyUp(virtualKey, modifiers);
    }
    // The name of the cursor the window shows now.
    std::wstring CurrentCursor() const { return application->CursorName(os.currentCursor); }

    // ---- Time ----

    // One idle pass without the clock moving.
    void IdlePass() { application->ProcessIdle(true); }
    // The clock moves on by `milliseconds`, then one idle pass runs.
    void Advance(uint32_t milliseconds)
    {
        application->mTicks += milliseconds;
        IdlePass();
    }
    // Idle passes at the window timer's rate: the clock moves on by `step`
    // ms before each pass (less before the last) until `duration` has gone by.
    void RunIdle(uint32_t duration, uint32_t step = 33)
    {
        for (uint32_t elapsed = 0; elapsed < duration;) {
            const uint32_t next = std::min(step, duration - elapsed);
            elapsed += next;
            Advance(next);
        }
    }

    // ---- Pixels ----

    // Paints the whole client area (the fake window's client size) into a new
    // off-screen surface and saves it as <test name>[_suffix].png; the paint
    // must leave no render context open. Pixel reads the last paint (ARGB).
    void PaintWindow(const std::string& suffix = std::string())
    {
        surface = RendererTest::MakeOffscreenContext(RCPtr<KX::LRenderer>(renderer.Get()), os.clientSize.x,
                                                     os.clientSize.y);
        KX::LRectRegion region;
        region.AddRect(0, 0, os.clientSize.x, os.clientSize.y);
        renderer->RenderStart(surface);
        window->Paint(region);
        renderer->RenderFinish(surface);
        EXPECT_EQ(0, renderer->GetContextDepth());
        RendererTest::SaveScreenshot(surface,
                                     RendererTest::CurrentTestName() + (suffix.empty() ? "" : "_" + suffix));
    }
    uint32_t Pixel(long x, long y) const { return RendererTest::ReadPixel(surface, x, y); }
    uint32_t Pixel(const KX::PointT<long>& point) const { return Pixel(point.x, point.y); }

    FakeOSServices os;
    RCPtr<KX::LControlFactory> factory;
    RCPtr<Application> application;
    RCPtr<KX::LGDIRenderer> renderer;
    RCPtr<KX::LRootWindow> window;
    RCPtr<KX::LRenderContextInfo> surface;

private:
    // The steps of the test's choice, then skin 0.
    void RunStartUpSteps(uint32_t startUpSteps)
    {
        if (startUpSteps & kKeyBindings)
            application->GetHotKeyManager()->GetBindingMap().Load(application->GetAppStringTable(), String(L"GHK"));
        if (startUpSteps & kClipboard) {
            application->GetClipboard()->Initialize();
            mClipboardStarted = true;
        }
        application->SetSkin(0);
    }
    void ButtonEvent(int32_t kind, const KX::PointT<long>& point, int32_t button, int32_t modifiers)
    {
        if (os.cursor != point)
            MoveTo(point, modifiers);
        os.buttons |= button;
        window->MouseButton(kind, button, modifiers, point, 0);
    }
    // Moves after `from` toward `to`, at most `step` pixels on each axis.
    void StepTo(const KX::PointT<long>& from, const KX::PointT<long>& to, long step)
    {
        KX::PointT<long> at = from;
        while (at != to) {
            const long dx = std::max(-step, std::min(step, to.x - at.x));
            const long dy = std::max(-step, std::min(step, to.y - at.y));
            at = KX::PointT<long>(at.x + dx, at.y + dy);
            MoveTo(at);
        }
    }

    bool mClipboardStarted = false;
    bool mShutDownApplication = false;
};

} // namespace KXTest
