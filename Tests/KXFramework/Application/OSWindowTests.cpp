// The OS window's services and messages with a real window: keys and
// characters to the focused control, a drag that ends outside, the window
// rectangle for a client area and the size rules while sizing, the idle
// timer, the clipboard's owner window, the message-box owner, the file
// dialog's owner, the secondary windows closed when the program exits, and
// what each drawing renderer puts on the screen in the paint passes after a
// size change.
#include "Support/Shell/WindowTestSupport.h"

#include "Application/FileDialog.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "System/ClipBoard.h"
#include "System/KeyCode.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using String = KX::StringT<wchar_t, char>;
using OSWindowTest = WindowTest;

using TestScreen::SendKeys;

bool IsCharacter(const KX::KeyCode& key, wchar_t character)
{
    return key.GetVirtualKeyCode() == 0 && key.GetCharacter() == character;
}

TEST_F(OSWindowTest, KeysAndCharactersReachTheFocusedControlWithTheirModifiers)
{
    KX::OSWindow* window = OpenMainWindowInFront();
    ASSERT_NE(nullptr, window);
    HWND handle = window->m_hWnd;
    WindowTestControl* control = RootControlOf(0);
    ASSERT_NE(nullptr, control);
    ASSERT_TRUE(LoopUntil([&]() { return mApp->GetRootWindow(0)->GetFocusControl().Get() == control; }));

    SendKeys({{'A', true}, {'A', false}});
    ASSERT_TRUE(PumpUntil([&]() { return control->keys.size() == 3; }));
    EXPECT_EQ(0x41u, control->keys[0].GetVirtualKeyCode());
    EXPECT_TRUE(control->keys[0].GetCode() & KX::KeyCode::KeyDownBit);
    EXPECT_EQ(0u, control->keys[0].GetPreviousState());
    EXPECT_TRUE(IsCharacter(control->keys[1], L'a'));
    EXPECT_EQ(0x41u, control->keys[2].GetVirtualKeyCode());
    EXPECT_FALSE(control->keys[2].GetCode() & KX::KeyCode::KeyDownBit);
    EXPECT_EQ(1u, control->keys[2].GetPreviousState());

    // Shift: the character is upper case and carries Shift, the key the
    // left side too.
    control->keys.clear();
    SendKeys({{VK_LSHIFT, true}, {'B', true}, {'B', false}, {VK_LSHIFT, false}});
    ASSERT_TRUE(PumpUntil([&]() { return control->keys.size() == 5; }));
    const KX::KeyCode& shifted = control->keys[1];
    EXPECT_EQ(0x42u, shifted.GetVirtualKeyCode());
    EXPECT_TRUE(shifted.GetCode() & KX::KeyCode::ShiftBit);
    EXPECT_EQ(KX::KeyCode::GetSideMask(KX::KeyCode::ModShift | KX::KeyCode::ModLeftShift), shifted.GetSideMask());
    EXPECT_TRUE(IsCharacter(control->keys[2], L'B'));
    EXPECT_TRUE(control->keys[2].GetCode() & KX::KeyCode::ShiftBit);

    // With a Windows key held no character is raised.
    control->keys.clear();
    SendKeys({{VK_LWIN, true}, {'C', true}, {'C', false}, {VK_LWIN, false}});
    ASSERT_TRUE(PumpUntil([&]() {
        return !control->keys.empty() && control->keys.back().GetVirtualKeyCode() == VK_LWIN &&
               !(control->keys.back().GetCode() & KX::KeyCode::KeyDownBit);
    }));
    for (const KX::KeyCode& key : control->keys)
        EXPECT_FALSE(IsCharacter(key, L'c') || IsCharacter(key, L'C'));
    const auto down = std::find_if(control->keys.begin(), control->keys.end(),
                                   [](const KX::KeyCode& key) { return key.GetVirtualKeyCode() == 'C'; });
    ASSERT_NE(control->keys.end(), down);
    EXPECT_EQ(KX::KeyCode::GetSideMask(KX::KeyCode::ModWin | KX::KeyCode::ModLeftWin), down->GetSideMask());

    // A character whose message says Alt was held carries Alt.
    control->keys.clear();
    SendMessageW(handle, WM_CHAR, L'x', 1 | (1 << 29));
    ASSERT_EQ(1u, control->keys.size());
    EXPECT_TRUE(IsCharacter(control->keys[0], L'x'));
    EXPECT_TRUE(control->keys[0].GetCode() & KX::KeyCode::AltBit);
}

