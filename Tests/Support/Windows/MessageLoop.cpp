#include "MessageLoop.h"

namespace TestScreen {

namespace {

// Dispatches what waits for this thread; a quit message is only noted.
void RunWaitingMessages(bool* quitSeen)
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT && quitSeen) {
            *quitSeen = true;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        RunWaitingMessages(nullptr);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

bool LoopUntil(const std::function<bool()>& condition, const std::function<bool(LONG)>& idle, bool& quitSeen,
               DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        RunWaitingMessages(&quitSeen);
        LONG idleCount = 0;
        while (idle(idleCount++)) {
        }
        if (condition())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void DiscardMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

} // namespace TestScreen
