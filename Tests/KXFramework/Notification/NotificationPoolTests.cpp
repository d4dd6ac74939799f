#include "NotificationTestSupport.h"

#include <thread>

using namespace NotificationTest;

namespace {

class NotificationPoolTest : public NotificationFixture
{
};

TEST_F(NotificationPoolTest, CreateInternsTheNameAndKeepsTheData)
{
    RCPtr<LNotification> notification = MakeNotification(L"NID_VALUE_CHANGE", 7);
    ASSERT_TRUE(notification);
    EXPECT_EQ(InternNotificationID(L"NID_VALUE_CHANGE"), notification->GetID());
    EXPECT_EQ(7, TestData::ValueOf(notification));
    EXPECT_FALSE(notification->IsQueued());
    EXPECT_EQ(1, notification->GetRefCount());
}

TEST_F(NotificationPoolTest, AnEmptyNameGivesNullInEveryPoolingState)
{
    RCPtr<LNotification> result = MakeNotification(L"NID_IDLE");
    EXPECT_TRUE(LNotification::Create(result, L"").IsNull()) << "pooling off";
    EXPECT_TRUE(LNotification::Create(result, nullptr).IsNull());
    EXPECT_TRUE(LNotification::New(result, L"").IsNull());

    LNotification::SetPoolingEnabled(true);
    EXPECT_TRUE(LNotification::Create(result, L"").IsNull()) << "pooling on, empty free list";

    MakeNotification(L"NID_IDLE"); // released at once: now pooled
    ASSERT_EQ(1, LNotification::GetPooledCount());
    EXPECT_TRUE(LNotification::Create(result, L"").IsNull()) << "pooling on, one waiting";
    EXPECT_EQ(1, LNotification::GetPooledCount()) << "the pooled notification stays in the list";
}

TEST_F(NotificationPoolTest, ReleasedNotificationsAreReusedLastInFirstOut)
{
    LNotification::SetPoolingEnabled(true);
    RCPtr<LNotification> a = MakeNotification(L"NID_MOUSE_DOWN");
    RCPtr<LNotification> b = MakeNotification(L"NID_MOUSE_UP");
    LNotification* addressA = a.Get();
    LNotification* addressB = b.Get();
    a = nullptr;
    b = nullptr;
    EXPECT_EQ(2, LNotification::GetPooledCount());
    EXPECT_EQ(2, LNotification::GetLiveCount());

    RCPtr<LNotification> first = MakeNotification(L"NID_LEFT_CLICK", 1);
    RCPtr<LNotification> second = MakeNotification(L"NID_RIGHT_CLICK");
    EXPECT_EQ(addressB, first.Get());
    EXPECT_EQ(addressA, second.Get());
    EXPECT_EQ(InternNotificationID(L"NID_LEFT_CLICK"), first->GetID()) << "creation overwrites the identifier";
    EXPECT_EQ(1, TestData::ValueOf(first));
    EXPECT_TRUE(second->GetData().IsNull());
    EXPECT_EQ(0, LNotification::GetPooledCount());
    EXPECT_EQ(1, first->GetRefCount());
}

TEST_F(NotificationPoolTest, DataIsReleasedAtRecyclingNotAtReuse)
{
    LNotification::SetPoolingEnabled(true);
    RCPtr<LRefCountedObject> data = TestData::Make(3);
    RCPtr<LNotification> notification;
    LNotification::Create(notification, L"NID_VALUE_CHANGE", data);
    EXPECT_EQ(2, data->GetRefCount());
    notification = nullptr;
    EXPECT_EQ(1, data->GetRefCount()) << "the pooled notification holds no data";
    EXPECT_EQ(1, LNotification::GetPooledCount());
}

TEST_F(NotificationPoolTest, WithPoolingOffTheLastReleaseDestroysAndReleasesTheData)
{
    RCPtr<LRefCountedObject> data = TestData::Make(3);
    RCPtr<LNotification> notification;
    LNotification::Create(notification, L"NID_VALUE_CHANGE", data);
    EXPECT_EQ(1, LNotification::GetLiveCount());
    notification = nullptr;
    EXPECT_EQ(0, LNotification::GetLiveCount());
    EXPECT_EQ(1, data->GetRefCount());
    EXPECT_EQ(0, LNotification::GetPooledCount());
}

TEST_F(NotificationPoolTest, SwitchingPoolingOffDestroysThePooledOnesAndLaterCreationsAreFresh)
{
    LNotification::SetPoolingEnabled(true);
    for (int i = 0; i < 3; ++i)
        MakeNotification(L"NID_MOUSE_MOVE");
    RCPtr<LNotification> a = MakeNotification(L"NID_MOUSE_MOVE");
    RCPtr<LNotification> b = MakeNotification(L"NID_MOUSE_MOVE");
    a = nullptr;
    b = nullptr;
    EXPECT_EQ(2, LNotification::GetPooledCount());

    LNotification::SetPoolingEnabled(false);
    EXPECT_EQ(0, LNotification::GetPooledCount());
    EXPECT_EQ(0, LNotification::GetLiveCount());

    RCPtr<LNotification> fresh = MakeNotification(L"NID_MOUSE_MOVE");
    EXPECT_EQ(1, LNotification::GetLiveCount());
    fresh = nullptr;
    EXPECT_EQ(0, LNotification::GetLiveCount());
}

TEST_F(NotificationPoolTest, ANotificationMadeBeforePoolingJoinsThePoolWhenReleasedAfter)
{
    RCPtr<LNotification> early = MakeNotification(L"NID_IDLE");
    LNotification* address = early.Get();
    LNotification::SetPoolingEnabled(true);
    early = nullptr;
    EXPECT_EQ(1, LNotification::GetPooledCount());
    RCPtr<LNotification> reused = MakeNotification(L"NID_IDLE");
    EXPECT_EQ(address, reused.Get());
}

TEST_F(NotificationPoolTest, NewNeverTakesFromThePool)
{
    LNotification::SetPoolingEnabled(true);
    MakeNotification(L"NID_IDLE");
    RCPtr<LNotification> fresh;
    LNotification::New(fresh, L"NID_IDLE");
    EXPECT_EQ(1, LNotification::GetPooledCount());
    EXPECT_EQ(2, LNotification::GetLiveCount());
}

TEST_F(NotificationPoolTest, ThreadsCreatingAndReleasingShareThePoolSafely)
{
    LNotification::SetPoolingEnabled(true);
    auto work = [](int seed) {
        for (int i = 0; i < 2000; ++i) {
            RCPtr<LNotification> a = MakeNotification(L"NID_MIDI_DATA_CAPTURED", seed + i);
            RCPtr<LNotification> b = MakeNotification(L"NID_MOUSE_MOVE");
            if (TestData::ValueOf(a) != seed + i || b->GetData())
                ADD_FAILURE() << "a reused notification carried the wrong data";
        }
    };
    std::thread t1(work, 0);
    std::thread t2(work, 100000);
    work(200000);
    t1.join();
    t2.join();
    EXPECT_EQ(LNotification::GetPooledCount(), LNotification::GetLiveCount());
    EXPECT_LE(LNotification::GetPooledCount(), 6);
}

} // namespace
