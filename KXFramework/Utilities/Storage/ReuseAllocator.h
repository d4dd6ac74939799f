// KX::ReuseAllocator<T,N>: a pool of fixed-size blocks for objects of exactly
// one class T, for small objects that are made and destroyed at a high rate.
// N is the growth step, in entries, of the pool's two bookkeeping arrays.
//
// Contract:
// - Every block holds one object. Blocks are created one at a time on demand,
//   kept until the pool is destroyed, and reused last in, first out; after the
//   first burst no further heap traffic happens for T.
// - Allocate(size) serves only size == sizeof(T) from the pool; any other size
//   (a larger class derived from T that inherits T's allocation function) goes
//   to malloc. Free(pointer, size) decides the same way from the size it is
//   given, so it never reads memory in front of a pointer the pool did not
//   hand out: a pooled class gives itself a sized operator delete (the size of
//   the dynamic type, thanks to the virtual destructor) that passes it on.
// - The pool never runs constructors or destructors. Destroying the pool gives
//   every block back, dropping objects still in use without destroying them.
// - With a lock the pool may be used from any thread; the lock is never held
//   while malloc or free run for foreign sizes. Allocate throws std::bad_alloc
//   when no memory can be had; the pool stays usable.
#pragma once

#include "System/Mutex.h"
#include "Utilities/Storage/ArrayBuffer.h"

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>

namespace KX {

template <class T, int N>
class ReuseAllocator
{
    static_assert(N >= 1, "the bookkeeping arrays grow by at least one entry");

public:
    // One block: the index word sits immediately before the object's storage;
    // the header is widened so that the storage keeps the heap's alignment.
    struct Buf
    {
        static constexpr size_t kHeader = alignof(std::max_align_t) > sizeof(uint32_t)
                                              ? alignof(std::max_align_t)
                                              : sizeof(uint32_t);
        unsigned char bytes[kHeader + sizeof(T)];

        void* Storage() { return bytes + kHeader; }
        uint32_t& Index() { return *reinterpret_cast<uint32_t*>(bytes + kHeader - sizeof(uint32_t)); }
    };

    explicit ReuseAllocator(bool withLock)
    {
        // Both lists hold storage for one growth step from the start.
        mBlocks.SetCount(1);
        mBlocks.SetCount(0);
        mFree.SetCount(1);
        mFree.SetCount(0);
        if (withLock)
            mLock.reset(new Mutex());
    }

    virtual ~ReuseAllocator()
    {
        for (int32_t i = mBlocks.GetCount() - 1; i >= 0; --i)
            ::operator delete(mBlocks.GetAt(i));
        mBlocks.SetCount(0);
        mFree.SetCount(0);
        mLock.reset();
    }

    ReuseAllocator(const ReuseAllocator&) = delete;
    ReuseAllocator& operator=(const ReuseAllocator&) = delete;

    void* Allocate(size_t size)
    {
        if (size != sizeof(T)) {
            void* memory = std::malloc(size ? size : 1);
            if (!memory)
                throw std::bad_alloc();
            return memory;
        }
        OptionalMutexLock guard(mLock.get());
        uint32_t index = 0;
        const int32_t freeCount = mFree.GetCount();
        if (freeCount > 0) {
            index = mFree.GetAt(freeCount - 1);
            mFree.SetCount(freeCount - 1);
        } else {
            index = static_cast<uint32_t>(mBlocks.GetCount());
            Buf* block = static_cast<Buf*>(::operator new(sizeof(Buf)));
            try {
                mBlocks.AddItem(block);
            } catch (...) {
                ::operator delete(block);
                throw;
            }
            block->Index() = index;
        }
        return mBlocks.GetAt(static_cast<int32_t>(index))->Storage();
    }

    void Free(void* pointer, size_t size)
    {
        if (!pointer)
            return;
        if (size == sizeof(T)) {
            OptionalMutexLock guard(mLock.get());
            const uint32_t index = reinterpret_cast<Buf*>(static_cast<unsigned char*>(pointer) - Buf::kHeader)->Index();
            if (index < static_cast<uint32_t>(mBlocks.GetCount()) &&
                mBlocks.GetAt(static_cast<int32_t>(index))->Storage() == pointer) {
                PushFree(index);
                return;
            }
        }
        std::free(pointer);
    }

    // Blocks created so far: the high-water mark of live objects of T's size.
    int32_t GetBlockCount() const
    {
        OptionalMutexLock guard(mLock.get());
        return mBlocks.GetCount();
    }

    int32_t GetFreeCount() const
    {
        OptionalMutexLock guard(mLock.get());
        return mFree.GetCount();
    }

    bool HasLock() const { return mLock != nullptr; }

private:
    void PushFree(uint32_t index)
    {
        // Free has no way to report: when the free list cannot grow, the
        // block is not reused but stays owned by the pool and is given back
        // with the others when the pool is destroyed.
        try {
            mFree.AddItem(index);
        } catch (...) {
        }
    }

    ArrayBuffer<Buf*, N, 1600> mBlocks;
    ArrayBuffer<unsigned int, N, 1600> mFree;
    std::unique_ptr<Mutex> mLock;
};

} // namespace KX

// Gives a class its own pool: class-specific allocation and sized deallocation
// functions that go to a program-wide KX::ReuseAllocator<Class, N>. The pool is
// made on first use and kept to the end of the process, so objects released
// by other static objects during exit still find it. Use inside the class body:
//   KX_DECLARE_REUSE_ALLOCATOR(LMouseWheelParam, 4, false)
#define KX_DECLARE_REUSE_ALLOCATOR(Class, N, withLock)                                   \
public:                                                                                 \
    static ::KX::ReuseAllocator<Class, N>& GetReuseAllocator()                          \
    {                                                                                   \
        static ::KX::ReuseAllocator<Class, N>* const sPool =                            \
            new ::KX::ReuseAllocator<Class, N>(withLock);                               \
        return *sPool;                                                                  \
    }                                                                                   \
    static void* operator new(std::size_t size) { return GetReuseAllocator().Allocate(size); } \
    static void operator delete(void* pointer, std::size_t size)                        \
    {                                                                                   \
        GetReuseAllocator().Free(pointer, size);                                        \
    }
