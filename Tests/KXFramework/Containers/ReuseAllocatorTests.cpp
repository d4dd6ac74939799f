#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/ReuseAllocator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <set>
#include <thread>
#include <vector>

using namespace KX;

// What the program gives back to the heap through operator delete while a test
// records it: the pool's blocks go back that way.
namespace {
std::atomic<bool> gRecordingFrees{false};
void* gFreed[256];
std::atomic<int> gFreedCount{0};
} // namespace

void operator delete(void* pointer) noexcept
{
    if (pointer && gRecordingFrees.load()) {
        const int index = gFreedCount.fetch_add(1);
        if (index < static_cast<int>(sizeof gFreed / sizeof gFreed[0]))
            gFreed[index] = pointer;
    }
    std::free(pointer);
}

void operator delete(void* pointer, std::size_t) noexcept
{
    ::operator delete(pointer);
}

namespace {

struct Item
{
    int64_t a, b, c;
};

using Pool = ReuseAllocator<Item, 4>;

TEST(ReuseAllocator, BlocksAreCreatedOnDemandAndReusedLastInFirstOut)
{
    Pool pool(false);
    EXPECT_FALSE(pool.HasLock());
    void* first = pool.Allocate(sizeof(Item));
    EXPECT_EQ(1, pool.GetBlockCount());
    void* second = pool.Allocate(sizeof(Item));
    EXPECT_EQ(2, pool.GetBlockCount());
    void* third = pool.Allocate(sizeof(Item));
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(first) % alignof(std::max_align_t));

    pool.Free(first, sizeof(Item));
    pool.Free(second, sizeof(Item));
    pool.Free(third, sizeof(Item));
    EXPECT_EQ(3, pool.GetFreeCount());
    EXPECT_EQ(third, pool.Allocate(sizeof(Item)));
    EXPECT_EQ(second, pool.Allocate(sizeof(Item)));
    EXPECT_EQ(first, pool.Allocate(sizeof(Item)));
    EXPECT_EQ(3, pool.GetBlockCount());
    EXPECT_EQ(0, pool.GetFreeCount());
}

TEST(ReuseAllocator, OtherSizesBypassThePool)
{
    Pool pool(true);
    void* pooled = pool.Allocate(sizeof(Item));
    pool.Free(pooled, sizeof(Item));

    void* larger = pool.Allocate(sizeof(Item) + 8);
    void* smaller = pool.Allocate(4);
    EXPECT_EQ(1, pool.GetBlockCount());
    EXPECT_EQ(1, pool.GetFreeCount());
    // Memory from malloc carries no block header: freeing it by its size never
    // looks in front of it, and the lists stay as they were.
    pool.Free(larger, sizeof(Item) + 8);
    pool.Free(smaller, 4);
    EXPECT_EQ(1, pool.GetBlockCount());
    EXPECT_EQ(1, pool.GetFreeCount());
    EXPECT_EQ(pooled, pool.Allocate(sizeof(Item)));
}

TEST(ReuseAllocator, BlockCountIsTheHighWaterMark)
{
    Pool pool(false);
    std::vector<void*> live;
    const int pattern[] = {3, -2, 4, -5, 1, 2, -3, 6, -6};
    size_t peak = 0;
    for (int step : pattern) {
        for (int i = 0; i < step; ++i)
            live.push_back(pool.Allocate(sizeof(Item)));
        for (int i = 0; i < -step; ++i) {
            pool.Free(live.back(), sizeof(Item));
            live.pop_back();
        }
        peak = std::max(peak, live.size());
        EXPECT_EQ(static_cast<int32_t>(peak), pool.GetBlockCount());
    }
    EXPECT_EQ(pool.GetBlockCount(), pool.GetFreeCount()); // everything freed at the end
}

// An object that counts its destructor runs.
struct Counted
{
    explicit Counted(int* destroyed) : mDestroyed(destroyed) {}
    ~Counted() { ++*mDestroyed; }
    int* mDestroyed;
    int64_t padding[2];
};

