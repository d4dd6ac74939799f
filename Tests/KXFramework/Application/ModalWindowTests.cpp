// Secondary root windows: a modal window for a control runs its own loop
// with idle passes while its owner is disabled, and answers its close code;
// closing it from outside is its own close request; an independent window
// has no owner.
#include "Support/Shell/WindowTestSupport.h"

#include "Application/WindowCreation.h"
#include "Support/Windows/WindowRefusal.h"

namespace {

using String = KX::StringT<wchar_t, char>;
using ModalWindowTest = WindowTest;

TEST_F(ModalWindowTest, RunsItsOwnLoopWhileTheOwnerIsDisabledAndAnswersItsCloseCode)
{
    KX::OSWindow* main = OpenMainWindowInFront();
    ASSERT_NE(nullptr, main);
    HWND mainHandle = main->m_hWnd;
    KX::RCPtr<KX::LControl> dialog;
    ASSERT_EQ(S_OK, mApp->CreateControl(dialog, L"dialogControl"));

    // What the modal window's own loop shows, seen from its idle passes.
    int idlePasses = 0;
    bool ownerEnabled = true;
    bool modal = false;
    HWND dialogHandle = nullptr;
    HWND owner = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    mApp->mOnIdle = [&]() {
        if (mApp->GetRootWindowCount() < 2)
            return;
        const KX::RCPtr<KX::LRootWindow> window = mApp->GetRootWindow(1);
        if (++idlePasses == 1) {
            dialogHandle = window->GetOSServices()->GetHandle();
            ownerEnabled = IsWindowEnabled(mainHandle) != FALSE;
            modal = window->GetOSServices()->IsModal();
            owner = GetWindow(dialogHandle, GW_OWNER);
            style = static_cast<DWORD>(GetWindowLongPtrW(dialogHandle, GWL_STYLE));
            exStyle = static_cast<DWORD>(GetWindowLongPtrW(dialogHandle, GWL_EXSTYLE));
            RedrawWindow(dialogHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            TestScreen::SaveScreenshot(RECT{0, 0, 640, 480}, L"ModalWindowTest", L"modal-over-main");
            window->RequestClose(7); // closes in its idle step
        }
    };
    EXPECT_EQ(7, mApp->DoModal(dialog, true));
    mApp->mOnIdle = nullptr;
    EXPECT_GE(idlePasses, 1);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(modal);
    EXPECT_EQ(mainHandle, owner);
    EXPECT_EQ(KX::kRootWindowSystemMenuStyle, style & 0xFFFF0000 & ~static_cast<DWORD>(WS_VISIBLE | WS_CLIPCHILDREN |
                                                                                        WS_CLIPSIBLINGS));
    EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
    // The loop ended with the window; the owner is usable again.
    EXPECT_FALSE(IsWindow(dialogHandle));
    EXPECT_TRUE(IsWindowEnabled(mainHandle));
    EXPECT_EQ(1, mApp->GetRootWindowCount());
    EXPECT_TRUE(IsWindow(mainHandle));
}

TEST_F(ModalWindowTest, WmCloseFromOutsideIsTheWindowsOwnCloseRequest)
{
    KX::OSWindow* main = OpenMainWindowInFront();
    ASSERT_NE(nullptr, main);
    KX::RCPtr<KX::LControl> dialog;
    ASSERT_EQ(S_OK, mApp->CreateControl(dialog, L"dialogControl"));
    bool posted = false;
    mApp->mOnIdle = [&]() {
        if (!posted && mApp->GetRootWindowCount() == 2) {
            posted = true;
            PostMessageW(mApp->GetRootWindow(1)->GetOSServices()->GetHandle(), WM_CLOSE, 0, 0);
        }
    };
    EXPECT_EQ(0, mApp->DoModal(dialog, true));
    mApp->mOnIdle = nullptr;
    EXPECT_TRUE(posted);
    EXPECT_FALSE(mApp->IsExiting()); // not the application's exit
    EXPECT_EQ(1, mApp->GetRootWindowCount());
    EXPECT_TRUE(IsWindowEnabled(main->m_hWnd));
}

TEST_F(ModalWindowTest, WithoutAnActiveWindowTheMainWindowOwnsTheModalOne)
{
    KX::OSWindow* main = OpenMainWindow();
    ASSERT_NE(nullptr, main);
    // Another program's window in front: no root window is active.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 600, 500, 80, 60, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    TestScreen::Activate(other);
    ASSERT_TRUE(LoopUntil([&]() { return GetActiveWindow() == other; }));
    ASSERT_FALSE(mApp->GetActiveRootWindow());

    KX::RCPtr<KX::LControl> dialog;
    ASSERT_EQ(S_OK, mApp->CreateControl(dialog, L"dialogControl"));
    HWND owner = nullptr;
    mApp->mOnIdle = [&]() {
        if (mApp->GetRootWindowCount() == 2 && !owner) {
            owner = GetWindow(mApp->GetRootWindow(1)->GetOSServices()->GetHandle(), GW_OWNER);
            mApp->GetRootWindow(1)->RequestClose(3);
        }
    };
    EXPECT_EQ(3, mApp->DoModal(dialog, false));
    mApp->mOnIdle = nullptr;
    EXPECT_EQ(main->m_hWnd, owner);
    DestroyWindow(other);
}

TEST_F(ModalWindowTest, AnIndependentWindowHasNoOwnerAndClosesOnRequest)
{
    KX::OSWindow* main = OpenMainWindowInFront();
    ASSERT_NE(nullptr, main);
    KX::RCPtr<KX::LControl> control;
    ASSERT_EQ(S_OK, mApp->CreateControl(control, L"dialogControl"));
    const int32_t index = mApp->OpenRootWindow(control, true, true, false);
    ASSERT_EQ(1, index);
    HWND handle = mApp->GetRootWindow(index)->GetOSServices()->GetHandle();
    EXPECT_EQ(nullptr, GetWindow(handle, GW_OWNER));
    EXPECT_EQ(0, GetWindowLongPtrW(handle, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    EXPECT_TRUE(GetWindowLongPtrW(handle, GWL_STYLE) & WS_MINIMIZEBOX);
    EXPECT_TRUE(IsWindowEnabled(main->m_hWnd));
    EXPECT_EQ(control.Get(), mApp->GetRootWindow(index)->GetRootControl().Get());

    // The exit closes it in the idle pass after the loop.
    PostMessageW(handle, WM_CLOSE, 0, 0);
    ASSERT_TRUE(LoopUntil([&]() { return !IsWindow(handle); }));
    EXPECT_EQ(1, mApp->GetRootWindowCount());
    EXPECT_FALSE(mQuitSeen); // a secondary window's end is not the program's
}

// How the secondary windows are refused (WindowRefusal.h): by a creation
// hook, or by the window failing WM_NCCREATE or WM_CREATE (it then ends with
// WM_NCDESTROY, and a self-deleting window object with it).
using TestScreen::Refusal;
Refusal sRefusal = Refusal::CreationHook;

// Installed before the creation, so called after the window object's own
// creation hook: the object is attached when its window fails. Only
// top-level windows: the main window exists already, so those refused are the
// secondary ones asked for.
LRESULT CALLBACK RefuseTopLevelWindows(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const CBT_CREATEWNDW* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        if (!(create->lpcs->style & WS_CHILD)) {
            if (const LRESULT answer = TestScreen::RefuseWindow(reinterpret_cast<HWND>(wParam), sRefusal))
                return answer;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A secondary window that cannot be made is a failure answer, nothing more:
// its window object ends once, no root window is left behind, the main
// window stays usable, and the next secondary window is made as usual.
// (Run once more under Wine's heap checks: a second delete of the object
// shows there.)
TEST_F(ModalWindowTest, ASecondaryWindowThatCannotBeMadeIsAFailureAndTheProgramGoesOn)
{
    KX::OSWindow* main = OpenMainWindowInFront();
    ASSERT_NE(nullptr, main);
    KX::RCPtr<KX::LControl> control;
    ASSERT_EQ(S_OK, mApp->CreateControl(control, L"dialogControl"));

    const struct
    {
        Refusal refusal;
        const char* name;
    } cases[] = {{Refusal::CreationHook, "a creation hook refuses"},
                 {Refusal::NcCreate, "WM_NCCREATE fails"},
                 {Refusal::Create, "WM_CREATE fails"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sRefusal = c.refusal;
        HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseTopLevelWindows, nullptr, GetCurrentThreadId());
        ASSERT_NE(nullptr, hook);
        const KX::KXRESULT modal = mApp->DoModal(control, true);
        const int32_t independent = mApp->OpenRootWindow(control, true, true, false);
        UnhookWindowsHookEx(hook);
        EXPECT_EQ(E_FAIL, modal);
        EXPECT_EQ(E_FAIL, independent);
        EXPECT_EQ(1, mApp->GetRootWindowCount());
        EXPECT_TRUE(IsWindowEnabled(main->m_hWnd));
        EXPECT_FALSE(mQuitSeen);
    }

    const int32_t index = mApp->OpenRootWindow(control, true, true, false);
    ASSERT_EQ(1, index);
    HWND handle = mApp->GetRootWindow(index)->GetOSServices()->GetHandle();
    EXPECT_EQ(control.Get(), mApp->GetRootWindow(index)->GetRootControl().Get());
    PostMessageW(handle, WM_CLOSE, 0, 0);
    ASSERT_TRUE(LoopUntil([&]() { return !IsWindow(handle); }));
    EXPECT_EQ(1, mApp->GetRootWindowCount());
}

TEST(WindowStyleTest, StylesFollowTheSizeLimitsAndTheFlags)
{
    KX::RCPtr<KX::LLayoutDescriptor> layout = KX::LLayoutDescriptor::Create();
    EXPECT_EQ(KX::kMainWindowMaximizeStyle, KX::MainWindowStyle(layout.Get())); // no limits
    layout->mXMinimum.mAbs = layout->mXMaximum.mAbs = 300;
    layout->mYMinimum.mAbs = layout->mYMaximum.mAbs = 200;
    EXPECT_EQ(KX::kMainWindowFixedStyle, KX::MainWindowStyle(layout.Get()));
    layout->mXMaximum.mAbs = 600;
    EXPECT_EQ(KX::kMainWindowSizingStyle, KX::MainWindowStyle(layout.Get()));
    layout->mXMaximum.mAbs = 0;
    layout->mYMaximum.mAbs = 0;
    layout->mYMaximum.mIsControl = true; // a maximum that refers to a control
    EXPECT_EQ(KX::kMainWindowSizingStyle, KX::MainWindowStyle(layout.Get()));
    for (auto* limit : {&layout->mXMinimum, &layout->mYMinimum, &layout->mXMaximum, &layout->mYMaximum})
        limit->mIsControl = true;
    EXPECT_FALSE(KX::IsResizableLayout(layout.Get())); // all refer to controls

    EXPECT_EQ(0x80C00000u, KX::RootWindowStyle(false, false, false, false));
    EXPECT_EQ(0x80C80000u, KX::RootWindowStyle(false, true, false, false));
    EXPECT_EQ(0x80CA0000u, KX::RootWindowStyle(false, false, true, false));
    EXPECT_EQ(0x80C90000u, KX::RootWindowStyle(false, false, false, true));
    EXPECT_EQ(0x80CC0000u, KX::RootWindowStyle(true, true, false, false));
}

} // namespace
