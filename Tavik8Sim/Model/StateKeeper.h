// Serves write-behind StateStores (see StateStore.h) from a thread of its
// own: it gives a store's state up as soon as another store asks for it
// (through the keeper's release event, or seen at its next round), writes
// changes that have stayed in memory for kFlushAfterMs, and releases every
// store when the process ends.
//
// The thread takes no lock but the keeper's own and each store's, never runs
// a program's code, and so answers a release even while a program's callback
// blocks the thread that delivers MIDI data.
#pragma once

#include "Model/StateStore.h"

#include <memory>
#include <mutex>
#include <vector>

namespace Tavik8Sim {

class StateKeeper
{
public:
    // Changes reach the files at most this long after they were made.
    static const int64_t kFlushAfterMs = 50;

    // Creates the keeper's release event and starts the thread.
    StateKeeper();
    // The thread is never stopped: a keeper lives as long as its process.
    ~StateKeeper() = delete;
    StateKeeper(const StateKeeper&) = delete;
    StateKeeper& operator=(const StateKeeper&) = delete;

    // The keeper serves store from now on (and keeps it alive).
    void Add(const std::shared_ptr<StateStore>& store);

    // Releases every store; for DLL_PROCESS_DETACH at the end of the process,
    // when no other thread runs: locks are only tried (StateStore::ReleaseAtExit).
    void ReleaseAllAtExit();

private:
    int64_t Id() const;
    static unsigned long __stdcall ThreadMain(void* self);
    void Run();
    std::vector<std::shared_ptr<StateStore>> Stores();

    std::mutex mGuard;
    std::vector<std::shared_ptr<StateStore>> mStores;
    void* mReleaseEvent = nullptr;
};

} // namespace Tavik8Sim
