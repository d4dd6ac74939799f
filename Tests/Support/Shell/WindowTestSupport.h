// What the tests of real windows share: the MFC application object and the
// application started as the program starts them (GDI+, the profile under
// the test company), the main window opened as Run opens it and brought to
// the front, the pointer moved over it, and a message loop with idle phases
// that runs until a condition holds. Every window is gone and the saved
// placement removed after each test.
#pragma once

#include "ShellTestSupport.h"

#include "Application/ApplicationFolders.h"
#include "Application/OSWindow.h"
#include "Application/RootWindow.h"
#include "Application/WindowPlacement.h"
#include "Support/Windows/MessageLoop.h"
#include "Support/Windows/ScreenCapture.h"

#include <functional>
#include <memory>
#include <string>

class WindowTest : public ShellTest
{
protected:
    using String = KX::StringT<wchar_t, char>;

    void SetUp() override;
    void TearDown() override;

    void StartApplication();
    // Every window goes, then the application.
    void EndApplication();

    // The main window with its root control, shown: what Run does before
    // its loop. Null when it could not be made.
    KX::OSWindow* OpenMainWindow();
    // The same, then in front with the keyboard focus (BringToFront).
    KX::OSWindow* OpenMainWindowInFront();
    // The window in front with the keyboard focus, as a person's click on
    // it would leave it.
    void BringToFront(HWND window);
    // The pointer moved through SendInput onto a client point of the
    // window; true once the window reports it there.
    bool MovePointerTo(KX::OSWindow* window, int x, int y);

    // The root control of a root window, as the test's control class.
    WindowTestControl* RootControlOf(int32_t index);

    // The program's message loop until the condition holds: the waiting
    // messages, then an idle phase as the MFC loop runs it. A quit message
    // is noted (mQuitSeen), not acted on.
    bool LoopUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
    // Messages only, no idle pass.
    static bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000)
    {
        return TestScreen::PumpUntil(condition, timeoutMs);
    }

    void ClearSavedPlacement();

    static RECT WindowRect(HWND window);
    static RECT ClientRect(HWND window);
    // The client point's place on the screen.
    static POINT ScreenPoint(HWND window, int x, int y);
    static COLORREF ToColorRef(uint32_t argb)
    {
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }

    ULONG_PTR mGdiplusToken = 0;
    std::unique_ptr<KX::MFCFrameworkApp<TestApplication>> mMfcApp;
    KX::RCPtr<TestApplication> mApp;
    bool mQuitSeen = false;
};
