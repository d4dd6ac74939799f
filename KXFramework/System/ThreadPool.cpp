#include "System/ThreadPool.h"

#include "System/Event.h"

#include <algorithm>

namespace KX {

namespace {

int32_t ClampWorkers(int32_t count)
{
    return std::min(std::max(count, 1), LThreadPool::MaxWorkers);
}

} // namespace

void LThreadPool::LWorkerParams::Create(RCPtr<LWorkerParams>& item, const ConstRCPtr<LThreadWorker>& worker,
                                        const ConstRCPtr<LRefCountedObject>& parameter, int32_t priority)
{
    item = new LWorkerParams(worker, parameter, priority);
}

LThreadPool::LWorkerParams::LWorkerParams(const ConstRCPtr<LThreadWorker>& worker,
                                          const ConstRCPtr<LRefCountedObject>& parameter, int32_t priority)
    : mWorker(worker.Get()), mParameter(parameter.Get()), mPriority(priority)
{
}

LThreadPool::LWorkerParams::~LWorkerParams()
{
    mParameter = nullptr;
    mWorker = nullptr;
}

LThreadPool::LThreadPool(int32_t workerCount, int32_t dispatcherPriority)
    : mQueueThreader(),
      mWorkerSlots(ClampWorkers(workerCount)),
      mWorkerFree(static_cast<uint32_t>(mWorkerSlots)),
      mWorkers(new RetriggerableThreader[static_cast<size_t>(mWorkerSlots)]),
      mDispatcherPriority(dispatcherPriority)
{
    // Without its events the dispatcher could never learn of a free worker.
    mWorkerCount.exchange(mWorkerFree.GetCount() == mWorkerSlots ? mWorkerSlots : 0);
    LEvent::Create(mDispatcherIdle);
    mDispatcherIdle->Set();
    mQueueThreader.SetName(L"LThreadPool::mQueueThreader");
}

LThreadPool::~LThreadPool()
{
    Stop();
    // A worker or the dispatcher destroyed here on its own thread was not
    // waited for; its thread keeps its own state and ends after this run.
}

StringT<wchar_t, char> LThreadPool::GetWorkerName(int32_t index) const
{
    if (index < 0 || index >= mWorkerSlots)
        return StringT<wchar_t, char>();
    return mWorkers[static_cast<size_t>(index)].ToString();
}

int32_t LThreadPool::GetQueuedCount() const
{
    MutexLock lock(mLock);
    return mQueue.GetCount();
}

bool LThreadPool::IsWorkerBusy(int32_t index)
{
    return mWorkers[static_cast<size_t>(index)].IsBusy();
}

KXRESULT LThreadPool::StartOnWorker(int32_t index, const ConstRCPtr<LThreadWorker>& worker,
                                    const ConstRCPtr<LRefCountedObject>& parameter, int32_t priority)
{
    RetriggerableThreader& threader = mWorkers[static_cast<size_t>(index)];
    if (worker)
        threader.SetName(static_cast<const LRefCountedObject*>(worker.Get())->ToString());
    return threader.Trigger(worker, parameter, mWorkerFree.GetEvent(index), priority);
}

int32_t LThreadPool::TryStartWork(const ConstRCPtr<LThreadWorker>& worker,
                                  const ConstRCPtr<LRefCountedObject>& parameter, int32_t priority)
{
    if (GetWorkerCount() <= 0)
        return -1;
    for (int32_t i = 0; i < GetWorkerCount(); ++i) {
        MutexLock lock(mLock);
        if (mQueue.GetCount() > 0 && GetWorkerCount() == 1)
            return -1; // with a single worker, a new item never overtakes waiting ones
        if (IsWorkerBusy(i))
            continue;
        if (Succeeded(StartOnWorker(i, worker, parameter, priority)))
            return i;
    }
    return -1;
}

void LThreadPool::QueueWork(const ConstRCPtr<LThreadWorker>& worker, const ConstRCPtr<LRefCountedObject>& parameter,
                            int32_t priority)
{
    if (TryStartWork(worker, parameter, priority) >= 0)
        return;
    if (GetWorkerCount() <= 0)
        return; // stopped: the work is dropped

    RCPtr<LWorkerParams> item;
    LWorkerParams::Create(item, worker, parameter, priority);

    MutexLock lock(mLock);
    if (GetWorkerCount() <= 0)
        return; // stopped meanwhile; the item is released after the lock
    const int32_t waiting = mQueue.GetCount();
    int32_t position = 0;
    while (position < waiting && mQueue.GetAt(position)->GetPriority() < priority)
        ++position;
    mQueue.InsertItem(position, item);

    if (waiting == 0) {
        // The queue was empty, so the dispatcher is idle or about to be: its
        // run ends without taking the lock once it finds the queue empty.
        mDispatcherIdle->Wait(Event::Infinite);
        mQueueThreader.Trigger(this, this, mDispatcherIdle, mDispatcherPriority);
    }
}

int32_t LThreadPool::FindFreeWorker()
{
    for (int32_t i = 0; i < mWorkerSlots; ++i)
        if (!IsWorkerBusy(i))
            return i;
    return -1;
}

KXRESULT LThreadPool::DoWork(const ConstRCPtr<LRefCountedObject>&)
{
    for (;;) {
        const int32_t signalled = mWorkerFree.WaitAny(Event::Infinite);

        MutexLock lock(mLock);
        if (mQueue.GetCount() == 0)
            return 0;
        // A failed wait names no worker: look for a free one instead.
        const int32_t index = signalled >= 0 && signalled < mWorkerSlots ? signalled : FindFreeWorker();
        if (index < 0 || IsWorkerBusy(index)) {
            // Restarted meanwhile by TryStartWork: wait for the next free worker.
            if (signalled < 0)
                Sleep(1); // no event to wait on; do not spin
            continue;
        }

        RCPtr<LWorkerParams> item;
        mQueue.RemoveLastItem(item); // the highest priority, the oldest among equals
        // An item whose trigger is refused is dropped.
        StartOnWorker(index, item->GetWorker(), item->GetParameter(), item->GetPriority());
        item = nullptr;
        if (mQueue.GetCount() == 0)
            return 0;
    }
}

void LThreadPool::Stop()
{
    mWorkerCount.exchange(0);

    RCPtrArray<LWorkerParams, 16, 16> dropped;
    {
        MutexLock lock(mLock);
        dropped.Assign(mQueue); // released after the lock: they may hold the pool's owner
        mQueue.RemoveAll();
    }
    dropped.RemoveAll();

    // The dispatcher may be waiting for a worker to become free, and that
    // worker may be this very thread: wake it; it finds the queue empty and ends.
    for (int32_t i = 0; i < mWorkerFree.GetCount(); ++i)
        mWorkerFree.GetEvent(i)->Set();

    mQueueThreader.Stop(StopWaitMilliseconds);
    for (int32_t i = mWorkerSlots - 1; i >= 0; --i)
        mWorkers[static_cast<size_t>(i)].Stop(StopWaitMilliseconds);
}

} // namespace KX
