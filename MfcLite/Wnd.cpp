#include "MfcLite/Wnd.h"

#include "MfcLite/AfxGlobals.h"
#include "MfcLite/WinThread.h"

#include <cwchar>
#include <mutex>
#include <set>
#include <string>

namespace {

// The window property that leads from a handle to its CWnd.
const wchar_t kObjectProperty[] = L"MfcLite.CWnd";

// The object whose window CreateEx is making on this thread, until the
// creation hook has attached it.
thread_local CWnd* tPendingWindow = nullptr;

// The creations that CreateEx runs on this thread, innermost first (a
// window's creation messages may make other windows): each object, and
// whether its window already ended (WM_NCDESTROY ran PostNcDestroy, which
// may have deleted the object) before its CreateWindowExW returned.
struct Creation
{
    CWnd* window;
    Creation* outer;
    bool ended;
};
thread_local Creation* tCreation = nullptr;

void NoteEndDuringCreation(CWnd* object)
{
    for (Creation* creation = tCreation; creation; creation = creation->outer) {
        if (creation->window == object)
            creation->ended = true;
    }
}

// The message being handled on this thread, for CWnd::Default.
thread_local MSG tCurrentMessage{};

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);

// The thread object that pumps messages for a modal loop: the application on
// its thread, else a plain one for the duration of the loop.
class PumpingThread
{
public:
    PumpingThread() : mThread(AfxGetThread()) {}
    CWinThread& Get() { return mThread ? *mThread : mLocal; }

private:
    CWinThread* mThread;
    CWinThread mLocal;
};

} // namespace

struct WindowAttachment
{
    static void AttachPending(HWND window)
    {
        CWnd* pending = tPendingWindow;
        tPendingWindow = nullptr;
        pending->Attach(window);
    }
};

namespace {

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && tPendingWindow)
        WindowAttachment::AttachPending(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

const MessageMap kBaseMessageMap{nullptr, nullptr, 0};

} // namespace

CWnd::~CWnd()
{
    // A window that outlives its object would call into freed memory.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        ::DestroyWindow(m_hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND window)
{
    return window ? static_cast<CWnd*>(GetPropW(window, kObjectProperty)) : nullptr;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu, LPVOID param)
{
    if (m_hWnd)
        return FALSE;
    CREATESTRUCTW create{};
    create.dwExStyle = exStyle;
    create.lpszClass = className;
    create.lpszName = windowName;
    create.style = static_cast<LONG>(style);
    create.x = x;
    create.y = y;
    create.cx = width;
    create.cy = height;
    create.hwndParent = parent;
    create.hMenu = menu;
    create.hInstance = AfxGetInstanceHandle();
    create.lpCreateParams = param;
    if (!PreCreateWindow(create)) {
        PostNcDestroy(); // may delete the object
        return FALSE;
    }

    Creation creation{this, tCreation, false};
    HWND window = nullptr;
    {
        // The hook and this thread's creation state are undone also when a
        // creation message's handler throws.
        struct CreationScope
        {
            CWnd* const outerPending = tPendingWindow;
            Creation& creation;
            HHOOK hook = nullptr;
            explicit CreationScope(Creation& c) : creation(c)
            {
                tPendingWindow = c.window;
                tCreation = &c;
                hook = SetWindowsHookExW(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
            }
            ~CreationScope()
            {
                if (hook)
                    UnhookWindowsHookEx(hook);
                tPendingWindow = outerPending;
                tCreation = creation.outer;
            }
        } scope(creation);
        window = CreateWindowExW(create.dwExStyle, create.lpszClass, create.lpszName,
                                 static_cast<DWORD>(create.style), create.x, create.y, create.cx, create.cy,
                                 create.hwndParent, create.hMenu, create.hInstance, create.lpCreateParams);
    }
    if (!window) {
        // A window that was made and destroyed again (a failed WM_NCCREATE or
        // WM_CREATE, a display driver that refused it) had its WM_NCDESTROY
        // and so its PostNcDestroy: the object may be gone. Otherwise the
        // failure ends the object here, as a destroyed window would.
        if (!creation.ended) {
            m_hWnd = nullptr; // a handle that a refusing hook freed without WM_NCDESTROY
            PostNcDestroy();  // may delete the object
        }
        return FALSE;
    }
    if (m_hWnd != window)
        Attach(window); // no creation hook: subclassed after the creation messages
    return TRUE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTW& create)
{
    if (!create.lpszClass)
        create.lpszClass = AfxRegisterWndClass(0);
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    HWND window = m_hWnd;
    if (!window)
        return FALSE;
    const bool attached = FromHandlePermanent(window) == this;
    const BOOL result = ::DestroyWindow(window);
    // An attached object let go of the handle at WM_NCDESTROY and may be
    // gone already.
    if (result && !attached)
        m_hWnd = nullptr;
    return result;
}

void CWnd::Attach(HWND window)
{
    m_hWnd = window;
    SetPropW(window, kObjectProperty, this);
    mClassProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::WindowProcedure)));
}

