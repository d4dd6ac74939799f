// KX::PackedArrayEdits: what the arrays whose elements move as bytes share
// (KX::ArrayBuffer, KX::SimpleFixedArray and the slots of KX::ConstRCPtrArray):
// the argument checks of their block insertions and removals, which follow one
// contract, and the block moves that open and close a gap.
#pragma once

#include "ObjectBase/ResultCodes.h"

#include <cstdint>
#include <cstring>
#include <optional>

namespace KX::PackedArrayEdits {

// What InsertItems(index, count) on `size` elements answers before anything
// moves, if anything: E_INVALIDARG for a negative index or count; the count
// unchanged for an empty insertion, whatever the index; E_INVALIDARG for an
// index past the end or a count that would take the array past maxCount.
inline std::optional<int32_t> CheckInsertion(int32_t size, int32_t index, int32_t count, int64_t maxCount)
{
    if (index < 0 || count < 0)
        return E_INVALIDARG;
    if (count == 0)
        return size;
    if (index > size || static_cast<int64_t>(size) + count > maxCount)
        return E_INVALIDARG;
    return std::nullopt;
}

// The same for RemoveItems(index, count): E_INVALIDARG for a negative index or
// count; the count unchanged for an empty removal, whatever the index;
// E_INVALIDARG for a range that runs past the end.
inline std::optional<int32_t> CheckRemoval(int32_t size, int32_t index, int32_t count)
{
    if (index < 0 || count < 0)
        return E_INVALIDARG;
    if (count == 0)
        return size;
    if (static_cast<int64_t>(index) + count > size)
        return E_INVALIDARG;
    return std::nullopt;
}

// Moves the elements from index on (of `size` in data) up by count; the gap
// keeps its old bytes. data must have room for size + count elements.
template <class E>
void OpenGap(E* data, int32_t size, int32_t index, int32_t count)
{
    std::memmove(static_cast<void*>(data + index + count), data + index, static_cast<size_t>(size - index) * sizeof(E));
}

// Moves the elements after the count elements at index (of `size` in data)
// down over them.
template <class E>
void CloseGap(E* data, int32_t size, int32_t index, int32_t count)
{
    std::memmove(static_cast<void*>(data + index), data + index + count,
                 static_cast<size_t>(size - index - count) * sizeof(E));
}

} // namespace KX::PackedArrayEdits
