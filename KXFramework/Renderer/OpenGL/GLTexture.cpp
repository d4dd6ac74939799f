#include "Renderer/OpenGL/GLTexture.h"

#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/BitmapData.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace KX {

namespace {

// Tells GL how the image's rows lie in memory: the row length in pixels and
// an alignment that the row distance satisfies.
void SetUnpackLayout(const LGLTextureImage& image)
{
    const int32_t bytesPerPixel = std::max(image.mBytesPerPixel, 1);
    const int32_t remainder = image.mRowBytes % bytesPerPixel;
    int32_t alignment = 1;
    if (remainder != 0) {
        while (alignment <= remainder)
            alignment <<= 1;
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, image.mRowBytes / bytesPerPixel);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

// Back to the renderer's unpack state: tight rows, byte alignment.
void ResetUnpackLayout()
{
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

// The clamping wrap mode: edge clamping where GL has it (1.2 and later, or
// the extension). GL 1.1's GL_CLAMP blends the border colour (transparent
// black) into the outer texels whenever a bitmap is scaled with linear
// filtering, which draws dark, half-transparent edges.
GLint ClampMode()
{
    constexpr GLint kClampToEdge = 0x812F;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    int major = 0;
    int minor = 0;
    if (version && std::sscanf(version, "%d.%d", &major, &minor) == 2 && (major > 1 || minor >= 2))
        return kClampToEdge;
    if (extensions && (std::strstr(extensions, "GL_EXT_texture_edge_clamp") ||
                       std::strstr(extensions, "GL_SGIS_texture_edge_clamp")))
        return kClampToEdge;
    return GL_CLAMP;
}

// True when the driver takes a level-0 image of the format at that size.
bool ProxyAccepts(GLint internalFormat, GLenum format, GLenum type, int32_t width, int32_t height)
{
    DrainGLErrors();
    glTexImage2D(GL_PROXY_TEXTURE_2D, 0, internalFormat, width, height, 0, format, type, nullptr);
    const bool error = glGetError() != GL_NO_ERROR;
    DrainGLErrors();
    GLint proxyWidth = 0;
    GLint proxyHeight = 0;
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &proxyWidth);
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &proxyHeight);
    DrainGLErrors();
    // A refused size raises no error: the proxy just reports a zero size.
    return !error && proxyWidth == width && proxyHeight == height;
}

// Repeats the image's last column and last row once beyond it, where the
// texture would otherwise hold nothing: linear filtering at the image's right
// and bottom edges then blends with the edge pixels themselves, not with
// transparent texels.
void PadImageEdges(GLenum target, const LGLTextureImage& image, int32_t textureWidth, int32_t textureHeight)
{
    const char* pixels = static_cast<const char*>(image.mPixels);
    const int32_t lastColumn = image.mWidth - 1;
    const int32_t lastRow = image.mHeight - 1;
    if (image.mWidth <= 0 || image.mHeight <= 0)
        return;
    if (image.mWidth < textureWidth) {
        glTexSubImage2D(target, 0, image.mWidth, 0, 1, image.mHeight, image.mFormat, image.mType,
                        pixels + static_cast<ptrdiff_t>(lastColumn) * image.mBytesPerPixel);
    }
    if (image.mHeight < textureHeight) {
        const char* row = pixels + static_cast<ptrdiff_t>(lastRow) * image.mRowBytes;
        glTexSubImage2D(target, 0, 0, image.mHeight, image.mWidth, 1, image.mFormat, image.mType, row);
        if (image.mWidth < textureWidth) {
            glTexSubImage2D(target, 0, image.mWidth, image.mHeight, 1, 1, image.mFormat, image.mType,
                            row + static_cast<ptrdiff_t>(lastColumn) * image.mBytesPerPixel);
        }
    }
}

} // namespace

LGLTexture::LGLTexture() = default;

LGLTexture::~LGLTexture()
{
    ReleaseName();
    mTextureWidth = 0;
    mTextureHeight = 0;
    mImageWidth = 0.0f;
    mImageHeight = 0.0f;
    mScaledWidth = 0.0f;
    mScaledHeight = 0.0f;
    mBitmap = nullptr;
}

RCPtr<LGLTexture> LGLTexture::Create()
{
    return RCPtr<LGLTexture>(new LGLTexture());
}

KXRESULT LGLTexture::CreateFromBitmap(RCPtr<LGLTexture>& out, const RCPtr<LBitmap>& bitmap)
{
    out = nullptr;
    if (!bitmap)
        return E_INVALIDARG;
    RCPtr<LGLTexture> texture = Create();
    texture->mBitmap = bitmap;
    RCPtr<LBitmapData> data;
    bitmap->LockBitmapData(data);
    const bool locked = data && data->IsLocked();
    LGLTextureImage image(GL_BGRA, GL_UNSIGNED_BYTE, locked ? data->GetPixel(0, 0) : nullptr,
                          locked ? data->GetWidth() : static_cast<int32_t>(bitmap->GetWidth()),
                          locked ? data->GetHeight() : static_cast<int32_t>(bitmap->GetHeight()),
                          locked ? data->GetStride() : 0, 4);
    texture->Upload(image, GL_RGBA8, 0, 1.0f);
    data = nullptr; // unlocks
    out = texture;
    return locked ? S_OK : E_FAIL;
}

int32_t LGLTexture::GetTextureSize(int32_t n)
{
    int32_t size = 1;
    while (size < n && size < kMaxTextureSize)
        size <<= 1;
    return size;
}

int32_t LGLTexture::FitTextureSize(GLint internalFormat, GLenum format, GLenum type, int32_t& width, int32_t& height)
{
    int32_t factor = 1;
    while (!ProxyAccepts(internalFormat, format, type, width, height)) {
        width /= 2;
        height = std::max(height / 2, 1);
        factor *= 2;
        if (width <= 1)
            break;
    }
    return factor;
}

