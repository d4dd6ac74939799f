// Windows of the MFC stand-in: creation subclasses the window before its
// first message, message maps with their base classes and Default, the end of
// a window (the handle let go, WM_QUIT for the main window), the registered
// window classes and the modal loop with its idle passes.
#include "MfcLite/AfxGlobals.h"
#include "MfcLite/WinApp.h"
#include "MfcLite/Wnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

void DrainQueue()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

bool QuitQueued(WPARAM* code = nullptr)
{
    MSG message;
    if (!PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    if (code)
        *code = message.wParam;
    return true;
}

// Records what reaches its map: the creation messages, WM_SETTEXT (passed on
// with Default only when asked) and WM_APP.
class RecordingWindow : public CWnd
{
public:
    ~RecordingWindow() override
    {
        if (mDestroyed)
            *mDestroyed = true;
    }

    LRESULT OnSetText(WPARAM, LPARAM)
    {
        mSeen.push_back(WM_SETTEXT);
        if (mBeforeDefault)
            mBeforeDefault();
        return mPassTextOn ? Default() : TRUE;
    }
    LRESULT OnApp(WPARAM, LPARAM)
    {
        mSeen.push_back(WM_APP);
        if (mOnApp)
            mOnApp(*this);
        return 1;
    }

    const MessageMap* GetMessageMap() const override
    {
        static const MessageMapEntry entries[] = {
            {WM_NCCREATE, MapHandler(&RecordingWindow::OnNcCreate)},
            {WM_CREATE, MapHandler(&RecordingWindow::OnCreate)},
            {WM_SETTEXT, MapHandler(&RecordingWindow::OnSetText)},
            {WM_APP, MapHandler(&RecordingWindow::OnApp)},
        };
        static const MessageMap map{CWnd::GetMessageMap(), entries, sizeof(entries) / sizeof(entries[0])};
        return &map;
    }

    std::vector<UINT> mSeen;
    // Ways to fail the creation: PreCreateWindow answers FALSE, WM_NCCREATE
    // FALSE, WM_CREATE -1.
    bool mRefusePreCreate = false;
    bool mFailNcCreate = false;
    bool mFailCreate = false;
    bool mPassTextOn = false;
    bool mDeleteItself = false;
    bool* mDestroyed = nullptr;
    int mPostNcDestroyCalls = 0;
    HWND mHandleAtPostNcDestroy = reinterpret_cast<HWND>(1);
    std::function<void(RecordingWindow&)> mOnApp;
    std::function<void()> mBeforeDefault; // run in WM_SETTEXT's handler before Default

    BOOL PreCreateWindow(CREATESTRUCTW& create) override
    {
        return mRefusePreCreate ? FALSE : CWnd::PreCreateWindow(create);
    }

protected:
    void PostNcDestroy() override
    {
        ++mPostNcDestroyCalls;
        mHandleAtPostNcDestroy = m_hWnd;
        if (mDeleteItself)
            delete this;
    }

private:
    LRESULT OnNcCreate(WPARAM, LPARAM)
    {
        const LRESULT result = Record(WM_NCCREATE);
        return mFailNcCreate ? FALSE : result;
    }
    LRESULT OnCreate(WPARAM, LPARAM)
    {
        const LRESULT result = Record(WM_CREATE);
        return mFailCreate ? -1 : result;
    }
    // Notes the creation message and passes it on.
    LRESULT Record(UINT message)
    {
        mSeen.push_back(message);
        return Default();
    }
};

// A window class of the test's own whose procedure stores WM_SETTEXT texts
// (the default procedure) and answers 77 to WM_APP + 1.
LRESULT CALLBACK TestClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP + 1)
        return 77;
    return DefWindowProcW(window, message, wParam, lParam);
}

LPCWSTR TestClass()
{
    static const wchar_t name[] = L"MfcLiteWindowTestClass";
    WNDCLASSW windowClass{};
    if (!GetClassInfoW(GetModuleHandleW(nullptr), name, &windowClass)) {
        windowClass.lpfnWndProc = TestClassProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = name;
        RegisterClassW(&windowClass);
    }
    return name;
}

