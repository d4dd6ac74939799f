// CWinThread: a thread with a message loop and an idle hook.
//
// The loop (Run) alternates between two phases:
// - idle phase: while the queue is empty, OnIdle is called with a count that
//   starts at 0 and rises by one per call; the phase ends when OnIdle answers
//   FALSE (the loop then sleeps in GetMessage) or a message arrives;
// - message phase: every queued message is pumped. A message for which
//   IsIdleMessage answers TRUE starts a new idle phase with the count back at
//   0; the others (a paint, the caret's system timer, a mouse move to the same
//   position as the last one) let the count go on where it was, so repaints
//   do not start endless idle work. WM_TIMER counts as an ordinary message:
//   a window timer is what keeps idle phases coming.
// - WM_QUIT ends the loop; Run answers ExitInstance's result.
#pragma once

#include <windows.h>

class CWnd;

class CWinThread
{
public:
    CWinThread();
    virtual ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    virtual BOOL InitInstance();
    // The message loop; answers ExitInstance's result after WM_QUIT.
    virtual int Run();
    // One idle step; TRUE asks for another call before the loop waits. The
    // base answers FALSE.
    virtual BOOL OnIdle(LONG idleCount);
    virtual int ExitInstance();
    // Gets and dispatches one message; FALSE on WM_QUIT.
    virtual BOOL PumpMessage();
    // Whether the message starts a new idle phase (see above).
    virtual BOOL IsIdleMessage(MSG* message);

    // The last message pumped.
    const MSG& GetCurrentMessage() const { return m_msgCur; }

    CWnd* m_pMainWnd = nullptr;
    DWORD m_nThreadID;

protected:
    MSG m_msgCur{};
    int m_nExitCode = 0;

private:
    POINT m_ptCursorLast{-1, -1};
    UINT m_nMsgLast = 0;
};
