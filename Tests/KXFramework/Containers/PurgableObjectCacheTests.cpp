#include "Utilities/Storage/PurgableObjectCache.h"

#include <gtest/gtest.h>

#include <climits>

using namespace KX;

namespace {

class Cached : public virtual LRefCountedObject
{
public:
    explicit Cached(int* destroyed = nullptr) : mDestroyed(destroyed) {}
    ~Cached() override
    {
        if (mDestroyed)
            ++*mDestroyed;
    }
    int* mDestroyed;
};

using Cache = PurgableObjectCache<Cached, int, int, &GetSelf<int>, 8, &GetBits<8, 4, int>>;

// Looks a key up and stores a new object when the entry is empty; answers
// whether it had to build one.
bool Use(Cache& cache, int key, int* destroyed = nullptr)
{
    RCPtr<Cached>& slot = cache.GetEntry(key, false);
    if (slot)
        return false;
    slot = RCPtr<Cached>(new Cached(destroyed));
    return true;
}

bool IsFiled(Cache& cache, int key)
{
    Cache::Entry* none = nullptr;
    return *const_cast<Cache::Index&>(cache.GetIndex()).FindItem(key, &none) != nullptr;
}

TEST(PurgableObjectCache, EvictsTheLeastRecentlyUsed)
{
    int destroyed = 0;
    Cache cache(2);
    EXPECT_TRUE(Use(cache, 0xA0, &destroyed));
    EXPECT_TRUE(Use(cache, 0xB0, &destroyed));
    EXPECT_FALSE(Use(cache, 0xA0)); // a hit
    EXPECT_TRUE(Use(cache, 0xC0, &destroyed)); // b is older: evicted
    EXPECT_EQ(1, destroyed);
    EXPECT_FALSE(IsFiled(cache, 0xB0));
    EXPECT_TRUE(IsFiled(cache, 0xA0));
    EXPECT_EQ(0xC0, cache.GetEntryAt(1).mId);
    EXPECT_EQ(2, cache.GetIndex().GetCount());
}

TEST(PurgableObjectCache, TiesGoToFewerUsesThenLowerIndex)
{
    Cache cache(3);
    Use(cache, 1);
    Use(cache, 2);
    Use(cache, 3);
    // Equally old entries (set by hand): the one with fewer uses goes, and of
    // equal uses the lower index.
    const uint32_t uses[] = {5, 2, 2};
    for (int i = 0; i < 3; ++i) {
        cache.GetEntryAt(i).mLastUse = 1;
        cache.GetEntryAt(i).mUses = uses[i];
    }
    Use(cache, 4);
    EXPECT_EQ(4, cache.GetEntryAt(1).mId);
    EXPECT_TRUE(IsFiled(cache, 1));
    EXPECT_TRUE(IsFiled(cache, 3));
    EXPECT_FALSE(IsFiled(cache, 2));
}

TEST(PurgableObjectCache, AnInvalidatedEntryIsReusedFirst)
{
    Cache cache(5);
    for (int key = 0; key < 5; ++key)
        Use(cache, key << 4);
    EXPECT_EQ(0, cache.Invalidate(3 << 4));
    EXPECT_EQ(1, cache.Invalidate(9 << 4));
    EXPECT_TRUE(IsFiled(cache, 3 << 4)); // still filed, without object
    EXPECT_TRUE(Use(cache, 7 << 4));     // entry 0 is older, yet entry 3 is taken
    EXPECT_EQ(7 << 4, cache.GetEntryAt(3).mId);
    EXPECT_FALSE(IsFiled(cache, 3 << 4));
    EXPECT_TRUE(IsFiled(cache, 0));
    EXPECT_EQ(5, cache.GetIndex().GetCount()); // never more than the capacity
}

TEST(PurgableObjectCache, ResetFlagEmptiesAHit)
{
    Cache cache(4);
    Use(cache, 1);
    Use(cache, 1);
    EXPECT_EQ(2u, cache.GetEntryAt(0).mUses);
    RCPtr<Cached>& slot = cache.GetEntry(1, true);
    EXPECT_TRUE(slot.IsNull());
    EXPECT_EQ(1u, cache.GetEntryAt(0).mUses);
    EXPECT_EQ(cache.GetTick(), cache.GetEntryAt(0).mLastUse);
    EXPECT_EQ(3u, cache.GetTick());

    // A caller that stores nothing leaves a filed, empty entry: the next call is a hit.
    EXPECT_TRUE(cache.GetEntry(1, false).IsNull());
    EXPECT_EQ(2u, cache.GetEntryAt(0).mUses);
}

TEST(PurgableObjectCache, PurgeUnusedKeepsWhatWasUsedSinceTheLastPurge)
{
    int destroyed = 0;
    Cache cache(8);
    Use(cache, 0x10, &destroyed); // tick 1
    Use(cache, 0x20, &destroyed); // tick 2, the last access before the first purge
    cache.PurgeUnused();          // mark 0: purges nothing, mark becomes 2
    EXPECT_EQ(0, destroyed);
    EXPECT_EQ(2u, cache.GetMark());
    Use(cache, 0x30, &destroyed); // tick 3
    cache.PurgeUnused();          // resets what was last used before tick 2
    EXPECT_EQ(1, destroyed);
    EXPECT_TRUE(cache.GetEntryAt(0).mObject.IsNull());  // 0x10
    EXPECT_FALSE(cache.GetEntryAt(1).mObject.IsNull()); // 0x20: its last use equals the mark
    EXPECT_FALSE(cache.GetEntryAt(2).mObject.IsNull()); // 0x30
    cache.PurgeUnused();                                // mark 3: 0x20 goes now
    EXPECT_EQ(2, destroyed);
    EXPECT_FALSE(cache.GetEntryAt(2).mObject.IsNull());
    EXPECT_TRUE(IsFiled(cache, 0x10)); // purged entries stay filed
}

TEST(PurgableObjectCache, PurgeOlderThanComparesSignedDifferences)
{
    Cache cache(4);
    Use(cache, 1);
    Use(cache, 2);
    EXPECT_EQ(0, cache.PurgeOlderThan(0));
    cache.GetEntryAt(1).mLastUse = 0x80000001u; // more than 2^31 after 0: counts as before it
    EXPECT_EQ(1, cache.PurgeOlderThan(0));
    EXPECT_TRUE(cache.GetEntryAt(1).mObject.IsNull());
    // Every entry last used before the tick counts, the empty ones included.
    EXPECT_EQ(4, cache.PurgeOlderThan(100));
}

TEST(PurgableObjectCache, UsesSaturate)
{
    Cache cache(1);
    Use(cache, 1);
    cache.GetEntryAt(0).mUses = UINT32_MAX - 1;
    Use(cache, 1);
    Use(cache, 1);
    EXPECT_EQ(UINT32_MAX, cache.GetEntryAt(0).mUses);
}

// A descriptor key holding a counted pointer, as the cached bitmaps use.
struct Descriptor
{
    ConstRCPtr<Cached> bitmap;
    int32_t width = 0;
    int32_t height = 0;

