#include "NotificationTestSupport.h"

#include "Utilities/Storage/RCPtrQueue.h"

#include <thread>

using namespace NotificationTest;

namespace {

using Strings = std::vector<std::string>;

// ---------------------------------------------------------------------------
// The ring

class RingTest : public NotificationFixture
{
protected:
    using Ring = RCPtrQueue<LRefCountedObject, 4>;

    static std::vector<int> Drain(Ring& ring)
    {
        std::vector<int> values;
        RCPtr<LRefCountedObject> item;
        while (ring.GetCount() > 0) {
            ring.Dequeue(item);
            values.push_back(dynamic_cast<TestData*>(item.Get())->mValue);
        }
        return values;
    }
};

TEST_F(RingTest, ItGrowsWhileWrappedAndKeepsTheOrder)
{
    Ring ring;
    RCPtr<LRefCountedObject> item;
    for (int i = 1; i <= 3; ++i)
        ring.Enqueue(TestData::Make(i));
    ring.Dequeue(item);
    ring.Dequeue(item);
    ring.Enqueue(TestData::Make(4)); // into the last slot
    ring.Enqueue(TestData::Make(5)); // wraps to the first slot: full again
    EXPECT_EQ(3, ring.GetCount());
    EXPECT_EQ(4, ring.GetCapacity());

    ring.Enqueue(TestData::Make(6)); // full and wrapped: grows
    ring.Enqueue(TestData::Make(7));
    EXPECT_EQ(5, ring.GetCount());
    EXPECT_EQ(6, ring.GetCapacity());
    EXPECT_EQ((std::vector<int>{3, 4, 5, 6, 7}), Drain(ring));
}

TEST_F(RingTest, ItGrowsWhenFullFromTheFirstSlotAndKeepsTheOrder)
{
    Ring ring;
    for (int i = 1; i <= 5; ++i)
        ring.Enqueue(TestData::Make(i));
    EXPECT_EQ(5, ring.GetCount());
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5}), Drain(ring));
    for (int i = 6; i <= 9; ++i)
        ring.Enqueue(TestData::Make(i));
    EXPECT_EQ(6, ring.GetCapacity()) << "the ring never shrinks";
    EXPECT_EQ((std::vector<int>{6, 7, 8, 9}), Drain(ring));
}

TEST_F(RingTest, ADequeuedItemPassesItsReferenceToTheCaller)
{
    Ring ring;
    RCPtr<LRefCountedObject> data = TestData::Make(1);
    ring.Enqueue(data);
    EXPECT_EQ(2, data->GetRefCount());
    RCPtr<LRefCountedObject> item;
    ring.Dequeue(item);
    EXPECT_EQ(2, data->GetRefCount());
    item = nullptr;
    EXPECT_EQ(1, data->GetRefCount());
}

TEST_F(RingTest, DequeueOnAnEmptyRingThrowsItsText)
{
    RCPtrQueue<LNotification, 256> ring(&LNotificationQueue::GetQueueLock());
    EXPECT_EQ(256, ring.GetCapacity());
    RCPtr<LNotification> item;
    std::string text;
    try {
        ring.Dequeue(item);
    } catch (const std::runtime_error& e) {
        text = e.what();
    }
    EXPECT_EQ("Runtime Error : KX::RCPtrQueue<class KX::LNotification,256>::Dequeue : "
              "utilities/Storage/RCPtrQueue : Line 104",
              text);
}

// ---------------------------------------------------------------------------
// Queues and centres

class QueueTest : public NotificationFixture
{
protected:
    void SetUp() override
    {
        NotificationFixture::SetUp();
        LNotificationCenter::Create(mCenter, L"test");
        mReceiver = Recorder::Create(&mLog, "R");
        mReceiver->Register(Center(), L"NID_VALUE_CHANGE");
    }
    void TearDown() override
    {
        if (mReceiver)
            mReceiver->mAction = nullptr;
        mReceiver = nullptr;
        mCenter = nullptr;
        NotificationFixture::TearDown();
    }

    RCPtr<LNotificationDistributor> Center() const { return RCPtr<LNotificationDistributor>(mCenter); }

