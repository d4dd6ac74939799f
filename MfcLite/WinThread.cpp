#include "MfcLite/WinThread.h"

namespace {
// The system timer that drives the caret's blinking.
constexpr UINT kSystemTimerMessage = 0x0118;
} // namespace

CWinThread::CWinThread() : m_nThreadID(GetCurrentThreadId()) {}

CWinThread::~CWinThread() = default;

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::Run()
{
    BOOL idle = TRUE;
    LONG idleCount = 0;
    for (;;) {
        MSG peeked;
        while (idle && !PeekMessageW(&peeked, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++))
                idle = FALSE;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                idle = TRUE;
                idleCount = 0;
            }
        } while (PeekMessageW(&peeked, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinThread::OnIdle(LONG)
{
    return FALSE;
}

int CWinThread::ExitInstance()
{
    return m_nExitCode;
}

BOOL CWinThread::PumpMessage()
{
    const BOOL result = GetMessageW(&m_msgCur, nullptr, 0, 0);
    if (result == 0) {
        m_nExitCode = static_cast<int>(m_msgCur.wParam);
        return FALSE;
    }
    if (result == -1)
        return TRUE; // a bad call, not a message: nothing to dispatch
    TranslateMessage(&m_msgCur);
    DispatchMessageW(&m_msgCur);
    return TRUE;
}

BOOL CWinThread::IsIdleMessage(MSG* message)
{
    if (message->message == WM_MOUSEMOVE || message->message == WM_NCMOUSEMOVE) {
        if (message->message == m_nMsgLast && message->pt.x == m_ptCursorLast.x &&
            message->pt.y == m_ptCursorLast.y)
            return FALSE;
        m_ptCursorLast = message->pt;
        m_nMsgLast = message->message;
        return TRUE;
    }
    return message->message != WM_PAINT && message->message != kSystemTimerMessage;
}
