#include "ObjectBase/Holder.h"
#include "System/Event.h"
#include "System/ThreadPool.h"

#include "KXFramework/System/TestThreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

using namespace KX;
using KXTest::Eventually;

namespace {

constexpr uint32_t kLiveness = 20000; // bounds a wait that must end, never measures

using Label = LHolder<int>;

RCPtr<Label> MakeLabel(int value)
{
    return Label::Create(value);
}

// Records the labels of the items it runs, in the order they run.
class Recorder : public LThreadWorker
{
public:
    static RCPtr<Recorder> Create() { return RCPtr<Recorder>(new Recorder()); }

    KXRESULT DoWork(const ConstRCPtr<LRefCountedObject>& parameter) override
    {
        auto label = ConstRCPtr<Label>::DynamicCast(parameter);
        std::lock_guard<std::mutex> guard(mMutex);
        mOrder.push_back(label ? label->GetValue() : -1);
        if (static_cast<int>(mOrder.size()) == expected)
            allRan.Set();
        return S_OK;
    }

    std::vector<int> Order()
    {
        std::lock_guard<std::mutex> guard(mMutex);
        return mOrder;
    }

    std::atomic<int> expected{-1};
    Event allRan{false};

private:
    std::mutex mMutex;
    std::vector<int> mOrder;
};

// Holds its worker until the test opens the gate.
class Blocker : public LThreadWorker
{
public:
    static RCPtr<Blocker> Create() { return RCPtr<Blocker>(new Blocker()); }

    KXRESULT DoWork(const ConstRCPtr<LRefCountedObject>&) override
    {
        started.Set();
        gate.Wait(Event::Infinite);
        finished.Set();
        return S_OK;
    }

    Event started{false};
    Event gate{false};
    Event finished{false};
};

// Names itself, so that a worker's name shows which work it was given last.
class Named : public LThreadWorker
{
public:
    explicit Named(const wchar_t* name) : mName(name) {}
    StringT<wchar_t, char> ToString() const override { return mName; }
    KXRESULT DoWork(const ConstRCPtr<LRefCountedObject>&) override
    {
        done.Set();
        return S_OK;
    }
    Event done{true};

private:
    StringT<wchar_t, char> mName;
};

// A pool that tells when it is destroyed.
class ObservedPool : public LThreadPool
{
public:
    ObservedPool(int32_t workers, std::atomic<bool>& destroyed)
        : LThreadPool(workers, Thread::PriorityHighest), mDestroyed(destroyed)
    {
    }
    ~ObservedPool() override { mDestroyed = true; }

private:
    std::atomic<bool>& mDestroyed;
};

RCPtr<LThreadPool> NewPool(int32_t workers)
{
    return RCPtr<LThreadPool>(new LThreadPool(workers, Thread::PriorityHighest));
}

} // namespace

TEST(ThreadPool, WaitingItemsRunByPriorityThenFirstInFirstOut)
{
    auto pool = NewPool(1);
    auto blocker = Blocker::Create();
    auto recorder = Recorder::Create();
    pool->QueueWork(blocker, nullptr, Thread::PriorityNormal);
    ASSERT_EQ(blocker->started.Wait(kLiveness), 0u);

    // Items 0, 1, 2, 3 at priorities 0, 2, 1, 2.
    const int priorities[] = {0, 2, 1, 2};
    for (int i = 0; i < 4; ++i)
        pool->QueueWork(recorder, MakeLabel(i), priorities[i]);
    EXPECT_EQ(pool->GetQueuedCount(), 4);
    recorder->expected = 4;
    blocker->gate.Set();

    ASSERT_EQ(recorder->allRan.Wait(kLiveness), 0u);
    EXPECT_EQ(recorder->Order(), (std::vector<int>{1, 3, 2, 0})); // first 2, second 2, 1, 0
}

