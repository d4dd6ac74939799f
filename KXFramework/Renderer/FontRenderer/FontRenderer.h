// KX::LFontRenderer: turns a text into positioned glyphs and hands each to a
// glyph processor (KX::LGlyphProcessor); measuring is rendering through the
// measure processor with the bounds flag only. The renderer that has no text
// drawing of its own (the OpenGL renderer) draws and measures text through
// one of these; KX::LFreetypeFontRenderer is the one implementation.
//
// Contract:
// - RenderText walks the characters from `start` and answers how many it
//   consumed; the max-width argument is carried for the interface's shape and
//   not used (every caller passes 0).
// - Drawing passes the flags 15 (place, upload, draw, bounds), measuring 3.
// - User-interface thread only.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Renderer/FontRenderer/GlyphProcessor.h"
#include "Utilities/Geometry/RectT.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

class LFont;

class LFontRenderer : public virtual LRefCountedObject
{
public:
    using String = StringT<wchar_t, char>;

    // The box of the text on one line at the origin, y down with the ascent
    // line at 0: x = the bounds' left, y = min(bounds top, font ascent),
    // width = bounds right + 1 - left, height = max(bounds bottom, font
    // descent) - y. The font's ascent and descent are KX::LFont's.
    virtual RectT<float>& MeasureText(RectT<float>& out, const String& text, const RCPtr<LFont>& font);
    // Line height, ascent (negative) and descent of the font in pixels: 0, or
    // E_FAIL when the font cannot be sized.
    virtual KXRESULT GetFontMetrics(const RCPtr<LFont>& font, int32_t& height, int32_t& ascent,
                                    int32_t& descent) = 0;
    // Hands the glyphs of the text to the processor; answers the number of
    // characters consumed (0 when the font cannot be sized).
    virtual int32_t RenderText(const String& text, const RCPtr<LFont>& font, const RCPtr<LGlyphProcessor>& processor,
                               int32_t start, float maxWidth, uint8_t flags) = 0;
    // The bounds the measure processor gathered; all zero without one.
    virtual LGlyphProcessor::Bounds GetTextBounds() const;

    const RCPtr<LGlyphProcessor>& GetGlyphProcessor() const { return mGlyphProcessor; }
    const RCPtr<LGlyphProcessor>& GetMeasureProcessor() const { return mMeasureProcessor; }

protected:
    LFontRenderer(const RCPtr<LGlyphProcessor>& glyphProcessor, const RCPtr<LGlyphProcessor>& measureProcessor);
    ~LFontRenderer() override = default;

    RCPtr<LGlyphProcessor> mGlyphProcessor;
    RCPtr<LGlyphProcessor> mMeasureProcessor;
};

} // namespace KX
