// The OS window's input: keys and typed characters, mouse buttons with the
// pointer capture, moves, the wheel, and the focus. Everything is handed to
// the root window, which routes it to the controls.
#include "Application/OSWindow.h"

#include "Application/RootWindow.h"
#include "ControlBase/EventParams.h"
#include "System/KeyCode.h"

#include <windowsx.h>

namespace KX {

namespace {

bool KeyDown(int virtualKey)
{
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

bool AnyButtonDown()
{
    return KeyDown(VK_LBUTTON) || KeyDown(VK_MBUTTON) || KeyDown(VK_RBUTTON);
}

// The Alt context bit of a key message (bit 29 of lParam).
bool AltContext(LPARAM keyData)
{
    return (keyData & (1 << 29)) != 0;
}

PointT<long> ClientPosition(LPARAM lParam)
{
    return PointT<long>(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

// A handler called into the root window, which may have ended the window
// (and with it the object): whether the object still stands for it.
bool StillAttached(HWND window, const OSWindow* self)
{
    return IsWindow(window) && CWnd::FromHandlePermanent(window) == self;
}

} // namespace

int32_t OSWindow::KeyModifierFlags(LPARAM keyData)
{
    int32_t flags = 0;
    if (KeyDown(VK_SHIFT)) {
        flags |= KeyCode::ModShift;
        if (KeyDown(VK_LSHIFT))
            flags |= KeyCode::ModLeftShift;
        if (KeyDown(VK_RSHIFT))
            flags |= KeyCode::ModRightShift;
    }
    if (KeyDown(VK_CONTROL)) {
        flags |= KeyCode::ModCtrl;
        if (KeyDown(VK_LCONTROL))
            flags |= KeyCode::ModLeftCtrl;
        if (KeyDown(VK_RCONTROL))
            flags |= KeyCode::ModRightCtrl;
    }
    if (KeyDown(VK_LWIN))
        flags |= KeyCode::ModWin | KeyCode::ModLeftWin;
    if (KeyDown(VK_RWIN))
        flags |= KeyCode::ModWin | KeyCode::ModRightWin;
    if (AltContext(keyData)) {
        flags |= KeyCode::ModAlt;
        if (KeyDown(VK_LMENU))
            flags |= KeyCode::ModLeftAlt;
        if (KeyDown(VK_RMENU))
            flags |= KeyCode::ModRightAlt;
    }
    return flags;
}

int32_t OSWindow::MouseModifierFlags(WPARAM mouseKeys)
{
    int32_t flags = 0;
    if (mouseKeys & MK_CONTROL)
        flags |= KeyCode::ModCtrl;
    if (mouseKeys & MK_SHIFT)
        flags |= KeyCode::ModShift;
    if (KeyDown(VK_MENU))
        flags |= KeyCode::ModAlt;
    return flags;
}

// ---- Keys ----

void OSWindow::KeyEvent(UINT message, WPARAM virtualKey, LPARAM keyData, bool keyDown)
{
    if (!mRootWindow)
        return;
    const int32_t modifiers = KeyModifierFlags(keyData);
    const bool systemKey = message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
    // A key down that was down already repeats; a key up always had been.
    const uint8_t previous = keyDown ? ((keyData & (1 << 30)) ? 1 : 0) : 1;
    if (virtualKey == 0 && !systemKey &&
        !((modifiers & KeyCode::ModCtrl) && (modifiers & KeyCode::ModAlt)))
        return;
    const KeyCode key(static_cast<uint32_t>(virtualKey), keyDown, previous, static_cast<uint32_t>(modifiers));
    RCPtr<LRootWindow> root = mRootWindow;
    root->KeyEvent(LKeyParam::Create(key, 1));
}

LRESULT OSWindow::OnKeyDown(WPARAM wParam, LPARAM lParam)
{
    if (!mRootWindow)
        return Default();
    KeyEvent(WM_KEYDOWN, wParam, lParam, true);
    return 0;
}

LRESULT OSWindow::OnKeyUp(WPARAM wParam, LPARAM lParam)
{
    if (!mRootWindow)
        return Default();
    KeyEvent(WM_KEYUP, wParam, lParam, false);
    return 0;
}

LRESULT OSWindow::OnSysKeyDown(WPARAM wParam, LPARAM lParam)
{
    if (!mRootWindow)
        return Default();
    KeyEvent(WM_SYSKEYDOWN, wParam, lParam, true);
    return 0;
}

LRESULT OSWindow::OnSysKeyUp(WPARAM wParam, LPARAM lParam)
{
    if (!mRootWindow)
        return Default();
    KeyEvent(WM_SYSKEYUP, wParam, lParam, false);
    return 0;
}

LRESULT OSWindow::OnChar(WPARAM wParam, LPARAM lParam)
{
    HWND window = m_hWnd;
    if (mRootWindow && !KeyDown(VK_LWIN) && !KeyDown(VK_RWIN)) {
        uint32_t modifiers = 0;
        if (KeyDown(VK_SHIFT))
            modifiers |= KeyCode::ModShift;
        if (KeyDown(VK_CONTROL))
            modifiers |= KeyCode::ModCtrl;
        if (AltContext(lParam))
            modifiers |= KeyCode::ModAlt;
        RCPtr<LRootWindow> root = mRootWindow;
        root->KeyEvent(LKeyParam::Create(KeyCode(static_cast<wchar_t>(wParam), modifiers), 1));
        if (!StillAttached(window, this))
            return 0;
    }
    return Default();
}

// ---- Mouse buttons ----

LRESULT OSWindow::ButtonPress(int32_t kind, int32_t button, WPARAM mouseKeys, LPARAM position)
{
    if (!mRootWindow)
        return Default();
    HWND window = m_hWnd;
    const PointT<long> point = ClientPosition(position);
    mLastMousePosition = point;
    RCPtr<LRootWindow> root = mRootWindow;
    root->ForgetControlsOutsideTree(); // a focus control that left the tree is none
    if (!root->GetFocusControl())
        CWnd::SetFocus();
    mButtonsDown |= button;
    if (mPressCount++ == 0 && !mCaptured) {
        SetCapture(m_hWnd);
        mCaptured = true;
    }
    root->MouseButton(kind, button, MouseModifierFlags(mouseKeys), point, 0);
    return StillAttached(window, this) ? Default() : 0;
}

LRESULT OSWindow::ButtonRelease(int32_t button, WPARAM mouseKeys, LPARAM position)
{
    if (!mRootWindow)
        return Default();
    HWND window = m_hWnd;
    const PointT<long> point = ClientPosition(position);
    mButtonsDown &= ~button;
    mLastMousePosition = point;
    RCPtr<LRootWindow> root = mRootWindow;
    const int32_t modifiers = MouseModifierFlags(mouseKeys);
    POINT screen{point.x, point.y};
    ::ClientToScreen(m_hWnd, &screen);
    if (WindowFromPoint(screen) != m_hWnd && !AnyButtonDown() && mPressCount != 0) {
        // Released over another window: the drag ends and the capture goes.
        mPressCount = 0;
        mCaptured = false;
        root->MouseButton(LRootWindow::kRelease, button, modifiers, point, 0);
        ReleaseCapture();
    } else {
        root->MouseButton(LRootWindow::kRelease, button, modifiers, point, 0);
    }
    return StillAttached(window, this) ? Default() : 0;
}

LRESULT OSWindow::OnLeftButtonDown(WPARAM wParam, LPARAM lParam)
{
    return ButtonPress(LRootWindow::kPress, 1, wParam, lParam);
}

LRESULT OSWindow::OnMiddleButtonDown(WPARAM wParam, LPARAM lParam)
{
    return ButtonPress(LRootWindow::kPress, 2, wParam, lParam);
}

LRESULT OSWindow::OnRightButtonDown(WPARAM wParam, LPARAM lParam)
{
    return ButtonPress(LRootWindow::kPress, 4, wParam, lParam);
}

LRESULT OSWindow::OnLeftButtonDoubleClick(WPARAM wParam, LPARAM lParam)
{
    return ButtonPress(LRootWindow::kDoubleClick, 1, wParam, lParam);
}

LRESULT OSWindow::OnMiddleButtonDoubleClick(WPARAM wParam, LPARAM lParam)
{
    return ButtonPress(LRootWindow::kDoubleClick, 2, wParam, lParam);
}

LRESULT OSWindow::OnRightButtonDoubleClick(WPARAM wParam, LPARAM lParam)
{
    return ButtonPress(LRootWindow::kDoubleClick, 4, wParam, lParam);
}

LRESULT OSWindow::OnLeftButtonUp(WPARAM wParam, LPARAM lParam)
{
    return ButtonRelease(1, wParam, lParam);
}

LRESULT OSWindow::OnMiddleButtonUp(WPARAM wParam, LPARAM lParam)
{
    return ButtonRelease(2, wParam, lParam);
}

LRESULT OSWindow::OnRightButtonUp(WPARAM wParam, LPARAM lParam)
{
    return ButtonRelease(4, wParam, lParam);
}

LRESULT OSWindow::OnNonClientButtonDown(WPARAM, LPARAM)
{
    if (mRootWindow) {
        RCPtr<LRootWindow> root = mRootWindow;
        root->OnFocusGained();
    }
    return Default();
}

// ---- Moves and the wheel ----

LRESULT OSWindow::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    if (!mRootWindow)
        return Default();
    HWND window = m_hWnd;
    const PointT<long> point = ClientPosition(lParam);
    POINT screen{point.x, point.y};
    ::ClientToScreen(m_hWnd, &screen);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const bool inClient = point.x >= client.left && point.x < client.right && point.y >= client.top &&
                          point.y < client.bottom;
    if (mCaptured) {
        RECT frame{};
        ::GetWindowRect(m_hWnd, &frame);
        const bool onFrame = !inClient && PtInRect(&frame, screen);
        if (!AnyButtonDown() && (WindowFromPoint(screen) != m_hWnd || onFrame)) {
            ReleaseCapture();
            mCaptured = false;
        }
    } else {
        // In front and over the client area: the window follows the pointer
        // until it leaves.
        HWND foreground = GetForegroundWindow();
        const bool frameInFront = GetParentFrame() ? foreground == GetParentFrame()->m_hWnd : foreground == nullptr;
        if (frameInFront || (foreground == m_hWnd && inClient)) {
            SetCapture(m_hWnd);
            mCaptured = true;
        }
    }
    if (!mTrackingLeave) {
        // The pointer may leave without another move over the window (a
        // jump, another window in front): the system says so instead.
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
        mTrackingLeave = TrackMouseEvent(&track) != FALSE;
    }
    mLastMousePosition = point;
    RCPtr<LRootWindow> root = mRootWindow;
    root->MouseMove(point, MouseModifierFlags(wParam), 0);
    return StillAttached(window, this) ? Default() : 0;
}

LRESULT OSWindow::OnMouseLeave(WPARAM, LPARAM)
{
    mTrackingLeave = false;
    if (!mRootWindow)
        return Default();
    // A drag that holds the capture goes on outside the window; anything
    // else ends here: no control is under the pointer any more.
    if (AnyButtonDown())
        return 0;
    if (mCaptured) {
        mCaptured = false;
        ReleaseCapture();
    }
    RCPtr<LRootWindow> root = mRootWindow;
    root->PointerLeft();
    return 0;
}

LRESULT OSWindow::Wheel(bool horizontal, WPARAM wParam, LPARAM lParam)
{
    if (!mRootWindow)
        return horizontal ? 0 : Default();
    HWND window = m_hWnd;
    const int32_t steps = AccumulateWheel(horizontal ? mHorizontalWheel : mVerticalWheel,
                                          static_cast<int16_t>(HIWORD(wParam)));
    if (steps != 0) {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(m_hWnd, &point);
        mLastMousePosition = PointT<long>(point.x, point.y);
        const int32_t direction = horizontal ? (steps > 0 ? LMouseWheelParam::WheelRight : LMouseWheelParam::WheelLeft)
                                              : (steps > 0 ? LMouseWheelParam::WheelUp : LMouseWheelParam::WheelDown);
        RCPtr<LRootWindow> root = mRootWindow;
        root->MouseWheel(mLastMousePosition, MouseModifierFlags(LOWORD(wParam)), direction);
    }
    if (horizontal || !StillAttached(window, this))
        return 0;
    return Default();
}

LRESULT OSWindow::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    return Wheel(false, wParam, lParam);
}

LRESULT OSWindow::OnMouseHorizontalWheel(WPARAM wParam, LPARAM lParam)
{
    return Wheel(true, wParam, lParam);
}

// ---- Capture and focus ----

LRESULT OSWindow::OnCaptureChanged(WPARAM, LPARAM lParam)
{
    if (mRootWindow && reinterpret_cast<HWND>(lParam) != m_hWnd) {
        mPressCount = 0;
        mCaptured = false;
        RCPtr<LRootWindow> root = mRootWindow;
        root->OnCaptureLost();
    }
    return 0;
}

LRESULT OSWindow::OnSetFocus(WPARAM, LPARAM)
{
    if (mRootWindow) {
        RCPtr<LRootWindow> root = mRootWindow;
        root->OnFocusGained();
    }
    return Default();
}

LRESULT OSWindow::OnKillFocus(WPARAM, LPARAM)
{
    if (mRootWindow) {
        if (mCaptured) {
            mCaptured = false;
            ReleaseCapture();
        }
        RCPtr<LRootWindow> root = mRootWindow;
        root->OnFocusLost();
    }
    return Default();
}

} // namespace KX