void LGLTexture::SetParameters(uint32_t flags) const
{
    const bool nearest = (flags & kNearest) != 0;
    const bool mipmaps = (flags & kMipmaps) != 0;
    GLint minification = GL_LINEAR;
    if (nearest && mipmaps)
        minification = GL_NEAREST_MIPMAP_NEAREST;
    else if (nearest)
        minification = GL_NEAREST;
    else if (mipmaps)
        minification = GL_LINEAR_MIPMAP_LINEAR;
    glTexParameteri(mTarget, GL_TEXTURE_MIN_FILTER, minification);
    glTexParameteri(mTarget, GL_TEXTURE_MAG_FILTER, nearest ? GL_NEAREST : GL_LINEAR);
    const GLint wrap = (flags & kRepeat) ? GL_REPEAT : ClampMode();
    glTexParameteri(mTarget, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(mTarget, GL_TEXTURE_WRAP_T, wrap);
}

LGLTextureImage LGLTexture::ScaleToTexture(const LGLTextureImage& image) const
{
    LGLTextureImage scaled = LGLTextureImage::Allocate(image.mFormat, image.mType, mTextureWidth, mTextureHeight,
                                                       image.mBytesPerPixel, 4);
    if (!scaled.mPixels)
        return scaled;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    SetUnpackLayout(image);
    const GLint result = gluScaleImage(image.mFormat, image.mWidth, image.mHeight, image.mType, image.mPixels,
                                       mTextureWidth, mTextureHeight, image.mType, scaled.mPixels);
    ResetUnpackLayout();
    DrainGLErrors();
    if (result != 0)
        scaled.Clear();
    return scaled;
}

void LGLTexture::ReleaseName()
{
    if (mName != kNoName && mNames)
        mNames->DeleteTexture(mName);
    mName = kNoName;
    mNames = nullptr;
}

void LGLTexture::Upload(LGLTextureImage& image, GLint internalFormat, uint32_t flags, float scale)
{
    const RCPtr<LGLContextNames> current = LGLContextNames::Current();
    if (mName != kNoName && mNames != current)
        ReleaseName(); // a name of another context: deleted there
    if (mName == kNoName || !glIsTexture(mName)) {
        glGenTextures(1, &mName);
        mNames = current;
    }
    glBindTexture(mTarget, mName);
    DrainGLErrors();

    const GLenum format = image.mFormat;
    const GLenum type = image.mType;
    if (scale <= 0.0f)
        scale = 1.0f;
    mImageWidth = static_cast<float>(image.mWidth);
    mImageHeight = static_cast<float>(image.mHeight);
    mScaledWidth = mImageWidth / scale;
    mScaledHeight = mImageHeight / scale;
    mTextureWidth = GetTextureSize(image.mWidth);
    mTextureHeight = GetTextureSize(image.mHeight);

    SetParameters(flags);
    const int32_t factor = FitTextureSize(internalFormat, format, type, mTextureWidth, mTextureHeight);
    glTexImage2D(mTarget, 0, internalFormat, mTextureWidth, mTextureHeight, 0, format, type, nullptr);
    DrainGLErrors();

    const bool sizeDiffers = mTextureWidth != image.mWidth || mTextureHeight != image.mHeight;
    const bool tooLarge = image.mWidth > mTextureWidth || image.mHeight > mTextureHeight;
    if (image.mPixels && sizeDiffers && (factor > 1 || (flags & kRepeat) || tooLarge)) {
        LGLTextureImage scaled = ScaleToTexture(image);
        if (!scaled.mPixels)
            return; // allocated, but nothing that fits to upload
        image = std::move(scaled);
        mImageWidth = static_cast<float>(mTextureWidth);
        mImageHeight = static_cast<float>(mTextureHeight);
    }
    if (!image.mPixels)
        return;

    SetUnpackLayout(image);
    if (flags & kMipmaps)
        gluBuild2DMipmaps(mTarget, internalFormat, image.mWidth, image.mHeight, format, type, image.mPixels);
    else {
        glTexSubImage2D(mTarget, 0, 0, 0, image.mWidth, image.mHeight, format, type, image.mPixels);
        PadImageEdges(mTarget, image, mTextureWidth, mTextureHeight);
    }
    ResetUnpackLayout();
    DrainGLErrors();
}

void LGLTexture::Draw(const Edges& source, const Edges& destination) const
{
    // Source units -> texels -> texture coordinates. For an image stored at
    // its own size this is source / texture size.
    const float s = (mScaledWidth > 0.0f && mTextureWidth > 0) ? mImageWidth / (mScaledWidth * mTextureWidth) : 0.0f;
    const float t =
        (mScaledHeight > 0.0f && mTextureHeight > 0) ? mImageHeight / (mScaledHeight * mTextureHeight) : 0.0f;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(mTarget, mName);
    glBegin(GL_QUADS);
    glTexCoord2f(source.mLeft * s, source.mTop * t);
    glVertex2f(destination.mLeft, destination.mTop);
    glTexCoord2f(source.mLeft * s, source.mBottom * t);
    glVertex2f(destination.mLeft, destination.mBottom);
    glTexCoord2f(source.mRight * s, source.mBottom * t);
    glVertex2f(destination.mRight, destination.mBottom);
    glTexCoord2f(source.mRight * s, source.mTop * t);
    glVertex2f(destination.mRight, destination.mTop);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    DrainGLErrors();
}

bool LGLTexture::IsValid() const
{
    return mName != kNoName && glIsTexture(mName) == GL_TRUE;
}

} // namespace KX
