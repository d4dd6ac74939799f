// Windows whose root control is a tree made from the skin (a panel in its
// colour holding two boxes), met as a person meets them: a click, a double
// click and the wheel reach the box under the pointer and nothing else, and
// the box's change shows after the next idle pass; Alt+F4 typed on the
// keyboard asks the application to exit, with and without a control that
// takes keys; a paint that throws is not repeated and leaves later paints
// working; a new skin reaches every open window in place, and the controls it
// drops are forgotten by their windows (and so freed).
#include "Support/Shell/WindowTestSupport.h"

#include "Renderer/RenderContextInfo.h"
#include "Renderer/Renderer.h"

#include <stdexcept>
#include <vector>

namespace {

using String = KX::StringT<wchar_t, char>;

// The tree's panel colours in the two skins (0xAARRGGBB).
constexpr uint32_t kTreeFirstColor = 0xFF30A050;
constexpr uint32_t kTreeSecondColor = 0xFF8040C0;

// Client points of the tree: the bare panel, and the two boxes' centres in
// the first skin (left box 20,40 to 140,140; right box 180,40 to 300,140).
constexpr POINT kOnPanel{160, 20};
constexpr POINT kOnLeftBox{80, 90};
constexpr POINT kOnRightBox{240, 90};

class SkinTreeWindowTest : public WindowTest
{
protected:
    // The main window made for the tree, in front and painted.
    KX::OSWindow* OpenTreeWindow()
    {
        TestApplication::sMainControlName = L"treeControl";
        KX::OSWindow* window = OpenMainWindowInFront();
        if (!window)
            return nullptr;
        HWND handle = window->m_hWnd;
        EXPECT_TRUE(LoopUntil([&]() {
            return PixelAt(handle, kOnPanel) == ToColorRef(kTreeFirstColor) &&
                   PixelAt(handle, kOnLeftBox) == ToColorRef(WindowTestControl::kFirstColor) &&
                   PixelAt(handle, kOnRightBox) == ToColorRef(WindowTestControl::kFirstColor);
        }));
        return window;
    }

    // A box of the tree shown by root window `index`.
    WindowTestControl* Box(const wchar_t* name, int32_t index = 0)
    {
        const KX::RCPtr<KX::LRootWindow> root = mApp->GetRootWindow(index);
        if (!root || !root->GetRootControl())
            return nullptr;
        return dynamic_cast<WindowTestControl*>(root->GetRootControl()->FindChild(String(name)).Get());
    }

    static COLORREF PixelAt(HWND window, POINT client)
    {
        const POINT point = ScreenPoint(window, client.x, client.y);
        return TestScreen::ReadScreenPixel(point.x, point.y);
    }

    static void SendButton(DWORD flags)
    {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        SendInput(1, &input, sizeof(INPUT));
    }

