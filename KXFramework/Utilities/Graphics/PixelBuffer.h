// KX::IPixelBuffer<T>: a rectangle of pixels in memory, read row by row.
// Implemented by locked bitmap pixels (KX::LBitmapData, 32-bit pixels) and by
// the glyph atlases of the OpenGL renderer (8-bit elements).
#pragma once

#include <cstdint>

namespace KX {

template <class T>
class IPixelBuffer
{
public:
    virtual ~IPixelBuffer() = default;

    virtual int32_t GetWidth() const = 0;
    virtual int32_t GetHeight() const = 0;
    // The distance from one row to the next, as the implementation counts it
    // (KX::LBitmapData: bytes, as GDI+ reports it).
    virtual int32_t GetStride() const = 0;
    // The address of pixel (x, y).
    virtual const T* GetPixel(int32_t x, int32_t y) const = 0;
    virtual T* GetPixel(int32_t x, int32_t y) = 0;
};

} // namespace KX
