// KX::LGLTexture: one GL texture made from a bitmap or from pixels in memory,
// sized to powers of two and fitted to what the driver accepts. The OpenGL
// renderer keeps its bitmaps' textures in a cache; every glyph atlas of the
// glyph cache is one (KX::LGLGlyphRenderer::LCachedFont derives from it).
//
// Contract:
// - The texture's allocated size is, per side, the smallest power of two not
//   below the image's (at most 16384), halved as long as the driver's proxy
//   test refuses it. An image that does not fit the allocation as it stands
//   (the driver refused the size, the image is larger than 16384, or repeat
//   wrapping wants the whole texture) is rescaled to the texture's size
//   first; otherwise it sits at the texture's origin, only its part is
//   mapped, and its last column and row are repeated once beyond it so that
//   a scaled draw does not fade at the right and bottom edges.
// - Draw maps source edges given in the image's own (scaled) units, so a
//   rescaled image still draws whole.
// - The GL name lives as long as the object and belongs to the GL context
//   current when it was generated; GL calls need that context current, and
//   errors are drained and ignored (a texture whose allocation failed draws
//   nothing). Released without its context current, the name is deleted
//   when the renderer next makes the context current (KX::LGLContextNames).
// - User-interface thread only.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Renderer/OpenGL/GLContextNames.h"
#include "Renderer/OpenGL/GLHeaders.h"
#include "Renderer/OpenGL/GLTextureImage.h"

#include <cstdint>

namespace KX {

class LBitmap;

class LGLTexture : public LRefCountedObject
{
public:
    // Upload flags.
    static constexpr uint32_t kNearest = 1; // nearest filtering, else linear
    static constexpr uint32_t kRepeat = 2;  // repeat wrapping and power-of-two rescaling, else clamp to the edge
    static constexpr uint32_t kMipmaps = 4;

    static constexpr GLuint kNoName = 0xFFFFFFFFu;
    static constexpr int32_t kMaxTextureSize = 16384;

    // {left, top, right, bottom}.
    struct Edges
    {
        float mLeft = 0.0f;
        float mTop = 0.0f;
        float mRight = 0.0f;
        float mBottom = 0.0f;
    };

    // An empty texture (no GL name yet).
    static RCPtr<LGLTexture> Create();
    // A texture of the bitmap's image: its pixels locked and uploaded as
    // 32-bit BGRA into GL_RGBA8 with linear filtering. 0; E_INVALIDARG for a
    // null bitmap; E_FAIL when the pixels cannot be locked (the texture then
    // exists but holds no image).
    static KXRESULT CreateFromBitmap(RCPtr<LGLTexture>& out, const RCPtr<LBitmap>& bitmap);

    // The smallest power of two not below n, at most 16384 (1 for n <= 1).
    static int32_t GetTextureSize(int32_t n);
    // Halves width and height (height not below 1) until the driver's proxy
    // accepts a level-0 image of the internal format at that size or the
    // width is no longer above 1; answers the factor (1, 2, 4, ...).
    static int32_t FitTextureSize(GLint internalFormat, GLenum format, GLenum type, int32_t& width,
                                  int32_t& height);

    // Allocates (or reallocates) the texture for the image and uploads it.
    // The image may be replaced by a rescaled copy it then owns.
    void Upload(LGLTextureImage& image, GLint internalFormat, uint32_t flags, float scale);
    // One textured quad: the source edges of the image onto the destination
    // edges (left top, left bottom, right bottom, right top); texturing is
    // switched on for it and off after.
    void Draw(const Edges& source, const Edges& destination) const;

    // True when the name is a live GL texture of the current context.
    bool IsValid() const;
    GLuint GetName() const { return mName; }
    int32_t GetTextureWidth() const { return mTextureWidth; }
    int32_t GetTextureHeight() const { return mTextureHeight; }
    float GetImageWidth() const { return mImageWidth; }
    float GetImageHeight() const { return mImageHeight; }
    float GetScaledWidth() const { return mScaledWidth; }
    float GetScaledHeight() const { return mScaledHeight; }
    const RCPtr<LBitmap>& GetBitmap() const { return mBitmap; }

protected:
    LGLTexture();
    ~LGLTexture() override;

    GLenum mTarget = GL_TEXTURE_2D;
    GLuint mName = kNoName;
    int32_t mTextureWidth = 0;
    int32_t mTextureHeight = 0;
    float mImageWidth = 0.0f;
    float mImageHeight = 0.0f;
    float mScaledWidth = 0.0f;
    float mScaledHeight = 0.0f;
    RCPtr<LBitmap> mBitmap;
    // The names of the context the name was generated in.
    RCPtr<LGLContextNames> mNames;

private:
    LGLTexture(const LGLTexture&) = delete;
    LGLTexture& operator=(const LGLTexture&) = delete;

    // Hands the name to its context for deletion and forgets it.
    void ReleaseName();
    void SetParameters(uint32_t flags) const;
    // A copy of the image scaled to the texture's size (GLU); empty when
    // scaling fails.
    LGLTextureImage ScaleToTexture(const LGLTextureImage& image) const;
};

} // namespace KX
