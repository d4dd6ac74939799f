// KX::SimpleFixedArray<T,N>: up to N plain elements inside the object.
//
// Contract (beyond KX::IArray):
// - GetMaxCount is N; SetCount above N gives N.
// - Inserted elements keep whatever bytes their storage held; removal and
//   insertion move elements with one block move.
// - Indexed access is not checked; bad ranges in insertions, removals and
//   swaps (negative ones included) answer E_INVALIDARG and change nothing;
//   RemoveItem past the end answers E_INVALIDARG; RemoveLastItem on an empty
//   array answers E_FAIL.
// - The creator may set mCount and mItems directly.
#pragma once

#include "Utilities/Storage/IArray.h"
#include "Utilities/Storage/PackedArrayEdits.h"

#include <initializer_list>
#include <type_traits>

namespace KX {

template <class T, int N>
class SimpleFixedArray : public IArray<T>
{
    static_assert(std::is_trivially_copyable_v<T>, "elements are moved as bytes");
    static_assert(N > 0, "room for at least one element");

public:
    SimpleFixedArray() = default;
    SimpleFixedArray(std::initializer_list<T> items)
    {
        for (const T& item : items) {
            if (mCount >= static_cast<uint32_t>(N))
                break;
            mItems[mCount++] = item;
        }
    }

    int32_t GetCount() const override { return static_cast<int32_t>(mCount); }
    int32_t GetMaxCount() const override { return N; }

    using IArray<T>::GetData;
    T* GetData() override { return mItems; }

    int32_t SetCount(int32_t count) override
    {
        if (count < 0)
            return E_INVALIDARG;
        mCount = static_cast<uint32_t>(count > N ? N : count);
        return GetCount();
    }

    int32_t InsertItems(int32_t index, int32_t count) override
    {
        const int32_t size = GetCount();
        if (const auto answer = PackedArrayEdits::CheckInsertion(size, index, count, N))
            return *answer;
        PackedArrayEdits::OpenGap(mItems, size, index, count);
        mCount = static_cast<uint32_t>(size + count);
        return GetCount();
    }

    int32_t RemoveItems(int32_t index, int32_t count) override
    {
        const int32_t size = GetCount();
        if (const auto answer = PackedArrayEdits::CheckRemoval(size, index, count))
            return *answer;
        PackedArrayEdits::CloseGap(mItems, size, index, count);
        return SetCount(size - count);
    }

    uint32_t mCount = 0;
    T mItems[N] = {};
};

} // namespace KX
