#include "System/Event.h"
#include "System/RetriggerableThreader.h"

#include "KXFramework/System/TestThreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace KX;

namespace {

// The calling thread's own handle, for waiting on its end from elsewhere.
HANDLE DuplicateCurrentThread()
{
    HANDLE handle = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &handle, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    return handle;
}

// A work object that records each run and can be held inside DoWork until the
// test opens its gate.
class RecordingWorker : public LThreadWorker
{
public:
    static RCPtr<RecordingWorker> Create(KXRESULT result = S_OK)
    {
        return RCPtr<RecordingWorker>(new RecordingWorker(result));
    }

    KXRESULT DoWork(const ConstRCPtr<LRefCountedObject>& parameter) override
    {
        lastParameter = parameter.Get();
        if (threadOut)
            *threadOut = DuplicateCurrentThread();
        priority = GetThreadPriority(GetCurrentThread());
        started.Set();
        if (holdInside)
            gate.Wait(Event::Infinite);
        ++runs;
        return mResult;
    }

    std::atomic<LRefCountedObject*> lastParameter{nullptr};
    std::atomic<int> priority{-99};
    std::atomic<int> runs{0};
    std::atomic<bool> holdInside{false};
    HANDLE* threadOut = nullptr; // receives the running thread's handle
    Event started{true};
    Event gate{true};

private:
    explicit RecordingWorker(KXRESULT result) : mResult(result) {}
    KXRESULT mResult;
};

class Parameter : public virtual LRefCountedObject
{
};

RCPtr<LEvent> NewEvent()
{
    RCPtr<LEvent> event;
    LEvent::Create(event);
    return event;
}

constexpr uint32_t kLiveness = 20000; // bounds a wait that must end, never measures

} // namespace

TEST(RetriggerableThreader, RunsTheWorkAndSignalsCompletionAfterDroppingItsReferences)
{
    RetriggerableThreader threader(L"worker");
    auto worker = RecordingWorker::Create(static_cast<KXRESULT>(0x1234));
    RCPtr<Parameter> parameter(new Parameter());
    auto done = NewEvent();
    worker->holdInside = true;

    ASSERT_EQ(threader.Trigger(worker, parameter, done, Thread::PriorityNormal), S_OK);
    ASSERT_EQ(worker->started.Wait(kLiveness), 0u);
    EXPECT_EQ(done->Wait(0), Event::TimedOut); // unsignalled until the run is over
    EXPECT_TRUE(threader.IsBusy());
    worker->gate.Set();

    ASSERT_EQ(done->Wait(kLiveness), 0u);
    EXPECT_EQ(worker->runs, 1);
    EXPECT_EQ(worker->lastParameter.load(), static_cast<LRefCountedObject*>(parameter.Get()));
    EXPECT_EQ(threader.GetLastResult(), 0x1234);
    EXPECT_FALSE(threader.IsBusy());
    EXPECT_EQ(worker->GetRefCount(), 1); // the thread no longer holds the run's objects
    EXPECT_EQ(parameter->GetRefCount(), 1);
}

TEST(RetriggerableThreader, ASecondTriggerFailsWhileBusyAndSucceedsAfterCompletion)
{
    RetriggerableThreader threader;
    auto first = RecordingWorker::Create();
    auto second = RecordingWorker::Create();
    auto firstDone = NewEvent();
    auto secondDone = NewEvent();
    first->holdInside = true;

    ASSERT_EQ(threader.Trigger(first, nullptr, firstDone, Thread::PriorityNormal), S_OK);
    // Pending or running: refused, and nothing of it is kept.
    EXPECT_EQ(threader.Trigger(second, nullptr, secondDone, Thread::PriorityNormal), E_FAIL);
    ASSERT_EQ(first->started.Wait(kLiveness), 0u);
    EXPECT_EQ(threader.Trigger(second, nullptr, secondDone, Thread::PriorityNormal), E_FAIL);
    EXPECT_EQ(second->GetRefCount(), 1);

    first->gate.Set();
    ASSERT_EQ(firstDone->Wait(kLiveness), 0u);
    // The busy flag is cleared before the completion event is set.
    ASSERT_EQ(threader.Trigger(second, nullptr, secondDone, Thread::PriorityNormal), S_OK);
    ASSERT_EQ(secondDone->Wait(kLiveness), 0u);
    EXPECT_EQ(first->runs, 1);
    EXPECT_EQ(second->runs, 1);
}

TEST(RetriggerableThreader, EachRunTakesTheTriggersPriority)
{
    RetriggerableThreader threader;
    auto worker = RecordingWorker::Create();
    auto done = NewEvent();
    for (int32_t priority : {Thread::PriorityHighest, Thread::PriorityLowest, Thread::PriorityNormal}) {
        ASSERT_EQ(threader.Trigger(worker, nullptr, done, priority), S_OK);
        ASSERT_EQ(done->Wait(kLiveness), 0u);
        EXPECT_EQ(worker->priority, priority);
    }
}

TEST(RetriggerableThreader, ToStringAnswersTheName)
{
    RetriggerableThreader unnamed;
    EXPECT_TRUE(unnamed.ToString().IsEmpty());
    RetriggerableThreader named(L"LThreadPool::mQueueThreader");
    EXPECT_TRUE(named.ToString() == L"LThreadPool::mQueueThreader");
    named.SetName(L"other");
    EXPECT_TRUE(named.ToString() == L"other");
}

