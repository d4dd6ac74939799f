// KX::LPixelBuffer<T>: a counted rectangle of pixels in memory, the store of
// the OpenGL glyph atlases and of the glyph bitmaps that FreeType renders
// (T = unsigned char, one alpha value per pixel).
//
// Contract:
// - Width, height and stride count elements; the buffer holds height x
//   stride elements, row y starting at element y x stride.
// - Made from data, the buffer copies height x stride elements of it; made
//   without, it is zero and a stride of 0 becomes the width rounded up to a
//   multiple of 16.
// - GetPixel answers the address of element x + y x stride, or null when
//   that index lies outside the buffer (no other check: x may run into the
//   next row).
// - SetHeight keeps the rows that remain and zero-fills new ones.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Graphics/PixelBuffer.h"
#include "Utilities/Storage/LBufferT.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace KX {

template <class T>
class LPixelBuffer : public IPixelBuffer<T>, public virtual LRefCountedObject
{
public:
    static RCPtr<LPixelBuffer> Create(int32_t width, int32_t height, int32_t stride = 0, const T* data = nullptr)
    {
        return RCPtr<LPixelBuffer>(new LPixelBuffer(width, height, stride, data));
    }

    int32_t GetWidth() const override { return mWidth; }
    int32_t GetHeight() const override { return mHeight; }
    int32_t GetStride() const override { return mStride; }

    const T* GetPixel(int32_t x, int32_t y) const override
    {
        const int64_t index = static_cast<int64_t>(x) + static_cast<int64_t>(y) * mStride;
        if (index < 0 || index >= GetElementCount())
            return nullptr;
        return GetData() + index;
    }

    T* GetPixel(int32_t x, int32_t y) override
    {
        return const_cast<T*>(static_cast<const LPixelBuffer*>(this)->GetPixel(x, y));
    }

    // Resizes to `height` rows of the stride: 0, or E_FAIL (nothing changed)
    // when the memory cannot be had.
    KXRESULT SetHeight(int32_t height)
    {
        if (height < 0)
            return E_INVALIDARG;
        const uint64_t bytes = static_cast<uint64_t>(height) * static_cast<uint64_t>(mStride) * sizeof(T);
        if (bytes > UINT32_MAX)
            return E_FAIL;
        try {
            // A copy of the size: the existing rows, zeros after them.
            RCPtr<LIBuffer> resized;
            mPixels->CopyRange(resized, static_cast<uint32_t>(bytes), 0);
            mPixels = resized;
        } catch (const std::bad_alloc&) {
            return E_FAIL;
        }
        mHeight = height;
        return S_OK;
    }

    // The first element, for whole-buffer uploads.
    const T* GetData() const { return static_cast<const T*>(mPixels->GetData()); }
    T* GetData() { return static_cast<T*>(mPixels->GetData()); }

protected:
    LPixelBuffer(int32_t width, int32_t height, int32_t stride, const T* data)
        : mWidth(width), mHeight(height > 0 ? height : 0), mStride(stride)
    {
        if (!data && mStride == 0)
            mStride = (width + 15) & ~15;
        if (mStride < 0)
            mStride = 0;
        const uint64_t bytes = static_cast<uint64_t>(mHeight) * static_cast<uint64_t>(mStride) * sizeof(T);
        LPixelStorage::Create(mPixels, bytes > UINT32_MAX ? 0 : static_cast<uint32_t>(bytes), 0, true);
        if (data && GetElementCount() > 0)
            std::memcpy(mPixels->GetData(), data, static_cast<size_t>(GetElementCount()) * sizeof(T));
    }
    ~LPixelBuffer() override = default;

private:
    int64_t GetElementCount() const { return mPixels->GetSize() / sizeof(T); }

    int32_t mWidth = 0;
    int32_t mHeight = 0;
    int32_t mStride = 0;
    RCPtr<LIBuffer> mPixels;
};

} // namespace KX
