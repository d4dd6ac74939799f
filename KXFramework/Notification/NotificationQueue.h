// KX::LNotificationQueue: notifications posted from any thread, delivered later
// through a distributor on the user-interface thread.
//
// Contract:
// - A base for any reference-counted class (virtual LRefCountedObject): the
//   notification centre, the root window and a control such as the status bar
//   are queues. The centre delivers through itself; a root window or a control
//   hands its own distributor part to SetDistributor once.
// - The queue's posting receiver holds a counted reference back on the queue,
//   counted as an internal reference from construction on; Shutdown drops it
//   (and that count). An owner that gives the queue a reference to itself as
//   distributor counts that one as internal too and drops it after Shutdown.
//   The owner's release hook calls Shutdown.
// - PostNotification runs on any thread: it reads the distributor's pools and
//   marks latest-only registrations, then enqueues under the one process-wide
//   queue lock. The distributor and the registrations that matter to posting
//   threads are set up before those threads post.
// - ProcessNotifications, DiscardNotifications, SetDistributor and Shutdown run
//   on the user-interface thread. A pass delivers only the notifications that
//   were queued when it began; no lock is held while one is delivered.
// - A notification sits in one queue at a time (its queued flag).
#pragma once

#include "Notification/Notification.h"
#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationReceiver.h"
#include "System/Mutex.h"
#include "Utilities/Storage/RCPtrQueue.h"

namespace KX {

class LNotificationQueue : public virtual LRefCountedObject
{
public:
    // Turns a synchronous delivery into a posting: whatever it receives goes
    // into its queue as a new notification with the same identifier and data.
    class LPostingReceiver : public LNotificationReceiver
    {
    public:
        // Posts a copy into the queue; ignored once the queue is shut down.
        KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
        // Refuses: E_FAIL. A distributor asking its receivers to go leaves this
        // one registered.
        KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                        const wchar_t* identifier) override;

        bool IsAttached() const { return static_cast<bool>(mQueue); }

    protected:
        ~LPostingReceiver() override = default;

    private:
        friend class LNotificationQueue;
        explicit LPostingReceiver(LNotificationQueue* queue) : mQueue(queue) {}

        RCPtr<LNotificationQueue> mQueue;
    };

    // 0; E_INVALIDARG for a null notification or one already queued (here or
    // elsewhere); E_FAIL when the queue has no distributor. Any thread.
    KXRESULT PostNotification(const RCPtr<LNotification>& notification);
    // One delivery pass, then "NID_IDLE" when sendIdle. A pass entered again from
    // inside a handler delivers nothing but still sends the idle notification.
    // Answers whether notifications are left.
    bool ProcessNotifications(bool sendIdle);
    // Drops the queued notifications undelivered; answers whether any are left.
    bool DiscardNotifications();
    // Sets the delivering distributor once; E_FAIL when one is set already or
    // the queue was shut down, else 0.
    KXRESULT SetDistributor(const RCPtr<LNotificationDistributor>& distributor);
    // The posting receiver (null after shut-down). Answers `receiver`.
    RCPtr<LPostingReceiver>& GetPostingReceiver(RCPtr<LPostingReceiver>& receiver) const;
    // Drops the queued notifications, the distributor and the posting receiver
    // (whose back reference goes, and with it one internal reference). A second
    // call does nothing.
    void Shutdown();

    int32_t GetQueuedCount() const { return mRing.GetCount(); }
    const RCPtr<LNotificationDistributor>& GetDistributor() const { return mDistributor; }
    bool IsShutDown() const { return !mPostingReceiver; }

    // The lock shared by the rings of every notification queue.
    static Mutex& GetQueueLock();

protected:
    LNotificationQueue();
    ~LNotificationQueue() override;

private:
    bool mProcessing = false;
    RCPtrQueue<LNotification, 256> mRing;
    RCPtr<LNotificationDistributor> mDistributor;
    RCPtr<LPostingReceiver> mPostingReceiver;
    RCPtr<LNotification> mIdleNotification;
};

} // namespace KX
