// KX::ArrayUtils: ordering of arrays and of index lists into them.
//
// Both sorts are stable: elements (or indices) that compare equal keep their
// order, so the result depends only on the data and the comparison.
#pragma once

#include "ObjectBase/Exception.h"
#include "Utilities/Storage/IArray.h"

#include <algorithm>
#include <cstdint>

namespace KX {

class ArrayUtils
{
public:
    // Sorts `count` elements from `start` in place with less(a, b) on the
    // elements. Fewer than two elements: nothing. A range outside the array
    // throws KX::Exception<std::out_of_range> and changes nothing.
    template <class E, class Less>
    static void Sort(IArray<E>& array, int32_t start, int32_t count, Less less)
    {
        if (count < 2)
            return;
        if (start < 0 || static_cast<int64_t>(start) + count > array.GetCount())
            KX_THROW(std::out_of_range, "", "KX::ArrayUtils::Sort", "utilities/Storage/ArrayUtils", 254);
        E* first = array.GetData() + start;
        std::stable_sort(first, first + count, less);
    }

    // Fills `indices` with start ... start + count - 1 and sorts them with
    // less(i, j) on two indices into `list` (anything with GetCount). A range
    // outside the list throws KX::Exception<std::out_of_range>.
    template <class List, class Less>
    static void SortIndecies(IArray<unsigned int>& indices, const List& list, int32_t start, int32_t count, Less less)
    {
        if (start < 0 || count < 0 || static_cast<int64_t>(start) + count > list.GetCount())
            KX_THROW(std::out_of_range, "", "KX::ArrayUtils::SortIndecies", "utilities/Storage/ArrayUtils", 266);
        indices.SetCount(count);
        const int32_t filled = std::min(count, indices.GetCount());
        for (int32_t k = 0; k < filled; ++k)
            indices.GetAt(k) = static_cast<unsigned int>(start + k);
        if (filled >= 2) {
            unsigned int* first = indices.GetData();
            std::stable_sort(first, first + filled, [&less](unsigned int a, unsigned int b) { return less(a, b); });
        }
    }
};

} // namespace KX
