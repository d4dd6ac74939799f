#include "System/Event.h"
#include "System/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

using namespace KX;

namespace {

struct Probe
{
    std::atomic<bool> ran{false};
    std::atomic<int> priority{-99};
    std::atomic<bool> wasCurrent{false};
    Thread* thread = nullptr;
    Event go{true};
    Event done{true};
    bool waitForGo = false;
};

DWORD WINAPI ProbeProc(void* parameter)
{
    auto* probe = static_cast<Probe*>(parameter);
    if (probe->waitForGo)
        probe->go.Wait(Event::Infinite);
    probe->priority = GetThreadPriority(GetCurrentThread());
    if (probe->thread)
        probe->wasCurrent = probe->thread->IsCurrentThread();
    probe->ran = true;
    probe->done.Set();
    return 0;
}

} // namespace

TEST(Thread, DoesNotRunBeforeResume)
{
    Probe probe;
    Thread thread(ProbeProc, &probe);
    probe.thread = &thread;
    ASSERT_TRUE(thread.IsValid());
    EXPECT_NE(thread.GetThreadId(), 0u);
    EXPECT_FALSE(thread.HasExited());
    EXPECT_FALSE(probe.ran);
    EXPECT_FALSE(thread.IsCurrentThread());

    EXPECT_EQ(thread.Resume(), 1u); // it was suspended once
    EXPECT_TRUE(thread.Wait(Event::Infinite));
    EXPECT_TRUE(probe.ran);
    EXPECT_TRUE(probe.wasCurrent);
    EXPECT_TRUE(thread.HasExited());
    EXPECT_TRUE(thread.Wait(0)); // an ended thread answers at once
}

TEST(Thread, PriorityIsPassedToTheSystemUnchanged)
{
    EXPECT_EQ(Thread::PriorityIdle, THREAD_PRIORITY_IDLE);
    EXPECT_EQ(Thread::PriorityLowest, THREAD_PRIORITY_LOWEST);
    EXPECT_EQ(Thread::PriorityBelowNormal, THREAD_PRIORITY_BELOW_NORMAL);
    EXPECT_EQ(Thread::PriorityNormal, THREAD_PRIORITY_NORMAL);
    EXPECT_EQ(Thread::PriorityAboveNormal, THREAD_PRIORITY_ABOVE_NORMAL);
    EXPECT_EQ(Thread::PriorityHighest, THREAD_PRIORITY_HIGHEST);
    EXPECT_EQ(Thread::PriorityTimeCritical, THREAD_PRIORITY_TIME_CRITICAL);

    Probe probe;
    Thread thread(ProbeProc, &probe);
    EXPECT_TRUE(thread.SetPriority(Thread::PriorityHighest));
    EXPECT_TRUE(thread.SetPriorityBoost(false));
    thread.Resume();
    ASSERT_TRUE(thread.Wait(Event::Infinite));
    EXPECT_EQ(probe.priority, Thread::PriorityHighest);
}

TEST(Thread, DestroyingTheObjectLeavesTheThreadRunning)
{
    Probe probe;
    probe.waitForGo = true;
    {
        Thread thread(ProbeProc, &probe);
        thread.Resume();
    }
    EXPECT_FALSE(probe.ran);
    probe.go.Set();
    EXPECT_EQ(probe.done.Wait(Event::Infinite), 0u);
    EXPECT_TRUE(probe.ran);
}