BOOL CreatePopup(CWnd& window, LPCWSTR className = nullptr, HWND parent = nullptr)
{
    return window.CreateEx(0, className ? className : TestClass(), L"window", WS_POPUP, 10, 10, 100, 80, parent,
                           nullptr);
}

TEST(WindowTest, CreateExSubclassesBeforeTheFirstMessageAndDefaultReachesTheClassProcedure)
{
    RecordingWindow window;
    ASSERT_TRUE(CreatePopup(window));
    ASSERT_NE(nullptr, window.m_hWnd);
    EXPECT_EQ(&window, CWnd::FromHandlePermanent(window.m_hWnd));
    // The very first message of the window (a pop-up has no WM_GETMINMAXINFO)
    // reached the map.
    ASSERT_GE(window.mSeen.size(), 2u);
    EXPECT_EQ(static_cast<UINT>(WM_NCCREATE), window.mSeen[0]);
    EXPECT_EQ(std::count(window.mSeen.begin(), window.mSeen.end(), static_cast<UINT>(WM_CREATE)), 1);
    // The creation text passed through Default into the class procedure.
    wchar_t text[32] = {};
    GetWindowTextW(window.m_hWnd, text, 32);
    EXPECT_STREQ(L"window", text);

    // A handler that does not call Default keeps the message from the class.
    window.SetWindowText(L"kept out");
    GetWindowTextW(window.m_hWnd, text, 32);
    EXPECT_STREQ(L"window", text);
    window.mPassTextOn = true;
    window.SetWindowText(L"passed on");
    GetWindowTextW(window.m_hWnd, text, 32);
    EXPECT_STREQ(L"passed on", text);
    // A message that no map names goes to the class procedure.
    EXPECT_EQ(77, window.SendMessage(WM_APP + 1));
    EXPECT_TRUE(window.DestroyWindow());
}

TEST(WindowTest, MapsOfBaseClassesAnswerWhatTheDerivedMapDoesNotName)
{
    class Derived : public RecordingWindow
    {
    public:
        LRESULT OnApp2(WPARAM wParam, LPARAM) { return 1000 + static_cast<LRESULT>(wParam); }
        const MessageMap* GetMessageMap() const override
        {
            static const MessageMapEntry entries[] = {{WM_APP + 2, MapHandler(&Derived::OnApp2)}};
            static const MessageMap map{RecordingWindow::GetMessageMap(), entries, 1};
            return &map;
        }
    } window;
    ASSERT_TRUE(CreatePopup(window));
    EXPECT_EQ(1005, window.SendMessage(WM_APP + 2, 5)); // its own map
    EXPECT_EQ(1, window.SendMessage(WM_APP));           // the base class's map
    EXPECT_EQ(77, window.SendMessage(WM_APP + 1));      // the class procedure
    window.DestroyWindow();
}

TEST(WindowTest, PreCreateWindowShapesOrStopsTheCreation)
{
    class Shaped : public CWnd
    {
    public:
        BOOL PreCreateWindow(CREATESTRUCTW& create) override
        {
            if (mRefuse)
                return FALSE;
            create.style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
            return CWnd::PreCreateWindow(create);
        }
        bool mRefuse = false;
    };
    Shaped refused;
    refused.mRefuse = true;
    EXPECT_FALSE(CreatePopup(refused));
    EXPECT_EQ(nullptr, refused.m_hWnd);

    // Without a class name the window gets a plain registered class.
    Shaped window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(WS_CLIPCHILDREN | WS_CLIPSIBLINGS),
              window.GetStyle() & (WS_CLIPCHILDREN | WS_CLIPSIBLINGS));
    wchar_t className[256] = {};
    GetClassNameW(window.m_hWnd, className, 256);
    EXPECT_STREQ(AfxRegisterWndClass(0), className);
    window.DestroyWindow();
}

