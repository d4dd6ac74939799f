// KX::LGLGlyphRenderer::LCachedFont: one font's glyph atlas, packed in
// shelves from the top left.
#include "Renderer/OpenGL/GLGlyphRenderer.h"

#include <algorithm>
#include <cstring>

namespace KX {

namespace {

constexpr float kEmpty = 1.1920929e-7f;

bool IsEmpty(const RectT<float>& rect)
{
    return !(rect.width > kEmpty) || !(rect.height > kEmpty);
}

} // namespace

LGLGlyphRenderer::LCachedFont::LCachedFont(const RCPtr<LFont>& font) : mFont(font)
{
    Reserve(0, font ? static_cast<int32_t>(font->GetSize()) : 0);
}

RCPtr<LGLGlyphRenderer::LCachedFont> LGLGlyphRenderer::LCachedFont::Create(const RCPtr<LFont>& font)
{
    return RCPtr<LCachedFont>(new LCachedFont(font));
}

void LGLGlyphRenderer::LCachedFont::Reserve(int32_t width, int32_t height)
{
    mShelfHeight = std::max(mShelfHeight, height);
    int32_t need = height;
    if (mCursorX + width >= kAtlasWidth) {
        // A new shelf below the current one; the reservation that opens it
        // lies on it, so the shelf is at least that high.
        mCursorX = 0;
        mShelfY += mShelfHeight;
        need += mShelfHeight;
        mShelfHeight = height;
    }
    if (!mAtlas)
        mAtlas = LPixelBuffer<unsigned char>::Create(kAtlasWidth, mShelfHeight, kAtlasWidth);
    need += mShelfY;
    if (need < mAtlas->GetHeight())
        return;
    // Powers of two up to the largest texture, doubled further only for a
    // need beyond it.
    int32_t grown = GetTextureSize(need);
    while (grown < need)
        grown *= 2;
    mAtlas->SetHeight(grown);
    mDirty = RectT<float>(0.0f, 0.0f, static_cast<float>(mAtlas->GetWidth()), static_cast<float>(mAtlas->GetHeight()));
}

void LGLGlyphRenderer::LCachedFont::AddDirty(const RectT<float>& rect)
{
    if (IsEmpty(mDirty)) {
        mDirty = rect;
        return;
    }
    const float left = std::min(mDirty.x, rect.x);
    const float top = std::min(mDirty.y, rect.y);
    const float right = std::max(mDirty.x + mDirty.width, rect.x + rect.width);
    const float bottom = std::max(mDirty.y + mDirty.height, rect.y + rect.height);
    mDirty = RectT<float>(left, top, right - left, bottom - top);
}

LGlyphProcessor::SCachedGlyph LGLGlyphRenderer::LCachedFont::PlaceGlyph(const GlyphJob& job)
{
    SCachedGlyph glyph;
    glyph.mCharCode = job.mCharCode;
    glyph.mGlyphIndex = job.mGlyphIndex;
    glyph.mBox = job.mBox;
    glyph.mAdvance = job.mAdvance;

    const int32_t width = job.mBitmap ? job.mBitmap->GetWidth() : 0;
    const int32_t height = job.mBitmap ? job.mBitmap->GetHeight() : 0;
    Reserve(width + 2, height + 2);
    const int32_t atlasX = mCursorX + 1;
    const int32_t atlasY = mShelfY + 1;
    glyph.mAtlasX = static_cast<uint16_t>(atlasX);
    glyph.mAtlasY = static_cast<uint16_t>(atlasY);

    // Row by row; a bitmap wider than the room right of the cell is cut so
    // that no row runs into the next one.
    const int32_t copyWidth = std::max(0, std::min(width, kAtlasWidth - atlasX));
    for (int32_t y = 0; y < height && copyWidth > 0; ++y) {
        unsigned char* target = mAtlas->GetPixel(atlasX, atlasY + y);
        const unsigned char* source = job.mBitmap->GetPixel(0, y);
        if (target && source)
            std::memcpy(target, source, static_cast<size_t>(copyWidth));
    }
    AddDirty(RectT<float>(static_cast<float>(atlasX - 1), static_cast<float>(atlasY - 1),
                          static_cast<float>(width + 2), static_cast<float>(height + 2)));
    mCursorX += width + 2;
    mGlyphs.SetItem(glyph);
    return glyph;
}

void LGLGlyphRenderer::LCachedFont::UploadAtlas()
{
    if (IsEmpty(mDirty) || !mAtlas)
        return;
    LGLTextureImage image(GL_ALPHA, GL_UNSIGNED_BYTE, mAtlas->GetData(), mAtlas->GetWidth(), mAtlas->GetHeight(),
                          mAtlas->GetStride(), 1);
    Upload(image, GL_ALPHA, kNearest, 1.0f);
    mDirty = RectT<float>();
}

LGlyphProcessor::SCachedGlyph LGLGlyphRenderer::LCachedFont::FindGlyph(uint32_t charCode) const
{
    const SCachedGlyph none;
    const SCachedGlyph* found = mGlyphs.FindItem(charCode, &none);
    return found ? *found : none;
}

} // namespace KX