    KXRESULT Post(int value, const wchar_t* name = L"NID_VALUE_CHANGE")
    {
        return mCenter->PostNotification(MakeNotification(name, value));
    }

    RCPtr<LNotificationCenter> mCenter;
    RCPtr<Recorder> mReceiver;
};

TEST_F(QueueTest, PostedNotificationsArriveInTheNextPassInOrder)
{
    Post(1);
    Post(2);
    Post(3);
    EXPECT_TRUE(mLog.empty()) << "posting delivers nothing";
    EXPECT_FALSE(mCenter->ProcessNotifications(false));
    EXPECT_EQ((Strings{"R:1", "R:2", "R:3"}), mLog);
    EXPECT_EQ(0, mCenter->GetQueuedCount());
}

TEST_F(QueueTest, APostMadeDuringAPassArrivesInTheFollowingPass)
{
    mReceiver->mAction = [this](auto&, const RCPtr<LNotification>& n) {
        if (TestData::ValueOf(n) < 3)
            Post(TestData::ValueOf(n) + 10);
    };
    Post(1);
    Post(2);
    EXPECT_TRUE(mCenter->ProcessNotifications(false)) << "the handler's posts are left";
    EXPECT_EQ((Strings{"R:1", "R:2"}), mLog);
    EXPECT_FALSE(mCenter->ProcessNotifications(false));
    EXPECT_EQ((Strings{"R:1", "R:2", "R:11", "R:12"}), mLog);
}

TEST_F(QueueTest, TheIdleNotificationFollowsTheQueuedOnesOnlyWhenAsked)
{
    RCPtr<Recorder> idle = Recorder::Create(&mLog, "idle");
    idle->Register(Center(), L"NID_IDLE");
    Post(1);
    mCenter->ProcessNotifications(true);
    EXPECT_EQ((Strings{"R:1", "idle"}), mLog);
    mLog.clear();
    Post(2);
    mCenter->ProcessNotifications(false);
    EXPECT_EQ((Strings{"R:2"}), mLog);
    idle->UnregisterAll();
}

TEST_F(QueueTest, APassEnteredAgainDeliversNothingButStillSendsIdle)
{
    RCPtr<Recorder> idle = Recorder::Create(&mLog, "idle");
    idle->Register(Center(), L"NID_IDLE");
    bool inner = false;
    mReceiver->mAction = [&](auto&, auto&) {
        if (inner)
            return;
        inner = true;
        mLog.push_back("enter");
        EXPECT_TRUE(mCenter->ProcessNotifications(true));
        mLog.push_back("leave");
    };
    Post(1);
    Post(2);
    mCenter->ProcessNotifications(false);
    EXPECT_EQ((Strings{"R:1", "enter", "idle", "leave", "R:2"}), mLog);
    idle->UnregisterAll();
}

TEST_F(QueueTest, ANotificationSitsInOneQueueAtATime)
{
    RCPtr<LNotificationCenter> other;
    LNotificationCenter::Create(other, L"other");
    RCPtr<LNotification> notification = MakeNotification(L"NID_VALUE_CHANGE", 1);
    EXPECT_EQ(S_OK, mCenter->PostNotification(notification));
    EXPECT_TRUE(notification->IsQueued());
    EXPECT_EQ(E_INVALIDARG, mCenter->PostNotification(notification));
    EXPECT_EQ(E_INVALIDARG, other->PostNotification(notification));
    EXPECT_EQ(E_INVALIDARG, mCenter->PostNotification(RCPtr<LNotification>()));
    mCenter->ProcessNotifications(false);
    EXPECT_FALSE(notification->IsQueued());
    EXPECT_EQ(S_OK, mCenter->PostNotification(notification)) << "after delivery it can go again";
    mCenter->ProcessNotifications(false);
    EXPECT_EQ((Strings{"R:1", "R:1"}), mLog);
}