TEST_F(OSWindowTest, ADragThatEndsOutsideTheWindowGivesTheReleaseAndFreesTheCapture)
{
    KX::OSWindow* window = OpenMainWindowInFront();
    ASSERT_NE(nullptr, window);
    HWND handle = window->m_hWnd;
    WindowTestControl* control = RootControlOf(0);
    ASSERT_NE(nullptr, control);
    const POINT inside = ScreenPoint(handle, 50, 50);
    TestScreen::MoveMouseTo(inside.x, inside.y);
    // The application asks the active root window's OS window for the pointer.
    ASSERT_TRUE(PumpUntil([&]() {
        KX::PointT<int32_t> pointer;
        mApp->GetCursorPosition(pointer);
        return pointer.x == inside.x && pointer.y == inside.y;
    }));
    INPUT press{};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &press, sizeof(INPUT));
    ASSERT_TRUE(PumpUntil([&]() { return control->presses.size() == 1; }));
    EXPECT_EQ(1, mApp->GetMouseButtons());
    EXPECT_TRUE(window->IsCaptured());
    EXPECT_EQ(handle, GetCapture());

    const RECT frame = WindowRect(handle);
    TestScreen::MoveMouseTo(frame.right + 150, frame.bottom + 150); // over the bare desktop
    INPUT release{};
    release.type = INPUT_MOUSE;
    release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &release, sizeof(INPUT));
    ASSERT_TRUE(PumpUntil([&]() { return control->releases.size() == 1; }));
    EXPECT_EQ(1, control->releases[0].button);
    EXPECT_TRUE(PumpUntil([&]() { return !window->IsCaptured() && GetCapture() != handle; }));
    EXPECT_EQ(0, window->GetButtonsDown());
}

TEST_F(OSWindowTest, WindowRectServiceAndSizingFollowTheClientAreaAndTheControlsLimits)
{
    TestApplication::sMainControlName = L"limitedControl"; // 200 x 100 to 600 x 400
    KX::OSWindow* window = OpenMainWindow();
    ASSERT_NE(nullptr, window);
    HWND handle = window->m_hWnd;

    EXPECT_EQ(S_OK, window->SetWindowRect(KX::RectT<long>(150, 120, 420, 260)));
    POINT origin{0, 0};
    ClientToScreen(handle, &origin);
    EXPECT_EQ(150, origin.x);
    EXPECT_EQ(120, origin.y);
    EXPECT_EQ(420, ClientRect(handle).right);
    EXPECT_EQ(260, ClientRect(handle).bottom);
    // The root window sees the new size and draws into all of it.
    EXPECT_EQ(420, window->GetRenderContext()->mViewport.width);
    EXPECT_EQ(260, window->GetRenderContext()->mViewport.height);

    // A border dragged past the maximum stops there.
    const RECT current = WindowRect(handle);
    const long frameWidth = (current.right - current.left) - ClientRect(handle).right;
    const long frameHeight = (current.bottom - current.top) - ClientRect(handle).bottom;
    RECT proposed{current.left, current.top, current.left + 900, current.top + 700};
    SendMessageW(handle, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposed));
    EXPECT_EQ(current.left + 600 + frameWidth, proposed.right);
    EXPECT_EQ(current.top + 400 + frameHeight, proposed.bottom);
    proposed = RECT{current.left, current.top, current.left + 50, current.top + 40};
    SendMessageW(handle, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposed));
    EXPECT_EQ(current.left + 200 + frameWidth, proposed.right);
    EXPECT_EQ(current.top + 100 + frameHeight, proposed.bottom);

    // The idle timer runs on every framework window.
    EXPECT_TRUE(KillTimer(handle, KX::OSWindow::kIdleTimer));
}

