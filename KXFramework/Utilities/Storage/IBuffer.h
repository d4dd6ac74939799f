// KX::IBuffer: a resizable run of bytes in one heap block.
//
// Sizes, offsets and capacities are in bytes whatever the element type of the
// implementation's data pointer. Implementations inherit this interface
// virtually, so a buffer class and an interface that itself derives from
// IBuffer (KX::LIBuffer) share one IBuffer part.
#pragma once

#include "ObjectBase/ResultCodes.h"

#include <cstdint>

namespace KX {

class IBuffer
{
public:
    virtual uint32_t GetSize() const = 0;
    // Sets the size; the contents are lost when the block has to change.
    virtual uint32_t Allocate(uint32_t size) = 0;
    // Sets the size and keeps the contents up to the smaller of both sizes.
    virtual uint32_t Resize(uint32_t size) = 0;
    // Writes `value` into `count` bytes from `offset`; a negative count means
    // to the end. E_INVALIDARG, writing nothing, when the range leaves the size.
    virtual KXRESULT Fill(uint8_t value, uint32_t offset, int32_t count) = 0;
    // The same in 16-bit units; a negative count means half the remaining
    // bytes (an odd last byte is left alone).
    virtual KXRESULT Fill16(uint16_t value, uint32_t offset, int32_t count) = 0;
    virtual uint32_t GetCapacity() const = 0;
    virtual void* GetData() const = 0;

protected:
    // Buffers are destroyed through their own classes, never through this one.
    ~IBuffer() = default;
};

} // namespace KX