TEST(ReuseAllocator, DestroyingThePoolGivesBlocksBackWithoutDestructors)
{
    using CountedPool = ReuseAllocator<Counted, 4>;
    auto* pool = new CountedPool(false);
    int destroyed = 0;
    std::set<void*> blocks;
    for (int i = 0; i < 40; ++i) {
        void* storage = pool->Allocate(sizeof(Counted));
        new (storage) Counted(&destroyed); // still alive when the pool goes
        blocks.insert(static_cast<unsigned char*>(storage) - CountedPool::Buf::kHeader);
    }
    ASSERT_EQ(40u, blocks.size());

    gFreedCount = 0;
    gRecordingFrees = true;
    delete pool;
    gRecordingFrees = false;

    EXPECT_EQ(0, destroyed) << "the pool runs no destructor";
    std::multiset<void*> freed(gFreed, gFreed + std::min(gFreedCount.load(), 256));
    for (void* block : blocks)
        EXPECT_EQ(1u, freed.count(block)) << "every block goes back to the heap exactly once";
}

// A pooled reference-counted class, one derived class with a pool of its own
// and one larger derived class that inherits the base's allocation functions.
class Param : public virtual LRefCountedObject
{
    KX_DECLARE_REUSE_ALLOCATOR(Param, 4, false)

public:
    explicit Param(int* destroyed = nullptr) : mDestroyed(destroyed) {}
    ~Param() override
    {
        if (mDestroyed)
            ++*mDestroyed;
    }

private:
    int* mDestroyed;
};

class ButtonParam : public Param
{
    KX_DECLARE_REUSE_ALLOCATOR(ButtonParam, 32, false)

public:
    int button = 0;
};

class ItemParam : public Param
{
public:
    int64_t extra[6] = {};
};

TEST(ReuseAllocator, PooledClassesAndLargerDerivedClasses)
{
    const int32_t paramBlocks = Param::GetReuseAllocator().GetBlockCount();
    const int32_t paramFree = Param::GetReuseAllocator().GetFreeCount();
    int destroyed = 0;
    {
        RCPtr<Param> a(new Param(&destroyed));
        RCPtr<Param> b(new ItemParam()); // malloc: the size differs from Param's
        RCPtr<Param> c(new ButtonParam());
        EXPECT_EQ(paramBlocks + (paramFree > 0 ? 0 : 1), Param::GetReuseAllocator().GetBlockCount());
        EXPECT_GE(ButtonParam::GetReuseAllocator().GetBlockCount(), 1);
    }
    EXPECT_EQ(1, destroyed); // the pool leaves construction and destruction alone
    EXPECT_EQ(Param::GetReuseAllocator().GetBlockCount(), Param::GetReuseAllocator().GetFreeCount());
    EXPECT_EQ(ButtonParam::GetReuseAllocator().GetBlockCount(), ButtonParam::GetReuseAllocator().GetFreeCount());

    // The next Param comes from the block the first one left.
    void* previous = nullptr;
    {
        RCPtr<Param> again(new Param());
        previous = again.Get();
    }
    RCPtr<Param> once(new Param());
    EXPECT_EQ(previous, static_cast<void*>(once.Get()));
}

TEST(ReuseAllocator, LockedPoolUnderSeveralThreads)
{
    ReuseAllocator<Item, 1> pool(true);
    EXPECT_TRUE(pool.HasLock());
    constexpr int kThreads = 4;
    constexpr int kHeld = 8;
    constexpr int kRounds = 2000;
    std::atomic<int> corrupted{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&pool, &corrupted, t] {
            std::vector<Item*> held;
            for (int round = 0; round < kRounds; ++round) {
                Item* item = static_cast<Item*>(pool.Allocate(sizeof(Item)));
                *item = Item{t, round, t * 1000 + round};
                held.push_back(item);
                if (held.size() == kHeld || round % 3 == 0) {
                    for (Item* h : held) {
                        // Nobody else may have been handed the same block meanwhile.
                        if (h->a != t || h->c != t * 1000 + h->b)
                            ++corrupted;
                        pool.Free(h, sizeof(Item));
                    }
                    held.clear();
                }
            }
            for (Item* h : held)
                pool.Free(h, sizeof(Item));
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(0, corrupted.load());
    EXPECT_LE(pool.GetBlockCount(), kThreads * kHeld);
    EXPECT_EQ(pool.GetBlockCount(), pool.GetFreeCount());
}

} // namespace
