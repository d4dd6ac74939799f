#include "NotificationTestSupport.h"

using namespace NotificationTest;

namespace {

using Strings = std::vector<std::string>;

class DistributionTest : public NotificationFixture
{
protected:
    void SetUp() override
    {
        NotificationFixture::SetUp();
        mSender = TestDistributor::Create();
        mR1 = Recorder::Create(&mLog, "R1");
        mR2 = Recorder::Create(&mLog, "R2");
        mR3 = Recorder::Create(&mLog, "R3");
    }

    void TearDown() override
    {
        for (RCPtr<Recorder>* r : {&mR1, &mR2, &mR3, &mR4}) {
            if (*r)
                (*r)->mAction = nullptr;
            *r = nullptr;
        }
        mSender = nullptr;
        NotificationFixture::TearDown();
    }

    RCPtr<LNotificationDistributor> Sender() const { return RCPtr<LNotificationDistributor>(mSender); }

    void RegisterAll(const wchar_t* name = L"NID_VALUE_CHANGE")
    {
        mR1->Register(Sender(), name);
        mR2->Register(Sender(), name);
        mR3->Register(Sender(), name);
    }

    KXRESULT Send(const wchar_t* name = L"NID_VALUE_CHANGE")
    {
        return mSender->SendNotification(MakeNotification(name));
    }