TEST_F(OSWindowTest, TheMainWindowOwnsTheClipboardAndAnotherOwnerClearsTheApplicationsObject)
{
    KX::OSWindow* window = OpenMainWindow();
    ASSERT_NE(nullptr, window);
    HWND handle = window->m_hWnd;
    const KX::RCPtr<KX::LClipboard>& clipboard = mApp->GetClipboard();
    ASSERT_TRUE(clipboard);
    EXPECT_EQ(handle, mApp->GetClipboardOwnerWindow());

    // An object of the application stays inside it; the window owns the clipboard.
    KX::RCPtr<KX::LRefCountedObject> object(mApp->GetAppStringTable().Get());
    ASSERT_EQ(S_OK, clipboard->SetData(object));
    EXPECT_EQ(handle, GetClipboardOwner());
    EXPECT_EQ(object.Get(), clipboard->GetData().Get());

    // Another program takes the clipboard and puts the private format there
    // itself: the application's object is no longer what it holds.
    HWND other = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(OpenClipboard(other));
    EmptyClipboard(); // our window gets WM_DESTROYCLIPBOARD
    SetClipboardData(KX::LClipboard::PrivateFormat, nullptr);
    CloseClipboard();
    EXPECT_FALSE(clipboard->GetData());
    DestroyWindow(other);
}

TEST_F(OSWindowTest, MessageBoxesAndTheFileDialogAreOwnedByTheActiveWindow)
{
    EXPECT_EQ(IDOK, mApp->MessageBox(L"before", L"caption", MB_OK)); // no main window: no owner
    ASSERT_EQ(1u, sBoxes.size());
    EXPECT_EQ(nullptr, sBoxes[0].owner);

    KX::OSWindow* window = OpenMainWindowInFront();
    ASSERT_NE(nullptr, window);
    HWND handle = window->m_hWnd;
    mApp->MessageBox(L"text", L"caption", MB_ICONINFORMATION);
    ASSERT_EQ(2u, sBoxes.size());
    EXPECT_EQ(handle, sBoxes[1].owner);
    EXPECT_EQ(L"text", sBoxes[1].text);

    static HWND sOwner = nullptr;
    const KX::LFileDialog::OpenFunction previous = KX::LFileDialog::SetOpenFunction([](OPENFILENAMEW* dialog) -> BOOL {
        sOwner = dialog->hwndOwner;
        return FALSE;
    });
    KX::RCPtr<KX::LFileDialog> dialog;
    KX::LFileDialog::Create(dialog, L"C:\\");
    EXPECT_EQ(E_FAIL, dialog->ShowOpenDialog(L"All Files (*.*)|*.*", L"", L"Open", false));
    EXPECT_EQ(handle, sOwner);
    KX::LFileDialog::SetOpenFunction(previous);
}

TEST_F(OSWindowTest, ANewSkinReachesEveryWindowUnderTheBusyCursorAndRepaintsItWhole)
{
    KX::OSWindow* window = OpenMainWindowInFront();
    ASSERT_NE(nullptr, window);
    WindowTestControl* control = RootControlOf(0);
    ASSERT_NE(nullptr, control);
    const KX::RCPtr<KX::LRootWindow> root = mApp->GetRootWindow(0);
    ASSERT_TRUE(LoopUntil([&]() { return control->renderCount > 0 && root->GetDirtyRegion().IsEmpty(); }));
    const int32_t rendered = control->renderCount;
    const HCURSOR before = LoadCursorW(nullptr, IDC_CROSS);
    root->SetCursor(before);
    mApp->mIdleFirstFlags.clear();

    ASSERT_EQ(S_OK, mApp->SetSkin(0));
    EXPECT_EQ((std::vector<bool>{true}), mApp->mIdleFirstFlags); // the busy cursor's pass
    EXPECT_EQ(before, KX::OSWindow::GetCurrentCursor());
    KX::RectT<long> dirty;
    ASSERT_TRUE(root->GetDirtyRegion().GetBounds(dirty));
    EXPECT_EQ(KX::RectT<long>(0, 0, 320, 200), dirty);
    EXPECT_EQ(control, root->GetFocusControl().Get()); // given back
    EXPECT_TRUE(PumpUntil([&]() { return control->renderCount > rendered; }));
}

