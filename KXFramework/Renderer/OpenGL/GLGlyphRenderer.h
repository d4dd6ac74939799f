// KX::LGLGlyphRenderer: the OpenGL glyph processor and glyph cache. Per font
// it keeps one 8-bit alpha atlas texture (LCachedFont) into which each
// glyph's bitmap is copied once, with a table of the glyphs already placed;
// it draws each glyph as a textured quad from the atlas and adds up the
// bounds of what it processed, which is how text is measured.
//
// Contract:
// - At most 16 fonts keep atlases; starting a 17th evicts the least recently
//   used one (its texture goes with it).
// - An atlas is 512 pixels wide and grows in height by powers of two; glyphs
//   are packed on shelves with a one-pixel margin around each and are never
//   removed. Glyph cells never overlap and never leave the atlas: a bitmap
//   wider than the atlas is cut at its right edge.
// - Flags of BeginFont: 2 add each glyph's cell to the bounds, 4 upload the
//   atlas (at BeginFont and after each new glyph), 8 draw. Measuring (3)
//   places new glyphs in memory and makes no GL call; drawing (15) needs the
//   renderer's context current.
// - Text is laid out with the font's ascent line at y = 0 (KX::LFont's
//   ascent, a negative number).
// - User-interface thread only.
#pragma once

#include "Renderer/FontRenderer/GlyphProcessor.h"
#include "Renderer/OpenGL/GLTexture.h"
#include "Utilities/Geometry/RectT.h"
#include "Utilities/Graphics/Font.h"
#include "Utilities/Storage/HashedList.h"
#include "Utilities/Storage/PurgableObjectCache.h"

#include <cstdint>

namespace KX {

class LGLGlyphRenderer : public LGlyphProcessor
{
public:
    static constexpr int32_t kAtlasWidth = 512;
    static constexpr int32_t kCachedFonts = 16;

    using GlyphTable = HashedList<SCachedGlyph, uint32_t, &SCachedGlyph::GetUniqueID, 8, &GetBits<8, 0, uint32_t>>;

    // One font's atlas, its shelf packing state and its glyph table.
    class LCachedFont : public LGLTexture
    {
    public:
        static RCPtr<LCachedFont> Create(const RCPtr<LFont>& font);

        // Makes room for a w x h cell on the current shelf, or opens a new
        // shelf below it; grows the atlas (power-of-two height) when the
        // shelf does not fit.
        void Reserve(int32_t width, int32_t height);
        // Copies the job's bitmap into a new cell, records the glyph in the
        // table and answers it.
        SCachedGlyph PlaceGlyph(const GlyphJob& job);
        // Uploads the whole atlas when something changed since the last upload.
        void UploadAtlas();
        // The table's record of the character; an all-zero record when absent.
        SCachedGlyph FindGlyph(uint32_t charCode) const;

        const RCPtr<LFont>& GetFont() const { return mFont; }
        const RCPtr<LPixelBuffer<unsigned char>>& GetAtlas() const { return mAtlas; }
        int32_t GetCursorX() const { return mCursorX; }
        int32_t GetShelfY() const { return mShelfY; }
        int32_t GetShelfHeight() const { return mShelfHeight; }
        const RectT<float>& GetDirty() const { return mDirty; }
        int32_t GetGlyphCount() const { return mGlyphs.GetCount(); }

    protected:
        explicit LCachedFont(const RCPtr<LFont>& font);
        ~LCachedFont() override = default;

    private:
        // Adds a rectangle to the part of the atlas that awaits upload.
        void AddDirty(const RectT<float>& rect);

        RCPtr<LFont> mFont;
        int32_t mCursorX = 0;
        int32_t mShelfY = 0;
        int32_t mShelfHeight = 0;
        RCPtr<LPixelBuffer<unsigned char>> mAtlas;
        RectT<float> mDirty;
        GlyphTable mGlyphs;
    };

    static RCPtr<LGLGlyphRenderer> Create();

    void BeginFont(const RCPtr<LFont>& font, uint8_t flags) override;
    void EndFont() override;
    uint32_t FindGlyph(GlyphJob& job) override;
    void ProcessGlyph(GlyphJob& job) override;
    Bounds GetBounds() const override { return mBounds; }

    // The font's cached atlas when it has one (null otherwise); looks only.
    RCPtr<LCachedFont> FindCachedFont(const RCPtr<LFont>& font);
    const RCPtr<LCachedFont>& GetCurrentFont() const { return mCurrentFont; }

protected:
    LGLGlyphRenderer();
    ~LGLGlyphRenderer() override = default;

private:
    using FontCache = PurgableObjectCache<LCachedFont, ConstRCPtr<LFont>, int32_t, &LFont::GetUniqueID, 4,
                                          &GetBits<4, 0, int32_t>>;

    // Draws the current glyph at the job's pen and/or adds its cell to the bounds.
    void EmitGlyph(const GlyphJob& job);

    FontCache mFontCache;
    RCPtr<LCachedFont> mCurrentFont;
    SCachedGlyph mCurrentGlyph;
    uint8_t mFlags = 0;
    Bounds mBounds;
};

} // namespace KX