    static void TypeAltF4()
    {
        std::vector<INPUT> inputs;
        for (const auto& key : {std::pair<WORD, DWORD>{VK_MENU, 0}, {VK_F4, 0}, {VK_F4, KEYEVENTF_KEYUP},
                                {VK_MENU, KEYEVENTF_KEYUP}}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key.first;
            input.ki.dwFlags = key.second;
            inputs.push_back(input);
        }
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }
};

TEST_F(SkinTreeWindowTest, AClickReachesTheBoxUnderThePointerOnceAndShowsAfterTheIdlePass)
{
    KX::OSWindow* window = OpenTreeWindow();
    ASSERT_NE(nullptr, window);
    HWND handle = window->m_hWnd;
    WindowTestControl* left = Box(L"leftBox");
    WindowTestControl* right = Box(L"rightBox");
    ASSERT_NE(nullptr, left);
    ASSERT_NE(nullptr, right);
    TestScreen::SaveWindowScreenshot(handle, L"SkinTreeWindowTest", L"tree");

    const POINT onRight = ScreenPoint(handle, kOnRightBox.x, kOnRightBox.y);
    TestScreen::Click(onRight.x, onRight.y);
    ASSERT_TRUE(PumpUntil([&]() { return right->releases.size() == 1; }));
    ASSERT_EQ(1u, right->presses.size());
    EXPECT_EQ(1, right->presses[0].button);
    EXPECT_EQ(0, right->presses[0].doubleClick);
    EXPECT_EQ(1, right->releases[0].button);
    EXPECT_EQ(0, right->releases[0].doubleClick);
    EXPECT_TRUE(left->presses.empty());
    EXPECT_TRUE(left->releases.empty());
    EXPECT_EQ(right, mApp->GetRootWindow(0)->GetFocusControl().Get()); // focus follows the press

    // The change waits in the window's queue until the idle pass.
    PumpUntil([]() { return false; }, 100);
    EXPECT_FALSE(right->toggled);
    EXPECT_EQ(ToColorRef(WindowTestControl::kFirstColor), PixelAt(handle, kOnRightBox));
    mApp->ProcessIdle(true);
    EXPECT_TRUE(right->toggled);
    EXPECT_TRUE(PumpUntil(
        [&]() { return PixelAt(handle, kOnRightBox) == ToColorRef(WindowTestControl::kSecondColor); }));
    EXPECT_EQ(ToColorRef(WindowTestControl::kFirstColor), PixelAt(handle, kOnLeftBox));
    EXPECT_EQ(ToColorRef(kTreeFirstColor), PixelAt(handle, kOnPanel));
    TestScreen::SaveWindowScreenshot(handle, L"SkinTreeWindowTest", L"right-box-clicked");

    // A double click on the other box: its second press and that press's
    // release carry the flag.
    const POINT onLeft = ScreenPoint(handle, kOnLeftBox.x - 30, kOnLeftBox.y - 20);
    TestScreen::Click(onLeft.x, onLeft.y, true);
    ASSERT_TRUE(PumpUntil([&]() { return left->releases.size() == 2; }));
    ASSERT_EQ(2u, left->presses.size());
    EXPECT_EQ(0, left->presses[0].doubleClick);
    EXPECT_EQ(0, left->releases[0].doubleClick);
    EXPECT_EQ(1, left->presses[1].doubleClick);
    EXPECT_EQ(1, left->releases[1].doubleClick);
    EXPECT_EQ(1u, right->presses.size());
}

TEST_F(SkinTreeWindowTest, TheWheelOverABoxGivesItOneStepForTwoHalfStepsAndNothingForLessThanOne)
{
    KX::OSWindow* window = OpenTreeWindow();
    ASSERT_NE(nullptr, window);
    WindowTestControl* left = Box(L"leftBox");
    WindowTestControl* right = Box(L"rightBox");
    ASSERT_NE(nullptr, left);
    ASSERT_NE(nullptr, right);
    ASSERT_TRUE(MovePointerTo(window, kOnLeftBox.x, kOnLeftBox.y));

    TestScreen::SendWheel(60);
    ASSERT_TRUE(PumpUntil([&]() { return window->GetWheelRemainder(false) == 60; }));
    EXPECT_TRUE(left->wheelDirections.empty());
    TestScreen::SendWheel(60);
    ASSERT_TRUE(PumpUntil([&]() { return left->wheelDirections.size() == 1; }));
    EXPECT_EQ(KX::LMouseWheelParam::WheelUp, left->wheelDirections[0]);
    EXPECT_EQ(0, window->GetWheelRemainder(false));
    TestScreen::SendWheel(-119);
    ASSERT_TRUE(PumpUntil([&]() { return window->GetWheelRemainder(false) == -119; }));
    PumpUntil([]() { return false; }, 50);
    EXPECT_EQ(1u, left->wheelDirections.size());
    EXPECT_TRUE(right->wheelDirections.empty());
}

TEST_F(SkinTreeWindowTest, AltF4OnTheKeyboardAsksTheApplicationWhichRefusesWhileItMayNotExit)
{
    // With a box that takes the keys, and with a window where no control does.
    for (const wchar_t* control : {L"treeControl", L"keylessControl"}) {
        SCOPED_TRACE(String(control).ToNarrow().GetData());
        TestApplication::sMainControlName = control;
        KX::OSWindow* window = OpenMainWindowInFront();
        ASSERT_NE(nullptr, window);
        HWND handle = window->m_hWnd;
        const KX::RCPtr<KX::LRootWindow> root = mApp->GetRootWindow(0);
        const bool takesKeys = String(control) == String(L"treeControl");
        ASSERT_TRUE(LoopUntil([&]() { return static_cast<bool>(root->GetFocusControl()) == takesKeys; }));

        mApp->mCanExit = false;
        TypeAltF4();
        ASSERT_TRUE(LoopUntil([&]() { return mApp->mCanExitCalls == 1; }));
        LoopUntil([]() { return false; }, 100);
        EXPECT_EQ(1, mApp->mCanExitCalls); // one request for one Alt+F4
        EXPECT_TRUE(IsWindow(handle));
        EXPECT_FALSE(mApp->IsExiting());
        EXPECT_FALSE(mQuitSeen);

        mApp->mCanExit = true;
        TypeAltF4();
        ASSERT_TRUE(LoopUntil([&]() { return !IsWindow(handle); }));
        EXPECT_TRUE(mApp->IsExiting());
        EXPECT_TRUE(mQuitSeen);
        EXPECT_EQ(0, mApp->GetRootWindowCount());
        mQuitSeen = false;
        EndApplication();
        StartApplication();
    }
}

TEST_F(SkinTreeWindowTest, APaintThatThrowsIsNotRepeatedAndLeavesTheNextPaintsWorking)
{
    KX::OSWindow* window = OpenTreeWindow();
    ASSERT_NE(nullptr, window);
    HWND handle = window->m_hWnd;
    WindowTestControl* left = Box(L"leftBox");
    ASSERT_NE(nullptr, left);
    const KX::RCPtr<KX::LRenderer> renderer = window->GetRenderer();
    const KX::RCPtr<KX::LRenderContextInfo> context = window->GetRenderContext();
    ASSERT_TRUE(renderer);
    ASSERT_TRUE(context);
    ASSERT_EQ(0, renderer->GetContextDepth());
    const size_t savedStates = context->mSavedStates.size();

    left->throwInRender = true;
    left->InvalidateRect(KX::RectT<double>(0, 0, left->GetRect().width, left->GetRect().height), true);
    // The paint runs from the message loop; whether the failure comes out of
    // the dispatch is the platform's affair.
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 300) {
        try {
            PumpUntil([]() { return false; }, 20);
        } catch (const std::runtime_error&) {
        }
    }
    EXPECT_EQ(1, left->renderThrows); // the window was validated: no paint again by itself
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(handle, &update, FALSE));
    ASSERT_EQ(0, renderer->GetContextDepth()); // else every later paint is refused
    EXPECT_EQ(savedStates, context->mSavedStates.size());

    // The next change paints as ever.
    left->throwInRender = false;
    left->toggled = true;
    left->InvalidateRect(KX::RectT<double>(0, 0, left->GetRect().width, left->GetRect().height), true);
    EXPECT_TRUE(PumpUntil(
        [&]() { return PixelAt(handle, kOnLeftBox) == ToColorRef(WindowTestControl::kSecondColor); }));
    EXPECT_EQ(ToColorRef(kTreeFirstColor), PixelAt(handle, kOnPanel));
    EXPECT_EQ(0, renderer->GetContextDepth());
    EXPECT_EQ(savedStates, context->mSavedStates.size());
    TestScreen::SaveWindowScreenshot(handle, L"SkinTreeWindowTest", L"painted-after-a-failed-paint");
}

