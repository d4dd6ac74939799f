// The main window as a person meets it: made for the skin's main control with
// the program's class, the company as title and the style of the control's
// size limits; clicks, double clicks and the wheel reaching the control; the
// close box and WM_CLOSE while the application refuses to exit and once it
// agrees; the placement kept from one run to the next.
#include "Support/Shell/WindowTestSupport.h"

#include "Application/WindowCreation.h"
#include "Notification/NotificationCenterManager.h"

#include <gmock/gmock.h>

namespace {

using String = KX::StringT<wchar_t, char>;
using MainWindowTest = WindowTest;

constexpr DWORD kFrameStyles = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

TEST_F(MainWindowTest, IsMadeForTheMainControlWithTheProgramsClassTheCompanyAndTheControlsSize)
{
    ASSERT_EQ(S_OK, mApp->CreateMainWindow(1));
    KX::OSWindow* window = mApp->GetMainOSWindow();
    ASSERT_NE(nullptr, window);
    HWND handle = window->m_hWnd;
    EXPECT_EQ(handle, FindWindowW(L"Ostrel_DEVICE_FAMILY_NAME_String_FirmwareUpdater", nullptr));
    // The company's name until the main control gives the window its label.
    wchar_t title[64] = {};
    GetWindowTextW(handle, title, 64);
    EXPECT_STREQ(L"Ostrel Test/Labs", title);
    ASSERT_EQ(S_OK, mApp->GetRootWindow(0)->SetRootControl(String(L"mainControl")));
    mApp->FitMainWindowToRootControl();
    window->ShowWindow(SW_SHOW);
    // Then the main control's label from the strings.
    GetWindowTextW(handle, title, 64);
    EXPECT_STREQ(L"Shell Test Window", title);
    ASSERT_NE(nullptr, RootControlOf(0));
    EXPECT_EQ(RootControlOf(0)->GetText(), String(title));
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(handle, GWL_STYLE));
    EXPECT_EQ(KX::kMainWindowFixedStyle, style & kFrameStyles);
    EXPECT_EQ(static_cast<DWORD>(WS_CLIPSIBLINGS | WS_CLIPCHILDREN), style & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
    // The client area is exactly the control's fixed size, at the skin's place.
    const RECT client = ClientRect(handle);
    EXPECT_EQ(320, client.right);
    EXPECT_EQ(200, client.bottom);
    EXPECT_EQ(60, WindowRect(handle).left);
    EXPECT_EQ(40, WindowRect(handle).top);
    // The window is the program's main window and root window 0, with the
    // control as its root control.
    EXPECT_EQ(window, mMfcApp->m_pMainWnd);
    EXPECT_EQ(1, mApp->GetRootWindowCount());
    ASSERT_NE(nullptr, RootControlOf(0));
    EXPECT_EQ(String(L"mainControl"), RootControlOf(0)->GetName());
    WNDCLASSW windowClass{};
    ASSERT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), L"Ostrel_DEVICE_FAMILY_NAME_String_FirmwareUpdater",
                              &windowClass));
    EXPECT_EQ(KX::OSWindow::kClassStyle, windowClass.style);

    // Painted in the control's colour.
    EXPECT_TRUE(LoopUntil([&]() {
        const POINT centre = ScreenPoint(handle, 160, 100);
        return TestScreen::ReadScreenPixel(centre.x, centre.y) == ToColorRef(WindowTestControl::kFirstColor);
    }));
    TestScreen::SaveWindowScreenshot(handle, L"MainWindowTest", L"fixed-main-window");
}

TEST_F(MainWindowTest, ControlsWithoutFixedSizeGetSizingBordersAndAMaximiseBoxWithoutMaximum)
{
    struct Case
    {
        const wchar_t* control;
        DWORD style;
    };
    for (const Case& c : {Case{L"freeControl", KX::kMainWindowMaximizeStyle},
                          Case{L"limitedControl", KX::kMainWindowSizingStyle}}) {
        TestApplication::sMainControlName = c.control;
        KX::OSWindow* window = OpenMainWindow();
        ASSERT_NE(nullptr, window);
        HWND handle = window->m_hWnd;
        EXPECT_EQ(c.style, static_cast<DWORD>(GetWindowLongPtrW(handle, GWL_STYLE)) & kFrameStyles)
            << String(c.control).ToNarrow().GetData();
        TestScreen::SaveWindowScreenshot(handle, L"MainWindowTest", c.control);
        EndApplication();
        StartApplication();
    }
}

