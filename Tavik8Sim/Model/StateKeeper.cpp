#include "Model/StateKeeper.h"

#include <windows.h>

namespace Tavik8Sim {

StateKeeper::StateKeeper()
{
    mReleaseEvent = CreateEventW(nullptr, FALSE, FALSE, StateStore::ReleaseEventName(GetCurrentProcessId(), Id()).c_str());
    HANDLE thread = CreateThread(nullptr, 0, &StateKeeper::ThreadMain, this, 0, nullptr);
    if (thread) {
        // Another process may be waiting for a release.
        SetThreadPriority(thread, THREAD_PRIORITY_ABOVE_NORMAL);
        CloseHandle(thread);
    }
}

int64_t StateKeeper::Id() const
{
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(this));
}

void StateKeeper::Add(const std::shared_ptr<StateStore>& store)
{
    store->SetKeeper(Id());
    std::lock_guard<std::mutex> guard(mGuard);
    mStores.push_back(store);
}

std::vector<std::shared_ptr<StateStore>> StateKeeper::Stores()
{
    std::lock_guard<std::mutex> guard(mGuard);
    return mStores;
}

unsigned long __stdcall StateKeeper::ThreadMain(void* self)
{
    static_cast<StateKeeper*>(self)->Run();
    return 0;
}

void StateKeeper::Run()
{
    for (;;) {
        // A release request wakes the thread at once; flushes are due at the
        // latest kFlushAfterMs after a change, so a wait of half that keeps
        // them within one and a half periods.
        WaitForSingleObject(static_cast<HANDLE>(mReleaseEvent), static_cast<DWORD>(kFlushAfterMs / 2));
        for (const std::shared_ptr<StateStore>& store : Stores())
            store->Maintain(Micros(kFlushAfterMs));
    }
}

void StateKeeper::ReleaseAllAtExit()
{
    std::unique_lock<std::mutex> guard(mGuard, std::try_to_lock);
    if (!guard.owns_lock())
        return;
    for (const std::shared_ptr<StateStore>& store : mStores)
        store->ReleaseAtExit();
}

} // namespace Tavik8Sim
