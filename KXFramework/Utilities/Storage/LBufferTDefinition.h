// KX::LIBuffer and KX::LBufferT: the reference-counted byte buffer that several
// owners share (the characters of every framework string, pixel buffers).
//
// Include "Utilities/Storage/LBufferT.h", never this file: the string header
// brings it in right after the object model, because the object model's
// header ends by including the string header, which needs these classes.
//
// Contract:
// - A shared buffer is never written while it is shared: writers take their
//   own copy first (CopyRange, or the smart pointer's Unshare through
//   CreateCopy), so concurrent readers see constant bytes.
// - LBufferT is the only class of the framework that implements CreateCopy,
//   and so the only kind of object a smart pointer can unshare.
// - The IBuffer operations are those of KX::BufferT with the same parameters.
#pragma once

#include "ObjectBase/RefCountedObject.h" // complete here whichever header came first
#include "Utilities/Storage/BufferT.h"

namespace KX {

class LIBuffer : public virtual IBuffer, public virtual LRefCountedObject
{
public:
    // A new buffer of the same class, `size` bytes long and all zero, into
    // whose start as many bytes of this buffer from `offset` on are copied as
    // fit. An offset at or beyond the size gives an all-zero buffer. This
    // buffer is not changed. Answers `out`.
    virtual RCPtr<LIBuffer>& CopyRange(RCPtr<LIBuffer>& out, uint32_t size, uint32_t offset) const = 0;

protected:
    ~LIBuffer() override = default;
};

template <uint32_t G, uint32_t S, int X, class P, AllocatorFunction A>
class LBufferT : public BufferT<G, S, X, P, A>, public LIBuffer
{
    using Storage = BufferT<G, S, X, P, A>;

public:
    // A new buffer made with BufferT's constructor, held by `out` (count 1).
    static KXRESULT Create(RCPtr<LIBuffer>& out, uint32_t size, uint32_t capacity, bool zero)
    {
        out = new LBufferT(size, capacity, zero);
        return S_OK;
    }

    RCPtr<LIBuffer>& CopyRange(RCPtr<LIBuffer>& out, uint32_t size, uint32_t offset) const override
    {
        RCPtr<LIBuffer> copy;
        Create(copy, size, 0, true);
        if (offset < this->mSize) {
            const uint32_t count = std::min(size, this->mSize - offset);
            if (count != 0)
                std::memcpy(copy->GetData(), static_cast<const char*>(this->mBlock) + offset, count);
        }
        out = copy;
        return out;
    }

    // An exact copy: same size and bytes, capacity fit(size), shareable.
    RCPtr<LRefCountedObject> CreateCopy() const override
    {
        RCPtr<LIBuffer> copy;
        Create(copy, this->mSize, 0, true);
        if (this->mSize != 0)
            std::memcpy(copy->GetData(), this->mBlock, this->mSize);
        return RCPtr<LRefCountedObject>(copy.Get());
    }

protected:
    LBufferT(uint32_t size, uint32_t capacity, bool zero) : Storage(size, capacity, zero) {}
    ~LBufferT() override = default;
};

// The character storage of every framework string, 8-bit and 16-bit.
using LStringBuffer = LBufferT<1, 128, 8, char*, &GetSystemAllocator>;
// The pixel storage of the renderers' pixel buffers (KX::LPixelBuffer<T>).
using LPixelStorage = LBufferT<1, 0, 8, char*, &GetSystemAllocator>;

} // namespace KX
