// KX::IArray<T>: an iterable whose elements lie in one contiguous run.
// Positions are element addresses, indexed access is GetData() + index without
// a check, and Advance clamps to the run.
#pragma once

#include "Utilities/Storage/IIterable.h"

#include <algorithm>

namespace KX {

template <class T>
class IArray : public IIterable<T>
{
public:
    using typename IIterable<T>::Position;
    using IIterable<T>::GetCount;

    // The first element of the contiguous storage; the const form calls this one.
    virtual T* GetData() = 0;
    const T* GetData() const { return const_cast<IArray*>(this)->GetData(); }

    using IIterable<T>::GetItem;
    T& GetItem(Position position) override { return *static_cast<T*>(position); }

    using IIterable<T>::GetAt;
    T& GetAt(int32_t index) override { return GetData()[index]; }

    Position Advance(Position position, int32_t n) const override
    {
        const int32_t count = GetCount();
        if (!position || count <= 0)
            return position;
        T* data = const_cast<T*>(GetData());
        const int64_t index = static_cast<T*>(position) - data;
        const int64_t moved = std::clamp<int64_t>(index + n, 0, count);
        return data + moved;
    }

    Position GetBeginPosition() const override
    {
        return GetCount() <= 0 ? nullptr : const_cast<T*>(GetData());
    }

    Position GetEndPosition() const override
    {
        return GetCount() <= 0 ? nullptr : const_cast<T*>(GetData()) + GetCount();
    }

    // Copies source elements into the elements from `offset` on, up to the
    // smaller of offset + count and the element count; answers how many were
    // copied (0 for an offset outside the array). Never changes the count.
    int32_t CopyIn(const T* source, int32_t offset, int32_t count)
    {
        const int32_t size = GetCount();
        if (!source || offset < 0 || offset >= size || count <= 0)
            return 0;
        const int32_t end = static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(offset) + count, size));
        for (int32_t i = offset; i < end; ++i)
            GetAt(i) = source[i - offset];
        return end - offset;
    }

protected:
    IArray() = default;
    IArray(const IArray&) = default;
    IArray& operator=(const IArray&) = default;
    ~IArray() = default;
};

} // namespace KX
