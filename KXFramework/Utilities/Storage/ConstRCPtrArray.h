// KX::ConstRCPtrArray<T,G,S>: an array of counted pointers to T, read as
// KX::ConstRCPtr<T>. The slots are plain pointers packed in a KX::BufferT that
// grows by G slots and keeps up to S spare slots; a slot is null or owns
// exactly one reference on its object.
//
// Contract (beyond KX::IArray):
// - Removing or overwriting a slot releases its object; destroying the array
//   releases them all. RemoveItem and RemoveLastItem hand the array's
//   reference to the caller instead.
// - AddItem and InsertItem answer the index of the new element; new slots
//   (SetCount, InsertItems) are null.
// - RemoveItem at or past the end throws KX::Exception<std::out_of_range>;
//   RemoveItems removes what lies in range and then throws the same way.
//   Negative indices and counts in insertions, removals and swaps answer
//   E_INVALIDARG; RemoveLastItem on an empty array answers E_FAIL.
// - Objects are released only once the array is consistent again, so an
//   object's destructor may use the array.
// - No lock; reference counts are atomic, so objects may be shared with arrays
//   on other threads.
#pragma once

#include "ObjectBase/Exception.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/TypeName.h"
#include "Utilities/Storage/BufferT.h"
#include "Utilities/Storage/IArray.h"
#include "Utilities/Storage/PackedArrayEdits.h"

#include <cstring>
#include <string>
#include <vector>

namespace KX {

namespace RCPtrSlots {

// A counted pointer is exactly one object pointer wide, so a slot can be
// handed out as one; these two move a reference between a slot and a counted
// pointer without touching the count.
template <class P, class T>
inline void Adopt(P& pointer, T* object)
{
    static_assert(sizeof(P) == sizeof(T*), "a counted pointer is one pointer wide");
    *reinterpret_cast<T**>(&pointer) = object;
}

template <class T>
inline void ReleaseAll(const std::vector<T*>& objects)
{
    for (T* object : objects) {
        ConstRCPtr<T> owner;
        Adopt(owner, object); // its destructor gives the reference back
    }
}

} // namespace RCPtrSlots

template <class T, uint32_t G = 1, uint32_t S = 0>
class ConstRCPtrArray : public IArray<ConstRCPtr<T>>, private BufferT<G * sizeof(T*), S * sizeof(T*), 8, T**, &GetSystemAllocator>
{
    using Buffer = BufferT<G * sizeof(T*), S * sizeof(T*), 8, T**, &GetSystemAllocator>;
    using Iterable = IIterable<ConstRCPtr<T>>;

public:
    // `count` null slots; a capacity above the count is reserved at once and
    // survives when the buffer's slack allows it.
    explicit ConstRCPtrArray(int32_t count = 0, int32_t capacity = 0)
        : Buffer(count > 0 ? static_cast<uint32_t>(count) * sizeof(T*) : 0,
                 capacity > 0 ? static_cast<uint32_t>(capacity) * sizeof(T*) : 0, true)
    {
    }

    ConstRCPtrArray(const ConstRCPtrArray& other) : IArray<ConstRCPtr<T>>(), Buffer() { Append(other); }
    ConstRCPtrArray& operator=(const ConstRCPtrArray& other)
    {
        Assign(other);
        return *this;
    }

    virtual ~ConstRCPtrArray() { ConstRCPtrArray::SetCount(0); }

    int32_t GetCount() const override { return static_cast<int32_t>(Buffer::mSize / sizeof(T*)); }

    using IArray<ConstRCPtr<T>>::GetData;
    ConstRCPtr<T>* GetData() override { return reinterpret_cast<ConstRCPtr<T>*>(Buffer::mData); }

    int32_t SetCount(int32_t count) override
    {
        const int32_t size = GetCount();
        if (count < 0)
            return E_INVALIDARG;
        if (count < size)
            DetachAndRelease(count, size - count);
        else if (count > size)
            Grow(count);
        return count;
    }

    int32_t InsertItems(int32_t index, int32_t count) override
    {
        const int32_t size = GetCount();
        if (const auto answer = PackedArrayEdits::CheckInsertion(size, index, count, 0x7FFFFFFF))
            return *answer;
        if (index == size)
            return SetCount(size + count);
        Grow(size + count);
        T** slots = Buffer::mData;
        PackedArrayEdits::OpenGap(slots, size, index, count);
        std::memset(static_cast<void*>(slots + index), 0, static_cast<size_t>(count) * sizeof(T*));
        return size + count;
    }

