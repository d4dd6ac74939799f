#include "NotificationTestSupport.h"

#include <stdexcept>

using namespace NotificationTest;

namespace KX {

// An owner of a handler table, in the framework's namespace so that the
// guard's texts name it as they name the framework's own classes.
class LTestScrollView : public LNotificationClient, private NotificationTest::Tracked
{
public:
    using Handler = LNotificationHandler<LTestScrollView>;

    static RCPtr<LTestScrollView> Create(std::vector<std::string>* log)
    {
        return RCPtr<LTestScrollView>(new LTestScrollView(log));
    }

    KXRESULT OnF(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
    {
        mLog->push_back("F");
        return 5;
    }
    KXRESULT OnG(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
    {
        mLog->push_back("G");
        return 6;
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

    RCPtr<Handler> mHandlers;

private:
    explicit LTestScrollView(std::vector<std::string>* log) : mHandlers(new Handler(this)), mLog(log) {}

    std::vector<std::string>* mLog;
};

} // namespace KX

namespace {

using Strings = std::vector<std::string>;
using Owner = KX::LTestScrollView;

class HandlerTest : public NotificationFixture
{
protected:
    void SetUp() override
    {
        NotificationFixture::SetUp();
        mSender = TestDistributor::Create();
        mOwner = Owner::Create(&mLog);
    }
    void TearDown() override
    {
        mOwner = nullptr;
        mSender = nullptr;
        NotificationFixture::TearDown();
    }

    RCPtr<LNotificationDistributor> Sender() const { return RCPtr<LNotificationDistributor>(mSender); }

    RCPtr<TestDistributor> mSender;
    RCPtr<Owner> mOwner;
};

TEST_F(HandlerTest, TheFirstBindingOfAPairWinsAndRoutesTheNotification)
{
    EXPECT_EQ(S_OK, mOwner->mHandlers->AddHandler(&Owner::OnF, Sender(), L"NID_VALUE_CHANGE"));
    EXPECT_EQ(S_OK, mOwner->mHandlers->AddHandler(&Owner::OnG, Sender(), L"NID_VALUE_CHANGE", 2));
    EXPECT_EQ(1, mOwner->mHandlers->GetBindingCount());
    EXPECT_EQ(1, mOwner->GetRegistrationCount());

    EXPECT_EQ(5, mOwner->mHandlers->HandleNotification(Sender(), MakeNotification(L"NID_VALUE_CHANGE")));
    mSender->SendNotification(MakeNotification(L"NID_VALUE_CHANGE"));
    EXPECT_EQ((Strings{"F", "F"}), mLog);

    Owner::Handler::Callback callback = nullptr;
    uint32_t flags = 0;
    EXPECT_EQ(S_OK, mOwner->mHandlers->GetHandler(Sender(), L"NID_VALUE_CHANGE", callback, flags));
    EXPECT_TRUE(callback == &Owner::OnF);
    EXPECT_EQ(2u, flags) << "the registration's flags follow the latest call";
}

TEST_F(HandlerTest, AnUnboundPairAnswersZeroAndCallsNothing)
{
    mOwner->mHandlers->AddHandler(&Owner::OnF, Sender(), L"NID_VALUE_CHANGE");
    RCPtr<TestDistributor> other = TestDistributor::Create();
    EXPECT_EQ(S_OK, mOwner->mHandlers->HandleNotification(Sender(), MakeNotification(L"NID_MOUSE_UP")));
    EXPECT_EQ(S_OK, mOwner->mHandlers->HandleNotification(RCPtr<LNotificationDistributor>(other),
                                                          MakeNotification(L"NID_VALUE_CHANGE")));
    EXPECT_TRUE(mLog.empty());
}

TEST_F(HandlerTest, ANullSenderReachesOnlyDirectBindings)
{
    mOwner->mHandlers->AddHandler(&Owner::OnF, Sender(), L"NID_SIBLING_KEY");
    EXPECT_EQ(S_OK, mOwner->mHandlers->AddDirectHandler(&Owner::OnG, L"NID_SIBLING_KEY"));
    EXPECT_EQ(1, mOwner->GetRegistrationCount()) << "a direct binding registers nothing";

    EXPECT_EQ(6, mOwner->ReceiveNotification(RCPtr<LNotificationDistributor>(), MakeNotification(L"NID_SIBLING_KEY")));
    EXPECT_EQ(5, mOwner->ReceiveNotification(Sender(), MakeNotification(L"NID_SIBLING_KEY")));
    EXPECT_EQ(S_OK, mOwner->ReceiveNotification(RCPtr<LNotificationDistributor>(), MakeNotification(L"NID_IDLE")));
    EXPECT_EQ((Strings{"G", "F"}), mLog);
}

TEST_F(HandlerTest, BindingErrorsChangeNothing)
{
    Owner::Handler& handlers = *mOwner->mHandlers;
    EXPECT_EQ(E_INVALIDARG, handlers.AddHandler(&Owner::OnF, RCPtr<LNotificationDistributor>(), L"NID_VALUE_CHANGE"));
    EXPECT_EQ(E_FAIL, handlers.AddHandler(&Owner::OnF, Sender(), L""));
    EXPECT_EQ(E_FAIL, handlers.AddDirectHandler(&Owner::OnF, nullptr));
    EXPECT_EQ(0, handlers.GetBindingCount());
    EXPECT_EQ(0, mOwner->GetRegistrationCount());
    Owner::Handler::Callback callback = nullptr;
    uint32_t flags = 0;
    EXPECT_EQ(E_FAIL, handlers.GetHandler(Sender(), L"NID_VALUE_CHANGE", callback, flags));
    EXPECT_FALSE(handlers.RemoveHandler(Sender(), L"NID_VALUE_CHANGE"));
}

TEST_F(HandlerTest, RemoveHandlerLeavesTheOwnerRegisteredAndTheLookupDropsWhatArrives)
{
    mOwner->mHandlers->AddHandler(&Owner::OnF, Sender(), L"NID_VALUE_CHANGE");
    EXPECT_TRUE(mOwner->mHandlers->RemoveHandler(Sender(), L"NID_VALUE_CHANGE"));
    EXPECT_EQ(1, mOwner->GetRegistrationCount());
    EXPECT_EQ(S_OK, mSender->SendNotification(MakeNotification(L"NID_VALUE_CHANGE")));
    EXPECT_TRUE(mLog.empty());
    mOwner->UnregisterAll();
}

TEST_F(HandlerTest, TheDistributorsTeardownReachesTheBindingsThroughTheOwner)
{
    mOwner->mHandlers->AddHandler(&Owner::OnF, Sender(), L"NID_VALUE_CHANGE");
    mOwner->mHandlers->AddHandler(&Owner::OnG, Sender(), L"NID_MOUSE_UP");
    mSender->UnregisterAllClients();
    EXPECT_EQ(0, mOwner->mHandlers->GetBindingCount());
    EXPECT_EQ(0, mOwner->GetRegistrationCount());
}

TEST_F(HandlerTest, TheDisablerMutesTheBindingAndPutsTheOwnerFirstAfterwards)
{
    std::vector<std::string>& log = mLog;
    RCPtr<Recorder> older = Recorder::Create(&log, "older");
    mOwner->mHandlers->AddHandler(&Owner::OnF, Sender(), L"NID_VALUE_CHANGE", 4);
    older->Register(Sender(), L"NID_VALUE_CHANGE");
    {
        KX::CAutoNotificationDisabler<Owner> guard(mOwner->mHandlers, Sender(), L"NID_VALUE_CHANGE");
        EXPECT_EQ(0, mOwner->GetRegistrationCount());
        mSender->SendNotification(MakeNotification(L"NID_VALUE_CHANGE"));
        EXPECT_EQ((Strings{"older"}), mLog);
    }
    mLog.clear();
    mSender->SendNotification(MakeNotification(L"NID_VALUE_CHANGE"));
    EXPECT_EQ((Strings{"F", "older"}), mLog);
    uint32_t flags = 0;
    EXPECT_EQ(S_OK, mSender->GetClientFlags(RCPtr<LNotificationReceiver>(mOwner), L"NID_VALUE_CHANGE", flags));
    EXPECT_EQ(4u, flags) << "bound again with the saved flags";
    older->UnregisterAll();
    mOwner->UnregisterAll();
}

TEST_F(HandlerTest, TheDisablerOverAnUnboundPairThrowsItsTextAndChangesNothing)
{
    mOwner->mHandlers->AddHandler(&Owner::OnF, Sender(), L"NID_VALUE_CHANGE");
    std::string text;
    try {
        KX::CAutoNotificationDisabler<Owner> guard(mOwner->mHandlers, Sender(), L"NID_SCROLL_OFFSET_CHANGE");
    } catch (const KX::FailedResultException& e) {
        text = e.what();
    }
    EXPECT_EQ("Failed Result : KXRESULT = 80004005 : "
              "KX::CAutoNotificationDisabler<class KX::LTestScrollView>::CAutoNotificationDisabler : "
              "notification/NotificationHandler : Line 247",
              text);
    EXPECT_EQ(1, mOwner->mHandlers->GetBindingCount());
    EXPECT_EQ(1, mOwner->GetRegistrationCount());
    mSender->SendNotification(MakeNotification(L"NID_VALUE_CHANGE"));
    EXPECT_EQ((Strings{"F"}), mLog);
    mOwner->UnregisterAll();
}

TEST_F(HandlerTest, TheDisablerBindsAgainWhenItsScopeEndsInAnException)
{
    mOwner->mHandlers->AddHandler(&Owner::OnF, Sender(), L"NID_VALUE_CHANGE", 2);
    bool caught = false;
    try {
        KX::CAutoNotificationDisabler<Owner> guard(mOwner->mHandlers, Sender(), L"NID_VALUE_CHANGE");
        mSender->SendNotification(MakeNotification(L"NID_VALUE_CHANGE"));
        throw std::runtime_error("the guarded work failed");
    } catch (const std::runtime_error&) {
        caught = true;
    }
    EXPECT_TRUE(caught);
    EXPECT_TRUE(mLog.empty()) << "muted inside the scope";
    mSender->SendNotification(MakeNotification(L"NID_VALUE_CHANGE"));
    EXPECT_EQ((Strings{"F"}), mLog);
    uint32_t flags = 0;
    EXPECT_EQ(S_OK, mSender->GetClientFlags(RCPtr<LNotificationReceiver>(mOwner), L"NID_VALUE_CHANGE", flags));
    EXPECT_EQ(2u, flags);
    mOwner->UnregisterAll();
}

TEST_F(HandlerTest, AnOwnerHeldOnlyByItsRegistrationsGoesWithItsLastOutsideReference)
{
    mOwner->mHandlers->AddHandler(&Owner::OnF, Sender(), L"NID_VALUE_CHANGE");
    mOwner->mHandlers->AddHandler(&Owner::OnG, Sender(), L"NID_MOUSE_UP");
    mOwner = nullptr;
    EXPECT_EQ(0, mSender->GetClientCount());
    EXPECT_EQ(1, Tracked::Live().load());
}

} // namespace
