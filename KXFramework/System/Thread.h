// KX::Thread: a Win32 thread, created suspended.
//
// Contract:
// - The procedure does not run before Resume. A creation failure is not
//   reported: the handle is null, Resume answers 0xFFFFFFFF, waits and
//   priority changes fail, HasExited answers false.
// - The destructor closes the handle only; it neither waits for nor stops the
//   thread. Owners wait first, and never for the thread they run on
//   (IsCurrentThread tells them).
#pragma once

#include "KXPlatform.h"

#include <cstdint>

namespace KX {

class Thread
{
public:
    // The Windows thread priorities, passed to SetThreadPriority unchanged.
    // The thread pool also ranks its work items by them (larger runs first).
    static constexpr int32_t PriorityIdle = -15;
    static constexpr int32_t PriorityLowest = -2;
    static constexpr int32_t PriorityBelowNormal = -1;
    static constexpr int32_t PriorityNormal = 0;
    static constexpr int32_t PriorityAboveNormal = 1;
    static constexpr int32_t PriorityHighest = 2;
    static constexpr int32_t PriorityTimeCritical = 15;

    using Procedure = DWORD(WINAPI*)(void* parameter);

    Thread(Procedure procedure, void* parameter);
    virtual ~Thread();

    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // The previous suspend count, or 0xFFFFFFFF on failure.
    uint32_t Resume();
    bool HasExited() const;
    // True when the thread has ended within the time.
    bool Wait(uint32_t milliseconds) const;
    bool SetPriority(int32_t priority);
    bool SetPriorityBoost(bool enable);

    bool IsValid() const { return mHandle != nullptr; }
    uint32_t GetThreadId() const { return mThreadId; }
    // True when called on this thread itself.
    bool IsCurrentThread() const { return mHandle && mThreadId == GetCurrentThreadId(); }

private:
    HANDLE mHandle = nullptr;
    DWORD mThreadId = 0;
};

} // namespace KX