    // Removes what lies in range; when the range runs past the end, throws
    // after removing it, as a removal one by one would.
    int32_t RemoveItems(int32_t index, int32_t count) override
    {
        const int32_t size = GetCount();
        if (index < 0 || count < 0)
            return E_INVALIDARG;
        if (count == 0)
            return size;
        const int32_t inRange = index < size ? std::min(count, size - index) : 0;
        if (inRange > 0)
            DetachAndRelease(index, inRange);
        if (inRange < count)
            ThrowRemoveOutOfRange();
        return GetCount();
    }

    int32_t InsertItem(int32_t index, const ConstRCPtr<T>& value) override
    {
        const ConstRCPtr<T> keep(value); // the value may be a slot that moves
        const int32_t result = InsertItems(index, 1);
        if (result < 0)
            return result;
        GetData()[index] = keep;
        return index;
    }

    int32_t RemoveItem(int32_t index, ConstRCPtr<T>& out) override
    {
        if (index < 0)
            return E_INVALIDARG;
        if (index >= GetCount())
            ThrowRemoveOutOfRange();
        return TakeItem(index, out);
    }

    int32_t RemoveLastItem(ConstRCPtr<T>& out) override
    {
        out = nullptr;
        const int32_t size = GetCount();
        if (size == 0)
            return E_FAIL;
        return TakeItem(size - 1, out);
    }

    int32_t Append(const Iterable& other) override { return AppendFrom(other); }

    int32_t Assign(const Iterable& other) override
    {
        if (&other == this)
            return GetCount();
        SetCount(0);
        return Append(other);
    }

    int32_t RemoveAll() override
    {
        SetCount(0);
        return 0;
    }

    int32_t SwapItems(int32_t a, int32_t b) override
    {
        const auto size = static_cast<uint32_t>(GetCount());
        if (static_cast<uint32_t>(a) >= size || static_cast<uint32_t>(b) >= size)
            return E_INVALIDARG;
        std::swap(Buffer::mData[a], Buffer::mData[b]);
        return 0;
    }

    // The bytes reserved for slots.
    uint32_t GetCapacityInBytes() const { return Buffer::GetCapacity(); }

protected:
    // Appends the elements of any iterable of counted pointers to T; each new
    // slot takes its own reference.
    template <class P>
    int32_t AppendFrom(const IIterable<P>& other)
    {
        const int32_t old = GetCount();
        const int32_t n = other.GetCount();
        if (n <= 0)
            return old;
        if (static_cast<int64_t>(old) + n > 0x7FFFFFFF || SetCount(old + n) != old + n)
            return E_FAIL;
        auto position = other.GetBeginPosition();
        for (int32_t i = 0; i < n; ++i) {
            GetData()[old + i] = other.GetItem(position);
            position = other.Advance(position, 1);
        }
        return old + n;
    }

    // Moves slot `index` into `out` (whose old object is released) and closes
    // the gap; the new count.
    int32_t TakeItem(int32_t index, ConstRCPtr<T>& out)
    {
        T* object = Buffer::mData[index];
        Buffer::mData[index] = nullptr;
        const int32_t size = GetCount();
        PackedArrayEdits::CloseGap(Buffer::mData, size, index, 1);
        Buffer::Resize(static_cast<uint32_t>(size - 1) * sizeof(T*));
        out = nullptr;
        RCPtrSlots::Adopt(out, object);
        return size - 1;
    }

    [[noreturn]] static void ThrowRemoveOutOfRange()
    {
        const std::string operation = "KX::ConstRCPtrArray<" + TypeNameOf<T>() + "," + std::to_string(G) + "," +
                                      std::to_string(S) + ">::RemoveItem";
        KX_THROW(std::out_of_range, "", operation.c_str(), "utilities/Storage/ConstRCPtrArray", 216);
    }

private:
    void Grow(int32_t count)
    {
        const uint32_t oldBytes = Buffer::mSize;
        Buffer::Resize(static_cast<uint32_t>(count) * sizeof(T*));
        std::memset(reinterpret_cast<char*>(Buffer::mData) + oldBytes, 0, Buffer::mSize - oldBytes);
    }

    // Takes `count` slots from `index` out of the array, closes the gap, and
    // only then releases their objects, in index order.
    void DetachAndRelease(int32_t index, int32_t count)
    {
        const int32_t size = GetCount();
        T** slots = Buffer::mData;
        std::vector<T*> objects(slots + index, slots + index + count);
        PackedArrayEdits::CloseGap(slots, size, index, count);
        Buffer::Resize(static_cast<uint32_t>(size - count) * sizeof(T*));
        RCPtrSlots::ReleaseAll(objects);
    }
};

} // namespace KX