TEST_F(OSWindowTest, AnAcceptedExitClosesTheSecondaryWindowsAndTheMainWindowAndEndsTheLoop)
{
    KX::OSWindow* window = OpenMainWindow();
    ASSERT_NE(nullptr, window);
    HWND mainHandle = window->m_hWnd;
    KX::RCPtr<KX::LControl> control;
    ASSERT_EQ(S_OK, mApp->CreateControl(control, L"dialogControl"));
    ASSERT_EQ(1, mApp->OpenRootWindow(control, true, false, false));
    HWND secondHandle = mApp->GetRootWindow(1)->GetOSServices()->GetHandle();

    KX::RCPtr<KX::LNotification> request;
    KX::LNotification::Create(request, L"NID_APP_EXIT_REQ");
    KX::LNotificationCenterManager::GetInstance()->GetApplicationCenter()->PostNotification(request);
    EXPECT_EQ(S_OK, mApp->RunMainLoop()); // returns: the loop ended
    EXPECT_FALSE(IsWindow(mainHandle));
    EXPECT_FALSE(IsWindow(secondHandle));
    EXPECT_EQ(0, mApp->GetRootWindowCount());
    EXPECT_TRUE(sBoxes.empty());
}

// ---- Paint passes after a size change, under each drawing renderer ----

constexpr int32_t kOpenGL = 0;
constexpr int32_t kGdiPlus = 1;

// The main window drawn by the renderer of the parameter's type, read back
// from the screen at points spread over its client area.
class OSWindowRedrawTest : public WindowTest, public ::testing::WithParamInterface<int32_t>
{
protected:
    // A grid of client points, 4 pixels inside the client area's edges.
    static std::vector<POINT> SamplePoints(HWND window)
    {
        const RECT client = ClientRect(window);
        std::vector<POINT> points;
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 5; ++column)
                points.push_back(POINT{4 + column * (client.right - 9) / 4, 4 + row * (client.bottom - 9) / 2});
        }
        return points;
    }
    // True when the window is what the screen shows at every point.
    static bool ShowsOnTop(HWND window, const std::vector<POINT>& points)
    {
        for (const POINT& point : points) {
            if (WindowFromPoint(ScreenPoint(window, point.x, point.y)) != window)
                return false;
        }
        return true;
    }
    static std::vector<COLORREF> ReadScreen(HWND window, const std::vector<POINT>& points)
    {
        std::vector<COLORREF> colours;
        for (const POINT& point : points) {
            const POINT screen = ScreenPoint(window, point.x, point.y);
            colours.push_back(TestScreen::ReadScreenPixel(screen.x, screen.y));
        }
        return colours;
    }
    void Save(HWND window, const std::wstring& name) const
    {
        const std::wstring test = GetParam() == kOpenGL ? L"OpenGL" : L"GdiPlus";
        TestScreen::SaveWindowScreenshot(window, L"ApplicationTests\\OSWindowRedraw_" + test, name);
    }
};

