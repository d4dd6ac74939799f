// KX::RetriggerableThreader: one long-lived thread that runs a piece of work
// each time it is triggered and sleeps in between.
//
// Contract:
// - Trigger hands over a work object, its parameter, a completion event and
//   the thread priority for the run. It is refused (E_FAIL) while a run is
//   pending or running and after Stop; at most one trigger is ever pending.
//   Callers on several threads serialise their triggers themselves.
// - The completion event is reset by the trigger and set when the run is over.
//   By then the threader holds no reference to that run's work object or
//   parameter and the busy flag is clear, so a new trigger succeeds at once.
// - The given priority applies to the run and to the idle thread after it.
// - Stop (and the destructor, which stops with a limit of 60000 ms) asks the
//   thread to end and waits for it; a pending run is not run but its completion
//   event is still set. Stop never waits when called on the threader's own
//   thread: the last reference to the threader's owner may well be released
//   there (by releasing the run's work object or parameter, or inside DoWork).
// - The thread shares ownership of everything its loop touches (trigger event,
//   flags, stored work, completion event), so destroying the threader while
//   its thread still runs frees nothing the thread uses; the thread frees that
//   state when it ends.
#pragma once

#include "KXPlatform.h"
#include "ObjectBase/ResultCodes.h"
#include "System/LEvent.h"
#include "System/Mutex.h"
#include "System/Thread.h"
#include "System/ThreadWorker.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <memory>

namespace KX {

class RetriggerableThreader : public IStringable
{
public:
    // How long the destructor waits for the thread to end.
    static constexpr uint32_t StopWaitMilliseconds = 60000;

    RetriggerableThreader();
    explicit RetriggerableThreader(const StringT<wchar_t, char>& name);
    ~RetriggerableThreader() override;

    RetriggerableThreader(const RetriggerableThreader&) = delete;
    RetriggerableThreader& operator=(const RetriggerableThreader&) = delete;

    // A copy of the name.
    StringT<wchar_t, char> ToString() const override;
    void SetName(const StringT<wchar_t, char>& name);

    // S_OK when the work was handed to the thread; E_FAIL after Stop, while a
    // run is pending or running (nothing is kept then), or when the thread
    // could not be woken.
    KXRESULT Trigger(const ConstRCPtr<LThreadWorker>& worker, const ConstRCPtr<LRefCountedObject>& parameter,
                     const ConstRCPtr<LEvent>& completion, int32_t priority);

    // True while a run is pending or running. A busy flag left set by a thread
    // that has ended is cleared here.
    bool IsBusy();
    // The value that the last DoWork answered.
    KXRESULT GetLastResult() const;

    // Sets the quit flag, wakes the thread and waits up to the given time for
    // it to end; never waits when called on the threader's own thread. True
    // when the thread has ended.
    bool Stop(uint32_t milliseconds);
    bool HasExited() const { return mThread.HasExited(); }
    bool IsOwnThread() const { return mThread.IsCurrentThread(); }

    // The thread procedure: runs the loop and ends the thread.
    static DWORD WINAPI ThreadProc(void* parameter);

private:
    struct State;
    // The loop, on the threader's own thread.
    static void Run(State& state);
    // Drops the run's work and parameter, clears the busy flag, signals completion.
    static void FinishRun(State& state);

    std::shared_ptr<State> mState;
    // The thread's reference to the state until the thread has been created.
    std::unique_ptr<std::shared_ptr<State>> mThreadRef;
    Thread mThread;
    mutable Mutex mNameLock;
    StringT<wchar_t, char> mName;
};

} // namespace KX
