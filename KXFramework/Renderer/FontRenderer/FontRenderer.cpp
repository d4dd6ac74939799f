#include "Renderer/FontRenderer/FontRenderer.h"

#include "Utilities/Graphics/Font.h"

#include <algorithm>

namespace KX {

LFontRenderer::LFontRenderer(const RCPtr<LGlyphProcessor>& glyphProcessor,
                             const RCPtr<LGlyphProcessor>& measureProcessor)
    : mGlyphProcessor(glyphProcessor), mMeasureProcessor(measureProcessor)
{
}

RectT<float>& LFontRenderer::MeasureText(RectT<float>& out, const String& text, const RCPtr<LFont>& font)
{
    RenderText(text, font, mMeasureProcessor, 0, 0.0f, LGlyphProcessor::kFlagsMeasure);
    const LGlyphProcessor::Bounds bounds = GetTextBounds();
    const float ascent = font ? static_cast<float>(font->GetAscent()) : 0.0f;
    const float descent = font ? static_cast<float>(font->GetDescent()) : 0.0f;
    out.x = bounds.mLeft;
    out.y = std::min(bounds.mTop, ascent);
    out.width = bounds.mRight + 1.0f - bounds.mLeft;
    out.height = std::max(bounds.mBottom, descent) - out.y;
    return out;
}

LGlyphProcessor::Bounds LFontRenderer::GetTextBounds() const
{
    if (!mMeasureProcessor)
        return LGlyphProcessor::Bounds();
    return mMeasureProcessor->GetBounds();
}

} // namespace KX
