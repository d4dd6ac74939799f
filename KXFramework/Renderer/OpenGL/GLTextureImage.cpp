#include "Renderer/OpenGL/GLTextureImage.h"

#include <cstdlib>
#include <utility>

namespace KX {

LGLTextureImage::LGLTextureImage(GLenum format, GLenum type, const void* pixels, int32_t width, int32_t height,
                                 int32_t rowBytes, int32_t bytesPerPixel)
    : mFormat(format), mType(type), mOwnsPixels(false), mPixels(const_cast<void*>(pixels)), mWidth(width),
      mHeight(height), mRowBytes(rowBytes), mBytesPerPixel(bytesPerPixel)
{
}

LGLTextureImage::LGLTextureImage(LGLTextureImage&& other) noexcept
{
    *this = std::move(other);
}

LGLTextureImage& LGLTextureImage::operator=(LGLTextureImage&& other) noexcept
{
    if (this == &other)
        return *this;
    Clear();
    mFormat = other.mFormat;
    mType = other.mType;
    mOwnsPixels = other.mOwnsPixels;
    mPixels = other.mPixels;
    mWidth = other.mWidth;
    mHeight = other.mHeight;
    mRowBytes = other.mRowBytes;
    mBytesPerPixel = other.mBytesPerPixel;
    other.mOwnsPixels = false;
    other.mPixels = nullptr;
    other.Clear();
    return *this;
}

LGLTextureImage::~LGLTextureImage()
{
    Clear();
}

LGLTextureImage LGLTextureImage::Allocate(GLenum format, GLenum type, int32_t width, int32_t height,
                                          int32_t bytesPerPixel, int32_t rowAlignment)
{
    LGLTextureImage image;
    if (width <= 0 || height <= 0 || bytesPerPixel <= 0 || rowAlignment <= 0)
        return image;
    const int64_t rowBytes =
        (static_cast<int64_t>(width) * bytesPerPixel + rowAlignment - 1) / rowAlignment * rowAlignment;
    if (rowBytes > 0x7FFFFFFF)
        return image;
    void* pixels = std::calloc(static_cast<size_t>(height), static_cast<size_t>(rowBytes));
    if (!pixels)
        return image;
    image = LGLTextureImage(format, type, pixels, width, height, static_cast<int32_t>(rowBytes), bytesPerPixel);
    image.mOwnsPixels = true;
    return image;
}

void LGLTextureImage::Clear()
{
    if (mOwnsPixels)
        std::free(mPixels);
    mOwnsPixels = false;
    mPixels = nullptr;
    mWidth = 0;
    mHeight = 0;
    mRowBytes = 0;
    mBytesPerPixel = 0;
}

} // namespace KX
