#include "Utilities/Geometry/RectRegionNodePool.h"

#include <cstdlib>
#include <new>

namespace KX {

LRectRegionNodePool::~LRectRegionNodePool()
{
    std::free(mBlock);
}

LRectRegionNodePool& LRectRegionNodePool::GetInstance()
{
    // Made on first use and kept to the very end of the process, so that no
    // static region outlives it whatever the order of static destruction.
    static LRectRegionNodePool* const sInstance = new LRectRegionNodePool();
    return *sInstance;
}

void LRectRegionNodePool::SetUpBlock()
{
    mBlockTried = true;
    mBlock = static_cast<Slot*>(std::calloc(kSlotCount, sizeof(Slot)));
    if (!mBlock)
        return; // without a block every node comes from the heap
    for (uint32_t i = 0; i < kSlotCount; ++i)
        mBlock[i].ringEntry = i;
    mHead = 0;
    mFreeCount = kSlotCount;
}

long LRectRegionNodePool::SlotIndexOf(const LRectRegionNode* node) const
{
    if (!mBlock || !node)
        return -1;
    const auto address = reinterpret_cast<uintptr_t>(node);
    const auto first = reinterpret_cast<uintptr_t>(mBlock);
    const uintptr_t end = first + kSlotCount * sizeof(Slot);
    if (address < first || address >= end || (address - first) % sizeof(Slot) != 0)
        return -1;
    return static_cast<long>((address - first) / sizeof(Slot));
}

LRectRegionNode* LRectRegionNodePool::Alloc()
{
    LRectRegionNode* node = nullptr;
    {
        MutexLock lock(mLock);
        if (!mBlockTried)
            SetUpBlock();
        if (mFreeCount > 0) {
            const uint32_t slot = mBlock[mHead].ringEntry;
            mHead = (mHead + 1) % kSlotCount;
            --mFreeCount;
            node = &mBlock[slot].node;
        }
    }
    if (!node)
        node = new LRectRegionNode;
    *node = LRectRegionNode{0, 0, 0, 0, nullptr};
    return node;
}

void LRectRegionNodePool::Free(LRectRegionNode* node)
{
    if (!node)
        return;
    {
        MutexLock lock(mLock);
        const long slot = SlotIndexOf(node);
        if (slot >= 0) {
            // A full ring here means the slot was already free (a second
            // release): it is never handed to the heap, which does not own it.
            if (mFreeCount < kSlotCount) {
                mBlock[(mHead + mFreeCount) % kSlotCount].ringEntry = static_cast<uint32_t>(slot);
                ++mFreeCount;
            }
            return;
        }
    }
    delete node;
}

uint32_t LRectRegionNodePool::GetFreeSlotCount() const
{
    MutexLock lock(mLock);
    return mFreeCount;
}

bool LRectRegionNodePool::IsSlotNode(const LRectRegionNode* node) const
{
    MutexLock lock(mLock);
    return SlotIndexOf(node) >= 0;
}

} // namespace KX
