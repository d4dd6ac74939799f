// Small objects for the notification tests: payloads, receivers, distributors
// and a control-like object that is both, all counted while they live, and a
// fixture that checks at the end of each test that nothing is left alive.
#pragma once

#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationHandler.h"
#include "Notification/NotificationID.h"
#include "Notification/NotificationQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace NotificationTest {

using namespace KX;

// Counts the test objects that exist.
struct Tracked
{
    static std::atomic<int>& Live()
    {
        static std::atomic<int> sLive{0};
        return sLive;
    }
    Tracked() { Live().fetch_add(1); }
    Tracked(const Tracked&) { Live().fetch_add(1); }
    ~Tracked() { Live().fetch_sub(1); }
};

// A payload carrying one number.
class TestData : public virtual LRefCountedObject, private Tracked
{
public:
    static RCPtr<LRefCountedObject> Make(int value) { return RCPtr<LRefCountedObject>(new TestData(value)); }
    static int ValueOf(const RCPtr<LNotification>& notification)
    {
        const TestData* data = dynamic_cast<const TestData*>(notification->GetData().Get());
        return data ? data->mValue : -1;
    }
    const int mValue;

private:
    explicit TestData(int value) : mValue(value) {}
};

inline RCPtr<LNotification> MakeNotification(const wchar_t* name, int value = -1)
{
    RCPtr<LNotification> notification;
    LNotification::Create(notification, name, value < 0 ? RCPtr<LRefCountedObject>() : TestData::Make(value));
    return notification;
}

class TestDistributor : public LNotificationDistributor, private Tracked
{
public:
    static RCPtr<TestDistributor> Create() { return RCPtr<TestDistributor>(new TestDistributor); }
};

// A client that writes its name (and the payload's number, when there is one)
// into a shared log and then runs an optional action.
class Recorder : public LNotificationClient, private Tracked
{
public:
    using Action = std::function<void(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)>;

    static RCPtr<Recorder> Create(std::vector<std::string>* log, const std::string& name)
    {
        return RCPtr<Recorder>(new Recorder(log, name));
    }

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override
    {
        const int value = TestData::ValueOf(notification);
        mLog->push_back(value < 0 ? mName : mName + ":" + std::to_string(value));
        if (mAction)
            mAction(sender, notification);
        return S_OK;
    }

    Action mAction;

private:
    Recorder(std::vector<std::string>* log, const std::string& name) : mLog(log), mName(name) {}

    std::vector<std::string>* mLog;
    std::string mName;
};

// An object that is both a distributor and a client, torn down the way a
// control is: its release hook asks its own listeners to go, then leaves every
// distributor it listens to.
class Widget : public LNotificationDistributor, public LNotificationClient, private Tracked
{
public:
    static RCPtr<Widget> Create() { return RCPtr<Widget>(new Widget); }

    KXRESULT ReleaseInternalReferences() override
    {
        UnregisterAllClients();
        UnregisterAll();
        return LRefCountedObject::ReleaseInternalReferences();
    }
};

// Every test starts and ends with pooling off and no manager; at the end no
// notification, test object or active distributor is left.
class NotificationFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LNotification::SetPoolingEnabled(false);
    }

    void TearDown() override
    {
        LNotificationCenterManager::sInstance = nullptr;
        LNotification::SetPoolingEnabled(false);
        EXPECT_EQ(0, LNotification::GetLiveCount()) << "notifications left alive";
        EXPECT_EQ(0, Tracked::Live().load()) << "test objects left alive";
        EXPECT_EQ(0, LNotificationDistributor::GetActiveDistributorCount()) << "distributors left active";
    }

    std::vector<std::string> mLog;
};

} // namespace NotificationTest
