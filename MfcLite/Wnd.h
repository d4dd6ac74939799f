// CWnd: the window object of the MFC stand-in. A CWnd owns one window handle
// and receives that window's messages through a message map of its class.
//
// Creation:
// - CreateEx hands the creation record to PreCreateWindow (FALSE stops the
//   creation), then makes the window and subclasses it before its first
//   message (WM_GETMINMAXINFO, WM_NCCREATE, ...), so every message of the
//   window's life reaches WindowProc. The window class keeps its own window
//   procedure; Default and DefWindowProc call it.
// - Without a class name PreCreateWindow uses a plain class from
//   AfxRegisterWndClass(0).
// - A CreateEx that fails (PreCreateWindow answers FALSE, a hook refuses the
//   window, the window fails its creation messages, or the system cannot
//   make it) answers FALSE after PostNcDestroy ran exactly once: at the
//   window's WM_NCDESTROY when the window existed for a while, else in
//   CreateEx. An object that deletes itself in PostNcDestroy is gone then,
//   and its creator must not delete it again.
//
// Message dispatch:
// - WindowProc looks the message up in the class's message map, then in the
//   maps of the base classes (GetMessageMap answers the most derived one);
//   a handler answers the message's result. Messages that no map names go to
//   DefWindowProc.
// - Inside a handler, Default passes the message being handled on to the
//   window class's procedure. A handler that throws passes the exception on
//   (Wine carries it out of the dispatch or the send); the message of an
//   outer handler is current again for its Default all the same.
// - WM_NCDESTROY: after the map had its turn, the object lets go of the
//   handle (m_hWnd becomes null, FromHandle no longer finds it); when the
//   window was the application's main window, m_pMainWnd becomes null and
//   the thread gets WM_QUIT. Then PostNcDestroy runs: it may delete the
//   object, so nothing touches the object after it.
//
// Modal loop (RunModalLoop):
// - While no message waits: with MLF_SHOWONIDLE a hidden window is shown and
//   updated once; on the first idle call of a phase the parent gets
//   WM_ENTERIDLE (unless MLF_NOIDLEMSG); the window gets WM_KICKIDLE with the
//   idle count (MSGF_DIALOGBOX in wParam) until it answers 0 (never with
//   MLF_NOKICKIDLE).
// - Then messages are pumped while any wait. A message that starts a new
//   idle phase (CWinThread::IsIdleMessage) resets the idle count.
// - EndModalLoop(result) ends the loop; RunModalLoop answers the result. The
//   loop also ends when the window is destroyed meanwhile (answering the
//   last result set, -1 unless EndModalLoop gave one). WM_QUIT is put back
//   for the outer loop and RunModalLoop answers -1.
// - BeginModalState and EndModalState are the hooks by which a window is
//   made unavailable while another one runs modally: the base versions
//   disable and enable the window.
#pragma once

#include <windows.h>

#include <cstddef>

// The idle pass of a modal loop: wParam MSGF_DIALOGBOX, lParam the idle
// count; a window that answers non-zero gets another one before the loop
// waits.
constexpr UINT WM_KICKIDLE = 0x036A;

// RunModalLoop's flags.
constexpr DWORD MLF_NOIDLEMSG = 0x0001;  // no WM_ENTERIDLE to the parent
constexpr DWORD MLF_NOKICKIDLE = 0x0002; // no WM_KICKIDLE to the window
constexpr DWORD MLF_SHOWONIDLE = 0x0004; // show a hidden window once the queue is idle

class CWnd;

// A message handler: wParam and lParam in, the message's result out.
using MessageHandler = LRESULT (CWnd::*)(WPARAM wParam, LPARAM lParam);

struct MessageMapEntry
{
    UINT message;
    MessageHandler handler;
};

// A class's own entries and the map of its base class (null for CWnd).
struct MessageMap
{
    const MessageMap* base;
    const MessageMapEntry* entries;
    size_t count;
};

// A handler of a class derived from CWnd, as the map stores it.
template <class T>
constexpr MessageHandler MapHandler(LRESULT (T::*handler)(WPARAM, LPARAM))
{
    return static_cast<MessageHandler>(handler);
}

class CWnd
{
public:
    // m_nFlags: the window runs a modal loop, and the loop goes on.
    static constexpr UINT WF_MODALLOOP = 0x0001;
    static constexpr UINT WF_CONTINUEMODAL = 0x0002;

    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The object of a window made by CreateEx, or null.
    static CWnd* FromHandlePermanent(HWND window);

    // ---- creation and destruction ----

    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                  int height, HWND parent, HMENU menu, LPVOID param = nullptr);
    virtual BOOL PreCreateWindow(CREATESTRUCTW& create);
    virtual BOOL DestroyWindow();

    // ---- messages ----

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window class's own procedure.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The message being handled, passed on to DefWindowProc.
    LRESULT Default();
    virtual const MessageMap* GetMessageMap() const;

    // ---- modal loop ----

    int RunModalLoop(DWORD flags = 0);
    virtual BOOL ContinueModal();
    virtual void EndModalLoop(int result);
    virtual void BeginModalState();
    virtual void EndModalState();

    // ---- the window ----

    HWND GetSafeHwnd() const { return m_hWnd; }
    DWORD GetStyle() const { return static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    // The window that had the focus before, or null.
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    BOOL SetWindowText(LPCWSTR text) { return ::SetWindowTextW(m_hWnd, text); }
    BOOL GetClientRect(RECT* rect) const { return ::GetClientRect(m_hWnd, rect); }
    BOOL GetWindowRect(RECT* rect) const { return ::GetWindowRect(m_hWnd, rect); }
    BOOL ClientToScreen(POINT* point) const { return ::ClientToScreen(m_hWnd, point); }
    BOOL ScreenToClient(POINT* point) const { return ::ScreenToClient(m_hWnd, point); }
    BOOL MoveWindow(const RECT& rect, BOOL repaint = TRUE)
    {
        return ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
    }
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags)
    {
        return ::SetWindowPos(m_hWnd, insertAfter, x, y, width, height, flags);
    }
    // Grows a client rectangle to the window rectangle of this window's
    // styles.
    void CalcWindowRect(RECT* rect) const;
    HICON SetIcon(HICON icon, BOOL big)
    {
        return reinterpret_cast<HICON>(
            SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    // The frame window around this one: the stand-in has no frame windows.
    CWnd* GetParentFrame() const { return nullptr; }

    HWND m_hWnd = nullptr;
    UINT m_nFlags = 0;

protected:
    // After WM_NCDESTROY, with the handle let go; the object may delete
    // itself here.
    virtual void PostNcDestroy();

    int m_nModalResult = -1;

private:
    friend struct WindowAttachment;

    // Subclasses the window for this object (the creation hook, or CreateEx
    // when no hook could be set).
    void Attach(HWND window);
    // Undoes Attach at WM_NCDESTROY.
    void DetachOnNcDestroy();
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC mClassProcedure = nullptr;
};

// The name of a window class with these styles, cursor, background and icon,
// registered once per process (with DefWindowProcW as its procedure; CWnd
// windows subclass it).
LPCWSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                            HICON icon = nullptr);

// Gets and dispatches one message on the calling thread; FALSE on WM_QUIT.
BOOL AfxPumpMessage();