TEST(WindowTest, DestroyedWindowLetsGoOfItsHandleBeforePostNcDestroy)
{
    RecordingWindow window;
    ASSERT_TRUE(CreatePopup(window));
    HWND handle = window.m_hWnd;
    EXPECT_TRUE(window.DestroyWindow());
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(nullptr, window.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(handle));
    EXPECT_EQ(1, window.mPostNcDestroyCalls);
    EXPECT_EQ(nullptr, window.mHandleAtPostNcDestroy);
    EXPECT_FALSE(window.DestroyWindow()); // nothing left to destroy

    // An object that deletes itself at its end, destroyed through its own
    // DestroyWindow and from its own handler.
    bool destroyed = false;
    auto* selfDeleting = new RecordingWindow;
    selfDeleting->mDeleteItself = true;
    selfDeleting->mDestroyed = &destroyed;
    ASSERT_TRUE(CreatePopup(*selfDeleting));
    EXPECT_TRUE(selfDeleting->DestroyWindow());
    EXPECT_TRUE(destroyed);

    destroyed = false;
    selfDeleting = new RecordingWindow;
    selfDeleting->mDeleteItself = true;
    selfDeleting->mDestroyed = &destroyed;
    selfDeleting->mOnApp = [](RecordingWindow& self) { self.DestroyWindow(); };
    ASSERT_TRUE(CreatePopup(*selfDeleting));
    HWND selfHandle = selfDeleting->m_hWnd;
    SendMessageW(selfHandle, WM_APP, 0, 0);
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(IsWindow(selfHandle));
}

LRESULT CALLBACK RefuseEveryWindow(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND)
        return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Every way a creation fails ends the object as a destroyed window would:
// PostNcDestroy exactly once (where a self-deleting object deletes itself,
// so that its creator must not), and no handle left.
TEST(WindowTest, AFailedCreationEndsTheObjectExactlyOnce)
{
    enum Failure { PreCreate, UnknownClass, HookRefuses, NcCreate, Create };
    const struct
    {
        Failure failure;
        const char* name;
    } cases[] = {{PreCreate, "PreCreateWindow answers FALSE"},
                 {UnknownClass, "no such window class"},
                 {HookRefuses, "a creation hook refuses"},
                 {NcCreate, "WM_NCCREATE answers FALSE"},
                 {Create, "WM_CREATE answers -1"}};
    for (const auto& c : cases) {
        for (const bool deleteItself : {false, true}) {
            bool destroyed = false;
            auto* window = new RecordingWindow;
            window->mDeleteItself = deleteItself;
            window->mDestroyed = &destroyed;
            window->mRefusePreCreate = c.failure == PreCreate;
            window->mFailNcCreate = c.failure == NcCreate;
            window->mFailCreate = c.failure == Create;
            // Installed before CreateEx's own hook, so called after it.
            HHOOK hook = c.failure == HookRefuses
                             ? SetWindowsHookExW(WH_CBT, RefuseEveryWindow, nullptr, GetCurrentThreadId())
                             : nullptr;
            EXPECT_FALSE(CreatePopup(*window, c.failure == UnknownClass ? L"NoSuchWindowClass" : nullptr))
                << c.name;
            if (hook)
                UnhookWindowsHookEx(hook);
            EXPECT_EQ(deleteItself, destroyed) << c.name;
            if (!deleteItself) {
                EXPECT_EQ(1, window->mPostNcDestroyCalls) << c.name;
                EXPECT_EQ(nullptr, window->m_hWnd) << c.name;
                delete window;
            }
        }
    }
}

