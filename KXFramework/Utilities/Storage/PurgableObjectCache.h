// KX::PurgableObjectCache<T,KEY,ID,GetId,BITS,GetHash>: a fixed number of
// entries that keep objects which are expensive to build, looked up by an
// identifier through a KX::HashedList, reused in a fixed order of preference
// when full, and emptied of whatever was not used between two purges.
//
// Contract:
// - The cache never builds objects. GetEntry answers a reference to the
//   entry's object pointer for a key; the caller finds it null when the entry
//   is new, was reset, invalidated or purged, builds the object and stores it
//   there. The reference designates the entry itself: once the entry is
//   reused for another identifier it holds that identifier's object.
// - A miss in a full cache takes, in this order: the first entry without an
//   object, else the least recently used entry (ties: fewer uses, then the
//   lower index).
// - A tick counts GetEntry calls; purges compare ticks with a signed 32-bit
//   difference, so wrapping after 2^32 calls is harmless.
// - No lock: a cache belongs to the thread that renders.
#pragma once

#include "Utilities/Storage/HashedList.h"

#include <climits>
#include <cstdint>
#include <memory>

namespace KX {

// A copy of its argument: the identifier function of caches whose key is
// already the identifier.
template <class T>
T GetSelf(const T& value)
{
    return value;
}

template <class T, class ID>
class PurgableCacheEntry
{
public:
    virtual ~PurgableCacheEntry() = default;

    // True when the entry holds no object.
    virtual bool IsPurgable() const { return mObject.IsNull(); }

    // Forgets the object and the use counts; the identifier stays.
    void Reset()
    {
        mUses = 0;
        mLastUse = 0;
        mObject = nullptr;
    }

    ID mId{};
    RCPtr<T> mObject;
    uint32_t mLastUse = 0;
    uint32_t mUses = 0;
};

template <class T, class KEY, class ID, auto GetId, int BITS, auto GetHash>
class PurgableObjectCache
{
public:
    using Entry = PurgableCacheEntry<T, ID>;

protected:
    // The identifier an entry is filed under.
    static ID GetEntryID(Entry* const& entry) { return entry->mId; }

public:
    using Index = HashedList<Entry*, ID, &PurgableObjectCache::GetEntryID, BITS, GetHash>;

    // A cache of at least one entry.
    explicit PurgableObjectCache(int32_t capacity)
        : mCapacity(capacity > 0 ? capacity : 1), mEntries(new Entry[static_cast<size_t>(mCapacity)])
    {
    }

    PurgableObjectCache(const PurgableObjectCache&) = delete;
    PurgableObjectCache& operator=(const PurgableObjectCache&) = delete;

    virtual ~PurgableObjectCache()
    {
        mEntries.reset(); // objects and identifiers first, then the index
    }

    RCPtr<T>& GetEntry(const KEY& key, bool reset)
    {
        const ID id = GetId(key);
        Entry* none = nullptr;
        Entry* entry = *mIndex.FindItem(id, &none);
        if (entry) {
            if (reset)
                entry->Reset();
        } else if (mIndex.GetCount() < mCapacity) {
            entry = &mEntries[static_cast<size_t>(mIndex.GetCount())];
            File(*entry, id);
        } else {
            entry = &mEntries[static_cast<size_t>(ChooseVictim())];
            mIndex.RemoveItem(entry->mId);
            File(*entry, id);
        }
        if (entry->mUses < UINT32_MAX)
            ++entry->mUses;
        ++mTick;
        entry->mLastUse = mTick;
        return entry->mObject;
    }

    // 0 when the key's entry was found and reset (it stays filed), 1 when
    // the key has no entry.
    int Invalidate(const KEY& key)
    {
        Entry* none = nullptr;
        Entry* entry = *mIndex.FindItem(GetId(key), &none);
        if (!entry)
            return 1;
        entry->Reset();
        return 0;
    }

    // Resets every entry last used before the tick; answers how many.
    int PurgeOlderThan(uint32_t tick)
    {
        int count = 0;
        for (int32_t i = 0; i < mCapacity; ++i) {
            Entry& entry = mEntries[static_cast<size_t>(i)];
            if (static_cast<int32_t>(entry.mLastUse - tick) < 0) {
                entry.Reset();
                ++count;
            }
        }
        return count;
    }

    // Purges what was not used since the previous call, then remembers now.
    void PurgeUnused()
    {
        PurgeOlderThan(mMark);
        mMark = mTick;
    }

    int32_t GetCapacity() const { return mCapacity; }
    uint32_t GetTick() const { return mTick; }
    uint32_t GetMark() const { return mMark; }
    Entry& GetEntryAt(int32_t index) { return mEntries[static_cast<size_t>(index)]; }
    const Entry& GetEntryAt(int32_t index) const { return mEntries[static_cast<size_t>(index)]; }
    const Index& GetIndex() const { return mIndex; }

private:
    void File(Entry& entry, const ID& id)
    {
        entry.Reset();
        entry.mId = id;
        mIndex.SetItem(&entry);
    }

    // The entry a new identifier takes when the index is full.
    int32_t ChooseVictim() const
    {
        int32_t best = 0;
        uint32_t bestAge = 0;
        uint32_t bestUses = UINT32_MAX;
        for (int32_t i = 0; i < mCapacity; ++i) {
            const Entry& entry = mEntries[static_cast<size_t>(i)];
            if (entry.IsPurgable())
                return i;
            const uint32_t age = mTick - entry.mLastUse;
            if (age > bestAge || (age == bestAge && entry.mUses < bestUses)) {
                best = i;
                bestAge = age;
                bestUses = entry.mUses;
            }
        }
        return best;
    }

    const int32_t mCapacity;
    uint32_t mTick = 0;
    uint32_t mMark = 0;
    std::unique_ptr<Entry[]> mEntries;
    Index mIndex;
};

} // namespace KX