TEST_F(QueueTest, ThreeHundredPostsBeforeAPassAllArriveInOrder)
{
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(S_OK, Post(i));
    EXPECT_EQ(300, mCenter->GetQueuedCount());
    mCenter->ProcessNotifications(false);
    ASSERT_EQ(300u, mLog.size());
    for (int i = 0; i < 300; ++i)
        EXPECT_EQ("R:" + std::to_string(i), mLog[i]);
}

TEST_F(QueueTest, DiscardDropsTheQueuedNotificationsUndelivered)
{
    LNotification::SetPoolingEnabled(true);
    Post(1);
    Post(2);
    EXPECT_FALSE(mCenter->DiscardNotifications());
    mCenter->ProcessNotifications(false);
    EXPECT_TRUE(mLog.empty());
    EXPECT_EQ(2, LNotification::GetPooledCount()) << "dropped notifications are recycled";
}

TEST_F(QueueTest, ReleasingACentreDropsItsQueueAndAsksItsClientsToGo)
{
    Post(1);
    mCenter = nullptr;
    EXPECT_EQ(0, mReceiver->GetRegistrationCount());
    EXPECT_EQ(1, mReceiver->GetRefCount());
    EXPECT_TRUE(mLog.empty());
    EXPECT_EQ(0, LNotification::GetLiveCount()) << "the queued one and the idle notification are gone";
}

TEST_F(QueueTest, TheCentreManagerMakesEachNamedCentreOnce)
{
    const RCPtr<LNotificationCenterManager>& manager = LNotificationCenterManager::GetInstance();
    EXPECT_EQ(manager.Get(), LNotificationCenterManager::GetInstance().Get());
    RCPtr<LNotificationCenter> app = manager->GetApplicationCenter();
    ASSERT_TRUE(app);
    EXPECT_TRUE(app->GetName() == L"application");
    EXPECT_EQ(app.Get(), manager->GetCenter(StringT<wchar_t, char>(L"application")).Get());
    EXPECT_EQ(app.Get(), manager->FindCenter(StringT<wchar_t, char>(L"application")).Get());
    EXPECT_TRUE(manager->GetCenter(StringT<wchar_t, char>()).IsNull());
    EXPECT_TRUE(manager->FindCenter(StringT<wchar_t, char>(L"Application")).IsNull());
    EXPECT_EQ(1, manager->GetCenterCount());
    RCPtr<LNotificationCenter> second = manager->GetCenter(StringT<wchar_t, char>(L"second"));
    EXPECT_EQ(2, manager->GetCenterCount());

    // One pass over every centre, the last made first.
    RCPtr<Recorder> first = Recorder::Create(&mLog, "app");
    RCPtr<Recorder> other = Recorder::Create(&mLog, "second");
    first->Register(RCPtr<LNotificationDistributor>(app), L"NID_VALUE_CHANGE");
    other->Register(RCPtr<LNotificationDistributor>(second), L"NID_VALUE_CHANGE");
    app->PostNotification(MakeNotification(L"NID_VALUE_CHANGE", 1));
    second->PostNotification(MakeNotification(L"NID_VALUE_CHANGE", 2));
    EXPECT_FALSE(manager->ProcessNotifications(false));
    EXPECT_EQ((Strings{"second:2", "app:1"}), mLog);

    // Releasing the manager releases the centres and their registrations.
    app = nullptr;
    second = nullptr;
    LNotificationCenterManager::sInstance = nullptr;
    EXPECT_EQ(0, first->GetRegistrationCount());
    EXPECT_EQ(0, other->GetRegistrationCount());
}

TEST_F(QueueTest, AHandlerThatReleasesTheManagerDuringAPassEndsItCleanly)
{
    RCPtr<LNotificationCenter> app = LNotificationCenterManager::GetInstance()->GetApplicationCenter();
    RCPtr<Recorder> listener = Recorder::Create(&mLog, "app");
    listener->Register(RCPtr<LNotificationDistributor>(app), L"NID_APP_EXIT_REQ");
    listener->mAction = [](auto&, auto&) { LNotificationCenterManager::sInstance = nullptr; };
    app->PostNotification(MakeNotification(L"NID_APP_EXIT_REQ", 1));
    app->PostNotification(MakeNotification(L"NID_APP_EXIT_REQ", 2));
    app = nullptr;

    EXPECT_FALSE(LNotificationCenterManager::GetInstance()->ProcessNotifications(true));
    EXPECT_EQ((Strings{"app:1", "app:2"}), mLog) << "the pass that began ends with the centre intact";
    EXPECT_TRUE(LNotificationCenterManager::sInstance.IsNull());
    EXPECT_EQ(0, listener->GetRegistrationCount()) << "the centre went after the pass";
    listener->mAction = nullptr;
}

