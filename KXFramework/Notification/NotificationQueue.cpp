#include "Notification/NotificationQueue.h"

namespace KX {

Mutex& LNotificationQueue::GetQueueLock()
{
    static Mutex sQueueLock;
    return sQueueLock;
}

LNotificationQueue::LNotificationQueue() : mRing(&GetQueueLock())
{
    mPostingReceiver = new LPostingReceiver(this);
    AdjustInternalReferenceCount(1);
    LNotification::Create(mIdleNotification, L"NID_IDLE");
}

LNotificationQueue::~LNotificationQueue()
{
    DiscardNotifications();
    if (mPostingReceiver)
        mPostingReceiver->mQueue = nullptr;
}

KXRESULT LNotificationQueue::PostNotification(const RCPtr<LNotification>& notification)
{
    if (!notification || notification->IsQueued())
        return E_INVALIDARG;
    if (!mDistributor)
        return E_FAIL;

    LNotificationDistributor::LNotificationClientPool* pool = mDistributor->FindPoolByID(notification->GetID());
    if (pool && (pool->GetFlagUnion() & LNotificationDistributor::LatestOnly)) {
        for (int32_t i = pool->GetCount() - 1; i >= 0; --i) {
            const RCPtr<LNotificationDistributor::LNotificationRegisteredClientInfo>& info = pool->GetRegistration(i);
            if (info->mFlags & LNotificationDistributor::LatestOnly)
                info->mLatest = notification;
        }
    }
    notification->SetQueued(true);
    return mRing.Enqueue(notification);
}

bool LNotificationQueue::ProcessNotifications(bool sendIdle)
{
    // Kept for the pass: a handler may shut the queue down meanwhile.
    const RCPtr<LNotificationDistributor> distributor = mDistributor;
    if (!mProcessing) {
        mProcessing = true;
        const int32_t count = mRing.GetCount();
        RCPtr<LNotification> notification;
        for (int32_t i = 0; i < count && mRing.GetCount() > 0; ++i) {
            mRing.Dequeue(notification);
            if (distributor)
                distributor->SendNotification(notification);
            notification->SetQueued(false);
        }
        notification = nullptr;
        mProcessing = false;
    }
    if (sendIdle && distributor && mIdleNotification)
        distributor->SendNotification(mIdleNotification);
    return mRing.GetCount() > 0;
}

bool LNotificationQueue::DiscardNotifications()
{
    const int32_t count = mRing.GetCount();
    RCPtr<LNotification> notification;
    for (int32_t i = 0; i < count && mRing.GetCount() > 0; ++i) {
        mRing.Dequeue(notification);
        notification->SetQueued(false);
    }
    notification = nullptr;
    return mRing.GetCount() > 0;
}

KXRESULT LNotificationQueue::SetDistributor(const RCPtr<LNotificationDistributor>& distributor)
{
    if (mDistributor || !mPostingReceiver)
        return E_FAIL;
    mDistributor = distributor;
    return S_OK;
}

RCPtr<LNotificationQueue::LPostingReceiver>& LNotificationQueue::GetPostingReceiver(
    RCPtr<LPostingReceiver>& receiver) const
{
    receiver = mPostingReceiver;
    return receiver;
}

void LNotificationQueue::Shutdown()
{
    DiscardNotifications();
    mDistributor = nullptr;
    if (!mPostingReceiver)
        return;
    RCPtr<LPostingReceiver> receiver = mPostingReceiver;
    mPostingReceiver = nullptr;
    // The count goes down before the back reference does, so that its release
    // is seen as an ordinary one.
    AdjustInternalReferenceCount(-1);
    receiver->mQueue = nullptr;
}

KXRESULT LNotificationQueue::LPostingReceiver::ReceiveNotification(const RCPtr<LNotificationDistributor>&,
                                                                   const RCPtr<LNotification>& notification)
{
    const RCPtr<LNotificationQueue> queue = mQueue;
    if (!queue || !notification)
        return S_FALSE;
    // The received notification may be queued elsewhere or still in use.
    RCPtr<LNotification> copy;
    LNotification::Create(copy, notification->GetID(), notification->GetData());
    queue->PostNotification(copy);
    return S_OK;
}

KXRESULT LNotificationQueue::LPostingReceiver::UnregisterNotification(const RCPtr<LNotificationDistributor>&,
                                                                      const wchar_t*)
{
    return E_FAIL;
}

} // namespace KX
