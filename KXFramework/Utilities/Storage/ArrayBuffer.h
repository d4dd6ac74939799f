// KX::ArrayBuffer<T,G,S>: plain values packed in a KX::BufferT, which grows in
// steps of G elements and gives memory back only when more than S elements
// (or G - 1) would stay spare. X and Y are kept for the shape of the type only.
//
// Contract (beyond KX::IArray):
// - Never runs constructors: elements are bytes, moved with single block
//   moves; elements that SetCount and InsertItems add are zero bytes.
// - AddItem and InsertItem answer the new count, not the index.
// - Indexed access is not checked; bad ranges in insertions, removals and
//   swaps (negative ones included) answer E_INVALIDARG and change nothing;
//   RemoveItems of 0 elements answers the count without a check; RemoveItem
//   past the end answers E_INVALIDARG; RemoveLastItem on an empty array E_FAIL.
// - Out of memory: the buffer throws KX::Exception<std::bad_alloc> and the
//   array stays as it was.
#pragma once

#include "Utilities/Storage/BufferT.h"
#include "Utilities/Storage/IArray.h"
#include "Utilities/Storage/PackedArrayEdits.h"

#include <cstring>
#include <type_traits>

namespace KX {

template <class T, uint32_t G = 1, uint32_t S = 0, int X = 1, int Y = 8, AllocatorFunction A = &GetSystemAllocator>
class ArrayBuffer : public IArray<T>, private BufferT<G * sizeof(T), S * sizeof(T), Y, T*, A>
{
    static_assert(std::is_trivially_copyable_v<T>, "elements are moved as bytes");

protected:
    using Buffer = BufferT<G * sizeof(T), S * sizeof(T), Y, T*, A>;

public:
    ArrayBuffer() = default;
    ArrayBuffer(const ArrayBuffer& other) : IArray<T>(), Buffer(other) {}
    ArrayBuffer& operator=(const ArrayBuffer& other)
    {
        Buffer::operator=(other);
        return *this;
    }
    ~ArrayBuffer() override = default;

    int32_t GetCount() const override { return static_cast<int32_t>(Buffer::mSize / sizeof(T)); }

    using IArray<T>::GetData;
    T* GetData() override { return Buffer::mData; }

    // Sets the buffer to `count` elements without initialising any; answers
    // the new count.
    virtual int32_t SetSize(int32_t count)
    {
        if (count < 0)
            return E_INVALIDARG;
        if (static_cast<uint64_t>(count) * sizeof(T) > UINT32_MAX)
            return E_OUTOFMEMORY;
        return static_cast<int32_t>(Buffer::Resize(static_cast<uint32_t>(count * sizeof(T))) / sizeof(T));
    }

    int32_t SetCount(int32_t count) override
    {
        const int32_t old = GetCount();
        const int32_t result = SetSize(count);
        if (result >= 0 && count > old)
            std::memset(static_cast<void*>(GetData() + old), 0, static_cast<size_t>(count - old) * sizeof(T));
        return result;
    }

    int32_t InsertItems(int32_t index, int32_t count) override
    {
        const int32_t size = GetCount();
        if (const auto answer = PackedArrayEdits::CheckInsertion(size, index, count, 0x7FFFFFFF))
            return *answer;
        if (index == size)
            return SetCount(size + count);
        const int32_t result = SetSize(size + count);
        if (result < 0)
            return result;
        T* data = GetData();
        PackedArrayEdits::OpenGap(data, size, index, count);
        std::memset(static_cast<void*>(data + index), 0, static_cast<size_t>(count) * sizeof(T));
        return size + count;
    }

    int32_t RemoveItems(int32_t index, int32_t count) override
    {
        const int32_t size = GetCount();
        if (const auto answer = PackedArrayEdits::CheckRemoval(size, index, count))
            return *answer;
        PackedArrayEdits::CloseGap(GetData(), size, index, count);
        return SetSize(size - count);
    }

    int32_t InsertItem(int32_t index, const T& value) override
    {
        const T copy = value; // the value may be an element that the insertion moves
        const int32_t result = InsertItems(index, 1);
        if (result < 0)
            return result;
        std::memcpy(static_cast<void*>(GetData() + index), &copy, sizeof(T));
        return result;
    }

    int32_t RemoveItem(int32_t index, T& out) override
    {
        if (index < 0 || index >= GetCount())
            return E_INVALIDARG;
        std::memcpy(static_cast<void*>(&out), GetData() + index, sizeof(T));
        return RemoveItems(index, 1);
    }

    // The storage, for the few owners that look at it (capacity in bytes).
    uint32_t GetCapacityInBytes() const { return Buffer::GetCapacity(); }

protected:
    Buffer& GetBuffer() { return *this; }
    const Buffer& GetBuffer() const { return *this; }
};

} // namespace KX
