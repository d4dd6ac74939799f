// KX::LFreetypeFontRenderer: the font renderer of the OpenGL renderer. Glyph
// indices, boxes, advances, kerning and bitmaps come from FreeType; the file
// of a KX::LFont comes from the font-file catalogue (KX::LFontFileInfo) and is
// opened through the shared cache manager (KX::LFreetypeLibrary).
//
// Contract:
// - Sizes are looked up at 96 x 96 dots per inch with the height in 26.6
//   units (the font's points x 64, truncated).
// - A glyph is loaded and rendered only when the processor asks for it
//   (FindGlyph): known glyphs cost a table lookup. Rendering is anti-aliased
//   from 8 points up and monochrome below, the other mode being tried once
//   when the first fails; a character without a glyph, or whose glyph cannot
//   be loaded or rendered, is skipped.
// - The pen advances by whole pixels (26.6 advances and kerning divided by
//   64); with kerning, a first glyph that reaches left of its origin moves
//   the pen right so that it does not start before the text's origin.
// - A font whose face name is not in the catalogue is served by the family of
//   the application's default font; without that too, the catalogue throws
//   the runtime error of KX::LFontFileInfo::GetFileID.
#pragma once

#include "Renderer/FontRenderer/FontRenderer.h"
#include "Renderer/FontRenderer/FreetypeLibrary.h"

namespace KX {

class LFreetypeFontRenderer : public LFontRenderer
{
public:
    static RCPtr<LFreetypeFontRenderer> Create(const RCPtr<LGlyphProcessor>& glyphProcessor,
                                               const RCPtr<LGlyphProcessor>& measureProcessor);

    // Height = max(the size's line height, 96 x points / 72) and at least
    // descent - ascent; ascent = -(ascender >> 6); descent = -(descender >> 6).
    KXRESULT GetFontMetrics(const RCPtr<LFont>& font, int32_t& height, int32_t& ascent, int32_t& descent) override;
    int32_t RenderText(const String& text, const RCPtr<LFont>& font, const RCPtr<LGlyphProcessor>& processor,
                       int32_t start, float maxWidth, uint8_t flags) override;

    const RCPtr<LFreetypeLibrary>& GetLibrary() const { return mLibrary; }

protected:
    LFreetypeFontRenderer(const RCPtr<LGlyphProcessor>& glyphProcessor,
                          const RCPtr<LGlyphProcessor>& measureProcessor);
    ~LFreetypeFontRenderer() override = default;

private:
    // The sized face of the font; null when it cannot be had.
    FT_Size LookupFontSize(const RCPtr<LFont>& font);

    RCPtr<LFreetypeLibrary> mLibrary;
};

} // namespace KX
