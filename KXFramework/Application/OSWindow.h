// KX::OSWindow: every top-level window of the framework. A CWnd that owns a
// renderer and one root window, turns Win32 messages into the framework's
// input events, paint passes and window services, and answers the root
// window's requests through KX::IWindowOSServices.
//
// Contract:
// - Made with new, then CreateEx (the main window with the unique
//   application name as class, secondary windows with any other name, which
//   becomes the framework's registered class 0x2B with the arrow cursor).
//   CreateRenderer (or AttachRenderer with a renderer to share) makes the
//   root window and lists it with the application; without a root window
//   input and paint messages get the default processing only.
// - The object deletes itself once its window is gone (WM_NCDESTROY), except
//   while its modal loop runs: RunModalLoop deletes it when the loop ends.
//   Nothing may use the object after a call that destroys its window
//   (DestroyWindow, Close, WM_CLOSE for the exit, RunModalLoop).
// - Closing: the close command and WM_CLOSE from outside never destroy the
//   main window (root window 0): they post "NID_APP_EXIT_REQ", so that the
//   application decides (a running update refuses). For another window they
//   are its root window's close request. WM_CLOSE destroys the window only
//   while the application exits (its own close), or when there is no
//   application or root window.
// - A paint pass validates the window before it paints, and closes its
//   renderer frame even when a control's paint throws (the exception passes
//   on): a failing paint neither repeats by itself nor blocks later ones.
// - The main window saves its placement ("WP" in the MFC profile, section the
//   unique application name) when it is destroyed.
// - User-interface thread only; the current cursor is shared by all OS
//   windows.
#pragma once

#include "Application/WindowOSServices.h"
#include "MfcLite/Wnd.h"
#include "ObjectBase/RCPtr.h"
#include "Utilities/Geometry/PointT.h"

#include <cstdint>

namespace KX {

class LRenderContextInfo;
class LRenderer;
class LRootWindow;

class OSWindow : public CWnd, public IWindowOSServices
{
public:
    using String = StringT<wchar_t, char>;

    // The window timer that keeps the idle phases coming.
    static constexpr UINT_PTR kIdleTimer = 1;
    static constexpr UINT kIdleTimerPeriodMs = 33;
    // The class style of every framework window: CS_VREDRAW, CS_HREDRAW,
    // CS_DBLCLKS, CS_OWNDC.
    static constexpr UINT kClassStyle = 0x2B;
    static constexpr int32_t kWheelStep = 120;

    OSWindow();
    ~OSWindow() override;

    // ---- Own virtual operations, in slot order ----

    virtual void ReleaseWindowHDC(HDC dc);
    virtual HDC GetWindowHDC();
    virtual void ShowOSWindow(bool show);
    // Keeps the renderer, makes its context for this window, creates the
    // root window and lists it with the application. 0, or the failure of
    // the context.
    virtual KXRESULT AttachRenderer(const RCPtr<LRenderer>& renderer);
    // A new renderer of the type for this window, the 33 ms timer, then
    // AttachRenderer.
    virtual KXRESULT CreateRenderer(int32_t rendererType);

    // ---- CWnd ----

    BOOL DestroyWindow() override;
    BOOL PreCreateWindow(CREATESTRUCTW& create) override;
    const MessageMap* GetMessageMap() const override;

    // ---- IWindowOSServices ----

    KXRESULT SetTitle(const String& text) override;
    KXRESULT InvalidateAll() override;
    KXRESULT InvalidateRect(const RectT<long>& rect) override;
    KXRESULT GetClientRect(RectT<long>& rect) override;
    KXRESULT ScreenToClient(PointT<long>& out, const PointT<long>& point) override;
    KXRESULT ClientToScreen(PointT<long>& out, const PointT<long>& point) override;
    KXRESULT SetWindowRect(const RectT<long>& rect) override;
    bool Show(int32_t showCommand) override;
    KXRESULT Redraw() override;
    KXRESULT BringToTop() override;
    KXRESULT SetTopMost(bool topMost) override;
    KXRESULT Close(int32_t result) override;
    int32_t RunModalLoop() override;
    bool IsModal() override { return mModal; }
    bool IsActive() override;
    bool HasFocus() override;
    KXRESULT SetFocus() override;
    HCURSOR SetCursor(HCURSOR cursor) override;
    KXRESULT GetCursorPosition(PointT<long>& point) override;
    int32_t GetMouseButtons() override;
    HWND GetHandle() override { return m_hWnd; }
    KXRESULT EnableTextInput(bool enable, const RCPtr<LControl>& control) override;

    // ---- The rest of the window ----

    // Limits a proposed window rectangle to the root window's allowed client
    // size (right and bottom edges move); nothing without a root window.
    void ConstrainWindowRect(RECT& window);

