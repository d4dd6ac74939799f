#include "Renderer/FontRenderer/FreetypeFontRenderer.h"

#include "Renderer/FontRenderer/FontFileInfo.h"
#include "Utilities/Graphics/Font.h"

#include FT_GLYPH_H

#include <algorithm>

namespace KX {

namespace {

using PixelBuffer = LPixelBuffer<unsigned char>;

// Anti-aliased from this size in points up, monochrome below.
constexpr float kAntiAliasedFromPoints = 8.0f;

int8_t ToSignedByte(FT_Pos value)
{
    return static_cast<int8_t>(std::clamp<FT_Pos>(value, -128, 127));
}

// The glyph's whole-pixel box relative to its origin, y down.
LGlyphProcessor::GlyphBox BoxOf(FT_Glyph glyph)
{
    FT_BBox box = {};
    FT_Glyph_Get_CBox(glyph, FT_GLYPH_BBOX_PIXELS, &box);
    LGlyphProcessor::GlyphBox result;
    result.mLeft = ToSignedByte(box.xMin);
    result.mTop = ToSignedByte(-box.yMax);
    result.mRight = ToSignedByte(box.xMax);
    result.mBottom = ToSignedByte(-box.yMin);
    return result;
}

// The address of row `row` (top first) of a FreeType bitmap, whatever the
// sign of its pitch.
const unsigned char* BitmapRow(const FT_Bitmap& bitmap, unsigned row)
{
    const int pitch = bitmap.pitch;
    if (pitch >= 0)
        return bitmap.buffer + static_cast<size_t>(row) * static_cast<size_t>(pitch);
    return bitmap.buffer + static_cast<size_t>(bitmap.rows - 1 - row) * static_cast<size_t>(-pitch);
}

// The rendered slot as one byte per pixel: grey levels copied, monochrome
// bits (most significant first) expanded to 0xFF or 0x00.
RCPtr<PixelBuffer> CopyBitmap(const FT_Bitmap& bitmap)
{
    const int32_t width = static_cast<int32_t>(bitmap.width);
    const int32_t height = static_cast<int32_t>(bitmap.rows);
    RCPtr<PixelBuffer> pixels = PixelBuffer::Create(width, height, width);
    for (int32_t y = 0; y < height; ++y) {
        const unsigned char* source = BitmapRow(bitmap, static_cast<unsigned>(y));
        unsigned char* target = pixels->GetPixel(0, y);
        if (!source || !target)
            continue;
        for (int32_t x = 0; x < width; ++x) {
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                target[x] = (source[x >> 3] & (0x80 >> (x & 7))) ? 0xFF : 0x00;
            else
                target[x] = source[x];
        }
    }
    return pixels;
}

// Renders the loaded glyph of the slot in the size's first mode, else once in
// the other; null when both fail.
RCPtr<PixelBuffer> RenderSlot(FT_GlyphSlot slot, float points)
{
    const bool antiAliased = points >= kAntiAliasedFromPoints;
    const FT_Render_Mode first = antiAliased ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO;
    const FT_Render_Mode second = antiAliased ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL;
    if (FT_Render_Glyph(slot, first) != 0 && FT_Render_Glyph(slot, second) != 0)
        return RCPtr<PixelBuffer>();
    return CopyBitmap(slot->bitmap);
}

} // namespace

LFreetypeFontRenderer::LFreetypeFontRenderer(const RCPtr<LGlyphProcessor>& glyphProcessor,
                                             const RCPtr<LGlyphProcessor>& measureProcessor)
    : LFontRenderer(glyphProcessor, measureProcessor), mLibrary(LFreetypeLibrary::Acquire())
{
}

RCPtr<LFreetypeFontRenderer> LFreetypeFontRenderer::Create(const RCPtr<LGlyphProcessor>& glyphProcessor,
                                                           const RCPtr<LGlyphProcessor>& measureProcessor)
{
    return RCPtr<LFreetypeFontRenderer>(new LFreetypeFontRenderer(glyphProcessor, measureProcessor));
}

FT_Size LFreetypeFontRenderer::LookupFontSize(const RCPtr<LFont>& font)
{
    if (!font || !mLibrary)
        return nullptr;
    FT_Size size = nullptr;
    if (mLibrary->LookupSize(LFontFileInfo::GetFileID(font), font->GetSize(), size) != 0)
        return nullptr;
    return size;
}

KXRESULT LFreetypeFontRenderer::GetFontMetrics(const RCPtr<LFont>& font, int32_t& height, int32_t& ascent,
                                               int32_t& descent)
{
    const FT_Size size = LookupFontSize(font);
    if (!size)
        return E_FAIL;
    const FT_Size_Metrics& metrics = size->metrics;
    ascent = -static_cast<int32_t>(metrics.ascender >> 6);
    descent = -static_cast<int32_t>(metrics.descender >> 6);
    const int32_t lineHeight = static_cast<int32_t>(metrics.height >> 6);
    const int32_t nominal = static_cast<int32_t>(96.0f * font->GetSize() / 72.0f);
    height = std::max(std::max(lineHeight, nominal), descent - ascent);
    return S_OK;
}

int32_t LFreetypeFontRenderer::RenderText(const String& text, const RCPtr<LFont>& font,
                                          const RCPtr<LGlyphProcessor>& processor, int32_t start, float,
                                          uint8_t flags)
{
    const FT_Size size = LookupFontSize(font);
    if (!size || !processor)
        return 0;
    const FT_Face face = size->face;
    const bool kerning = FT_HAS_KERNING(face);
    const int32_t length = text.GetLength();
    const int32_t first = std::clamp(start, 0, length);

    processor->BeginFont(font, flags);
    float penX = 0.0f;
    float penY = 0.0f;
    FT_UInt previous = 0;
    for (int32_t i = first; i < length; ++i) {
        LGlyphProcessor::GlyphJob job;
        job.mCharCode = static_cast<uint16_t>(text.GetAt(i));
        job.mTextPosition = i + 1;
        const uint32_t work = processor->FindGlyph(job);
        const FT_UInt index = work ? FT_Get_Char_Index(face, job.mCharCode) : job.mGlyphIndex;
        if (index == 0)
            continue;

        FT_Glyph glyph = nullptr;
        if (work) {
            if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0 || FT_Get_Glyph(face->glyph, &glyph) != 0)
                continue;
            job.mGlyphIndex = index;
            job.mAdvance = LGlyphProcessor::MakeAdvance(static_cast<int32_t>(face->glyph->advance.x),
                                                        static_cast<int32_t>(face->glyph->advance.y));
            if (work & (LGlyphProcessor::kWorkBox | LGlyphProcessor::kWorkBitmap))
                job.mBox = BoxOf(glyph);
            if (work & LGlyphProcessor::kWorkBitmap) {
                job.mBitmap = RenderSlot(face->glyph, font->GetSize());
                if (!job.mBitmap) {
                    FT_Done_Glyph(glyph);
                    continue;
                }
            }
        }

        if (kerning) {
            if (previous != 0) {
                FT_Vector delta = {};
                if (FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &delta) == 0)
                    penX += static_cast<float>(delta.x / 64);
            } else if (job.mBox.mLeft < 0) {
                penX -= job.mBox.mLeft;
            }
        }

        job.mPenX = penX;
        job.mPenY = penY;
        processor->ProcessGlyph(job);
        job.mBitmap = nullptr;
        if (glyph)
            FT_Done_Glyph(glyph);

        penX += static_cast<float>(LGlyphProcessor::AdvanceX(job.mAdvance) / 64);
        penY += static_cast<float>(LGlyphProcessor::AdvanceY(job.mAdvance) / 64);
        previous = index;
    }
    processor->EndFont();
    return length - first;
}

} // namespace KX