TEST_F(MainWindowTest, AnUnknownMainControlThrowsTheInvalidControlNameError)
{
    TestApplication::sMainControlName = L"noSuchControl";
    try {
        mApp->CreateMainWindow(1);
        FAIL() << "no exception";
    } catch (const KX::Exception<std::runtime_error>& error) {
        EXPECT_STREQ("Runtime Error : Null Pointer : Invalid Control Name : "
                     "KX::LApplicationBase<class TestApplication>::CreateMainWindow : "
                     "Application/ApplicationBaseWin : Line 1234",
                     error.what());
    }
    EXPECT_EQ(0, mApp->GetRootWindowCount());
    EXPECT_EQ(nullptr, FindWindowW(L"Ostrel_DEVICE_FAMILY_NAME_String_FirmwareUpdater", nullptr));
}

TEST_F(MainWindowTest, AClickReachesTheControlAsOnePressAndOneReleaseAndItShowsAfterTheIdlePass)
{
    KX::OSWindow* window = OpenMainWindowInFront();
    ASSERT_NE(nullptr, window);
    HWND handle = window->m_hWnd;
    WindowTestControl* control = RootControlOf(0);
    ASSERT_NE(nullptr, control);
    const POINT centre = ScreenPoint(handle, 160, 100);
    ASSERT_TRUE(LoopUntil([&]() {
        return TestScreen::ReadScreenPixel(centre.x, centre.y) == ToColorRef(WindowTestControl::kFirstColor);
    }));

    TestScreen::Click(centre.x, centre.y);
    ASSERT_TRUE(PumpUntil([&]() { return control->releases.size() == 1; }));
    ASSERT_EQ(1u, control->presses.size());
    EXPECT_EQ(1, control->presses[0].button);
    EXPECT_EQ(0, control->presses[0].doubleClick);
    EXPECT_EQ(1, control->releases[0].button);
    EXPECT_EQ(0, control->releases[0].doubleClick);
    // The change waits in the window's queue until the idle pass.
    PumpUntil([]() { return false; }, 100);
    EXPECT_FALSE(control->toggled);
    EXPECT_EQ(ToColorRef(WindowTestControl::kFirstColor), TestScreen::ReadScreenPixel(centre.x, centre.y));
    mApp->ProcessIdle(true);
    EXPECT_TRUE(control->toggled);
    EXPECT_TRUE(PumpUntil([&]() {
        return TestScreen::ReadScreenPixel(centre.x, centre.y) == ToColorRef(WindowTestControl::kSecondColor);
    }));
    TestScreen::SaveWindowScreenshot(handle, L"MainWindowTest", L"after-click");

    // A double click (away from the first click, which would otherwise pair
    // with it): the second press and its release carry the flag.
    TestScreen::Click(centre.x + 40, centre.y + 20, true);
    ASSERT_TRUE(PumpUntil([&]() { return control->releases.size() == 3; }));
    ASSERT_EQ(3u, control->presses.size());
    EXPECT_EQ(0, control->presses[1].doubleClick);
    EXPECT_EQ(1, control->presses[2].doubleClick);
    EXPECT_EQ(1, control->releases[2].doubleClick);
}

TEST_F(MainWindowTest, TheWheelTurnsWholeStepsIntoEventsAndKeepsTheRest)
{
    KX::OSWindow* window = OpenMainWindowInFront();
    ASSERT_NE(nullptr, window);
    WindowTestControl* control = RootControlOf(0);
    ASSERT_NE(nullptr, control);
    ASSERT_TRUE(MovePointerTo(window, 100, 80));

    TestScreen::SendWheel(60);
    ASSERT_TRUE(PumpUntil([&]() { return window->GetWheelRemainder(false) == 60; }));
    EXPECT_TRUE(control->wheelDirections.empty());
    TestScreen::SendWheel(60);
    ASSERT_TRUE(PumpUntil([&]() { return control->wheelDirections.size() == 1; }));
    EXPECT_EQ(1, control->wheelDirections[0]); // up
    EXPECT_EQ(0, window->GetWheelRemainder(false));
    TestScreen::SendWheel(-119);
    ASSERT_TRUE(PumpUntil([&]() { return window->GetWheelRemainder(false) == -119; }));
    EXPECT_EQ(1u, control->wheelDirections.size());
}

