#include "System/Event.h"
#include "System/EventPool.h"
#include "System/LEvent.h"
#include "System/Mutex.h"
#include "System/TrafficLight.h"

#include "KXFramework/System/TestThreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace KX;
using KXTest::Eventually;

TEST(Mutex, IsReentrantAndFreeAfterEveryTakeIsMatched)
{
    Mutex mutex;
    auto takenElsewhere = [&mutex] {
        bool taken = false;
        std::thread other([&] {
            taken = mutex.TryEnter();
            if (taken)
                mutex.Leave();
        });
        other.join();
        return taken;
    };

    {
        MutexLock outer(mutex);
        {
            MutexLock inner(mutex); // the holder takes it again without blocking
            EXPECT_FALSE(takenElsewhere());
        }
        EXPECT_FALSE(takenElsewhere()); // one take is still unmatched
    }
    EXPECT_TRUE(takenElsewhere());
}

TEST(Mutex, ExcludesOtherThreads)
{
    Mutex mutex;
    long counter = 0; // deliberately not atomic: only the lock protects it
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                MutexLock lock(mutex);
                const long seen = counter;
                if (i % 512 == 0)
                    std::this_thread::yield(); // widen the window a missing lock would leave
                counter = seen + 1;
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(counter, 80000);
}

TEST(Event, AutoResetReleasesOneWaitPerSignal)
{
    Event event(true);
    EXPECT_TRUE(event.Set());
    EXPECT_TRUE(event.Set()); // a second set before anyone waits adds nothing
    EXPECT_EQ(event.Wait(0), 0u);
    EXPECT_EQ(event.Wait(0), Event::TimedOut);
}

TEST(Event, ManualResetStaysSignalledUntilReset)
{
    Event event(false);
    EXPECT_TRUE(event.Set());
    EXPECT_EQ(event.Wait(0), 0u);
    EXPECT_EQ(event.Wait(0), 0u);
    EXPECT_TRUE(event.Reset());
    EXPECT_EQ(event.Wait(0), Event::TimedOut);
}

TEST(Event, WaitOfZeroOnUnsignalledEventAnswers258)
{
    Event event(true);
    EXPECT_EQ(event.Wait(0), 258u);
    EXPECT_EQ(Event::TimedOut, 258u);
    EXPECT_EQ(Event::Infinite, 0xFFFFFFFFu);
}

TEST(Event, WakesAWaiterOnAnotherThread)
{
    Event event(true);
    uint32_t result = 1;
    std::thread waiter([&] { result = event.Wait(Event::Infinite); });
    event.Set();
    waiter.join();
    EXPECT_EQ(result, 0u);
}

TEST(TrafficLight, StartsRedAndIsGreenLeavesTheStateAlone)
{
    TrafficLight light;
    EXPECT_FALSE(light.IsGreen());
    EXPECT_FALSE(light.IsGreen());
    EXPECT_EQ(light.Wait(0), Event::TimedOut);

    EXPECT_NE(light.SetGreen(), FALSE);
    EXPECT_TRUE(light.IsGreen());
    EXPECT_TRUE(light.IsGreen());
    EXPECT_EQ(light.Wait(0), 0u); // a manual-reset light lets every wait through
    EXPECT_EQ(light.Wait(0), 0u);
    EXPECT_TRUE(light.IsGreen());

    EXPECT_NE(light.SetRed(), FALSE);
    EXPECT_FALSE(light.IsGreen());
}

TEST(TrafficLight, HasWaitersWhileAThreadIsBlockedOnIt)
{
    TrafficLight light;
    EXPECT_FALSE(light.HasWaiters());
    std::thread waiter([&] { light.Wait(Event::Infinite); });
    EXPECT_TRUE(Eventually([&] { return light.HasWaiters(); }));
    light.SetGreen();
    waiter.join();
    EXPECT_FALSE(light.HasWaiters());
}

TEST(LEvent, CreateGivesAnAutoResetUnsignalledSharedEvent)
{
    RCPtr<LEvent> event;
    LEvent::Create(event);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->GetRefCount(), 1);
    EXPECT_NE(event->GetHandle(), nullptr);
    EXPECT_EQ(event->Wait(0), Event::TimedOut);

    RCPtr<LEvent> other = event; // every holder shares the one object
    EXPECT_EQ(other.Get(), event.Get());
    EXPECT_TRUE(other->Set());
    EXPECT_EQ(event->Wait(0), 0u);
    EXPECT_EQ(event->Wait(0), Event::TimedOut);

    EXPECT_TRUE(event->Set());
    EXPECT_TRUE(event->Reset());
    EXPECT_EQ(event->Wait(0), Event::TimedOut);
}

TEST(EventPool, WaitAnyAnswersTheLowestSignalledIndexAndConsumesOnlyIt)
{
    EventPool pool(4);
    ASSERT_EQ(pool.GetCount(), 4);
    pool.GetEvent(3)->Set();
    pool.GetEvent(1)->Set();
    EXPECT_EQ(pool.WaitAny(Event::Infinite), 1);
    EXPECT_EQ(pool.WaitAny(Event::Infinite), 3);
    EXPECT_EQ(pool.WaitAny(0), -1);
}

TEST(EventPool, WaitAnyAnswersMinusOneOnTimeOut)
{
    EventPool pool(2);
    EXPECT_EQ(pool.WaitAny(0), -1);
    EXPECT_EQ(pool.WaitAny(10), -1);
}

TEST(EventPool, WaitsOnAtMost64Events)
{
    EventPool full(64);
    ASSERT_EQ(full.GetCount(), 64);
    full.GetEvent(63)->Set();
    EXPECT_EQ(full.WaitAny(0), 63);

    EventPool tooMany(65);
    ASSERT_EQ(tooMany.GetCount(), 65);
    tooMany.GetEvent(0)->Set();
    EXPECT_EQ(tooMany.WaitAny(0), -1);
    EXPECT_EQ(tooMany.GetEvent(0)->Wait(0), 0u); // the signal was left alone

    EventPool empty(0);
    EXPECT_EQ(empty.GetCount(), 0);
    EXPECT_EQ(empty.WaitAny(0), -1);
}

TEST(EventPool, EventsOutliveThePoolForTheirOtherHolders)
{
    RCPtr<LEvent> kept;
    {
        EventPool pool(2);
        kept = pool.GetEvent(1);
        EXPECT_EQ(kept->GetRefCount(), 2);
    }
    EXPECT_EQ(kept->GetRefCount(), 1);
    EXPECT_TRUE(kept->Set());
    EXPECT_EQ(kept->Wait(0), 0u);
}
