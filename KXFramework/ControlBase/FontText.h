// KX::LFontText: the label text of a look laid out in its text area. The text
// splits into paragraphs at line breaks; with wrap each paragraph is broken
// into lines that fit the area's width (at blanks, else after hyphens); every
// line is placed in the area by the horizontal and vertical alignment.
//
// Contract:
// - Text is measured with a measurement renderer: the one given with
//   SetMeasurementRenderer, else the application's renderer. Without either,
//   every text measures 0 wide and lines are 0 high.
// - The layout is computed lazily and kept: a change of text, font, wrap or box
//   size discards the lines and their rectangles, a change of an alignment
//   only the rectangles.
// - Line rectangles are relative to the text area's top left; the top offset
//   may be negative when the lines are higher than the area.
// - A line wider than the width (a word without blank or hyphen) stays whole.
// - User-interface thread only.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Geometry/PointT.h"
#include "Utilities/Geometry/RectT.h"
#include "Utilities/Graphics/Font.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <vector>

namespace KX {

class LMeasurementRenderer;

class LFontText : public virtual LRefCountedObject
{
public:
    using String = StringT<wchar_t, char>;

    // The separator of paragraphs.
    static const wchar_t* const kLineBreak;

    LFontText(const String& text, const RCPtr<LFont>& font);

    // True when the text changed (the layout is discarded then).
    bool SetText(const String& text);
    // True when the font changed in face, size or style, or from or to none
    // (the layout is discarded then). The new font is kept in every case.
    bool SetFont(const RCPtr<LFont>& font);
    // True when the flag changed (the layout is discarded then).
    bool SetWrap(bool wrap);
    // 0 left, 0.5 centre, 1 right; a change discards the line rectangles.
    void SetHorizontalAlignment(float alignment);
    // 0 top, 0.5 centre, 1 bottom; a change discards the line rectangles.
    void SetVerticalAlignment(float alignment);
    // The text area's size; a change discards the layout.
    void SetBoxSize(int32_t width, int32_t height);
    // Measures with this renderer instead of the application's (null: the
    // application's again). Discards the layout.
    void SetMeasurementRenderer(const RCPtr<LMeasurementRenderer>& renderer);

    // The number of lines, laying out when needed.
    uint32_t GetLineCount();
    // The rectangle of a line relative to the text area (laying out when
    // needed); {0, 0, 0, 0} past the last line.
    RectT<float> GetLineRect(uint32_t index);
    // The text of a line (laying out when needed); empty past the last line.
    String GetLineText(uint32_t index);
    // The height of the text laid out at the width (wrapped when wrap is on,
    // split at line breaks otherwise); the stored layout is not changed.
    int32_t GetWrappedHeight(int32_t width);
    // The width of the widest paragraph, rounded up.
    int32_t GetMaxLineWidth();
    // The size of the bounding box of the laid-out lines.
    PointT<long> GetTextBounds();

    // The paragraphs wrapped at the width, into `lines`.
    void WrapLines(const RCPtr<LMeasurementRenderer>& renderer, int32_t width, std::vector<String>& lines);
    // How many leading characters of the paragraph form its first line at the
    // width.
    int32_t FitLine(const RCPtr<LMeasurementRenderer>& renderer, int32_t width, const String& paragraph);

    // The width of a text in the font with the renderer (0 without either).
    float MeasureWidth(const RCPtr<LMeasurementRenderer>& renderer, const String& text) const;
    // The text split at line breaks: at least one part.
    static std::vector<String> SplitParagraphs(const String& text);

    const String& GetText() const { return mText; }
    const RCPtr<LFont>& GetFont() const { return mFont; }
    bool GetWrap() const { return mWrap; }
    float GetHorizontalAlignment() const { return mHAlign; }
    float GetVerticalAlignment() const { return mVAlign; }
    int32_t GetBoxWidth() const { return mBoxWidth; }
    int32_t GetBoxHeight() const { return mBoxHeight; }
    // Whether the lines are laid out now (without laying out).
    bool IsLaidOut() const { return !mLines.empty(); }

protected:
    ~LFontText() override;

private:
    // The renderer text is measured with now.
    RCPtr<LMeasurementRenderer> GetRenderer() const;
    // The line height of the font (0 without font or renderer).
    int32_t GetLineHeight() const;
    void Discard();
    void LayOut();

    String mText;
    RCPtr<LFont> mFont;
    float mHAlign = 0.0f;
    float mVAlign = 0.0f;
    bool mWrap = false;
    int32_t mBoxWidth = 0;
    int32_t mBoxHeight = 0;
    std::vector<String> mLines;
    std::vector<RectT<float>> mLineRects;
    RCPtr<LMeasurementRenderer> mRenderer;
};

} // namespace KX
