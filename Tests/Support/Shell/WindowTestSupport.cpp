#include "WindowTestSupport.h"

void WindowTest::SetUp()
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

void WindowTest::TearDown()
{
    EndApplication();
    ClearSavedPlacement();
    mMfcApp.reset();
    AfxWinTerm();
    KX::StopGdiplus(mGdiplusToken);
    ShellTest::TearDown();
}

void WindowTest::StartApplication()
{
    mApp = MakeApplication();
    KX::MFCFrameworkApp<TestApplication>::sApplication = mApp;
    ASSERT_EQ(S_OK, mApp->RunApplicationStartup());
}

void WindowTest::EndApplication()
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

KX::OSWindow* WindowTest::OpenMainWindow()
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

KX::OSWindow* WindowTest::OpenMainWindowInFront()
{
    KX::OSWindow* window = OpenMainWindow();
    if (window)
        BringToFront(window->m_hWnd);
    return window;
}

void WindowTest::BringToFront(HWND window)
{
    TestScreen::Activate(window);
    EXPECT_TRUE(LoopUntil([window]() { return TestScreen::IsInFront(window); }));
}

bool WindowTest::MovePointerTo(KX::OSWindow* window, int x, int y)
{
    const POINT point = ScreenPoint(window->m_hWnd, x, y);
    TestScreen::MoveMouseTo(point.x, point.y);
    return PumpUntil([&]() {
        KX::PointT<long> reported;
        window->GetCursorPosition(reported);
        return reported.x == x && reported.y == y;
    });
}

WindowTestControl* WindowTest::RootControlOf(int32_t index)
{
    const KX::RCPtr<KX::LRootWindow> root = mApp->GetRootWindow(index);
    return root ? dynamic_cast<WindowTestControl*>(root->GetRootControl().Get()) : nullptr;
}

bool WindowTest::LoopUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    return TestScreen::LoopUntil(
        condition, [this](LONG count) { return mMfcApp->OnIdle(count) != FALSE; }, mQuitSeen, timeoutMs);
}

void WindowTest::ClearSavedPlacement()
{
    RegDeleteKeyW(HKEY_CURRENT_USER, mMfcApp->GetSectionKeyPath(TestApplication::GetUniqueAppName().GetData()).c_str());
}

RECT WindowTest::WindowRect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

RECT WindowTest::ClientRect(HWND window)
{
    RECT rect{};
    GetClientRect(window, &rect);
    return rect;
}

POINT WindowTest::ScreenPoint(HWND window, int x, int y)
{
    POINT point{x, y};
    ClientToScreen(window, &point);
    return point;
}
