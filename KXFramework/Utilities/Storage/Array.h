// KX::Array<T>: the array for element types with constructors and destructors
// (strings, records holding strings) and for some plain types; the elements
// live in a standard vector.
//
// Contract (beyond KX::IArray):
// - New elements are value-initialised (0, empty strings, zero records).
// - AddItem and InsertItem answer the index of the new element.
// - GetAt with an index outside the array throws std::out_of_range
//   ("invalid vector<T> subscript"); so does RemoveItem for an index at or past
//   the end. Negative indices and counts in insertions, removals and swaps
//   answer E_INVALIDARG; RemoveLastItem on an empty array answers E_FAIL.
#pragma once

#include "Utilities/Storage/IArray.h"

#include <initializer_list>
#include <stdexcept>
#include <utility>
#include <vector>

namespace KX {

template <class T>
class Array : public IArray<T>
{
public:
    Array() = default;
    Array(std::initializer_list<T> items) : mItems(items) {}
    Array(const Array& other) : IArray<T>(), mItems(other.mItems) {}
    Array(Array&& other) noexcept : IArray<T>(), mItems(std::move(other.mItems)) {}
    Array& operator=(const Array& other)
    {
        mItems = other.mItems;
        return *this;
    }
    Array& operator=(Array&& other) noexcept
    {
        mItems = std::move(other.mItems);
        return *this;
    }
    virtual ~Array() = default;

    bool operator==(const Array& other) const { return mItems == other.mItems; }
    bool operator!=(const Array& other) const { return mItems != other.mItems; }

    int32_t GetCount() const override { return static_cast<int32_t>(mItems.size()); }

    using IArray<T>::GetAt;
    T& GetAt(int32_t index) override
    {
        if (static_cast<uint32_t>(index) >= mItems.size())
            throw std::out_of_range("invalid vector<T> subscript");
        return mItems[static_cast<size_t>(index)];
    }

    using IArray<T>::GetData;
    T* GetData() override { return mItems.empty() ? nullptr : mItems.data(); }

    int32_t SetCount(int32_t count) override
    {
        if (count < 0)
            return E_INVALIDARG;
        mItems.resize(static_cast<size_t>(count));
        return GetCount();
    }

    int32_t InsertItems(int32_t index, int32_t count) override
    {
        if (index < 0 || count < 0 || index > GetCount() || static_cast<int64_t>(GetCount()) + count > 0x7FFFFFFF)
            return E_INVALIDARG;
        mItems.insert(mItems.begin() + index, static_cast<size_t>(count), T());
        return GetCount();
    }

    int32_t RemoveItems(int32_t index, int32_t count) override
    {
        if (index < 0 || count < 0 || index >= GetCount() || static_cast<int64_t>(index) + count > GetCount())
            return E_INVALIDARG;
        mItems.erase(mItems.begin() + index, mItems.begin() + index + count);
        return GetCount();
    }

    int32_t InsertItem(int32_t index, const T& value) override
    {
        if (index < 0 || index > GetCount() || GetCount() == 0x7FFFFFFF)
            return E_INVALIDARG;
        mItems.insert(mItems.begin() + index, value); // safe when value is one of ours
        return index;
    }

    int32_t RemoveItem(int32_t index, T& out) override
    {
        if (index < 0)
            return E_INVALIDARG;
        out = GetAt(index); // throws past the end
        return RemoveItems(index, 1);
    }

    int32_t SwapItems(int32_t a, int32_t b) override
    {
        const auto count = static_cast<uint32_t>(GetCount());
        if (static_cast<uint32_t>(a) >= count || static_cast<uint32_t>(b) >= count)
            return E_INVALIDARG;
        using std::swap;
        swap(mItems[static_cast<size_t>(a)], mItems[static_cast<size_t>(b)]);
        return 0;
    }

private:
    std::vector<T> mItems;
};

} // namespace KX
