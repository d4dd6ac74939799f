// KX::EventPool: a fixed set of reference-counted auto-reset events that one
// thread waits on together (the thread pool's worker-free events).
//
// Contract:
// - All events start unsignalled. When the handle array cannot be allocated
//   the pool has no events.
// - WaitAny answers the index of a signalled event (the lowest when several
//   are; only that one's signal is consumed), or -1 on time-out, on a failed
//   wait, and always for a pool of 0 or more than 64 events (the system's
//   limit for one multiple wait).
// - GetEvent does no bounds check: the index must be below GetCount.
#pragma once

#include "System/LEvent.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <atomic>
#include <cstdint>

namespace KX {

class EventPool
{
public:
    explicit EventPool(uint32_t count);
    virtual ~EventPool();

    EventPool(const EventPool&) = delete;
    EventPool& operator=(const EventPool&) = delete;

    int32_t GetCount() const { return mEvents.GetCount(); }
    RCPtr<LEvent>& GetEvent(int32_t index) { return mEvents.GetAt(index); }
    int32_t WaitAny(uint32_t milliseconds);

private:
    RCPtrArray<LEvent, 1, 0> mEvents;
    std::atomic<int32_t> mWaiters{0};
    HANDLE* mHandles = nullptr;
};

} // namespace KX