TEST_F(SkinTreeWindowTest, ANewSkinReachesEveryOpenWindowAndTheControlsItDropsAreForgotten)
{
    KX::OSWindow* window = OpenTreeWindow();
    ASSERT_NE(nullptr, window);
    HWND handle = window->m_hWnd;
    const KX::RCPtr<KX::LRootWindow> root = mApp->GetRootWindow(0);
    const KX::RCPtr<KX::LControl> tree = root->GetRootControl();

    // A second window with a tree of its own, beside the first.
    KX::RCPtr<KX::LControl> secondTree;
    ASSERT_EQ(S_OK, mApp->CreateControl(secondTree, L"treeControl"));
    ASSERT_EQ(1, mApp->OpenRootWindow(secondTree, true, false, false));
    HWND secondHandle = mApp->GetRootWindow(1)->GetOSServices()->GetHandle();
    SetWindowPos(secondHandle, nullptr, 460, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(secondHandle, SW_SHOWNA);
    ASSERT_TRUE(LoopUntil([&]() { return PixelAt(secondHandle, kOnPanel) == ToColorRef(kTreeFirstColor); }));
    const int32_t boxes = WindowTestControl::sLiveCount; // two per tree

    // The pointer rests on the right box with the button held: the box is the
    // window's hover, capture and focus control when the skin changes.
    WindowTestControl* right = Box(L"rightBox");
    ASSERT_NE(nullptr, right);
    const POINT onRight = ScreenPoint(handle, kOnRightBox.x, kOnRightBox.y);
    TestScreen::MoveMouseTo(onRight.x, onRight.y);
    SendButton(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&]() { return right->presses.size() == 1; }));
    EXPECT_EQ(right, root->GetCaptureControl().Get());
    EXPECT_EQ(right, root->GetFocusControl().Get());
    TestScreen::SaveScreenshot(RECT{0, 0, 800, 640}, L"SkinTreeWindowTest", L"first-skin");
    right = nullptr; // the skin change frees it

    ASSERT_EQ(S_OK, mApp->SetSkin(1));
    EXPECT_EQ(tree, root->GetRootControl()); // re-skinned in place
    EXPECT_EQ(secondTree, mApp->GetRootWindow(1)->GetRootControl());
    for (int32_t index : {0, 1}) {
        EXPECT_EQ(nullptr, Box(L"rightBox", index));
        EXPECT_NE(nullptr, Box(L"leftBox", index));
    }
    // Both windows show the new skin: the panel's new colour, the left box
    // at its new place (100,60 to 220,160), the right box gone.
    for (HWND shown : {handle, secondHandle}) {
        EXPECT_TRUE(LoopUntil([&]() {
            return PixelAt(shown, kOnPanel) == ToColorRef(kTreeSecondColor) &&
                   PixelAt(shown, POINT{160, 110}) == ToColorRef(WindowTestControl::kFirstColor) &&
                   PixelAt(shown, POINT{260, 90}) == ToColorRef(kTreeSecondColor) &&
                   PixelAt(shown, POINT{60, 90}) == ToColorRef(kTreeSecondColor);
        }));
    }
    TestScreen::SaveScreenshot(RECT{0, 0, 800, 640}, L"SkinTreeWindowTest", L"second-skin");

    // The windows hold nothing of the dropped boxes: both are freed.
    EXPECT_TRUE(LoopUntil([&]() { return WindowTestControl::sLiveCount == boxes - 2; }));
    for (const KX::RCPtr<KX::LControl>& held :
         {root->GetFocusControl(), root->GetSavedFocusControl(), root->GetHoverControl(), root->GetCaptureControl(),
          root->GetToolTipControl()}) {
        EXPECT_TRUE(!held || root->IsInTree(held));
    }
    // The focus went to the box that stayed; the held button's release and
    // keys go where the tree is now.
    WindowTestControl* left = Box(L"leftBox");
    ASSERT_NE(nullptr, left);
    EXPECT_EQ(left, root->GetFocusControl().Get());
    SendButton(MOUSEEVENTF_LEFTUP);
    TestScreen::PressKey('A');
    ASSERT_TRUE(LoopUntil([&]() { return left->keys.size() >= 2; }));
    EXPECT_TRUE(left->releases.empty());
    EXPECT_EQ(0x41u, left->keys[0].GetVirtualKeyCode());
}