TEST(ThreadPool, WithOneWorkerANewItemNeverOvertakesAWaitingOne)
{
    // A single producer queues items of one priority while the worker keeps
    // finishing them; whenever the worker has just become free and the
    // dispatcher has not yet handed it the next waiting item, a new item must
    // still go behind the waiting ones.
    auto pool = NewPool(1);
    auto recorder = Recorder::Create();
    constexpr int kItems = 3000;
    recorder->expected = kItems;
    for (int i = 0; i < kItems; ++i)
        pool->QueueWork(recorder, MakeLabel(i), Thread::PriorityNormal);
    ASSERT_EQ(recorder->allRan.Wait(kLiveness), 0u);
    const auto order = recorder->Order();
    ASSERT_EQ(order.size(), static_cast<size_t>(kItems));
    for (int i = 0; i < kItems; ++i)
        ASSERT_EQ(order[static_cast<size_t>(i)], i) << "item " << i << " was overtaken";
}

TEST(ThreadPool, WithTwoWorkersANewItemStartsAtOnceOnTheFreeOne)
{
    auto pool = NewPool(2);
    auto blocker = Blocker::Create();
    pool->QueueWork(blocker, nullptr, Thread::PriorityNormal);
    ASSERT_EQ(blocker->started.Wait(kLiveness), 0u);

    // Had it been queued, it would wait for the blocked worker.
    RCPtr<Named> second(new Named(L"second"));
    pool->QueueWork(second, nullptr, Thread::PriorityNormal);
    EXPECT_EQ(second->done.Wait(kLiveness), 0u);
    EXPECT_EQ(pool->GetQueuedCount(), 0);
    EXPECT_EQ(blocker->finished.Wait(0), Event::TimedOut);
    blocker->gate.Set();
}

TEST(ThreadPool, AWorkersNameIsTheTextOfItsLastWorkObject)
{
    auto pool = NewPool(1);
    EXPECT_TRUE(pool->GetWorkerName(0).IsEmpty());
    for (const wchar_t* name : {L"first", L"second"}) {
        RCPtr<Named> work(new Named(name));
        pool->QueueWork(work, nullptr, Thread::PriorityNormal);
        ASSERT_EQ(work->done.Wait(kLiveness), 0u);
        EXPECT_TRUE(pool->GetWorkerName(0) == name);
    }
    // A work object without a text of its own gives its class name.
    auto recorder = Recorder::Create();
    recorder->expected = 1;
    pool->QueueWork(recorder, nullptr, Thread::PriorityNormal);
    ASSERT_EQ(recorder->allRan.Wait(kLiveness), 0u);
    EXPECT_FALSE(pool->GetWorkerName(0) == L"second");
}

TEST(ThreadPool, EveryItemFromSeveralProducersRunsExactlyOnce)
{
    constexpr int kProducers = 4;
    constexpr int kPerProducer = 500;
    constexpr int kItems = kProducers * kPerProducer;

    class Counter : public LThreadWorker
    {
    public:
        KXRESULT DoWork(const ConstRCPtr<LRefCountedObject>& parameter) override
        {
            auto label = ConstRCPtr<Label>::DynamicCast(parameter);
            if (label)
                ++runs[label->GetValue()];
            if (++total == kItems)
                allRan.Set();
            return S_OK;
        }
        std::atomic<int> runs[kItems] = {};
        std::atomic<int> total{0};
        Event allRan{false};
    };

    auto pool = NewPool(3);
    RCPtr<Counter> counter(new Counter());
    const int32_t priorities[] = {Thread::PriorityLowest, Thread::PriorityNormal, Thread::PriorityHighest};
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p)
        producers.emplace_back([&, p] {
            for (int i = 0; i < kPerProducer; ++i) {
                const int id = p * kPerProducer + i;
                pool->QueueWork(counter, MakeLabel(id), priorities[id % 3]);
            }
        });
    for (auto& producer : producers)
        producer.join();

    ASSERT_EQ(counter->allRan.Wait(kLiveness), 0u);
    EXPECT_TRUE(Eventually([&] { return pool->GetQueuedCount() == 0; }));
    EXPECT_EQ(counter->total, kItems);
    for (int id = 0; id < kItems; ++id)
        ASSERT_EQ(counter->runs[id], 1) << "item " << id;
}

