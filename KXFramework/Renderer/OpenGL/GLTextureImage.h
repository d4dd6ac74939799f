// KX::LGLTextureImage: pixels handed to a texture upload: where they are, how
// GL reads them (format, type) and how rows follow each other.
//
// Contract:
// - A record either borrows its pixels (locked bitmap data, an atlas) or owns
//   them (a rescaled copy); owned pixels are freed when the record is
//   cleared or destroyed.
// - Records are moved, never copied: moving hands the ownership on and
//   leaves the source empty.
#pragma once

#include "Renderer/OpenGL/GLHeaders.h"

#include <cstdint>

namespace KX {

class LGLTextureImage
{
public:
    LGLTextureImage() = default;
    // A record of borrowed pixels.
    LGLTextureImage(GLenum format, GLenum type, const void* pixels, int32_t width, int32_t height, int32_t rowBytes,
                    int32_t bytesPerPixel);
    LGLTextureImage(LGLTextureImage&& other) noexcept;
    LGLTextureImage& operator=(LGLTextureImage&& other) noexcept;
    LGLTextureImage(const LGLTextureImage&) = delete;
    LGLTextureImage& operator=(const LGLTextureImage&) = delete;
    ~LGLTextureImage();

    // A record that owns new zeroed pixels of the size, rows padded to
    // `rowAlignment` bytes. Empty (no pixels) when the memory cannot be had.
    static LGLTextureImage Allocate(GLenum format, GLenum type, int32_t width, int32_t height, int32_t bytesPerPixel,
                                    int32_t rowAlignment);

    // Frees owned pixels and empties the record.
    void Clear();

    GLenum mFormat = GL_RGBA;
    GLenum mType = GL_UNSIGNED_BYTE;
    bool mOwnsPixels = false;
    void* mPixels = nullptr;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    int32_t mRowBytes = 0;
    int32_t mBytesPerPixel = 0;
};

} // namespace KX
