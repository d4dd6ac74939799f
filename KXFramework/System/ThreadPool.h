// KX::LThreadPool: runs work items on a fixed set of worker threads.
//
// Contract:
// - QueueWork (any thread) starts the work at once on a free worker, or
//   queues it. Waiting items run from the highest priority value to the lowest
//   (the KX::Thread priorities), equal priorities first in, first out; a
//   dispatcher thread hands them to workers as these become free. With a single
//   worker a new item never overtakes a waiting one; with several, a new item
//   that finds a free worker starts at once even while others wait.
// - Each item runs at its own thread priority. A worker's name (its ToString)
//   is the text of the last work object it was given.
// - Stop ends the dispatcher and the workers and drops the waiting items; from
//   then on QueueWork drops every item silently. Nothing reports failure.
//   Owners stop feeding the pool before they stop or release it.
// - The last reference to the pool may be released on one of its own threads
//   (by a work item that holds the pool's owner, or by the dispatcher): Stop
//   never waits for the calling thread, and each worker's thread keeps what it
//   still uses alive until it ends.
// - Lock order: a caller's own lock may be held when it calls QueueWork; the
//   pool's lock is never held while an item runs.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "System/EventPool.h"
#include "System/LEvent.h"
#include "System/Mutex.h"
#include "System/RetriggerableThreader.h"
#include "System/ThreadWorker.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/ReuseAllocator.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace KX {

class LThreadPool : public LThreadWorker
{
public:
    // One waiting item. Items come from a program-wide locked block pool, as
    // they are made and released on many threads at a high rate.
    class LWorkerParams : public LRefCountedObject
    {
        KX_DECLARE_REUSE_ALLOCATOR(LWorkerParams, 1, true)

    public:
        // A new item holding its own references to the worker and the parameter.
        static void Create(RCPtr<LWorkerParams>& item, const ConstRCPtr<LThreadWorker>& worker,
                           const ConstRCPtr<LRefCountedObject>& parameter, int32_t priority);

        const RCPtr<LThreadWorker>& GetWorker() const { return mWorker; }
        const RCPtr<LRefCountedObject>& GetParameter() const { return mParameter; }
        int32_t GetPriority() const { return mPriority; }

    protected:
        LWorkerParams(const ConstRCPtr<LThreadWorker>& worker, const ConstRCPtr<LRefCountedObject>& parameter,
                      int32_t priority);
        // Releases the parameter, then the worker.
        ~LWorkerParams() override;

    private:
        RCPtr<LThreadWorker> mWorker;
        RCPtr<LRefCountedObject> mParameter;
        int32_t mPriority;
    };

    // How long Stop waits for each thread to end.
    static constexpr uint32_t StopWaitMilliseconds = 60000;
    // The most workers one dispatcher can wait on together.
    static constexpr int32_t MaxWorkers = MAXIMUM_WAIT_OBJECTS;

    // workerCount is taken into 1..MaxWorkers.
    LThreadPool(int32_t workerCount, int32_t dispatcherPriority);

    void QueueWork(const ConstRCPtr<LThreadWorker>& worker, const ConstRCPtr<LRefCountedObject>& parameter,
                   int32_t priority);
    // The index of the worker that took the work, or -1. For QueueWork.
    int32_t TryStartWork(const ConstRCPtr<LThreadWorker>& worker, const ConstRCPtr<LRefCountedObject>& parameter,
                         int32_t priority);
    // The dispatcher loop; runs only on the dispatcher thread. Answers 0.
    KXRESULT DoWork(const ConstRCPtr<LRefCountedObject>& parameter) override;
    void Stop();

    // The number of workers, 0 once stopped.
    int32_t GetWorkerCount() const { return mWorkerCount.fetch_add(0); }
    // The name of worker i: the text of the last work object it was given.
    StringT<wchar_t, char> GetWorkerName(int32_t index) const;
    int32_t GetQueuedCount() const;

protected:
    ~LThreadPool() override;

private:
    // Gives an item to worker i; the caller holds the pool lock.
    KXRESULT StartOnWorker(int32_t index, const ConstRCPtr<LThreadWorker>& worker,
                           const ConstRCPtr<LRefCountedObject>& parameter, int32_t priority);
    // Whether worker i is pending or running; the caller holds the pool lock.
    bool IsWorkerBusy(int32_t index);
    // A free worker's index when the wait for one failed, else -1.
    int32_t FindFreeWorker();

    RetriggerableThreader mQueueThreader;
    RCPtrArray<LWorkerParams, 16, 16> mQueue; // ascending priority, newest first among equals
    mutable Mutex mLock;
    mutable std::atomic<int32_t> mWorkerCount{0};
    const int32_t mWorkerSlots;
    EventPool mWorkerFree; // event i: completion of every run of worker i
    std::unique_ptr<RetriggerableThreader[]> mWorkers;
    RCPtr<LEvent> mDispatcherIdle; // completion of the dispatcher's runs
    const int32_t mDispatcherPriority;
};

} // namespace KX