// The window's own size handling repaints it whole (a full repaint of the
// root window and a class that redraws on every size change), so the first
// pass after a size change covers the whole window and paints it. A pass at
// a new size that covers only a part cannot be painted by the renderers (the
// GDI+ surfaces are made anew, Mesa's back buffer comes back black): the
// root window invalidates the whole window instead of painting, and the
// whole repaint follows. Neither may present an unpainted frame: pass by
// pass, every point of the screen shows the control's colour or what it
// showed before the pass.
TEST_P(OSWindowRedrawTest, NoPassAfterASizeChangePresentsAnUnpaintedFrame)
{
    TestApplication::sMainControlName = L"freeControl"; // no size limits
    ASSERT_EQ(S_OK, mApp->CreateMainWindow(GetParam()));
    const KX::RCPtr<KX::LRootWindow> root = mApp->GetRootWindow(0);
    ASSERT_TRUE(root);
    ASSERT_EQ(S_OK, root->SetRootControl(String(L"freeControl")));
    mApp->FitMainWindowToRootControl();
    KX::OSWindow* window = mApp->GetMainOSWindow();
    ASSERT_NE(nullptr, window);
    window->ShowWindow(SW_SHOW);
    HWND handle = window->m_hWnd;
    WindowTestControl* control = RootControlOf(0);
    ASSERT_NE(nullptr, control);
    const COLORREF colour = ToColorRef(WindowTestControl::kFirstColor);
    const auto paintedEverywhere = [&]() {
        const std::vector<COLORREF> shown = ReadScreen(handle, SamplePoints(handle));
        return std::all_of(shown.begin(), shown.end(), [colour](COLORREF c) { return c == colour; });
    };
    ASSERT_TRUE(LoopUntil([&]() { return root->GetDirtyRegion().IsEmpty() && paintedEverywhere(); }));
    Save(handle, L"0-painted");

    const struct
    {
        const wchar_t* name;
        bool firstPassAPart; // the first pass at the new size covers a part only
    } cases[] = {
        {L"1-grown", false},
        {L"2-grown-first-pass-a-part", true},
    };
    for (const auto& c : cases) {
        const std::string what(c.name, c.name + std::wcslen(c.name));
        const RECT frame = WindowRect(handle);
        ASSERT_TRUE(SetWindowPos(handle, nullptr, 0, 0, frame.right - frame.left + 80,
                                 frame.bottom - frame.top + 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
        ASSERT_EQ(ClientRect(handle).right, window->GetRenderContext()->mViewport.width);
        if (c.firstPassAPart) {
            // The pending repaint and the system's update area are taken
            // away, and a part is invalidated as a control's change
            // invalidates it.
            KX::LRectRegion pending;
            root->TakeDirtyRegion(pending);
            ValidateRect(handle, nullptr);
            ASSERT_EQ(S_OK, root->Invalidate(KX::RectT<long>(20, 20, 60, 40)));
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, 0, 0, 0); // what the thread painted reaches the display
        const std::vector<POINT> points = SamplePoints(handle);
        ASSERT_TRUE(ShowsOnTop(handle, points)) << "another window covers the test window";
        std::vector<COLORREF> shown = ReadScreen(handle, points);
        Save(handle, std::wstring(c.name) + L"-0-resized");

        MSG message;
        for (int pass = 1; pass <= 4 && PeekMessageW(&message, handle, WM_PAINT, WM_PAINT, PM_REMOVE); ++pass) {
            const int32_t rendered = control->renderCount;
            DispatchMessageW(&message);
            if (pass == 1) {
                EXPECT_EQ(c.firstPassAPart, window->GetRenderContext()->mCompleteRedraw) << what;
                EXPECT_EQ(c.firstPassAPart, rendered == control->renderCount) << what << ": painted in the first pass";
            }
            MsgWaitForMultipleObjectsEx(0, nullptr, 0, 0, 0);
            const std::vector<COLORREF> now = ReadScreen(handle, points);
            Save(handle, std::wstring(c.name) + L"-" + std::to_wstring(pass) + L"-pass");
            for (size_t i = 0; i < points.size(); ++i) {
                EXPECT_TRUE(now[i] == colour || now[i] == shown[i])
                    << what << ": pass " << pass << " put 0x" << std::hex << now[i] << " on the screen at "
                    << std::dec << points[i].x << "," << points[i].y << ", where it showed 0x" << std::hex
                    << shown[i];
            }
            shown = now;
        }
        EXPECT_TRUE(PumpUntil(paintedEverywhere)) << what << ": the whole repaint did not come";
        Save(handle, std::wstring(c.name) + L"-9-repainted");
    }
}

INSTANTIATE_TEST_SUITE_P(Renderers, OSWindowRedrawTest, ::testing::Values(kOpenGL, kGdiPlus),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                             return std::string(info.param == kOpenGL ? "OpenGL" : "GdiPlus");
                         });

} // namespace