TEST_F(QueueTest, APostingReceiverTurnsASendIntoAPost)
{
    RCPtr<LNotificationQueue::LPostingReceiver> posting;
    mCenter->GetPostingReceiver(posting);
    ASSERT_TRUE(posting);
    RCPtr<TestDistributor> source = TestDistributor::Create();
    RCPtr<LNotificationDistributor> sourceSender(source);
    EXPECT_EQ(S_OK, source->RegisterClient(RCPtr<LNotificationReceiver>(posting), L"NID_VALUE_CHANGE", 0));

    RCPtr<LNotification> sent = MakeNotification(L"NID_VALUE_CHANGE", 4);
    source->SendNotification(sent);
    EXPECT_TRUE(mLog.empty());
    EXPECT_FALSE(sent->IsQueued()) << "a copy is posted, never the notification itself";
    EXPECT_EQ(1, mCenter->GetQueuedCount());
    mCenter->ProcessNotifications(false);
    EXPECT_EQ((Strings{"R:4"}), mLog);

    // Asked to go, it refuses and stays registered.
    EXPECT_EQ(E_FAIL, posting->UnregisterNotification(sourceSender, L"NID_VALUE_CHANGE"));
    source->UnregisterAllClients();
    EXPECT_EQ(1, source->GetClientCount());
    EXPECT_EQ(S_OK, source->UnregisterClient(RCPtr<LNotificationReceiver>(posting), L"NID_VALUE_CHANGE"));
}

TEST_F(QueueTest, AfterShutDownTheQueueRefusesPostsAndItsPostingReceiverIgnoresWhatItGets)
{
    RCPtr<LNotificationQueue::LPostingReceiver> posting;
    mCenter->GetPostingReceiver(posting);
    mCenter = nullptr; // the centre's hook shuts its queue down
    EXPECT_FALSE(posting->IsAttached());
    EXPECT_EQ(S_FALSE, posting->ReceiveNotification(RCPtr<LNotificationDistributor>(),
                                                    MakeNotification(L"NID_VALUE_CHANGE", 1)));
    EXPECT_EQ(E_FAIL, posting->UnregisterNotification(RCPtr<LNotificationDistributor>(), L"NID_VALUE_CHANGE"));
}

