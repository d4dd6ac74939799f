#include "Renderer/OpenGL/GLGlyphRenderer.h"

#include <algorithm>

namespace KX {

namespace {

// The union of two rectangles {left, top, right, bottom}.
LGlyphProcessor::Bounds Union(const LGlyphProcessor::Bounds& a, const LGlyphProcessor::Bounds& b)
{
    LGlyphProcessor::Bounds result;
    result.mLeft = std::min(a.mLeft, b.mLeft);
    result.mTop = std::min(a.mTop, b.mTop);
    result.mRight = std::max(a.mRight, b.mRight);
    result.mBottom = std::max(a.mBottom, b.mBottom);
    return result;
}

} // namespace

LGLGlyphRenderer::LGLGlyphRenderer() : mFontCache(kCachedFonts)
{
}

RCPtr<LGLGlyphRenderer> LGLGlyphRenderer::Create()
{
    return RCPtr<LGLGlyphRenderer>(new LGLGlyphRenderer());
}

void LGLGlyphRenderer::BeginFont(const RCPtr<LFont>& font, uint8_t flags)
{
    mFlags = flags;
    mBounds = Bounds();
    mCurrentFont = nullptr;
    if (!font)
        return;
    RCPtr<LCachedFont>& entry = mFontCache.GetEntry(font, false);
    if (!entry)
        entry = LCachedFont::Create(font);
    mCurrentFont = entry;
    if (mFlags & kFlagUpload)
        mCurrentFont->UploadAtlas();
}

void LGLGlyphRenderer::EndFont()
{
    mCurrentFont = nullptr;
}

uint32_t LGLGlyphRenderer::FindGlyph(GlyphJob& job)
{
    if (!mCurrentFont)
        return 0;
    mCurrentGlyph = mCurrentFont->FindGlyph(job.mCharCode);
    if (mCurrentGlyph.mCharCode == 0)
        return kWorkAll;
    job.mBox = mCurrentGlyph.mBox;
    job.mAdvance = mCurrentGlyph.mAdvance;
    job.mGlyphIndex = mCurrentGlyph.mGlyphIndex;
    return 0;
}

void LGLGlyphRenderer::ProcessGlyph(GlyphJob& job)
{
    if (!mCurrentFont)
        return;
    if (mCurrentGlyph.mCharCode == 0) {
        if (!job.mBitmap)
            return; // nothing to place: the font renderer skipped the bitmap
        mCurrentGlyph = mCurrentFont->PlaceGlyph(job);
        if (mFlags & kFlagUpload)
            mCurrentFont->UploadAtlas();
    }
    if (mFlags & (kFlagBounds | kFlagDraw))
        EmitGlyph(job);
}

void LGLGlyphRenderer::EmitGlyph(const GlyphJob& job)
{
    const GlyphBox& box = mCurrentGlyph.mBox;
    const float ascent = static_cast<float>(mCurrentFont->GetFont()->GetAscent());
    if (mFlags & kFlagDraw) {
        // Only what the atlas holds: a cell cut at the atlas's right edge
        // draws cut too.
        const float atlasX = mCurrentGlyph.mAtlasX;
        const float atlasY = mCurrentGlyph.mAtlasY;
        const float width = std::min<float>(box.mRight - box.mLeft, kAtlasWidth - atlasX);
        LGLTexture::Edges source;
        source.mLeft = atlasX;
        source.mTop = atlasY;
        source.mRight = atlasX + width;
        source.mBottom = atlasY + (box.mBottom - box.mTop);
        LGLTexture::Edges destination;
        destination.mLeft = box.mLeft + job.mPenX;
        destination.mTop = box.mTop - (ascent + job.mPenY);
        destination.mRight = destination.mLeft + width;
        destination.mBottom = box.mBottom - (ascent + job.mPenY);
        mCurrentFont->Draw(source, destination);
    }
    if (mFlags & kFlagBounds) {
        Bounds cell;
        cell.mLeft = job.mPenX;
        cell.mTop = job.mPenY + box.mTop;
        cell.mRight = cell.mLeft + static_cast<float>(AdvanceX(mCurrentGlyph.mAdvance) / 64);
        cell.mBottom = cell.mTop + static_cast<float>(box.mBottom - box.mTop);
        mBounds = Union(mBounds, cell);
    }
}

RCPtr<LGLGlyphRenderer::LCachedFont> LGLGlyphRenderer::FindCachedFont(const RCPtr<LFont>& font)
{
    if (!font)
        return RCPtr<LCachedFont>();
    FontCache::Entry* none = nullptr;
    FontCache::Entry* const* entry = mFontCache.GetIndex().FindItem(LFont::GetUniqueID(font), &none);
    return (entry && *entry) ? (*entry)->mObject : RCPtr<LCachedFont>();
}

} // namespace KX