TEST_F(SkinTreeWindowTest, AControlTakenOutOfTheTreeIsNoLongerTheWindowsHoverOrFocusControl)
{
    KX::OSWindow* window = OpenTreeWindow();
    ASSERT_NE(nullptr, window);
    HWND handle = window->m_hWnd;
    const KX::RCPtr<KX::LRootWindow> root = mApp->GetRootWindow(0);
    KX::RCPtr<KX::LControl> right(Box(L"rightBox"));
    ASSERT_TRUE(right);
    const POINT onRight = ScreenPoint(handle, kOnRightBox.x, kOnRightBox.y);
    TestScreen::Click(onRight.x, onRight.y);
    ASSERT_TRUE(PumpUntil([&]() { return root->GetHoverControl() == right && root->GetFocusControl() == right; }));
    EXPECT_TRUE(root->IsInTree(right));

    // Taken out of the tree by its owner, not detached: the next idle step
    // lets go of it, and keys no longer reach it.
    ASSERT_EQ(S_OK, right->SetParent(KX::RCPtr<KX::LControl>()));
    EXPECT_FALSE(root->IsInTree(right));
    EXPECT_EQ(right, root->GetFocusControl());
    mApp->ProcessIdle(true);
    EXPECT_FALSE(root->GetHoverControl());
    EXPECT_FALSE(root->GetFocusControl());
    EXPECT_NE(right, root->GetSavedFocusControl());
    EXPECT_FALSE(root->GetCaptureControl());
    auto* box = dynamic_cast<WindowTestControl*>(right.Get());
    const size_t keysBefore = box->keys.size();
    TestScreen::PressKey('C');
    LoopUntil([]() { return false; }, 150);
    EXPECT_EQ(keysBefore, box->keys.size());
}

} // namespace
