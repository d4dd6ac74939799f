// The message loop of the MFC stand-in: how idle steps are counted between
// messages, and how an application without a main window ends its loop.
#include "MfcLite/WinApp.h"
#include "MfcLite/WinThread.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// A thread object whose idle steps follow a script: step i records its idle
// count and runs the i-th action, which answers OnIdle's result.
class ScriptedThread : public CWinThread
{
public:
    using Action = std::function<BOOL()>;

    explicit ScriptedThread(std::vector<Action> script) : mScript(std::move(script)) {}

    BOOL OnIdle(LONG idleCount) override
    {
        mCounts.push_back(idleCount);
        if (mCounts.size() > mScript.size()) {
            PostQuitMessage(0);
            return FALSE;
        }
        return mScript[mCounts.size() - 1]();
    }

    std::vector<LONG> mCounts;

private:
    std::vector<Action> mScript;
};

BOOL Continue()
{
    return TRUE;
}

// Posts a message to the calling thread; the idle step answers result.
ScriptedThread::Action Post(UINT message, BOOL result)
{
    return [message, result]() {
        PostThreadMessageW(GetCurrentThreadId(), message, 0, 0);
        return result;
    };
}

void DrainQueue()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST(MessageLoopTest, IdleCountRestartsAfterAnOrdinaryMessageOnly)
{
    DrainQueue();
    ScriptedThread thread({Continue, Continue, Post(WM_APP, FALSE), Post(WM_PAINT, TRUE), Post(0x0118, TRUE),
                           Post(WM_TIMER, FALSE)});
    thread.Run();
    // WM_APP and WM_TIMER begin new idle phases at 0; WM_PAINT and the caret's
    // system timer let the count run on.
    EXPECT_EQ((std::vector<LONG>{0, 1, 2, 0, 1, 2, 0}), thread.mCounts);
}

TEST(MessageLoopTest, AfterAnIdleStepThatWantsNoMoreOnlyAnOrdinaryMessageResumesIdling)
{
    DrainQueue();
    // The paint arrives after idling stopped: no idle step follows it, the
    // loop waits until the ordinary message.
    ScriptedThread thread({[]() {
        PostThreadMessageW(GetCurrentThreadId(), WM_PAINT, 0, 0);
        PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
        return FALSE;
    }});
    thread.Run();
    EXPECT_EQ((std::vector<LONG>{0, 0}), thread.mCounts);
}

TEST(MessageLoopTest, RunAnswersTheQuitCodeThroughExitInstance)
{
    DrainQueue();
    class QuitAtOnce : public CWinThread
    {
    public:
        BOOL OnIdle(LONG) override
        {
            PostQuitMessage(7);
            return FALSE;
        }
        int ExitInstance() override
        {
            ++mExits;
            return CWinThread::ExitInstance();
        }
        int mExits = 0;
    } thread;
    EXPECT_EQ(7, thread.Run());
    EXPECT_EQ(1, thread.mExits);
}

TEST(MessageLoopTest, MouseMoveToTheSamePlaceIsNoNewIdlePhase)
{
    CWinThread thread;
    MSG move{};
    move.message = WM_MOUSEMOVE;
    move.pt = {10, 20};
    EXPECT_TRUE(thread.IsIdleMessage(&move));
    EXPECT_FALSE(thread.IsIdleMessage(&move)); // same message, same place
    move.pt = {11, 20};
    EXPECT_TRUE(thread.IsIdleMessage(&move));
    MSG nonClient = move;
    nonClient.message = WM_NCMOUSEMOVE; // same place, other message
    EXPECT_TRUE(thread.IsIdleMessage(&nonClient));

    struct Case
    {
        UINT message;
        BOOL idle;
    };
    for (const Case& c : {Case{WM_PAINT, FALSE}, Case{0x0118, FALSE}, Case{WM_TIMER, TRUE}, Case{WM_KEYDOWN, TRUE},
                          Case{WM_APP, TRUE}}) {
        MSG message{};
        message.message = c.message;
        EXPECT_EQ(c.idle, thread.IsIdleMessage(&message)) << std::hex << c.message;
    }
}

// Counts what reaches a message-only window.
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP) {
        ++*reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(MessageLoopTest, ApplicationWithoutMainWindowDispatchesWhatIsQueuedAndEndsWithoutIdle)
{
    DrainQueue();
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MfcLiteCountingWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"MfcLiteCountingWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    int received = 0;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received));
    PostMessageW(window, WM_APP, 0, 0);
    PostMessageW(window, WM_APP, 0, 0);

    class App : public CWinApp
    {
    public:
        BOOL OnIdle(LONG) override
        {
            ++mIdleCalls;
            return FALSE;
        }
        int mIdleCalls = 0;
    } app;
    EXPECT_EQ(0, app.Run());
    EXPECT_EQ(2, received);
    EXPECT_EQ(0, app.mIdleCalls);
    DestroyWindow(window);
}

} // namespace