TEST(ThreadPool, StopDropsWaitingItemsAndLaterWork)
{
    auto pool = NewPool(1);
    auto blocker = Blocker::Create();
    auto recorder = Recorder::Create();
    pool->QueueWork(blocker, nullptr, Thread::PriorityNormal);
    ASSERT_EQ(blocker->started.Wait(kLiveness), 0u);
    auto label = MakeLabel(1);
    pool->QueueWork(recorder, label, Thread::PriorityNormal);
    pool->QueueWork(recorder, label, Thread::PriorityHighest);
    EXPECT_EQ(label->GetRefCount(), 3);

    // Stop waits for the running item, so it runs beside the test.
    std::thread stopper([&] { pool->Stop(); });
    EXPECT_TRUE(Eventually([&] { return pool->GetQueuedCount() == 0; }));
    blocker->gate.Set();
    stopper.join();

    EXPECT_EQ(pool->GetWorkerCount(), 0);
    EXPECT_TRUE(recorder->Order().empty());
    EXPECT_EQ(label->GetRefCount(), 1);

    pool->QueueWork(recorder, label, Thread::PriorityNormal);
    EXPECT_EQ(pool->GetQueuedCount(), 0);
    EXPECT_EQ(recorder->GetRefCount(), 1); // nothing holds the work: it will never run
    EXPECT_EQ(label->GetRefCount(), 1);
}

TEST(ThreadPool, StoppingAnIdlePoolIsPrompt)
{
    // Stop waits up to 60000 ms for each thread: idle ones must not need it.
    auto pool = NewPool(3);
    Event stopped(false);
    std::thread stopper([&] {
        pool->Stop();
        stopped.Set();
    });
    EXPECT_EQ(stopped.Wait(kLiveness), 0u);
    stopper.join();
}

TEST(ThreadPool, WorkItemsComeFromTheLockedBlockPool)
{
    auto& allocator = LThreadPool::LWorkerParams::GetReuseAllocator();
    EXPECT_TRUE(allocator.HasLock());
    RCPtr<LThreadPool::LWorkerParams> item;
    auto recorder = Recorder::Create();
    LThreadPool::LWorkerParams::Create(item, recorder, MakeLabel(5), Thread::PriorityHighest);
    const int32_t blocks = allocator.GetBlockCount();
    EXPECT_GE(blocks, 1);
    EXPECT_EQ(item->GetPriority(), Thread::PriorityHighest);
    EXPECT_EQ(item->GetWorker().Get(), static_cast<LThreadWorker*>(recorder.Get()));
    EXPECT_EQ(recorder->GetRefCount(), 2);
    item = nullptr;
    EXPECT_EQ(recorder->GetRefCount(), 1);
    // The freed block is the next one handed out.
    LThreadPool::LWorkerParams::Create(item, recorder, nullptr, Thread::PriorityNormal);
    EXPECT_EQ(allocator.GetBlockCount(), blocks);
}

namespace {

// A component that owns its pool and queues work that holds the component
// itself, as the MIDI component does with each captured message: the last
// reference to the component, and so to the pool, can go on a pool thread.
class PoolOwner : public LThreadWorker
{
public:
    PoolOwner(std::atomic<bool>& ownerDestroyed, std::atomic<bool>& poolDestroyed, HANDLE& thread)
        : mDestroyed(ownerDestroyed), mThread(thread), mPool(new ObservedPool(1, poolDestroyed))
    {
    }
    ~PoolOwner() override { mDestroyed = true; }

    // The message data: it keeps the component alive while it is in flight.
    class Message : public LRefCountedObject
    {
    public:
        explicit Message(PoolOwner* owner) : mOwner(owner) {}
        RCPtr<PoolOwner> mOwner;
    };

    void Capture(bool hold)
    {
        RCPtr<Message> message(new Message(this));
        mHold = hold;
        mPool->QueueWork(this, message, Thread::PriorityNormal);
    }

    KXRESULT DoWork(const ConstRCPtr<LRefCountedObject>&) override
    {
        if (mHold) {
            DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &mThread, 0, FALSE,
                            DUPLICATE_SAME_ACCESS);
            started.Set();
            gate.Wait(Event::Infinite);
        }
        ++delivered;
        return S_OK;
    }