void CWnd::DetachOnNcDestroy()
{
    HWND window = m_hWnd;
    if (mClassProcedure)
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mClassProcedure));
    RemovePropW(window, kObjectProperty);
    m_hWnd = nullptr;
    // The end of the main window is the end of its thread's message loop.
    CWinThread* thread = AfxGetThread();
    if (thread && thread->m_pMainWnd == this) {
        thread->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
}

LRESULT CALLBACK CWnd::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* object = FromHandlePermanent(window);
    if (!object)
        return ::DefWindowProcW(window, message, wParam, lParam);
    // The message of an outer handler is current again when this one ends,
    // also when a handler throws.
    struct CurrentMessageScope
    {
        const MSG outer = tCurrentMessage;
        ~CurrentMessageScope() { tCurrentMessage = outer; }
    } scope;
    tCurrentMessage = MSG{window, message, wParam, lParam, 0, {0, 0}};
    const LRESULT result = object->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        NoteEndDuringCreation(object);
        object->DetachOnNcDestroy();
        object->PostNcDestroy(); // may delete the object
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (size_t i = 0; i < map->count; ++i) {
            if (map->entries[i].message == message)
                return (this->*(map->entries[i].handler))(wParam, lParam);
        }
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(mClassProcedure ? mClassProcedure : ::DefWindowProcW, m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(tCurrentMessage.message, tCurrentMessage.wParam, tCurrentMessage.lParam);
}

const MessageMap* CWnd::GetMessageMap() const
{
    return &kBaseMessageMap;
}

void CWnd::PostNcDestroy() {}

void CWnd::CalcWindowRect(RECT* rect) const
{
    AdjustWindowRectEx(rect, GetStyle(), FALSE, GetExStyle());
}

int CWnd::RunModalLoop(DWORD flags)
{
    PumpingThread pumping;
    CWinThread& thread = pumping.Get();
    bool idle = true;
    LONG idleCount = 0;
    bool showOnIdle = (flags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
    HWND parent = ::GetParent(m_hWnd);
    m_nFlags |= WF_MODALLOOP | WF_CONTINUEMODAL;

    auto running = [this]() { return m_hWnd && ContinueModal(); };
    MSG peeked;
    while (running()) {
        while (idle && running() && !PeekMessageW(&peeked, nullptr, 0, 0, PM_NOREMOVE)) {
            if (showOnIdle) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                showOnIdle = false;
            }
            if (!(flags & MLF_NOIDLEMSG) && parent && idleCount == 0)
                ::SendMessageW(parent, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(m_hWnd));
            if ((flags & MLF_NOKICKIDLE) || !SendMessage(WM_KICKIDLE, MSGF_DIALOGBOX, idleCount++))
                idle = false;
        }
        while (running()) {
            if (!thread.PumpMessage()) {
                // The quit belongs to the outer loop.
                PostQuitMessage(static_cast<int>(thread.GetCurrentMessage().wParam));
                m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
                return -1;
            }
            MSG current = thread.GetCurrentMessage();
            if (thread.IsIdleMessage(&current)) {
                idle = true;
                idleCount = 0;
            }
            if (!PeekMessageW(&peeked, nullptr, 0, 0, PM_NOREMOVE))
                break;
        }
    }
    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
    return m_nModalResult;
}

BOOL CWnd::ContinueModal()
{
    return (m_nFlags & WF_CONTINUEMODAL) != 0;
}

void CWnd::EndModalLoop(int result)
{
    m_nModalResult = result;
    if (m_nFlags & WF_CONTINUEMODAL) {
        m_nFlags &= ~WF_CONTINUEMODAL;
        PostMessage(WM_NULL); // wakes a loop that waits for a message
    }
}

void CWnd::BeginModalState()
{
    EnableWindow(FALSE);
}

void CWnd::EndModalState()
{
    EnableWindow(TRUE);
}

LPCWSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon)
{
    static std::mutex lock;
    static std::set<std::wstring> names; // the registered names, alive until exit
    const HINSTANCE instance = AfxGetInstanceHandle();
    wchar_t buffer[128];
    std::swprintf(buffer, 128, L"MfcLite:%p:%x:%p:%p:%p", static_cast<void*>(instance), classStyle,
                  static_cast<void*>(cursor), static_cast<void*>(background), static_cast<void*>(icon));
    std::lock_guard<std::mutex> guard(lock);
    auto found = names.find(buffer);
    if (found != names.end())
        return found->c_str();
    WNDCLASSW windowClass{};
    if (!GetClassInfoW(instance, buffer, &windowClass)) {
        windowClass.style = classStyle;
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = instance;
        windowClass.hCursor = cursor;
        windowClass.hbrBackground = background;
        windowClass.hIcon = icon;
        windowClass.lpszClassName = buffer;
        if (!RegisterClassW(&windowClass))
            AfxThrowResourceException();
    }
    return names.insert(buffer).first->c_str();
}

BOOL AfxPumpMessage()
{
    PumpingThread pumping;
    return pumping.Get().PumpMessage();
}