TEST(RetriggerableThreader, AnIdleThreadEndsWhenStoppedAndRefusesWorkAfterwards)
{
    RetriggerableThreader threader;
    EXPECT_TRUE(threader.Stop(Event::Infinite)); // ends by itself, no time-out needed
    EXPECT_TRUE(threader.HasExited());
    auto worker = RecordingWorker::Create();
    EXPECT_EQ(threader.Trigger(worker, nullptr, NewEvent(), Thread::PriorityNormal), E_FAIL);
    EXPECT_EQ(worker->GetRefCount(), 1);
}

TEST(RetriggerableThreader, AnIdleThreaderIsDestroyedPromptly)
{
    // Destruction waits up to 60000 ms for the thread: it must not need to.
    Event destroyed(false);
    std::thread owner([&] {
        { RetriggerableThreader threader(L"idle"); }
        destroyed.Set();
    });
    EXPECT_EQ(destroyed.Wait(kLiveness), 0u);
    owner.join();
}

TEST(RetriggerableThreader, StoppingARunningThreadLetsTheRunFinish)
{
    RetriggerableThreader threader;
    auto worker = RecordingWorker::Create();
    auto done = NewEvent();
    worker->holdInside = true;
    ASSERT_EQ(threader.Trigger(worker, nullptr, done, Thread::PriorityNormal), S_OK);
    ASSERT_EQ(worker->started.Wait(kLiveness), 0u);

    std::atomic<bool> stopped{false};
    std::thread stopper([&] { stopped = threader.Stop(Event::Infinite); });
    worker->gate.Set();
    stopper.join();
    EXPECT_TRUE(stopped);
    EXPECT_EQ(done->Wait(0), 0u);
    EXPECT_EQ(worker->runs, 1);
}

TEST(RetriggerableThreader, DestructionSignalsAPendingRunsCompletion)
{
    auto worker = RecordingWorker::Create();
    auto done = NewEvent();
    {
        RetriggerableThreader threader;
        ASSERT_EQ(threader.Trigger(worker, nullptr, done, Thread::PriorityNormal), S_OK);
    }
    // Whether the thread woke before the quit request or not, the waiter is told.
    EXPECT_EQ(done->Wait(0), 0u);
    EXPECT_EQ(worker->GetRefCount(), 1);
}

namespace {

// An object that owns a threader by value and has it run work that holds the
// object itself (as its work object, like the update engine, or inside its
// parameter, like a captured MIDI message holding the MIDI component). When the
// test drops its reference during the run, the last one goes on the threader's
// own thread, and the threader is destroyed there.
class SelfRunningOwner : public LThreadWorker
{
public:
    enum class HeldAs { Worker, Parameter };

    SelfRunningOwner(std::atomic<bool>& destroyed, HANDLE& thread) : mDestroyed(destroyed), mThread(thread) {}
    ~SelfRunningOwner() override { mDestroyed = true; }

    KXRESULT Start(HeldAs heldAs, const RCPtr<LEvent>& done)
    {
        if (heldAs == HeldAs::Worker)
            return mThreader.Trigger(this, nullptr, done, Thread::PriorityNormal);
        auto helper = RecordingWorker::Create();
        helper->holdInside = true;
        helper->threadOut = &mThread;
        mHelper = helper.Get();
        return mThreader.Trigger(helper, this, done, Thread::PriorityNormal);
    }

    // The run is inside DoWork and waits for the gate.
    void WaitUntilRunning()
    {
        (mHelper ? mHelper->started : mStarted).Wait(Event::Infinite);
    }
    void OpenGate() { (mHelper ? mHelper->gate : mGate).Set(); }

    KXRESULT DoWork(const ConstRCPtr<LRefCountedObject>&) override
    {
        mThread = DuplicateCurrentThread();
        mStarted.Set();
        mGate.Wait(Event::Infinite);
        return S_OK;
    }

private:
    std::atomic<bool>& mDestroyed;
    Event mStarted{true};
    Event mGate{true};
    HANDLE& mThread;
    RecordingWorker* mHelper = nullptr; // alive while its run is held
    RetriggerableThreader mThreader{L"owner"};
};

class LastReleaseOnOwnThread : public ::testing::TestWithParam<SelfRunningOwner::HeldAs>
{
};

} // namespace

TEST_P(LastReleaseOnOwnThread, FinishesPromptlyAndCleanly)
{
    std::atomic<bool> destroyed{false};
    HANDLE thread = nullptr;
    auto done = NewEvent();
    RCPtr<SelfRunningOwner> owner(new SelfRunningOwner(destroyed, thread));
    ASSERT_EQ(owner->Start(GetParam(), done), S_OK);
    owner->WaitUntilRunning();
    SelfRunningOwner* raw = owner.Get();
    owner = nullptr; // the running work now holds the only reference
    EXPECT_FALSE(destroyed);
    raw->OpenGate();

    // The owner and its threader are destroyed on the threader's thread; that
    // destruction must neither wait for its own thread nor pull the loop's
    // state from under it: the run still signals its completion.
    ASSERT_EQ(done->Wait(kLiveness), 0u);
    EXPECT_TRUE(KXTest::Eventually([&] { return destroyed.load(); }));
    // The thread procedure returns once the loop sees the quit request that
    // the destruction on its own thread made.
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, kLiveness), WAIT_OBJECT_0);
    CloseHandle(thread);
}

INSTANTIATE_TEST_SUITE_P(RetriggerableThreader, LastReleaseOnOwnThread,
                         ::testing::Values(SelfRunningOwner::HeldAs::Worker, SelfRunningOwner::HeldAs::Parameter));
