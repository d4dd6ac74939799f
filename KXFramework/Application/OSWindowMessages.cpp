// The OS window's message map and the handlers of everything but input:
// painting, size and place, closing, the idle pass of a modal loop, the
// single-instance hand-over, the clipboard, display and power changes.
#include "Application/OSWindow.h"

#include "Application/CommandLineHandOver.h"
#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "Renderer/RenderContextInfo.h"
#include "Renderer/Renderer.h"
#include "System/ClipBoard.h"
#include "Utilities/Geometry/RectRegion.h"

namespace KX {

const MessageMap* OSWindow::GetMessageMap() const
{
    static const MessageMapEntry entries[] = {
        {WM_PAINT, MapHandler(&OSWindow::OnPaint)},
        {WM_KEYDOWN, MapHandler(&OSWindow::OnKeyDown)},
        {WM_KEYUP, MapHandler(&OSWindow::OnKeyUp)},
        {WM_SYSKEYDOWN, MapHandler(&OSWindow::OnSysKeyDown)},
        {WM_SYSKEYUP, MapHandler(&OSWindow::OnSysKeyUp)},
        {WM_CHAR, MapHandler(&OSWindow::OnChar)},
        {WM_LBUTTONDOWN, MapHandler(&OSWindow::OnLeftButtonDown)},
        {WM_MBUTTONDOWN, MapHandler(&OSWindow::OnMiddleButtonDown)},
        {WM_RBUTTONDOWN, MapHandler(&OSWindow::OnRightButtonDown)},
        {WM_LBUTTONUP, MapHandler(&OSWindow::OnLeftButtonUp)},
        {WM_MBUTTONUP, MapHandler(&OSWindow::OnMiddleButtonUp)},
        {WM_RBUTTONUP, MapHandler(&OSWindow::OnRightButtonUp)},
        {WM_LBUTTONDBLCLK, MapHandler(&OSWindow::OnLeftButtonDoubleClick)},
        {WM_MBUTTONDBLCLK, MapHandler(&OSWindow::OnMiddleButtonDoubleClick)},
        {WM_RBUTTONDBLCLK, MapHandler(&OSWindow::OnRightButtonDoubleClick)},
        {WM_NCLBUTTONDOWN, MapHandler(&OSWindow::OnNonClientButtonDown)},
        {WM_NCMBUTTONDOWN, MapHandler(&OSWindow::OnNonClientButtonDown)},
        {WM_NCRBUTTONDOWN, MapHandler(&OSWindow::OnNonClientButtonDown)},
        {WM_SIZING, MapHandler(&OSWindow::OnSizing)},
        {WM_SIZE, MapHandler(&OSWindow::OnSize)},
        {WM_MOVE, MapHandler(&OSWindow::OnMove)},
        {WM_CLOSE, MapHandler(&OSWindow::OnClose)},
        {WM_MOUSEMOVE, MapHandler(&OSWindow::OnMouseMove)},
        {WM_MOUSELEAVE, MapHandler(&OSWindow::OnMouseLeave)},
        {WM_MOUSEWHEEL, MapHandler(&OSWindow::OnMouseWheel)},
        {WM_MOUSEHWHEEL, MapHandler(&OSWindow::OnMouseHorizontalWheel)},
        {WM_CAPTURECHANGED, MapHandler(&OSWindow::OnCaptureChanged)},
        {WM_KICKIDLE, MapHandler(&OSWindow::OnKickIdle)},
        {WM_SETFOCUS, MapHandler(&OSWindow::OnSetFocus)},
        {WM_KILLFOCUS, MapHandler(&OSWindow::OnKillFocus)},
        {WM_SYSCOMMAND, MapHandler(&OSWindow::OnSysCommand)},
        {WM_COPYDATA, MapHandler(&OSWindow::OnCopyData)},
        {WM_DESTROYCLIPBOARD, MapHandler(&OSWindow::OnDestroyClipboard)},
        {WM_RENDERFORMAT, MapHandler(&OSWindow::OnRenderFormat)},
        {WM_RENDERALLFORMATS, MapHandler(&OSWindow::OnRenderFormat)},
        {WM_DISPLAYCHANGE, MapHandler(&OSWindow::OnDisplayChange)},
        {WM_POWERBROADCAST, MapHandler(&OSWindow::OnPowerBroadcast)},
    };
    static const MessageMap map{CWnd::GetMessageMap(), entries, sizeof(entries) / sizeof(entries[0])};
    return &map;
}

LRESULT OSWindow::OnPaint(WPARAM, LPARAM)
{
    if (!mRootWindow || !mRenderer || !mRenderContext)
        return Default();
    RCPtr<LRootWindow> root = mRootWindow;
    RECT update{};
    const bool hasUpdate = GetUpdateRect(m_hWnd, &update, FALSE) != FALSE;
    ValidateRect(m_hWnd, nullptr);

    LRectRegion region;
    root->TakeDirtyRegion(region);
    LRectRegion& present = mRenderContext->mDirtyRegion;
    present = region;
    if (hasUpdate)
        present.AddRect(update.left, update.top, update.right, update.bottom);

    // The whole window at once: paint everything that is presented.
    const RectT<long> whole(0, 0, mRenderContext->mViewport.width, mRenderContext->mViewport.height);
    RectT<long> bounds;
    const bool presentIsWhole = present.GetCount() == 1 && present.GetBounds(bounds) && bounds == whole;
    const RCPtr<LRenderer> renderer = mRenderer;
    const RCPtr<LRenderContextInfo> context = mRenderContext;
    renderer->RenderStart(context);
    try {
        root->Paint(presentIsWhole ? present : region);
    } catch (...) {
        // The frame closes all the same: a context left open would refuse
        // every later paint of the window ("reentered"). The window is
        // validated already, so the failure does not come back by itself.
        renderer->RenderFinish(context);
        throw;
    }
    renderer->RenderFinish(context);
    return 0;
}

LRESULT OSWindow::OnSizing(WPARAM, LPARAM lParam)
{
    ConstrainWindowRect(*reinterpret_cast<RECT*>(lParam));
    Default();
    return TRUE;
}

LRESULT OSWindow::OnSize(WPARAM wParam, LPARAM lParam)
{
    const long width = LOWORD(lParam);
    const long height = HIWORD(lParam);
    if (mRootWindow && (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED)) {
        RCPtr<LRootWindow> root = mRootWindow;
        root->OnSize(PointT<long>(width, height));
        root->SetFullRepaint();
    }
    if (mRenderContext)
        mRenderContext->mViewport = RectT<long>(0, 0, width, height);
    return Default();
}

LRESULT OSWindow::OnMove(WPARAM, LPARAM)
{
    if (mRootWindow) {
        // A window that was partly off the work area is repainted whole
        // after its next move.
        if (mOutsideWorkArea) {
            mRootWindow->SetFullRepaint();
            mOutsideWorkArea = false;
        }
        RectT<int32_t> work;
        RECT window{};
        if (LFrameworkApp::sInstance && LFrameworkApp::sInstance->GetWorkArea(work) >= 0 &&
            ::GetWindowRect(m_hWnd, &window)) {
            mOutsideWorkArea = window.left < work.x || window.top < work.y || window.right > work.x + work.width ||
                               window.bottom > work.y + work.height;
        }
    }
    return Default();
}

LRESULT OSWindow::OnClose(WPARAM, LPARAM)
{
    LFrameworkApp* app = LFrameworkApp::sInstance;
    if (app && mRootWindow) {
        if (!IsMainRootWindow()) {
            // Another window: its own close request (a dialog may refuse).
            RCPtr<LRootWindow> root = mRootWindow;
            root->CloseRequest();
            return 0;
        }
        if (!app->IsExiting()) {
            // Only the application ends the main window: a running update
            // refuses.
            PostExitRequest();
            return 0;
        }
    }
    DestroyWindow(); // the object goes with its window
    return 0;
}

LRESULT OSWindow::OnKickIdle(WPARAM, LPARAM lParam)
{
    LFrameworkApp* app = LFrameworkApp::sInstance;
    if (!app)
        return 0;
    const LONG idleCount = static_cast<LONG>(lParam);
    const bool more = app->ProcessIdle(idleCount == 0);
    return more && idleCount < 2 ? 1 : 0;
}

LRESULT OSWindow::OnSysCommand(WPARAM wParam, LPARAM)
{
    if ((wParam & 0xFFF0) != SC_CLOSE || !mRootWindow || !LFrameworkApp::sInstance)
        return Default();
    if (IsMainRootWindow()) {
        PostExitRequest();
    } else {
        RCPtr<LRootWindow> root = mRootWindow;
        root->CloseRequest();
    }
    return 0;
}

LRESULT OSWindow::OnCopyData(WPARAM, LPARAM lParam)
{
    String commandLine;
    if (ReadCommandLineHandOver(reinterpret_cast<const COPYDATASTRUCT*>(lParam), commandLine) &&
        IsWindowEnabled() && LFrameworkApp::sInstance)
        LFrameworkApp::sInstance->ProcessCommandLine(commandLine);
    return Default();
}

LRESULT OSWindow::OnDestroyClipboard(WPARAM, LPARAM)
{
    // Another owner took the clipboard: its object is no longer ours (the
    // clipboard keeps it while it is the one emptying).
    if (LFrameworkApp::sInstance && LFrameworkApp::sInstance->GetClipboard())
        LFrameworkApp::sInstance->GetClipboard()->SetData(RCPtr<LRefCountedObject>());
    return 0;
}

LRESULT OSWindow::OnRenderFormat(WPARAM, LPARAM)
{
    // The application's own objects never leave the process.
    return 0;
}

LRESULT OSWindow::OnDisplayChange(WPARAM, LPARAM)
{
    InvalidateRootClientArea();
    return 1;
}

LRESULT OSWindow::OnPowerBroadcast(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = TRUE;
    if (IsMainRootWindow())
        result = LFrameworkApp::sInstance->OnPowerBroadcast(wParam, lParam);
    InvalidateRootClientArea();
    return result;
}

void OSWindow::InvalidateRootClientArea()
{
    if (!mRootWindow)
        return;
    RectT<long> client;
    GetClientRect(client);
    mRootWindow->Invalidate(RectT<long>(0, 0, client.width, client.height));
}

} // namespace KX