TEST(WheelArithmeticTest, StepsOf120AreTakenOffAndTheRemainderWaits)
{
    struct Case
    {
        int32_t before;
        int32_t delta;
        int32_t steps;
        int32_t after;
    };
    for (const Case& c : {Case{0, 60, 0, 60}, Case{60, 60, 1, 0}, Case{0, 360, 3, 0}, Case{0, -119, 0, -119},
                          Case{-119, -1, -1, 0}, Case{100, -300, -1, -80}, Case{0, 250, 2, 10}}) {
        int32_t accumulator = c.before;
        EXPECT_EQ(c.steps, KX::OSWindow::AccumulateWheel(accumulator, c.delta)) << c.before << " + " << c.delta;
        EXPECT_EQ(c.after, accumulator) << c.before << " + " << c.delta;
    }
}

TEST_F(MainWindowTest, CloseCommandAndWmCloseAskTheApplicationWhichRefusesWhileItMayNotExit)
{
    KX::OSWindow* window = OpenMainWindow();
    ASSERT_NE(nullptr, window);
    HWND handle = window->m_hWnd;
    mApp->mCanExit = false;

    // The command masks the low bits the system may set.
    PostMessageW(handle, WM_SYSCOMMAND, SC_CLOSE | 0x2, 0);
    ASSERT_TRUE(LoopUntil([&]() { return mApp->mCanExitCalls == 1; }));
    EXPECT_TRUE(IsWindow(handle));
    PostMessageW(handle, WM_CLOSE, 0, 0);
    ASSERT_TRUE(LoopUntil([&]() { return mApp->mCanExitCalls == 2; }));
    EXPECT_TRUE(IsWindow(handle));
    EXPECT_FALSE(mApp->IsExiting());
    EXPECT_FALSE(mQuitSeen);

    // Once it may: the window closes, saving its place, and the loop ends.
    mApp->mCanExit = true;
    PostMessageW(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(LoopUntil([&]() { return !IsWindow(handle); }));
    EXPECT_TRUE(mApp->IsExiting());
    EXPECT_TRUE(mQuitSeen);
    EXPECT_EQ(nullptr, mMfcApp->m_pMainWnd);
    EXPECT_EQ(0, mApp->GetRootWindowCount());
    WINDOWPLACEMENT saved{};
    EXPECT_TRUE(KX::LoadWindowPlacement(*mMfcApp, TestApplication::GetUniqueAppName().GetData(), saved));
}

TEST_F(MainWindowTest, TheNextStartReopensWhereTheWindowWasKeptInsideTheWorkArea)
{
    KX::OSWindow* window = OpenMainWindow();
    ASSERT_NE(nullptr, window);
    HWND handle = window->m_hWnd;
    const RECT size = WindowRect(handle);
    window->MoveWindow(RECT{230, 170, 230 + size.right - size.left, 170 + size.bottom - size.top});
    const RECT moved = WindowRect(handle);
    mApp->mCanExit = true;
    PostMessageW(handle, WM_CLOSE, 0, 0); // from outside: the application decides
    ASSERT_TRUE(LoopUntil([&]() { return !IsWindow(handle); }));

    // The restart.
    EndApplication();
    StartApplication();
    window = OpenMainWindow();
    ASSERT_NE(nullptr, window);
    handle = window->m_hWnd;
    EXPECT_EQ(moved.left, WindowRect(handle).left);
    EXPECT_EQ(moved.top, WindowRect(handle).top);
    EXPECT_EQ(320, ClientRect(handle).right);
    TestScreen::SaveWindowScreenshot(handle, L"MainWindowTest", L"reopened");

    // A left edge off the work area comes back inside it.
    const std::wstring section = TestApplication::GetUniqueAppName().GetData();
    WINDOWPLACEMENT placement{};
    ASSERT_TRUE(KX::LoadWindowPlacement(*mMfcApp, section.c_str(), placement));
    KX::RectT<int32_t> work;
    mApp->GetWorkArea(work);
    const LONG width = placement.rcNormalPosition.right - placement.rcNormalPosition.left;
    placement.rcNormalPosition.left = work.x - 150;
    placement.rcNormalPosition.right = placement.rcNormalPosition.left + width;
    mMfcApp->WriteProfileBinary(section.c_str(), L"WP", reinterpret_cast<const BYTE*>(&placement), sizeof(placement));
    EndApplication();
    StartApplication();
    window = OpenMainWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(work.x, WindowRect(window->m_hWnd).left);

    // A 20-byte placement is ignored: the skin's place.
    mMfcApp->WriteProfileBinary(section.c_str(), L"WP", reinterpret_cast<const BYTE*>(&placement), 20);
    EndApplication();
    StartApplication();
    window = OpenMainWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(60, WindowRect(window->m_hWnd).left);
    EXPECT_EQ(40, WindowRect(window->m_hWnd).top);
}

} // namespace
