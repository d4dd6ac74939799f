// What the tests of real windows share: the MFC application object and the
// application started as the program starts them (GDI+, the profile under
// the test company), the main window opened as Run opens it, and a message
// loop with idle phases that runs until a condition holds. Every window is
// gone and the saved placement removed after each test.
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

    void SetUp() override
    {
        ShellTest::SetUp();
        KX::StartGdiplus(mGdiplusToken);
        mMfcApp = std::make_unique<KX::MFCFrameworkApp<TestApplication>>();
        ASSERT_TRUE(AfxWinInit(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW));
        mMfcApp->SetRegistryKey(L"Ostrel Test/Labs");
        KX::SetModuleInstance(GetModuleHandleW(nullptr)); // the version block's module
        ClearSavedPlacement();
        StartApplication();
    }

    void TearDown() override
    {
        EndApplication();
        ClearSavedPlacement();
        mMfcApp.reset();
        AfxWinTerm();
        KX::StopGdiplus(mGdiplusToken);
        ShellTest::TearDown();
    }

    void StartApplication()
    {
        mApp = MakeApplication();
        KX::MFCFrameworkApp<TestApplication>::sApplication = mApp;
        ASSERT_EQ(S_OK, mApp->RunApplicationStartup());
    }

    // Every window goes, then the application.
    void EndApplication()
    {
        if (!mApp)
            return;
        for (int32_t i = mApp->GetRootWindowCount() - 1; i >= 0; --i) {
            const KX::RCPtr<KX::LRootWindow> window = mApp->GetRootWindow(i);
            if (window && window->GetOSServices() && IsWindow(window->GetOSServices()->GetHandle()))
                DestroyWindow(window->GetOSServices()->GetHandle());
        }
        mApp->Shutdown();
        KX::MFCFrameworkApp<TestApplication>::sApplication = KX::RCPtr<TestApplication>();
        mApp = KX::RCPtr<TestApplication>();
        DrainQueue();
    }

    // The main window with its root control, shown: what Run does before
    // its loop.
    KX::OSWindow* OpenMainWindow()
    {
        EXPECT_EQ(S_OK, mApp->CreateMainWindow(mApp->GetRendererType()));
        const KX::RCPtr<KX::LRootWindow> root = mApp->GetRootWindow(0);
        EXPECT_TRUE(root);
        if (!root)
            return nullptr;
        String name;
        mApp->GetMainControlName(name);
        EXPECT_EQ(S_OK, root->SetRootControl(name));
        mApp->FitMainWindowToRootControl();
        KX::OSWindow* window = mApp->GetMainOSWindow();
        if (window) {
            window->ShowWindow(SW_SHOW);
            window->UpdateWindow();
        }
        return window;
    }

    // The main window in front with the keyboard focus, as a person's click
    // on it would leave it.
    void BringToFront(HWND window)
    {
        TestScreen::Activate(window);
        EXPECT_TRUE(LoopUntil([window]() { return GetActiveWindow() == window && GetFocus() == window; }));
    }

    // The root control of a root window, as the test's control class.
    WindowTestControl* RootControlOf(int32_t index)
    {
        const KX::RCPtr<KX::LRootWindow> root = mApp->GetRootWindow(index);
        return root ? dynamic_cast<WindowTestControl*>(root->GetRootControl().Get()) : nullptr;
    }

    // The program's message loop until the condition holds: the waiting
    // messages, then an idle phase as the MFC loop runs it. A quit message
    // is noted, not acted on.
    bool LoopUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000)
    {
        const DWORD start = GetTickCount();
        for (;;) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT) {
                    mQuitSeen = true;
                    continue;
                }
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            LONG idleCount = 0;
            while (mMfcApp->OnIdle(idleCount++)) {
            }
            if (condition())
                return true;
            if (GetTickCount() - start > timeoutMs)
                return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }

    // Messages only, no idle pass.
    static bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000)
    {
        return TestScreen::PumpUntil(condition, timeoutMs);
    }

    void ClearSavedPlacement()
    {
        RegDeleteKeyW(HKEY_CURRENT_USER,
                      mMfcApp->GetSectionKeyPath(TestApplication::GetUniqueAppName().GetData()).c_str());
    }

    static RECT WindowRect(HWND window)
    {
        RECT rect{};
        GetWindowRect(window, &rect);
        return rect;
    }
    static RECT ClientRect(HWND window)
    {
        RECT rect{};
        GetClientRect(window, &rect);
        return rect;
    }
    // The client point's place on the screen.
    static POINT ScreenPoint(HWND window, int x, int y)
    {
        POINT point{x, y};
        ClientToScreen(window, &point);
        return point;
    }
    static COLORREF ToColorRef(uint32_t argb)
    {
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }

    ULONG_PTR mGdiplusToken = 0;
    std::unique_ptr<KX::MFCFrameworkApp<TestApplication>> mMfcApp;
    KX::RCPtr<TestApplication> mApp;
    bool mQuitSeen = false;
};