// A control that is also a queue, as the status bar is: its queue delivers
// through its own distributor part to its own latest-only handler.
class StatusBarLike : public LNotificationDistributor, public LNotificationClient, public LNotificationQueue,
                      private Tracked
{
public:
    using Handler = LNotificationHandler<StatusBarLike>;

    static RCPtr<StatusBarLike> Create(std::vector<std::string>* log)
    {
        RCPtr<StatusBarLike> bar(new StatusBarLike(log));
        RCPtr<LNotificationDistributor> self(bar);
        bar->SetDistributor(self);
        bar->AdjustInternalReferenceCount(1);
        bar->mHandlers->AddHandler(&StatusBarLike::OnSetText, self, L"NID_SET_STATUS_TEXT",
                                   LNotificationDistributor::LatestOnly);
        return bar;
    }

    KXRESULT PostText(int text) { return PostNotification(MakeNotification(L"NID_SET_STATUS_TEXT", text)); }

    KXRESULT OnSetText(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
    {
        mLog->push_back("shown:" + std::to_string(TestData::ValueOf(notification)));
        return S_OK;
    }

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override
    {
        return mHandlers->HandleNotification(sender, notification);
    }
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override
    {
        mHandlers->RemoveHandler(sender, identifier);
        return Unregister(sender, identifier);
    }
    KXRESULT ReleaseInternalReferences() override
    {
        Shutdown();
        AdjustInternalReferenceCount(-1); // the queue's reference to its distributor part
        UnregisterAllClients();
        UnregisterAll();
        return LRefCountedObject::ReleaseInternalReferences();
    }

private:
    explicit StatusBarLike(std::vector<std::string>* log) : mHandlers(new Handler(this)), mLog(log) {}

    RCPtr<Handler> mHandlers;
    std::vector<std::string>* mLog;
};

TEST_F(QueueTest, ALatestOnlyRegistrationGetsOnlyTheLastPostWhileOrdinaryOnesGetAll)
{
    RCPtr<StatusBarLike> bar = StatusBarLike::Create(&mLog);
    RCPtr<Recorder> listener = Recorder::Create(&mLog, "R");
    listener->Register(RCPtr<LNotificationDistributor>(bar), L"NID_SET_STATUS_TEXT");

    EXPECT_EQ(S_OK, bar->PostText(1));
    EXPECT_EQ(S_OK, bar->PostText(2));
    EXPECT_EQ(S_OK, bar->PostText(3));
    bar->ProcessNotifications(false);
    EXPECT_EQ((Strings{"R:1", "R:2", "R:3", "shown:3"}), mLog);

    mLog.clear();
    bar->PostText(4);
    bar->ProcessNotifications(false);
    EXPECT_EQ((Strings{"R:4", "shown:4"}), mLog);
    listener->UnregisterAll();
}

TEST_F(QueueTest, AControlThatIsAlsoAQueueIsFreedWhenItsOutsideReferenceGoes)
{
    RCPtr<StatusBarLike> bar = StatusBarLike::Create(&mLog);
    bar->PostText(1);
    EXPECT_EQ(3, Tracked::Live().load()) << "the bar, its queued text and the fixture's receiver";
    bar = nullptr;
    EXPECT_EQ(1, Tracked::Live().load()) << "the bar and its undelivered text are gone";
    EXPECT_TRUE(mLog.empty());
}

TEST_F(QueueTest, APostIntoAQueueWithoutDistributorFails)
{
    RCPtr<StatusBarLike> bar = StatusBarLike::Create(&mLog);
    EXPECT_EQ(E_FAIL, bar->SetDistributor(Center())) << "set once only";
    bar->Shutdown();
    EXPECT_EQ(E_FAIL, bar->PostText(1));
    EXPECT_EQ(E_FAIL, bar->SetDistributor(Center())) << "not after shut-down";
    bar->Shutdown(); // a second call does nothing
    bar->AdjustInternalReferenceCount(-1); // what its hook would have dropped
    bar = nullptr;
}

// A worker thread posts while the user-interface thread runs passes; the ring
// grows under both. Every notification arrives once and in order.
TEST_F(QueueTest, TenThousandPostsFromAWorkerArriveOnceAndInOrder)
{
    constexpr int kPosts = 10000;
    LNotification::SetPoolingEnabled(true);
    std::vector<int> received;
    received.reserve(kPosts);
    mReceiver->mAction = [&received](auto&, const RCPtr<LNotification>& n) {
        received.push_back(TestData::ValueOf(n));
    };
    std::atomic<bool> done{false};
    std::atomic<int> failures{0};
    std::thread worker([&] {
        for (int i = 0; i < kPosts; ++i) {
            if (mCenter->PostNotification(MakeNotification(L"NID_VALUE_CHANGE", i)) != S_OK)
                failures.fetch_add(1);
        }
        done.store(true);
    });
    int passes = 0;
    while (!done.load() || mCenter->GetQueuedCount() > 0) {
        mCenter->ProcessNotifications(true);
        ++passes;
    }
    worker.join();
    mCenter->ProcessNotifications(false);
    mLog.clear();

    EXPECT_EQ(0, failures.load());
    ASSERT_EQ(static_cast<size_t>(kPosts), received.size());
    for (int i = 0; i < kPosts; ++i)
        ASSERT_EQ(i, received[i]) << "at position " << i;
    EXPECT_GT(passes, 0);
}

} // namespace