// A window whose handler of WM_APP + 3 throws, as a faulty handler would.
class ThrowingWindow : public CWnd
{
public:
    LRESULT OnFail(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
    const MessageMap* GetMessageMap() const override
    {
        static const MessageMapEntry entries[] = {{WM_APP + 3, MapHandler(&ThrowingWindow::OnFail)}};
        static const MessageMap map{CWnd::GetMessageMap(), entries, 1};
        return &map;
    }
};

TEST(WindowTest, AHandlerThatThrowsLeavesTheOuterHandlersMessageCurrent)
{
    RecordingWindow outer;
    ThrowingWindow inner;
    ASSERT_TRUE(CreatePopup(outer));
    ASSERT_TRUE(CreatePopup(inner));
    outer.mPassTextOn = true;
    // Between the outer handler's start and its Default, a message to a window
    // whose handler throws.
    outer.mBeforeDefault = [&]() {
        try {
            inner.SendMessage(WM_APP + 3);
        } catch (const std::runtime_error&) {
            // Wine passes the failure out of the send.
        }
    };
    outer.SetWindowText(L"after a failure");
    wchar_t text[32] = {};
    GetWindowTextW(outer.m_hWnd, text, 32);
    EXPECT_STREQ(L"after a failure", text); // Default passed on WM_SETTEXT, not the inner message
    inner.DestroyWindow();
    outer.DestroyWindow();
}

TEST(WindowTest, EndOfTheMainWindowEndsItsThreadsLoop)
{
    DrainQueue();
    CWinApp app;
    RecordingWindow other;
    RecordingWindow main;
    ASSERT_TRUE(CreatePopup(other));
    ASSERT_TRUE(CreatePopup(main));
    app.m_pMainWnd = &main;

    other.DestroyWindow();
    EXPECT_FALSE(QuitQueued());
    EXPECT_EQ(&main, app.m_pMainWnd);

    main.DestroyWindow();
    WPARAM code = 99;
    EXPECT_TRUE(QuitQueued(&code));
    EXPECT_EQ(0u, code);
    EXPECT_EQ(nullptr, app.m_pMainWnd);
}

TEST(WindowTest, RegisteredClassesAreMadeOncePerSetOfAttributes)
{
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    LPCWSTR name = AfxRegisterWndClass(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC, arrow);
    EXPECT_EQ(name, AfxRegisterWndClass(0x2B, arrow)); // the same name, once
    EXPECT_NE(std::wstring(name), std::wstring(AfxRegisterWndClass(0x2B)));
    EXPECT_NE(std::wstring(name), std::wstring(AfxRegisterWndClass(0x03, arrow)));
    WNDCLASSW windowClass{};
    ASSERT_TRUE(GetClassInfoW(AfxGetInstanceHandle(), name, &windowClass));
    EXPECT_EQ(0x2Bu, windowClass.style);
    EXPECT_EQ(arrow, windowClass.hCursor);
    EXPECT_EQ(nullptr, windowClass.hbrBackground);
    EXPECT_EQ(nullptr, windowClass.hIcon);
}

// A window whose modal loop follows a script: each WM_KICKIDLE records its
// idle count and asks the script what to answer.
class ModalWindow : public RecordingWindow
{
public:
    LRESULT OnKickIdle(WPARAM wParam, LPARAM lParam)
    {
        mKickFlags.push_back(wParam);
        mIdleCounts.push_back(static_cast<LONG>(lParam));
        return mOnKick ? mOnKick(*this, static_cast<LONG>(lParam)) : FALSE;
    }
    const MessageMap* GetMessageMap() const override
    {
        static const MessageMapEntry entries[] = {{WM_KICKIDLE, MapHandler(&ModalWindow::OnKickIdle)}};
        static const MessageMap map{RecordingWindow::GetMessageMap(), entries, 1};
        return &map;
    }
    using RecordingWindow::EndModalLoop;
    int ModalResult() const { return m_nModalResult; }

