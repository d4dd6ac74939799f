#include "Notification/Notification.h"

#include "Notification/NotificationID.h"
#include "Utilities/Storage/RCPtrArray.h"

namespace KX {

namespace {

// The pooling switch and the free list of recycled notifications. The free
// list is a stack: pushed and taken at its end.
struct NotificationPool
{
    // Read by every thread that releases a notification.
    std::atomic<bool> enabled{false};
    RCPtrArray<LNotification, 1, 0> freeList;

    // At exit the list's notifications are released with pooling off, so that
    // none of them tries to return to the list that is going away.
    ~NotificationPool() { Drain(); }

    void Drain()
    {
        enabled.store(false);
        RCPtr<LNotification> pooled;
        while (freeList.GetCount() > 0) {
            freeList.RemoveLastItem(pooled);
            pooled = nullptr;
        }
    }
};

NotificationPool& Pool()
{
    static NotificationPool sPool;
    return sPool;
}

} // namespace

std::atomic<int32_t> LNotification::sLiveCount{0};

LNotification::LNotification(const wchar_t* identifier) : mIdentifier(identifier)
{
    sLiveCount.fetch_add(1);
}

LNotification::~LNotification()
{
    sLiveCount.fetch_sub(1);
}

RCPtr<LNotification>& LNotification::Create(RCPtr<LNotification>& result, const wchar_t* name,
                                            const RCPtr<LRefCountedObject>& data)
{
    result = nullptr;
    NotificationPool& pool = Pool();
    if (!pool.enabled)
        return New(result, name, data);

    MutexLock lock(GetNotificationLock());
    if (pool.freeList.GetCount() == 0)
        return New(result, name, data);

    const wchar_t* identifier = InternNotificationID(name);
    if (!identifier)
        return result;
    pool.freeList.RemoveLastItem(result);
    result->mIdentifier = identifier;
    result->mData = data;
    return result;
}

RCPtr<LNotification>& LNotification::New(RCPtr<LNotification>& result, const wchar_t* name,
                                         const RCPtr<LRefCountedObject>& data)
{
    result = nullptr;
    const wchar_t* identifier = InternNotificationID(name);
    if (!identifier)
        return result;
    result = new LNotification(identifier);
    result->mData = data;
    return result;
}

void LNotification::SetPoolingEnabled(bool enabled)
{
    NotificationPool& pool = Pool();
    if (enabled)
        pool.enabled.store(true);
    else
        pool.Drain();
}

bool LNotification::IsPoolingEnabled()
{
    return Pool().enabled.load();
}

int32_t LNotification::GetPooledCount()
{
    MutexLock lock(GetNotificationLock());
    return Pool().freeList.GetCount();
}

int32_t LNotification::GetLiveCount()
{
    return sLiveCount.load();
}

int32_t LNotification::Release()
{
    if (!mRecycling && GetRefCount() == 1) {
        mRecycling = true;
        Recycle(this);
        mRecycling = false;
    }
    return LRefCountedObject::Release();
}

void LNotification::Recycle(LNotification* notification)
{
    if (notification->mData) {
        // Cleared before the release, so that whatever the data's destruction
        // does never sees it still attached.
        RCPtr<LRefCountedObject> data = notification->mData;
        notification->mData = nullptr;
    }
    NotificationPool& pool = Pool();
    if (!pool.enabled)
        return;
    MutexLock lock(GetNotificationLock());
    if (pool.enabled)
        pool.freeList.AddItem(RCPtr<LNotification>(notification));
}

} // namespace KX