    bool operator==(const Descriptor& other) const
    {
        return bitmap == other.bitmap && width == other.width && height == other.height;
    }
    static unsigned GetHashBits(const Descriptor& d)
    {
        return static_cast<unsigned>(reinterpret_cast<uintptr_t>(d.bitmap.Get()) >> 4) & 0xFF;
    }
};

using BitmapCache =
    PurgableObjectCache<Cached, Descriptor, Descriptor, &GetSelf<Descriptor>, 8, &Descriptor::GetHashBits>;

TEST(PurgableObjectCache, StructureIdentifiersHoldTheirObjects)
{
    int destroyed = 0;
    {
        BitmapCache cache(1);
        RCPtr<Cached> first(new Cached(&destroyed));
        RCPtr<Cached> second(new Cached(&destroyed));
        cache.GetEntry(Descriptor{first, 10, 20}, false) = RCPtr<Cached>(new Cached(&destroyed));
        EXPECT_EQ(3, first->GetRefCount()); // the entry's identifier and the index record
        EXPECT_FALSE(cache.GetEntry(Descriptor{first, 10, 20}, false).IsNull());
        EXPECT_TRUE(cache.GetEntry(Descriptor{first, 10, 21}, false).IsNull()); // another size: evicts
        EXPECT_EQ(3, first->GetRefCount());
        EXPECT_TRUE(cache.GetEntry(Descriptor{second, 10, 20}, false).IsNull());
        EXPECT_EQ(1, first->GetRefCount());
        EXPECT_EQ(3, second->GetRefCount());
        EXPECT_EQ(1, destroyed); // the cached object of the evicted entry
    }
    EXPECT_EQ(3, destroyed); // the cache let go of everything
}

} // namespace
