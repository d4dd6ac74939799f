#include "System/RetriggerableThreader.h"

#include "System/Event.h"

#include <atomic>

namespace KX {

// Everything the thread's loop touches. The threader and its thread each hold
// a shared reference, so whichever lets go last frees it.
struct RetriggerableThreader::State
{
    Event trigger{true};
    std::atomic<bool> busy{false};
    std::atomic<bool> quit{false};
    // Written by Trigger while the thread is idle (busy clear), read and cleared
    // by the thread after the trigger event: the event orders the hand-over.
    RCPtr<LThreadWorker> worker;
    RCPtr<LRefCountedObject> parameter;
    RCPtr<LEvent> completion;
    std::atomic<KXRESULT> lastResult{S_OK};
};

RetriggerableThreader::RetriggerableThreader() : RetriggerableThreader(StringT<wchar_t, char>())
{
}

RetriggerableThreader::RetriggerableThreader(const StringT<wchar_t, char>& name)
    : mState(std::make_shared<State>()),
      mThreadRef(std::make_unique<std::shared_ptr<State>>(mState)),
      mThread(&RetriggerableThreader::ThreadProc, mThreadRef.get()),
      mName(name)
{
    if (!mThread.IsValid())
        return; // no thread: the reference meant for it goes with mThreadRef
    // The thread is still suspended; from here on it owns its reference.
    mThreadRef.release();
    mThread.SetPriorityBoost(false);
    mThread.Resume();
}

RetriggerableThreader::~RetriggerableThreader()
{
    Stop(StopWaitMilliseconds);
    // When the thread still runs (it is this very thread, or its work outlasted
    // the wait) it keeps the state alive and frees it when its loop ends.
}

StringT<wchar_t, char> RetriggerableThreader::ToString() const
{
    MutexLock lock(mNameLock);
    return mName;
}

void RetriggerableThreader::SetName(const StringT<wchar_t, char>& name)
{
    MutexLock lock(mNameLock);
    mName = name;
}

KXRESULT RetriggerableThreader::Trigger(const ConstRCPtr<LThreadWorker>& worker,
                                        const ConstRCPtr<LRefCountedObject>& parameter,
                                        const ConstRCPtr<LEvent>& completion, int32_t priority)
{
    State& state = *mState;
    if (state.quit.load())
        return E_FAIL;
    if (IsBusy())
        return E_FAIL;

    mThread.SetPriority(priority); // a refused priority still runs the work
    state.worker = worker.Get();
    state.parameter = parameter.Get();
    state.completion = completion.Get();
    if (state.completion)
        state.completion->Reset();
    state.busy.store(true);
    return state.trigger.Set() ? S_OK : E_FAIL;
}

bool RetriggerableThreader::IsBusy()
{
    State& state = *mState;
    if (state.busy.load() && mThread.HasExited())
        state.busy.store(false);
    return state.busy.load();
}

KXRESULT RetriggerableThreader::GetLastResult() const
{
    return mState->lastResult.load();
}

bool RetriggerableThreader::Stop(uint32_t milliseconds)
{
    mState->quit.store(true);
    mState->trigger.Set();
    if (mThread.IsCurrentThread())
        return false; // the loop ends by itself once the current step returns
    return mThread.Wait(milliseconds);
}

DWORD WINAPI RetriggerableThreader::ThreadProc(void* parameter)
{
    // Take over the reference the constructor made for this thread.
    std::shared_ptr<State> state = std::move(*static_cast<std::shared_ptr<State>*>(parameter));
    delete static_cast<std::shared_ptr<State>*>(parameter);
    Run(*state);
    return 0;
}

void RetriggerableThreader::Run(State& state)
{
    while (!state.quit.load()) {
        state.trigger.Wait(Event::Infinite);
        if (!state.quit.load() && state.worker)
            state.lastResult.store(state.worker->DoWork(state.parameter));
        FinishRun(state);
    }
    // A trigger that met the quit request is not run, but its waiter is woken.
    FinishRun(state);
}

void RetriggerableThreader::FinishRun(State& state)
{
    // Either release may destroy the threader's owner, and with it the
    // threader (on this thread): from here on only the state is touched.
    state.parameter = nullptr;
    state.worker = nullptr;
    RCPtr<LEvent> completion = state.completion;
    state.completion = nullptr;
    state.busy.store(false);
    if (completion)
        completion->Set();
}

} // namespace KX