    const RCPtr<LRootWindow>& GetRootWindow() const { return mRootWindow; }
    const RCPtr<LRenderer>& GetRenderer() const { return mRenderer; }
    const RCPtr<LRenderContextInfo>& GetRenderContext() const { return mRenderContext; }
    // The wheel distance not yet turned into events (vertical, horizontal).
    int32_t GetWheelRemainder(bool horizontal) const { return horizontal ? mHorizontalWheel : mVerticalWheel; }
    bool IsCaptured() const { return mCaptured; }
    int32_t GetButtonsDown() const { return mButtonsDown; }

    // The cursor that the last SetCursor of any OS window set.
    static HCURSOR GetCurrentCursor() { return sCurrentCursor; }
    // The key and mouse modifier flags of the framework.
    static int32_t KeyModifierFlags(LPARAM keyData);
    static int32_t MouseModifierFlags(WPARAM mouseKeys);
    // Adds a wheel delta to an accumulator: the number of whole steps taken
    // off (negative for the other direction); the remainder stays.
    static int32_t AccumulateWheel(int32_t& accumulator, int32_t delta);

protected:
    void PostNcDestroy() override;

private:
    // Whether this window's root window is the application's root window 0.
    bool IsMainRootWindow() const;
    void PostExitRequest();

    // ---- Message handlers (OSWindowMessages.cpp, OSWindowInput.cpp) ----
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM, LPARAM);
    LRESULT OnKeyUp(WPARAM, LPARAM);
    LRESULT OnSysKeyDown(WPARAM, LPARAM);
    LRESULT OnSysKeyUp(WPARAM, LPARAM);
    LRESULT OnChar(WPARAM, LPARAM);
    LRESULT OnLeftButtonDown(WPARAM, LPARAM);
    LRESULT OnMiddleButtonDown(WPARAM, LPARAM);
    LRESULT OnRightButtonDown(WPARAM, LPARAM);
    LRESULT OnLeftButtonUp(WPARAM, LPARAM);
    LRESULT OnMiddleButtonUp(WPARAM, LPARAM);
    LRESULT OnRightButtonUp(WPARAM, LPARAM);
    LRESULT OnLeftButtonDoubleClick(WPARAM, LPARAM);
    LRESULT OnMiddleButtonDoubleClick(WPARAM, LPARAM);
    LRESULT OnRightButtonDoubleClick(WPARAM, LPARAM);
    LRESULT OnNonClientButtonDown(WPARAM, LPARAM);
    LRESULT OnSizing(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnMove(WPARAM, LPARAM);
    LRESULT OnClose(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnMouseLeave(WPARAM, LPARAM);
    LRESULT OnMouseWheel(WPARAM, LPARAM);
    LRESULT OnMouseHorizontalWheel(WPARAM, LPARAM);
    LRESULT OnCaptureChanged(WPARAM, LPARAM);
    LRESULT OnKickIdle(WPARAM, LPARAM);
    LRESULT OnSetFocus(WPARAM, LPARAM);
    LRESULT OnKillFocus(WPARAM, LPARAM);
    LRESULT OnSysCommand(WPARAM, LPARAM);
    LRESULT OnCopyData(WPARAM, LPARAM);
    LRESULT OnDestroyClipboard(WPARAM, LPARAM);
    LRESULT OnRenderFormat(WPARAM, LPARAM);
    LRESULT OnDisplayChange(WPARAM, LPARAM);
    LRESULT OnPowerBroadcast(WPARAM, LPARAM);

    void KeyEvent(UINT message, WPARAM virtualKey, LPARAM keyData, bool keyDown);
    // kind 0 press, 2 double click; button 1, 2 or 4.
    LRESULT ButtonPress(int32_t kind, int32_t button, WPARAM mouseKeys, LPARAM position);
    LRESULT ButtonRelease(int32_t button, WPARAM mouseKeys, LPARAM position);
    LRESULT Wheel(bool horizontal, WPARAM wParam, LPARAM lParam);
    void InvalidateRootClientArea();

    RCPtr<LRootWindow> mRootWindow;
    RCPtr<LRenderer> mRenderer;
    RCPtr<LRenderContextInfo> mRenderContext;
    PointT<long> mLastMousePosition;
    int32_t mButtonsDown = 0;
    int32_t mPressCount = 0;
    int32_t mVerticalWheel = 0;
    int32_t mHorizontalWheel = 0;
    bool mCaptured = false;
    bool mTrackingLeave = false; // the window is told when the pointer leaves it
    bool mOutsideWorkArea = false;
    bool mModal = false;
    bool mInModalLoop = false; // RunModalLoop owns the object's end

    static HCURSOR sCurrentCursor;
};

} // namespace KX