    Event started{false};
    Event gate{false};
    std::atomic<int> delivered{0};

private:
    std::atomic<bool>& mDestroyed;
    HANDLE& mThread;
    std::atomic<bool> mHold{false};
    RCPtr<LThreadPool> mPool;
};

} // namespace

TEST(ThreadPool, LastReleaseOnAWorkerThreadFinishesPromptlyAndCleanly)
{
    std::atomic<bool> ownerDestroyed{false};
    std::atomic<bool> poolDestroyed{false};
    HANDLE thread = nullptr;
    RCPtr<PoolOwner> owner(new PoolOwner(ownerDestroyed, poolDestroyed, thread));
    owner->Capture(true);
    ASSERT_EQ(owner->started.Wait(kLiveness), 0u);
    owner->Capture(false); // a second message waits in the queue
    PoolOwner* raw = owner.Get();
    owner = nullptr; // only the messages in flight hold the component now
    EXPECT_FALSE(ownerDestroyed);
    raw->gate.Set();

    // The queued message runs, then the last release happens on the worker,
    // whose Stop must not wait for itself; the worker's thread then ends.
    EXPECT_TRUE(Eventually([&] { return poolDestroyed.load(); }));
    EXPECT_TRUE(ownerDestroyed);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, kLiveness), WAIT_OBJECT_0);
    CloseHandle(thread);
}

TEST(ThreadPool, LastReleaseOnTheDispatcherThreadFinishesPromptlyAndCleanly)
{
    std::atomic<bool> poolDestroyed{false};
    RCPtr<LThreadPool> pool(new ObservedPool(1, poolDestroyed));
    auto blocker = Blocker::Create();
    auto recorder = Recorder::Create();
    pool->QueueWork(blocker, nullptr, Thread::PriorityNormal);
    ASSERT_EQ(blocker->started.Wait(kLiveness), 0u);
    pool->QueueWork(recorder, MakeLabel(7), Thread::PriorityNormal); // starts the dispatcher
    pool = nullptr; // the dispatcher's run now holds the only reference
    EXPECT_FALSE(poolDestroyed);
    blocker->gate.Set();

    // The dispatcher hands the item to the worker and then releases the pool
    // on its own thread. Stopping drops an item that was handed over but has
    // not started yet, so the item may or may not have run; either way
    // everything ends and lets go of the work.
    EXPECT_TRUE(Eventually([&] { return poolDestroyed.load(); }));
    EXPECT_TRUE(Eventually([&] { return recorder->GetRefCount() == 1 && blocker->GetRefCount() == 1; }));
    const auto order = recorder->Order();
    EXPECT_TRUE(order.empty() || order == std::vector<int>{7});
}

TEST(ThreadPool, StopFromAWorkItemWhileOthersWaitDoesNotWaitForItself)
{
    // The dispatcher waits for this very worker to become free; Stop must wake
    // it rather than wait for it, and must not wait for its own thread.
    class Stopper : public LThreadWorker
    {
    public:
        KXRESULT DoWork(const ConstRCPtr<LRefCountedObject>& parameter) override
        {
            started.Set();
            gate.Wait(Event::Infinite);
            auto pool = ConstRCPtr<LThreadPool>::DynamicCast(parameter);
            pool.Get()->Stop();
            stopped.Set();
            return S_OK;
        }
        Event started{false};
        Event gate{false};
        Event stopped{false};
    };

    auto pool = NewPool(1);
    RCPtr<Stopper> stopper(new Stopper());
    auto recorder = Recorder::Create();
    pool->QueueWork(stopper, pool, Thread::PriorityNormal);
    ASSERT_EQ(stopper->started.Wait(kLiveness), 0u);
    pool->QueueWork(recorder, MakeLabel(1), Thread::PriorityNormal);
    EXPECT_EQ(pool->GetQueuedCount(), 1);
    stopper->gate.Set();

    EXPECT_EQ(stopper->stopped.Wait(kLiveness), 0u);
    EXPECT_EQ(pool->GetQueuedCount(), 0);
    EXPECT_TRUE(recorder->Order().empty());
}
