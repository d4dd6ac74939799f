// KX::BufferT: the growable byte block behind every array, queue, pool list
// and string of the framework.
//
// Template parameters:
//   G  granularity in bytes (>= 1): a capacity the buffer chooses itself is the
//      requested size raised to the next multiple of G;
//   S  slack in bytes: Resize keeps the block while it exceeds the size by no
//      more than the shrink threshold max(S, G - 1);
//   X  kept for the shape of the type only; it has no effect;
//   P  pointer type of the data (char*, float*, T**...); it only types Data();
//   A  the allocator function, always &KX::GetSystemAllocator.
//
// Contract:
// - One heap block, no inline storage; data and block are the same pointer;
//   capacity >= size, capacity 0 exactly when there is no block.
// - Allocate never copies; Resize keeps the contents and reallocates in place
//   where the heap allows.
// - Out of memory: the operation throws KX::Exception<std::bad_alloc> and the
//   buffer stays exactly as it was (a failed reallocation keeps the old block
//   and its bytes).
// - No lock: a buffer belongs to one owner and is used under its rules.
#pragma once

#include "ObjectBase/Exception.h"
#include "Utilities/Storage/Allocator.h"
#include "Utilities/Storage/IBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>

namespace KX {

template <uint32_t G, uint32_t S, int X, class P, AllocatorFunction A>
class BufferT : public virtual IBuffer
{
    static_assert(G >= 1, "the granularity is at least one byte");
    static_assert(std::is_pointer_v<P>, "the data type is a pointer type");

public:
    static constexpr uint32_t kGranularity = G;
    static constexpr uint32_t kSlack = S;
    static constexpr uint32_t kShrinkThreshold = std::max(S, G - 1);

    // All fields start at 0. A capacity larger than the size is taken exactly
    // (no granularity); then the buffer is resized to `size`, and with `zero`
    // its first `size` bytes are cleared.
    explicit BufferT(uint32_t size = 0, uint32_t capacity = 0, bool zero = false)
    {
        if (capacity > size) {
            mBlock = NewBlock(capacity);
            mData = static_cast<P>(mBlock);
            mCapacity = capacity;
        }
        try {
            Resize(size);
        } catch (...) {
            A()->Free(mBlock); // the destructor does not run for a failed constructor
            throw;
        }
        if (size != 0 && zero)
            std::memset(mBlock, 0, size);
    }

    // A copy has the source's bytes in a block of its own, of capacity fit(size).
    BufferT(const BufferT& other) : BufferT()
    {
        CopyFrom(other);
    }

    BufferT& operator=(const BufferT& other)
    {
        if (this != &other)
            CopyFrom(other);
        return *this;
    }

    virtual ~BufferT()
    {
        if (mBlock)
            A()->Free(mBlock);
        mData = nullptr;
        mBlock = nullptr;
        mSize = 0;
        mCapacity = 0;
    }

    uint32_t GetSize() const override { return mSize; }
    uint32_t GetCapacity() const override { return mCapacity; }
    void* GetData() const override { return mBlock; }
    // The data pointer with its element type.
    P Data() const { return mData; }

    uint32_t Allocate(uint32_t size) override
    {
        if (size == 0) {
            if (mCapacity != 0)
                ReleaseBlock();
            return mSize;
        }
        const uint32_t capacity = Fit(size);
        if (capacity != mCapacity) {
            // The new block is obtained before the old one is given back, so
            // a failure leaves the buffer untouched.
            void* block = NewBlock(capacity);
            if (mBlock)
                A()->Free(mBlock);
            mBlock = block;
            mData = static_cast<P>(block);
            mCapacity = capacity;
        }
        mSize = size;
        return size;
    }

    uint32_t Resize(uint32_t size) override
    {
        if (mCapacity == 0)
            return Allocate(size);
        if (mCapacity < size || mCapacity - size > kShrinkThreshold) {
            const uint32_t capacity = Fit(size);
            if (capacity == 0) {
                ReleaseBlock();
            } else {
                void* block = A()->Realloc(mBlock, capacity);
                if (!block)
                    throw Exception<std::bad_alloc>(); // the old block is still valid
                mBlock = block;
                mData = static_cast<P>(block);
                mCapacity = capacity;
            }
        }
        mSize = size;
        return size;
    }

    KXRESULT Fill(uint8_t value, uint32_t offset, int32_t count) override
    {
        uint32_t bytes = 0;
        if (!RangeInBytes(offset, count, 1, bytes))
            return E_INVALIDARG;
        if (bytes != 0)
            std::memset(static_cast<char*>(mBlock) + offset, value, bytes);
        return S_OK;
    }

    KXRESULT Fill16(uint16_t value, uint32_t offset, int32_t count) override
    {
        uint32_t bytes = 0;
        if (!RangeInBytes(offset, count, 2, bytes))
            return E_INVALIDARG;
        char* unit = static_cast<char*>(mBlock) + offset;
        for (uint32_t i = 0; i < bytes / 2; ++i, unit += 2)
            std::memcpy(unit, &value, 2); // the offset need not be aligned
        return S_OK;
    }

    // The smallest multiple of G that is not below `size`.
    static uint32_t Fit(uint32_t size)
    {
        const uint64_t fitted = (static_cast<uint64_t>(size) + G - 1) / G * G;
        if (fitted > UINT32_MAX)
            throw Exception<std::bad_alloc>();
        return static_cast<uint32_t>(fitted);
    }

protected:
    P mData = nullptr;
    uint32_t mSize = 0;
    void* mBlock = nullptr;
    uint32_t mCapacity = 0;

private:
    static void* NewBlock(uint32_t capacity)
    {
        void* block = A()->Malloc(capacity);
        if (!block)
            throw Exception<std::bad_alloc>();
        return block;
    }

    void ReleaseBlock()
    {
        A()->Free(mBlock);
        mData = nullptr;
        mBlock = nullptr;
        mSize = 0;
        mCapacity = 0;
    }

    void CopyFrom(const BufferT& other)
    {
        Allocate(other.mSize);
        if (other.mSize != 0)
            std::memcpy(mBlock, other.mBlock, other.mSize);
    }

    // Checks the range [offset, offset + count * unit) against the size; a
    // negative count means as many whole units as remain after the offset.
    bool RangeInBytes(uint32_t offset, int32_t count, uint32_t unit, uint32_t& bytes) const
    {
        if (offset > mSize)
            return false;
        if (count < 0) {
            bytes = (mSize - offset) / unit * unit;
            return true;
        }
        const uint64_t wanted = static_cast<uint64_t>(count) * unit;
        if (offset + wanted > mSize)
            return false;
        bytes = static_cast<uint32_t>(wanted);
        return true;
    }
};

} // namespace KX
