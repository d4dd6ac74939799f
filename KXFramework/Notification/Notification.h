// KX::LNotification: one event travelling from a raiser to its listeners: an
// interned identifier and an optional data object.
//
// Contract:
// - Made only by Create (which may reuse a pooled object) and held only through
//   RCPtr<LNotification>. A notification from Create always has an identifier.
// - The identifier and the data are written only by Create, New and the
//   recycling step; everybody else reads them.
// - The queued flag is set while the notification sits in a notification queue
//   (written by LNotificationQueue only); a queued notification is never
//   recycled, because the queue clears the flag before it lets go.
// - Pooling (off at start): when the last reference goes, the data is dropped
//   at once and the notification waits in a free list (a stack: last in, first
//   out) for the next Create. With pooling off it is destroyed instead.
//   Switching pooling off destroys every waiting notification; it is done only
//   while no other thread makes or releases notifications.
// - Create, New and the recycling step may run on any thread; the free list is
//   guarded by the notification lock (see NotificationID.h).
#pragma once

#include "ObjectBase/RefCountedObject.h"

#include <atomic>
#include <cstdint>

namespace KX {

class LNotification : public virtual LRefCountedObject
{
public:
    // The result holds a notification for the name (any text or an identifier)
    // with the data, or null when the name is null or empty. Answers `result`.
    static RCPtr<LNotification>& Create(RCPtr<LNotification>& result, const wchar_t* name,
                                        const RCPtr<LRefCountedObject>& data = RCPtr<LRefCountedObject>::sNull);
    // As Create, but always a freshly allocated object, never a pooled one.
    static RCPtr<LNotification>& New(RCPtr<LNotification>& result, const wchar_t* name,
                                     const RCPtr<LRefCountedObject>& data = RCPtr<LRefCountedObject>::sNull);

    static void SetPoolingEnabled(bool enabled);
    static bool IsPoolingEnabled();
    // Notifications waiting in the free list.
    static int32_t GetPooledCount();
    // Notification objects that exist now, pooled ones included (diagnostics).
    static int32_t GetLiveCount();

    // Recycles the notification when the reference released is its last one.
    int32_t Release() override;

    const wchar_t* GetID() const { return mIdentifier; }
    const RCPtr<LRefCountedObject>& GetData() const { return mData; }
    bool IsQueued() const { return mQueued.load(); }

protected:
    LNotification(const wchar_t* identifier);
    ~LNotification() override;

private:
    friend class LNotificationQueue;

    // Drops the data and, with pooling on, puts the notification on the free list.
    static void Recycle(LNotification* notification);
    void SetQueued(bool queued) { mQueued.store(queued); }

    const wchar_t* mIdentifier;
    RCPtr<LRefCountedObject> mData;
    // Bytes that a queue and the thread holding the last reference write.
    std::atomic<bool> mQueued{false};
    std::atomic<bool> mRecycling{false};

    static std::atomic<int32_t> sLiveCount;
};

} // namespace KX
