// The busy cursor around a blocking call: the wait cursor while it lasts,
// what was posted delivered and painted before the call blocks, and the
// previous cursor back afterwards.
#include "Support/Shell/WindowTestSupport.h"

#include "Application/BusyCursor.h"
#include "Application/Cursors.h"
#include "Notification/Notification.h"

namespace {

using BusyCursorTest = WindowTest;

HCURSOR ClassCursor(HWND window)
{
    return reinterpret_cast<HCURSOR>(GetClassLongPtrW(window, GCLP_HCURSOR));
}

TEST_F(BusyCursorTest, ShowsTheWaitCursorPaintsWhatWasPostedAndRestoresTheCursor)
{
    KX::OSWindow* window = OpenMainWindowInFront();
    ASSERT_NE(nullptr, window);
    HWND handle = window->m_hWnd;
    const POINT centre = ScreenPoint(handle, 160, 100);
    ASSERT_TRUE(LoopUntil([&]() {
        return TestScreen::ReadScreenPixel(centre.x, centre.y) == ToColorRef(WindowTestControl::kFirstColor);
    }));
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    mApp->GetRootWindow(0)->SetCursor(hand);
    ASSERT_EQ(hand, ClassCursor(handle));

    // A change waits in the window's queue, as an engine's report would.
    WindowTestControl* control = RootControlOf(0);
    ASSERT_NE(nullptr, control);
    control->ListenForToggle();
    KX::RCPtr<KX::LNotification> toggle;
    KX::LNotification::Create(toggle, WindowTestControl::kToggleID);
    mApp->GetRootWindow(0)->PostNotification(toggle);
    const int32_t rendered = control->renderCount;
    {
        KX::CBusyCursor busy(L"Putting Device in Update Mode...");
        // No message is handled from here on, as in the blocking call.
        EXPECT_EQ(LoadCursorW(nullptr, IDC_WAIT), KX::OSWindow::GetCurrentCursor());
        EXPECT_EQ(LoadCursorW(nullptr, IDC_WAIT), ClassCursor(handle));
        EXPECT_TRUE(control->toggled);
        EXPECT_GT(control->renderCount, rendered);
        EXPECT_EQ(ToColorRef(WindowTestControl::kSecondColor), TestScreen::ReadWindowPixel(handle, 160, 100));
        TestScreen::SaveWindowScreenshot(handle, L"BusyCursorTest", L"during-the-blocking-call");
    }
    EXPECT_EQ(hand, KX::OSWindow::GetCurrentCursor());
    EXPECT_EQ(hand, ClassCursor(handle));
}

TEST_F(BusyCursorTest, WithoutAWindowItOnlyRunsTheIdlePass)
{
    mApp->mIdleFirstFlags.clear();
    {
        KX::CBusyCursor busy(L"Loading Skin...");
        EXPECT_EQ((std::vector<bool>{true}), mApp->mIdleFirstFlags);
    }
}

} // namespace
