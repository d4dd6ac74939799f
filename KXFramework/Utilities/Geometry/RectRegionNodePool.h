// KX::LRectRegionNodePool: the program-wide store of rectangle-region nodes.
//
// Contract:
// - One block of 512 slots is set up on the first allocation. Free slots are
//   handed out from a ring of slot indices; while the ring is empty nodes come
//   from the heap, and such nodes go back to the heap when freed.
// - Alloc answers a node whose fields and next pointer are zero.
// - Every Alloc and Free holds the pool's lock, so regions on different threads
//   can share the pool. A region itself has no lock.
// - The program-wide pool is never destroyed: regions that are static objects
//   of their own may still give nodes back while the program exits.
#pragma once

#include "System/Mutex.h"

#include <cstdint>

namespace KX {

// One rectangle of a region: left <= x < right, top <= y < bottom, and the
// next node of the region's list.
struct LRectRegionNode
{
    long left;
    long top;
    long right;
    long bottom;
    LRectRegionNode* next;
};

class LRectRegionNodePool
{
public:
    static constexpr uint32_t kSlotCount = 512;

    LRectRegionNodePool() = default;
    ~LRectRegionNodePool();
    LRectRegionNodePool(const LRectRegionNodePool&) = delete;
    LRectRegionNodePool& operator=(const LRectRegionNodePool&) = delete;

    // The pool that every region uses.
    static LRectRegionNodePool& GetInstance();

    // A zeroed node: a free slot of the block, else one from the heap.
    LRectRegionNode* Alloc();
    // Back to its slot when it lies inside the block, else to the heap.
    void Free(LRectRegionNode* node);

    // How many slots of the block are free (0 before the first allocation).
    uint32_t GetFreeSlotCount() const;
    // True when the node is a slot of this pool's block.
    bool IsSlotNode(const LRectRegionNode* node) const;

private:
    struct Slot
    {
        LRectRegionNode node;
        uint32_t ringEntry; // ring position k lives in slot k
    };

    void SetUpBlock();
    long SlotIndexOf(const LRectRegionNode* node) const; // -1 when outside the block

    mutable Mutex mLock;
    Slot* mBlock = nullptr;
    bool mBlockTried = false;
    uint32_t mHead = 0;
    uint32_t mFreeCount = 0;
};

} // namespace KX
