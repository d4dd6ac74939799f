// KX::RCPtrQueue<T,N>: a first-in, first-out ring of counted pointers.
//
// Contract:
// - Starts with N null slots and holds up to one item less than it has slots.
//   Enqueueing into a full ring inserts one slot at the read position, so the
//   items keep their order; the slot storage grows in steps of N and the ring
//   never shrinks.
// - Each queued item holds one reference; Dequeue hands it to the caller.
// - With a lock, every operation runs under it and only for its own length;
//   nothing is released while the lock is held. Without one the ring is for one
//   thread.
#pragma once

#include "ObjectBase/Exception.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/TypeName.h"
#include "System/Mutex.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <cstdint>
#include <string>

namespace KX {

template <class T, int N>
class RCPtrQueue
{
public:
    explicit RCPtrQueue(Mutex* lock = nullptr) : mSlots(N, N), mLock(lock) {}

    RCPtrQueue(const RCPtrQueue&) = delete;
    RCPtrQueue& operator=(const RCPtrQueue&) = delete;

    // Appends the item; answers 0.
    KXRESULT Enqueue(const RCPtr<T>& item)
    {
        OptionalMutexLock guard(mLock);
        int32_t slots = mSlots.GetCount();
        if (slots == 0) {
            mSlots.SetCount(2);
            slots = 2;
            mWrite = 0;
            mRead = 0;
        }
        if (CountLocked() == slots - 1) {
            // Full: a new empty slot at the read index, the oldest items move up.
            if (mRead < mWrite)
                ++mWrite;
            mSlots.InsertItems(mRead, 1);
            ++slots;
            mRead = (mRead + 1) % slots;
        }
        mSlots.GetAt(mWrite) = item;
        mWrite = (mWrite + 1) % slots;
        return S_OK;
    }

    // Moves the oldest item into `item`; throws a runtime error on an empty ring.
    RCPtr<T>& Dequeue(RCPtr<T>& item)
    {
        item = nullptr; // released before the lock is taken
        OptionalMutexLock guard(mLock);
        if (CountLocked() == 0) {
            const std::string operation =
                "KX::RCPtrQueue<" + TypeNameOf<T>() + "," + std::to_string(N) + ">::Dequeue";
            KX_THROW(std::runtime_error, "", operation.c_str(), "utilities/Storage/RCPtrQueue", 104);
        }
        // The slot's release only lowers the count: `item` holds the object.
        RCPtr<T>& slot = mSlots.GetAt(mRead);
        item = slot;
        slot = nullptr;
        mRead = (mRead + 1) % mSlots.GetCount();
        return item;
    }

    int32_t GetCount() const
    {
        OptionalMutexLock guard(mLock);
        return CountLocked();
    }

    // Slots in the ring, one more than the items it can hold before it grows.
    int32_t GetCapacity() const
    {
        OptionalMutexLock guard(mLock);
        return mSlots.GetCount();
    }

private:
    int32_t CountLocked() const
    {
        if (mSlots.GetCount() == 0)
            return 0;
        int32_t count = mWrite - mRead;
        if (count < 0)
            count += mSlots.GetCount();
        return count;
    }

    RCPtrArray<T, N, N> mSlots;
    int32_t mWrite = 0;
    int32_t mRead = 0;
    Mutex* mLock;
};

} // namespace KX
