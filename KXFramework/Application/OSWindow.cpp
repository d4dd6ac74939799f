#include "Application/OSWindow.h"

#include "Application/FrameworkApp.h"
#include "Application/ProgramGlobals.h"
#include "Application/RootWindow.h"
#include "Application/WindowPlacement.h"
#include "MfcLite/AfxGlobals.h"
#include "MfcLite/WinApp.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "Renderer/RenderContextInfo.h"
#include "Renderer/Renderer.h"

#include <cwchar>

namespace KX {

HCURSOR OSWindow::sCurrentCursor = nullptr;

OSWindow::OSWindow() = default;

OSWindow::~OSWindow()
{
    if (mRootWindow) {
        mRootWindow->DetachOSServices();
        if (LFrameworkApp::sInstance)
            LFrameworkApp::sInstance->RemoveRootWindow(mRootWindow);
    }
    mRenderContext = RCPtr<LRenderContextInfo>();
    mRenderer = RCPtr<LRenderer>();
    mRootWindow = RCPtr<LRootWindow>();
}

// ---- Own virtual operations ----

void OSWindow::ReleaseWindowHDC(HDC dc)
{
    ReleaseDC(m_hWnd, dc);
}

HDC OSWindow::GetWindowHDC()
{
    return GetDC(m_hWnd);
}

void OSWindow::ShowOSWindow(bool show)
{
    ShowWindow(show ? SW_SHOW : SW_HIDE);
}

KXRESULT OSWindow::AttachRenderer(const RCPtr<LRenderer>& renderer)
{
    mRenderer = renderer;
    RectT<long> client;
    GetClientRect(client);
    if (renderer) {
        const KXRESULT made = renderer->InitRenderContextInfo(client, m_hWnd, false, mRenderContext);
        if (made < 0)
            return made;
    }
    LRootWindow::Create(mRootWindow, renderer, this);
    if (LFrameworkApp::sInstance)
        LFrameworkApp::sInstance->AddRootWindow(mRootWindow);
    return S_OK;
}

KXRESULT OSWindow::CreateRenderer(int32_t rendererType)
{
    RectT<long> client;
    GetClientRect(client);
    RCPtr<LRenderer> renderer;
    LRenderer::Create(renderer, rendererType, client, m_hWnd);
    SetTimer(m_hWnd, kIdleTimer, kIdleTimerPeriodMs, nullptr);
    return AttachRenderer(renderer);
}

// ---- CWnd ----

BOOL OSWindow::DestroyWindow()
{
    // The main window's place on the screen is kept for the next start.
    CWinApp* app = AfxGetApp();
    if (m_hWnd && app && IsMainRootWindow() && !GetParentFrame() && GetUniqueAppNamePointer())
        SaveWindowPlacement(*app, GetUniqueAppNamePointer(), m_hWnd);
    return CWnd::DestroyWindow();
}

BOOL OSWindow::PreCreateWindow(CREATESTRUCTW& create)
{
    if (!CWnd::PreCreateWindow(create))
        return FALSE;
    create.style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    const wchar_t* uniqueName = GetUniqueAppNamePointer();
    if (uniqueName && create.lpszClass && std::wcscmp(create.lpszClass, uniqueName) == 0) {
        // The main window's own class, by which a second instance finds it.
        WNDCLASSW windowClass{};
        if (!GetClassInfoW(create.hInstance, uniqueName, &windowClass)) {
            windowClass.style = kClassStyle;
            windowClass.lpfnWndProc = ::DefWindowProcW;
            windowClass.hInstance = create.hInstance;
            windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            windowClass.lpszClassName = uniqueName;
            if (!RegisterClassW(&windowClass))
                AfxThrowResourceException();
        }
    } else {
        create.lpszClass = AfxRegisterWndClass(kClassStyle, LoadCursorW(nullptr, IDC_ARROW), nullptr, nullptr);
    }
    return TRUE;
}

void OSWindow::PostNcDestroy()
{
    if (!mInModalLoop)
        delete this;
}

// ---- IWindowOSServices ----

KXRESULT OSWindow::SetTitle(const String& text)
{
    if (!m_hWnd)
        return E_FAIL;
    ::SetWindowTextW(m_hWnd, text.GetData());
    return S_OK;
}

KXRESULT OSWindow::InvalidateAll()
{
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return S_OK;
}

KXRESULT OSWindow::InvalidateRect(const RectT<long>& rect)
{
    if (m_hWnd) {
        const RECT area{rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
        ::InvalidateRect(m_hWnd, &area, FALSE);
    }
    return S_OK;
}

KXRESULT OSWindow::GetClientRect(RectT<long>& rect)
{
    RECT client{};
    if (!m_hWnd || !::GetClientRect(m_hWnd, &client))
        return E_FAIL;
    if (client.right < client.left || client.bottom < client.top)
        return S_OK; // inverted: left as it was
    rect = RectT<long>(client.left, client.top, client.right - client.left, client.bottom - client.top);
    return S_OK;
}

KXRESULT OSWindow::ScreenToClient(PointT<long>& out, const PointT<long>& point)
{
    POINT p{point.x, point.y};
    ::ScreenToClient(m_hWnd, &p);
    out = PointT<long>(p.x, p.y);
    return S_OK;
}

KXRESULT OSWindow::ClientToScreen(PointT<long>& out, const PointT<long>& point)
{
    POINT p{point.x, point.y};
    ::ClientToScreen(m_hWnd, &p);
    out = PointT<long>(p.x, p.y);
    return S_OK;
}

KXRESULT OSWindow::SetWindowRect(const RectT<long>& rect)
{
    if (!m_hWnd)
        return E_FAIL;
    // A child window moves its top-level window, keeping that one's frame.
    HWND target = (GetStyle() & WS_CHILD) ? GetAncestor(m_hWnd, GA_ROOT) : m_hWnd;
    RECT window{};
    RECT client{};
    ::GetWindowRect(target, &window);
    ::GetClientRect(target, &client);
    POINT origin{0, 0};
    ::ClientToScreen(target, &origin);
    const long frameLeft = origin.x - window.left;
    const long frameTop = origin.y - window.top;
    const long frameRight = window.right - (origin.x + client.right);
    const long frameBottom = window.bottom - (origin.y + client.bottom);
    ::SetWindowPos(target, nullptr, rect.x - frameLeft, rect.y - frameTop, rect.width + frameLeft + frameRight,
                   rect.height + frameTop + frameBottom, SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
}

bool OSWindow::Show(int32_t showCommand)
{
    return ::ShowWindow(m_hWnd, showCommand) != FALSE;
}

KXRESULT OSWindow::Redraw()
{
    if (!RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW))
        return E_FAIL;
    // The frame is painted and presented, but the window system may keep it
    // from the display until this thread next waits for messages (Wine puts
    // a window's painting and the thread's pending display requests on the
    // screen only then). Callers redraw right before they block the thread,
    // so it is handed over now: a wait of no time that takes no input.
    GdiFlush();
    MsgWaitForMultipleObjectsEx(0, nullptr, 0, 0, 0);
    return S_OK;
}

KXRESULT OSWindow::BringToTop()
{
    if (!m_hWnd)
        return E_FAIL;
    BringWindowToTop(m_hWnd);
    return S_OK;
}

KXRESULT OSWindow::SetTopMost(bool topMost)
{
    if (!m_hWnd)
        return E_FAIL;
    ::SetWindowPos(m_hWnd, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return S_OK;
}

KXRESULT OSWindow::Close(int32_t result)
{
    if (mModal) {
        EndModalLoop(result);
        mModal = false;
        EndDialog(m_hWnd, result);
        return S_OK;
    }
    DestroyWindow(); // the object goes with its window
    return S_OK;
}

int32_t OSWindow::RunModalLoop()
{
    mModal = true;
    HWND parent = ::GetParent(m_hWnd);
    bool parentDisabled = false;
    if (parent && parent != GetDesktopWindow() && ::IsWindowEnabled(parent)) {
        ::EnableWindow(parent, FALSE);
        parentDisabled = true;
    }
    EnableWindow(TRUE);
    mInModalLoop = true;
    const int32_t result = CWnd::RunModalLoop(MLF_SHOWONIDLE);
    mInModalLoop = false;
    mModal = false;

    if (parentDisabled)
        ::EnableWindow(parent, TRUE);
    if (m_hWnd && parent && GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(parent);
    if (m_hWnd)
        DestroyWindow(); // deletes the object
    else
        delete this; // destroyed during the loop: the object waited for it to end
    return result;
}

bool OSWindow::IsActive()
{
    if (!m_hWnd)
        return false;
    HWND active = GetActiveWindow();
    if (active == m_hWnd)
        return true;
    // The main window counts as active while the application is in the
    // background (no active window of this thread).
    return IsMainRootWindow() && active == ::GetParent(m_hWnd);
}

bool OSWindow::HasFocus()
{
    return m_hWnd && ::GetFocus() == m_hWnd;
}

KXRESULT OSWindow::SetFocus()
{
    if (!m_hWnd)
        return E_FAIL;
    CWnd::SetFocus();
    return S_OK;
}

HCURSOR OSWindow::SetCursor(HCURSOR cursor)
{
    const HCURSOR previous = sCurrentCursor;
    if (cursor != sCurrentCursor) {
        if (m_hWnd)
            SetClassLongPtrW(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
        ::SetCursor(cursor);
        sCurrentCursor = cursor;
    }
    return previous;
}

KXRESULT OSWindow::GetCursorPosition(PointT<long>& point)
{
    if (!mCaptured) {
        POINT screen{};
        GetCursorPos(&screen);
        ::ScreenToClient(m_hWnd, &screen);
        mLastMousePosition = PointT<long>(screen.x, screen.y);
    }
    point = mLastMousePosition;
    return S_OK;
}

int32_t OSWindow::GetMouseButtons()
{
    if (mCaptured)
        return mButtonsDown;
    int32_t buttons = 0;
    if (GetKeyState(VK_LBUTTON) & 0x8000)
        buttons |= 1;
    if (GetKeyState(VK_MBUTTON) & 0x8000)
        buttons |= 2;
    if (GetKeyState(VK_RBUTTON) & 0x8000)
        buttons |= 4;
    mButtonsDown = buttons;
    return buttons;
}

KXRESULT OSWindow::EnableTextInput(bool, const RCPtr<LControl>&)
{
    return S_OK;
}

// ---- The rest of the window ----

void OSWindow::ConstrainWindowRect(RECT& window)
{
    if (!mRootWindow || !m_hWnd)
        return;
    RECT current{};
    RECT client{};
    ::GetWindowRect(m_hWnd, &current);
    ::GetClientRect(m_hWnd, &client);
    const long frameWidth = (current.right - current.left) - (client.right - client.left);
    const long frameHeight = (current.bottom - current.top) - (client.bottom - client.top);
    int32_t width = (window.right - window.left) - frameWidth;
    int32_t height = (window.bottom - window.top) - frameHeight;
    if (mRootWindow->ConstrainSize(width, height)) {
        window.right = window.left + width + frameWidth;
        window.bottom = window.top + height + frameHeight;
    }
}

bool OSWindow::IsMainRootWindow() const
{
    LFrameworkApp* app = LFrameworkApp::sInstance;
    return app && mRootWindow && app->GetRootWindowCount() > 0 && app->GetRootWindow(0) == mRootWindow;
}

void OSWindow::PostExitRequest()
{
    RCPtr<LNotification> request;
    LNotification::Create(request, LFrameworkApp::kExitRequestID);
    RCPtr<LNotificationCenter> center = LNotificationCenterManager::GetInstance()->GetApplicationCenter();
    if (center && request)
        center->PostNotification(request);
}

int32_t OSWindow::AccumulateWheel(int32_t& accumulator, int32_t delta)
{
    accumulator += delta;
    int32_t steps = 0;
    while (accumulator >= kWheelStep) {
        accumulator -= kWheelStep;
        ++steps;
    }
    while (accumulator <= -kWheelStep) {
        accumulator += kWheelStep;
        --steps;
    }
    return steps;
}

} // namespace KX
