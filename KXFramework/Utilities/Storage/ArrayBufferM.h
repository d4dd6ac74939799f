// KX::ArrayBufferM<T,N,G,S>: a KX::ArrayBuffer that keeps up to N elements
// inside the object and uses its buffer only above N, so short runs (the
// common MIDI messages of up to 4 bytes) need no heap memory.
//
// While the count is at most N the elements live inline and the inline count
// holds their number; above N they live in the buffer and the inline count is
// 0. An inline count of 0 reports the buffer's count, which is then 0 as well,
// so "empty" needs no flag of its own.
#pragma once

#include "Utilities/Storage/ArrayBuffer.h"

#include <algorithm>
#include <cstring>

namespace KX {

template <class T, int N, uint32_t G = 1, uint32_t S = 0, int X = 1, int Y = 8,
          AllocatorFunction A = &GetSystemAllocator>
class ArrayBufferM : public ArrayBuffer<T, G, S, X, Y, A>
{
    static_assert(N > 0, "room for at least one inline element");
    using Base = ArrayBuffer<T, G, S, X, Y, A>;
    using Buffer = typename Base::Buffer;

public:
    ArrayBufferM() = default;
    ArrayBufferM(const ArrayBufferM& other) = default;
    ArrayBufferM& operator=(const ArrayBufferM& other) = default;

    int32_t GetCount() const override
    {
        return mInlineCount != 0 ? static_cast<int32_t>(mInlineCount) : Base::GetCount();
    }

    using IArray<T>::GetData;
    T* GetData() override { return IsInline() ? mInline : Base::GetData(); }

    int32_t SetSize(int32_t count) override
    {
        if (count < 0)
            return E_INVALIDARG;
        if (IsInline()) {
            if (count <= N) {
                mInlineCount = static_cast<uint32_t>(count);
            } else {
                const int32_t old = static_cast<int32_t>(mInlineCount);
                const int32_t result = Base::SetSize(count); // from an empty buffer: a fresh block
                if (result < 0)
                    return result;
                std::memcpy(static_cast<void*>(Base::GetData()), mInline, static_cast<size_t>(old) * sizeof(T));
                mInlineCount = 0;
            }
        } else if (count > N) {
            return Base::SetSize(count);
        } else {
            std::memcpy(static_cast<void*>(mInline), Base::GetData(), static_cast<size_t>(count) * sizeof(T));
            mInlineCount = static_cast<uint32_t>(count);
            this->GetBuffer().Allocate(0);
        }
        return count;
    }

    // The IBuffer view follows the elements: inline storage while the count
    // is at most N, the buffer otherwise.
    uint32_t GetSize() const override
    {
        return IsInline() ? mInlineCount * static_cast<uint32_t>(sizeof(T)) : this->GetBuffer().Buffer::GetSize();
    }

    KXRESULT Fill(uint8_t value, uint32_t offset, int32_t count) override
    {
        return IsInline() ? FillInline(value, offset, count) : this->GetBuffer().Buffer::Fill(value, offset, count);
    }

    KXRESULT Fill16(uint16_t value, uint32_t offset, int32_t count) override
    {
        return IsInline() ? FillInline(value, offset, count) : this->GetBuffer().Buffer::Fill16(value, offset, count);
    }

    // True while the elements live inside the object.
    bool IsInline() const { return mInlineCount != 0 || Base::GetCount() == 0; }

    // The buffer part seen as an IBuffer (for tests and owners that fill it).
    IBuffer& AsBuffer() { return this->GetBuffer(); }

private:
    // Fill and Fill16 on the inline elements: count units of value from the
    // byte offset on (as many whole units as fit for a negative count).
    template <class Unit>
    KXRESULT FillInline(Unit value, uint32_t offset, int32_t count)
    {
        uint32_t bytes = 0;
        if (!InlineRange(offset, count, sizeof(Unit), bytes))
            return E_INVALIDARG;
        char* unit = reinterpret_cast<char*>(mInline) + offset;
        for (uint32_t i = 0; i < bytes / sizeof(Unit); ++i, unit += sizeof(Unit))
            std::memcpy(unit, &value, sizeof(Unit)); // the offset need not be aligned
        return S_OK;
    }

    bool InlineRange(uint32_t offset, int32_t count, uint32_t unit, uint32_t& bytes) const
    {
        const uint32_t size = mInlineCount * static_cast<uint32_t>(sizeof(T));
        if (offset > size)
            return false;
        if (count < 0) {
            bytes = (size - offset) / unit * unit;
            return true;
        }
        const uint64_t wanted = static_cast<uint64_t>(count) * unit;
        if (offset + wanted > size)
            return false;
        bytes = static_cast<uint32_t>(wanted);
        return true;
    }

    T mInline[N] = {};
    uint32_t mInlineCount = 0;
};

} // namespace KX