    std::vector<LONG> mIdleCounts;
    std::vector<WPARAM> mKickFlags;
    std::function<LRESULT(ModalWindow&, LONG)> mOnKick;
};

// Counts WM_ENTERIDLE.
class ParentWindow : public CWnd
{
public:
    LRESULT OnEnterIdle(WPARAM wParam, LPARAM lParam)
    {
        ++mEnterIdle;
        mLastFlag = wParam;
        mLastWindow = reinterpret_cast<HWND>(lParam);
        return 0;
    }
    const MessageMap* GetMessageMap() const override
    {
        static const MessageMapEntry entries[] = {{WM_ENTERIDLE, MapHandler(&ParentWindow::OnEnterIdle)}};
        static const MessageMap map{CWnd::GetMessageMap(), entries, 1};
        return &map;
    }
    int mEnterIdle = 0;
    WPARAM mLastFlag = 0;
    HWND mLastWindow = nullptr;
};

TEST(ModalLoopTest, IdlePassesUntilTheWindowWantsNoMoreThenMessagesUntilTheLoopEnds)
{
    // A pointer that an earlier test left over the window's place would move
    // into it when it shows, and that move would start another idle phase.
    SetCursorPos(1200, 1000);
    DrainQueue();
    ParentWindow parent;
    ASSERT_TRUE(CreatePopup(parent));
    ModalWindow window;
    ASSERT_TRUE(CreatePopup(window, nullptr, parent.m_hWnd));
    ASSERT_FALSE(window.IsWindowVisible());
    window.mOnKick = [](ModalWindow& self, LONG count) -> LRESULT {
        if (count < 2)
            return TRUE;
        self.PostMessage(WM_APP); // a message after the third pass
        return FALSE;
    };
    int apps = 0;
    window.mOnApp = [&apps](RecordingWindow& self) {
        if (++apps == 2)
            static_cast<ModalWindow&>(self).EndModalLoop(42);
    };

    EXPECT_EQ(42, window.RunModalLoop(MLF_SHOWONIDLE));
    // Two idle phases of three passes; each began with WM_ENTERIDLE.
    EXPECT_EQ((std::vector<LONG>{0, 1, 2, 0, 1, 2}), window.mIdleCounts);
    EXPECT_EQ(static_cast<WPARAM>(MSGF_DIALOGBOX), window.mKickFlags[0]);
    EXPECT_EQ(2, parent.mEnterIdle);
    EXPECT_EQ(static_cast<WPARAM>(MSGF_DIALOGBOX), parent.mLastFlag);
    EXPECT_EQ(window.m_hWnd, parent.mLastWindow);
    EXPECT_TRUE(window.IsWindowVisible()); // shown once the queue was idle
    EXPECT_EQ(0u, window.m_nFlags & (CWnd::WF_MODALLOOP | CWnd::WF_CONTINUEMODAL));
    window.DestroyWindow();
    parent.DestroyWindow();
    DrainQueue();
}

TEST(ModalLoopTest, EndedDuringAnIdlePassTheLoopAnswersAtOnce)
{
    DrainQueue();
    ModalWindow window;
    ASSERT_TRUE(CreatePopup(window));
    window.mOnKick = [](ModalWindow& self, LONG) -> LRESULT {
        self.EndModalLoop(7);
        return TRUE; // would ask for more passes
    };
    EXPECT_EQ(7, window.RunModalLoop(MLF_NOIDLEMSG));
    EXPECT_EQ((std::vector<LONG>{0}), window.mIdleCounts);
    window.DestroyWindow();
    DrainQueue();
}

TEST(ModalLoopTest, QuitMessageIsPutBackAndTheLoopAnswersMinusOne)
{
    DrainQueue();
    ModalWindow window;
    ASSERT_TRUE(CreatePopup(window));
    window.mOnKick = [](ModalWindow&, LONG) -> LRESULT {
        PostQuitMessage(5);
        return FALSE;
    };
    EXPECT_EQ(-1, window.RunModalLoop());
    WPARAM code = 0;
    EXPECT_TRUE(QuitQueued(&code));
    EXPECT_EQ(5u, code);
    EXPECT_EQ(0u, window.m_nFlags & CWnd::WF_MODALLOOP);
    window.DestroyWindow();
}

TEST(ModalLoopTest, WindowDestroyedDuringTheLoopEndsIt)
{
    DrainQueue();
    ModalWindow window;
    ASSERT_TRUE(CreatePopup(window));
    window.mOnApp = [](RecordingWindow& self) { self.DestroyWindow(); };
    window.PostMessage(WM_APP);
    EXPECT_EQ(-1, window.RunModalLoop(MLF_NOKICKIDLE));
    EXPECT_EQ(nullptr, window.m_hWnd);
    EXPECT_TRUE(window.mIdleCounts.empty());
    DrainQueue();
}

} // namespace
