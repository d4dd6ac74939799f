// KX::LGlyphProcessor: what a font renderer (KX::LFontRenderer) hands each
// glyph of a text to. The font renderer turns characters into positioned
// glyphs; the processor decides what to do with them (the OpenGL glyph cache
// KX::LGLGlyphRenderer draws them from a per-font atlas and adds up their
// bounds for measuring).
//
// The conversation for one text, all on the user-interface thread:
//   BeginFont(font, flags)
//   for each character: FindGlyph(job) -> work; the font renderer does the
//       work asked for (fills index, box, advance, bitmap); ProcessGlyph(job)
//   EndFont()
//   GetBounds() -> the bounds of what was processed.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Graphics/LPixelBuffer.h"

#include <cstdint>

namespace KX {

class LFont;

class LGlyphProcessor : public virtual LRefCountedObject
{
public:
    // Work bits that FindGlyph asks of the font renderer.
    static constexpr uint32_t kWorkOutline = 1; // glyph index and outline
    static constexpr uint32_t kWorkBox = 2;     // pixel box
    static constexpr uint32_t kWorkBitmap = 4;  // rendered bitmap
    static constexpr uint32_t kWorkAll = 7;

    // Processing flags given to BeginFont.
    static constexpr uint8_t kFlagBounds = 2; // add each glyph's cell to the bounds
    static constexpr uint8_t kFlagUpload = 4; // upload the atlas after each new glyph
    static constexpr uint8_t kFlagDraw = 8;   // draw each glyph
    static constexpr uint8_t kFlagsMeasure = 3;
    static constexpr uint8_t kFlagsDraw = 15;

    // A glyph's pixel box relative to its origin, y down: left, -top (the top
    // edge as a y-down coordinate), right, -bottom. Signed bytes.
    struct GlyphBox
    {
        int8_t mLeft = 0;
        int8_t mTop = 0;
        int8_t mRight = 0;
        int8_t mBottom = 0;
    };

    // Advance in 26.6 units: horizontal in the low 16 bits, vertical in the
    // high 16.
    static int32_t AdvanceX(uint32_t advance) { return static_cast<int32_t>(advance & 0xFFFF); }
    static int32_t AdvanceY(uint32_t advance) { return static_cast<int16_t>(advance >> 16); }
    static uint32_t MakeAdvance(int32_t x, int32_t y)
    {
        return (static_cast<uint32_t>(x) & 0xFFFF) | (static_cast<uint32_t>(y) << 16);
    }

    // The record the font renderer fills for each character.
    struct GlyphJob
    {
        int32_t mTextPosition = 0; // position in the text after this character
        uint32_t mCharCode = 0;
        float mPenX = 0.0f; // pen position of the glyph origin, relative to the text origin
        float mPenY = 0.0f;
        GlyphBox mBox;
        uint32_t mAdvance = 0;
        uint32_t mGlyphIndex = 0;
        RCPtr<LPixelBuffer<unsigned char>> mBitmap; // only while the job is processed
    };

    // One character placed in a font's atlas.
    struct SCachedGlyph
    {
        uint32_t mCharCode = 0; // the key; 0 = not cached
        uint32_t mGlyphIndex = 0;
        GlyphBox mBox;
        uint32_t mAdvance = 0;
        uint16_t mAtlasX = 0;
        uint16_t mAtlasY = 0;

        static uint32_t GetUniqueID(const SCachedGlyph& glyph) { return glyph.mCharCode; }
    };

    // Bounds {left, top, right, bottom}.
    struct Bounds
    {
        float mLeft = 0.0f;
        float mTop = 0.0f;
        float mRight = 0.0f;
        float mBottom = 0.0f;
    };

    virtual void BeginFont(const RCPtr<LFont>& font, uint8_t flags) = 0;
    virtual void EndFont() = 0;
    // 0 when the glyph is known (index, box and advance are filled into the
    // job); otherwise the work bits the font renderer must do.
    virtual uint32_t FindGlyph(GlyphJob& job) = 0;
    // The glyph is positioned (pen) and, when it was not known yet, has its
    // index, box, advance and bitmap.
    virtual void ProcessGlyph(GlyphJob& job) = 0;
    virtual Bounds GetBounds() const = 0;

protected:
    ~LGlyphProcessor() override = default;
};

} // namespace KX
