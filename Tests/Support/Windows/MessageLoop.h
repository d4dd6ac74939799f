// How a test waits on the thread that owns its windows: running the
// thread's messages (and, as the program's loop does, its idle passes) until
// a condition holds, or waiting for another thread without running them.
#pragma once

#include <windows.h>

#include <functional>

namespace TestScreen {

// Runs the calling thread's messages until the condition holds or the time
// is up; answers the condition. The condition is asked before every round,
// so that nothing runs when it holds already.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// Waits without running messages (for conditions that another thread makes
// true); answers the condition.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// The program's message loop as the MFC loop runs it, until the condition
// holds or the time is up: every round runs the waiting messages, then the
// idle phase (`idle` with the pass count, until it answers false), then asks
// the condition, so that one round runs even when it holds already. A quit
// message sets `quitSeen` and is not acted on. Answers the condition.
bool LoopUntil(const std::function<bool()>& condition, const std::function<bool(LONG)>& idle, bool& quitSeen,
               DWORD timeoutMs);

// Throws away every message waiting for the calling thread.
void DiscardMessages();

} // namespace TestScreen