    RCPtr<TestDistributor> mSender;
    RCPtr<Recorder> mR1, mR2, mR3, mR4;
};

TEST_F(DistributionTest, TheMostRecentlyRegisteredReceiverIsCalledFirst)
{
    RegisterAll();
    EXPECT_EQ(S_OK, Send());
    EXPECT_EQ((Strings{"R3", "R2", "R1"}), mLog);
}

TEST_F(DistributionTest, AReceiverThatUnregistersItselfDuringThePassLetsTheOlderOnesRun)
{
    RegisterAll();
    mR2->mAction = [this](auto&, auto&) { mR2->Unregister(Sender(), L"NID_VALUE_CHANGE"); };
    Send();
    EXPECT_EQ((Strings{"R3", "R2", "R1"}), mLog);
    mLog.clear();
    Send();
    EXPECT_EQ((Strings{"R3", "R1"}), mLog);
}

TEST_F(DistributionTest, AnOlderReceiverRemovedDuringThePassIsNotCalledAndNobodyIsSkipped)
{
    RCPtr<Recorder> r0 = Recorder::Create(&mLog, "R0");
    r0->Register(Sender(), L"NID_VALUE_CHANGE");
    RegisterAll();
    mR2->mAction = [this](auto&, auto&) { mR1->Unregister(Sender(), L"NID_VALUE_CHANGE"); };
    Send();
    EXPECT_EQ((Strings{"R3", "R2", "R0"}), mLog);
    r0->UnregisterAll();
}

TEST_F(DistributionTest, ANewerReceiverRemovedDuringThePassChangesNothingBelow)
{
    RegisterAll();
    mR2->mAction = [this](auto&, auto&) { mR3->Unregister(Sender(), L"NID_VALUE_CHANGE"); };
    Send();
    EXPECT_EQ((Strings{"R3", "R2", "R1"}), mLog);
}

TEST_F(DistributionTest, AReceiverRegisteredDuringThePassIsCalledFirstInTheNextOne)
{
    RegisterAll();
    mR4 = Recorder::Create(&mLog, "R4");
    mR2->mAction = [this](auto&, auto&) {
        mR4->Register(Sender(), L"NID_VALUE_CHANGE");
        mR3->Register(Sender(), L"NID_VALUE_CHANGE"); // flags only: stays in place
    };
    Send();
    EXPECT_EQ((Strings{"R3", "R2", "R1"}), mLog);
    mLog.clear();
    mR2->mAction = nullptr;
    Send();
    EXPECT_EQ((Strings{"R4", "R3", "R2", "R1"}), mLog);
}

TEST_F(DistributionTest, ANestedSendOfTheSameIdentifierEndsTheOuterPass)
{
    RegisterAll();
    bool nested = false;
    mR2->mAction = [this, &nested](auto&, auto&) {
        if (nested)
            return;
        nested = true;
        mLog.push_back("nested:");
        Send();
    };
    Send();
    // The nested pass runs R3, R2, R1 and leaves the shared delivery index at
    // R1, so the outer pass has nothing left below it.
    EXPECT_EQ((Strings{"R3", "R2", "nested:", "R3", "R2", "R1"}), mLog);
}

TEST_F(DistributionTest, ANestedSendOfAnotherIdentifierLetsTheOuterPassGoOn)
{
    RegisterAll();
    mR1->Register(Sender(), L"NID_MOUSE_UP");
    mR2->mAction = [this](auto&, const RCPtr<LNotification>& n) {
        if (n->GetID() == InternNotificationID(L"NID_VALUE_CHANGE"))
            Send(L"NID_MOUSE_UP");
    };
    Send();
    EXPECT_EQ((Strings{"R3", "R2", "R1", "R1"}), mLog);
}

TEST_F(DistributionTest, RegisteringTwiceAnswersOneAndReplacesTheFlags)
{
    RCPtr<LNotificationReceiver> receiver(mR1);
    EXPECT_EQ(S_OK, mSender->RegisterClient(receiver, L"NID_VALUE_CHANGE", 0));
    EXPECT_EQ(S_FALSE, mSender->RegisterClient(receiver, L"NID_VALUE_CHANGE", 6));
    uint32_t flags = 0;
    EXPECT_EQ(S_OK, mSender->GetClientFlags(receiver, L"NID_VALUE_CHANGE", flags));
    EXPECT_EQ(6u, flags);
    EXPECT_EQ(1, mSender->FindClientPool(L"NID_VALUE_CHANGE")->GetCount());
    EXPECT_EQ(1, mSender->GetClientCount());
    EXPECT_EQ(S_OK, mSender->UnregisterClient(receiver, L"NID_VALUE_CHANGE"));
}

TEST_F(DistributionTest, ADuplicateClientRegistrationCountsOnce)
{
    const int32_t senderRefs = mSender->GetRefCount();
    const int32_t clientRefs = mR1->GetRefCount();
    const wchar_t* id = mR1->Register(Sender(), L"NID_VALUE_CHANGE");
    EXPECT_EQ(InternNotificationID(L"NID_VALUE_CHANGE"), id);
    EXPECT_EQ(id, mR1->Register(Sender(), L"NID_VALUE_CHANGE", 4));

    EXPECT_EQ(1, mR1->GetRegistrationCount());
    EXPECT_EQ(1, mR1->GetDistributorCount());
    EXPECT_EQ(1, mR1->GetInternalRefCount());
    EXPECT_EQ(clientRefs + 1, mR1->GetRefCount());
    EXPECT_EQ(2, mSender->GetInternalRefCount()) << "one registration, one active-list entry";
    EXPECT_EQ(senderRefs + 2, mSender->GetRefCount());
    uint32_t flags = 0;
    EXPECT_EQ(S_OK, mSender->GetClientFlags(RCPtr<LNotificationReceiver>(mR1), id, flags));
    EXPECT_EQ(4u, flags);
}

TEST_F(DistributionTest, SendWithoutRegistrationsAnswersOneAndTheEmptyPoolStays)
{
    EXPECT_EQ(S_FALSE, Send());
    mR1->Register(Sender(), L"NID_VALUE_CHANGE");
    EXPECT_EQ(S_OK, mR1->Unregister(Sender(), L"NID_VALUE_CHANGE"));
    EXPECT_TRUE(mSender->FindClientPool(L"NID_VALUE_CHANGE"));
    EXPECT_EQ(S_FALSE, Send());
    EXPECT_EQ(E_INVALIDARG, mSender->SendNotification(RCPtr<LNotification>()));
    EXPECT_TRUE(mLog.empty());
}

TEST_F(DistributionTest, ALatestOnlyReceiverNeverGetsADirectSend)
{
    mR1->Register(Sender(), L"NID_SET_STATUS_TEXT", LNotificationDistributor::LatestOnly);
    mR2->Register(Sender(), L"NID_SET_STATUS_TEXT");
    EXPECT_EQ(S_OK, Send(L"NID_SET_STATUS_TEXT"));
    EXPECT_EQ((Strings{"R2"}), mLog);
    mR2->Unregister(Sender(), L"NID_SET_STATUS_TEXT");
    mLog.clear();
    EXPECT_EQ(S_OK, Send(L"NID_SET_STATUS_TEXT")) << "a pool with registrations answers 0 even when all skip";
    EXPECT_TRUE(mLog.empty());
}

TEST_F(DistributionTest, RegistrationResultsAndErrors)
{
    RCPtr<LNotificationReceiver> receiver(mR1);
    const RCPtr<LNotificationReceiver> none;
    const RCPtr<LNotificationDistributor> noSender;
    uint32_t flags = 0;

    EXPECT_EQ(E_INVALIDARG, mSender->RegisterClient(none, L"NID_VALUE_CHANGE", 0));
    EXPECT_EQ(S_FALSE, mSender->RegisterClient(receiver, L"", 0));
    EXPECT_EQ(S_FALSE, mSender->RegisterClient(receiver, nullptr, 0));
    EXPECT_EQ(E_INVALIDARG, mSender->UnregisterClient(none, L"NID_VALUE_CHANGE"));
    EXPECT_EQ(E_INVALIDARG, mSender->UnregisterClient(receiver, L""));
    EXPECT_EQ(S_FALSE, mSender->UnregisterClient(receiver, L"NID_VALUE_CHANGE"));
    EXPECT_EQ(E_INVALIDARG, mSender->UnregisterClientFromAll(none));
    EXPECT_EQ(E_FAIL, mSender->GetClientFlags(receiver, L"", flags));
    EXPECT_EQ(E_FAIL, mSender->GetClientFlags(receiver, L"NID_VALUE_CHANGE", flags));
    EXPECT_EQ(nullptr, mR1->Register(noSender, L"NID_VALUE_CHANGE"));
    EXPECT_EQ(nullptr, mR1->Register(Sender(), L""));
    EXPECT_EQ(0, mSender->GetClientCount());
    EXPECT_EQ(0, mR1->GetRegistrationCount());

    // A client without registrations answers 1 before it looks at anything.
    EXPECT_EQ(S_FALSE, mR1->Unregister(noSender, nullptr));
    mR1->Register(Sender(), L"NID_VALUE_CHANGE");
    EXPECT_EQ(E_INVALIDARG, mR1->Unregister(noSender, L"NID_VALUE_CHANGE"));
    EXPECT_EQ(E_INVALIDARG, mR1->Unregister(Sender(), nullptr));
    EXPECT_EQ(S_FALSE, mR1->Unregister(Sender(), L"NID_MOUSE_UP"));
    EXPECT_EQ(E_FAIL, mSender->GetClientFlags(RCPtr<LNotificationReceiver>(mR2), L"NID_VALUE_CHANGE", flags));
}

TEST_F(DistributionTest, UnregisterAllLeavesEveryDistributor)
{
    RCPtr<TestDistributor> other = TestDistributor::Create();
    mR1->Register(Sender(), L"NID_VALUE_CHANGE");
    mR1->Register(Sender(), L"NID_MOUSE_UP");
    mR1->Register(RCPtr<LNotificationDistributor>(other), L"NID_VALUE_CHANGE");
    EXPECT_EQ(3, mR1->GetRegistrationCount());
    EXPECT_EQ(2, mR1->GetDistributorCount());
    EXPECT_EQ(3, mR1->GetInternalRefCount());

    EXPECT_EQ(3, mR1->UnregisterAll());
    EXPECT_EQ(0, mR1->GetRegistrationCount());
    EXPECT_EQ(0, mR1->GetDistributorCount());
    EXPECT_EQ(0, mR1->GetInternalRefCount());
    EXPECT_EQ(1, mR1->GetRefCount());
    EXPECT_FALSE(mSender->IsClientRegistered(RCPtr<LNotificationReceiver>(mR1)));
    EXPECT_FALSE(other->IsClientRegistered(RCPtr<LNotificationReceiver>(mR1)));
    EXPECT_EQ(1, mSender->GetRefCount());
    EXPECT_EQ(0, mR1->UnregisterAll());
}

TEST_F(DistributionTest, TheDistributorListStaysUntilTheLastRegistrationWithItGoes)
{
    mR1->Register(Sender(), L"NID_VALUE_CHANGE");
    mR1->Register(Sender(), L"NID_MOUSE_UP");
    mR1->Unregister(Sender(), L"NID_VALUE_CHANGE");
    EXPECT_EQ(1, mR1->GetDistributorCount());
    mR1->Unregister(Sender(), L"NID_MOUSE_UP");
    EXPECT_EQ(0, mR1->GetDistributorCount());
}

TEST_F(DistributionTest, ADistributorIsActiveExactlyWhileItHasRegistrations)
{
    EXPECT_FALSE(mSender->IsActive());
    mR1->Register(Sender(), L"NID_VALUE_CHANGE");
    mR2->Register(Sender(), L"NID_VALUE_CHANGE");
    EXPECT_TRUE(mSender->IsActive());
    EXPECT_EQ(1, LNotificationDistributor::GetActiveDistributorCount());
    mR1->Unregister(Sender(), L"NID_VALUE_CHANGE");
    EXPECT_TRUE(mSender->IsActive());
    mR2->Unregister(Sender(), L"NID_VALUE_CHANGE");
    EXPECT_FALSE(mSender->IsActive());
    EXPECT_EQ(0, mSender->GetInternalRefCount());
    mR2->Register(Sender(), L"NID_VALUE_CHANGE");
    EXPECT_TRUE(mSender->IsActive());
    mR2->UnregisterAll();
}

TEST_F(DistributionTest, AClientOnlyRegistrationsHoldGoesWhenItsLastOutsideReferenceDoes)
{
    mR1->Register(Sender(), L"NID_VALUE_CHANGE");
    mR1->Register(Sender(), L"NID_MOUSE_UP");
    mR1 = nullptr; // the hook unregisters it everywhere
    EXPECT_EQ(0, mSender->GetClientCount());
    EXPECT_FALSE(mSender->IsActive());
    EXPECT_EQ(1, mSender->GetRefCount());
}

TEST_F(DistributionTest, ADistributorThatOnlyItsRegistrationsHoldGoesWithTheLastOne)
{
    mR1->Register(Sender(), L"NID_VALUE_CHANGE");
    mR1->Register(Sender(), L"NID_MOUSE_UP");
    mR2->Register(Sender(), L"NID_MOUSE_UP");
    mSender = nullptr;
    EXPECT_EQ(4, Tracked::Live().load()) << "kept alive by its registrations";
    mR2->UnregisterAll();
    EXPECT_EQ(2, mR1->UnregisterAll()) << "the last removal frees the distributor inside the loop";
    EXPECT_EQ(3, Tracked::Live().load());
}

TEST_F(DistributionTest, UnregisterAllClientsAsksEveryReceiverToGo)
{
    RegisterAll();
    mR1->Register(Sender(), L"NID_MOUSE_UP");
    EXPECT_EQ(S_OK, mSender->UnregisterAllClients());
    EXPECT_EQ(0, mSender->GetClientCount());
    EXPECT_EQ(0, mR1->GetRegistrationCount());
    EXPECT_EQ(0, mR3->GetRegistrationCount());
    EXPECT_EQ(1, mSender->GetRefCount());
}

TEST_F(DistributionTest, SendNotificationToDeliversOnePositionAndAnswersTheDeliveryIndex)
{
    RegisterAll(L"NID_SIBLING_KEY");
    RCPtr<LNotificationDistributor::LNotificationClientPool> pool = mSender->FindClientPool(L"NID_SIBLING_KEY");
    ASSERT_TRUE(pool);
    ASSERT_EQ(3, pool->GetCount());
    EXPECT_EQ(mR2.Get(), dynamic_cast<Recorder*>(pool->GetRegistration(1)->mReceiver.Get()));
    RCPtr<LNotification> key = MakeNotification(L"NID_SIBLING_KEY");
    EXPECT_EQ(0, pool->SendNotificationTo(Sender(), 0, key));
    EXPECT_EQ(2, pool->SendNotificationTo(Sender(), 2, key));
    EXPECT_EQ((Strings{"R1", "R3"}), mLog);
    EXPECT_EQ(E_INVALIDARG, pool->SendNotificationTo(Sender(), 3, key));
}

// A control-like object, both client and distributor, registered with itself
// and with another one in both directions: references in a ring.
TEST_F(DistributionTest, AnObjectThatIsClientAndDistributorIsFreedWhenItsOutsideReferencesGo)
{
    RCPtr<Widget> a = Widget::Create();
    RCPtr<Widget> b = Widget::Create();
    RCPtr<LNotificationDistributor> aSender(a);
    RCPtr<LNotificationDistributor> bSender(b);
    a->Register(bSender, L"NID_VALUE_CHANGE");
    b->Register(aSender, L"NID_LEFT_CLICK");
    a->Register(aSender, L"NID_MOUSE_DOWN");
    mR1->Register(aSender, L"NID_LEFT_CLICK");
    EXPECT_EQ(4 + 2, Tracked::Live().load());

    aSender = nullptr;
    a = nullptr;
    EXPECT_EQ(4 + 1, Tracked::Live().load()) << "a is gone";
    EXPECT_EQ(0, mR1->GetRegistrationCount());
    EXPECT_EQ(0, b->LNotificationClient::GetRegistrationCount()) << "a's listeners were asked to go";
    EXPECT_EQ(0, b->GetInternalRefCount()) << "a left b";
    EXPECT_EQ(2, b->GetRefCount());

    bSender = nullptr;
    b = nullptr;
    EXPECT_EQ(4, Tracked::Live().load());
}

} // namespace
