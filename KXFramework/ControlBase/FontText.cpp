#include "ControlBase/FontText.h"

#include "Application/FrameworkApp.h"
#include "Renderer/Renderer.h"
#include "Utilities/Graphics/Font.h"

#include <algorithm>

namespace KX {

namespace {

using String = LFontText::String;

constexpr float kFloatLimit = 8388608.0f;

// The rest of a wrapped paragraph: without its leading blanks, tabs and line
// ends; empty when nothing else is left.
String WithoutLeadingSpace(const String& text)
{
    const wchar_t* data = text.GetData();
    int32_t start = 0;
    const int32_t length = text.GetLength();
    while (start < length && (data[start] == L' ' || data[start] == L'\t' || data[start] == L'\r' ||
                              data[start] == L'\n'))
        ++start;
    return start >= length ? String() : text.Mid(start);
}

} // namespace

const wchar_t* const LFontText::kLineBreak = L"\n";

LFontText::LFontText(const String& text, const RCPtr<LFont>& font) : mText(text), mFont(font) {}

LFontText::~LFontText() = default;

void LFontText::Discard()
{
    mLines.clear();
    mLineRects.clear();
}

bool LFontText::SetText(const String& text)
{
    if (text == mText)
        return false;
    mText = text;
    Discard();
    return true;
}

bool LFontText::SetFont(const RCPtr<LFont>& font)
{
    bool changed = static_cast<bool>(font) != static_cast<bool>(mFont);
    if (font && mFont)
        changed = !(font->GetFaceName() == mFont->GetFaceName()) || font->GetSize() != mFont->GetSize() ||
                  font->GetStyle() != mFont->GetStyle();
    mFont = font;
    if (changed)
        Discard();
    return changed;
}

bool LFontText::SetWrap(bool wrap)
{
    if (wrap == mWrap)
        return false;
    mWrap = wrap;
    Discard();
    return true;
}

void LFontText::SetHorizontalAlignment(float alignment)
{
    if (alignment != mHAlign) {
        mHAlign = alignment;
        mLineRects.clear();
    }
}

void LFontText::SetVerticalAlignment(float alignment)
{
    if (alignment != mVAlign) {
        mVAlign = alignment;
        mLineRects.clear();
    }
}

void LFontText::SetBoxSize(int32_t width, int32_t height)
{
    if (width != mBoxWidth || height != mBoxHeight) {
        mBoxWidth = width;
        mBoxHeight = height;
        Discard();
    }
}

void LFontText::SetMeasurementRenderer(const RCPtr<LMeasurementRenderer>& renderer)
{
    mRenderer = renderer;
    Discard();
}

RCPtr<LMeasurementRenderer> LFontText::GetRenderer() const
{
    if (mRenderer)
        return mRenderer;
    RCPtr<LRenderer> renderer;
    if (LFrameworkApp::sInstance)
        LFrameworkApp::sInstance->GetRenderer(renderer);
    return RCPtr<LMeasurementRenderer>(renderer.Get());
}

int32_t LFontText::GetLineHeight() const
{
    if (!mFont)
        return 0;
    if (mRenderer)
        mFont->Measure(mRenderer.Get());
    return mFont->GetHeight();
}

float LFontText::MeasureWidth(const RCPtr<LMeasurementRenderer>& renderer, const String& text) const
{
    if (!renderer || !mFont)
        return 0.0f;
    const RectT<float> box = renderer->MeasureText(text, mFont);
    return box.x != 0.0f ? box.width + box.x : box.width;
}

std::vector<String> LFontText::SplitParagraphs(const String& text)
{
    Array<String> parts;
    text.SplitInto(parts, kLineBreak);
    std::vector<String> paragraphs;
    for (int32_t i = 0; i < parts.GetCount(); ++i)
        paragraphs.push_back(parts.GetAt(i));
    if (paragraphs.empty())
        paragraphs.push_back(String());
    return paragraphs;
}

int32_t LFontText::FitLine(const RCPtr<LMeasurementRenderer>& renderer, int32_t width, const String& paragraph)
{
    const float limit = static_cast<float>(width);
    if (MeasureWidth(renderer, paragraph) < limit)
        return paragraph.GetLength();
    String rest = paragraph;
    for (;;) {
        const int32_t blank = rest.ReverseFind(' ');
        if (blank >= 1) {
            const String head = rest.Left(blank);
            if (MeasureWidth(renderer, head) <= limit) {
                // A hyphen after the blank may still fit on the line.
                const int32_t hyphen = rest.ReverseFind('-');
                if (hyphen > blank && MeasureWidth(renderer, rest.Left(hyphen + 1)) <= limit)
                    return hyphen + 1;
                return blank;
            }
            rest = head;
            continue;
        }
        // No blank to break at: the last hyphen before the last character.
        const int32_t hyphen = rest.Left(rest.GetLength() - 1).ReverseFind('-');
        if (hyphen < 0)
            return rest.GetLength(); // wider than the width: it stays whole
        const String head = rest.Left(hyphen + 1);
        if (MeasureWidth(renderer, head) <= limit)
            return hyphen + 1;
        rest = head;
    }
}

void LFontText::WrapLines(const RCPtr<LMeasurementRenderer>& renderer, int32_t width, std::vector<String>& lines)
{
    lines.clear();
    for (String paragraph : SplitParagraphs(mText)) {
        int32_t fitted = FitLine(renderer, width, paragraph);
        String line = fitted < paragraph.GetLength() ? paragraph.Left(fitted) : paragraph;
        while (fitted < paragraph.GetLength()) {
            paragraph = WithoutLeadingSpace(paragraph.Mid(fitted));
            if (paragraph.IsEmpty())
                break;
            lines.push_back(line);
            fitted = FitLine(renderer, width, paragraph);
            line = fitted < paragraph.GetLength() ? paragraph.Left(fitted) : paragraph;
        }
        lines.push_back(line);
    }
}

void LFontText::LayOut()
{
    const RCPtr<LMeasurementRenderer> renderer = GetRenderer();
    if (mLines.empty()) {
        if (mWrap)
            WrapLines(renderer, mBoxWidth, mLines);
        else
            mLines = SplitParagraphs(mText);
        if (mLines.empty())
            mLines.push_back(String());
    }
    if (!mLineRects.empty())
        return;
    const float lineHeight = static_cast<float>(GetLineHeight());
    const float count = static_cast<float>(mLines.size());
    const float top = (static_cast<float>(mBoxHeight) - lineHeight * count) * mVAlign;
    for (size_t i = 0; i < mLines.size(); ++i) {
        float width = 0.0f;
        float height = 0.0f;
        if (renderer && mFont && !mLines[i].IsEmpty()) {
            const RectT<float> box = renderer->MeasureText(mLines[i], mFont);
            width = box.x != 0.0f ? box.width + box.x : box.width;
            height = box.height;
        }
        mLineRects.emplace_back((static_cast<float>(mBoxWidth) - width) * mHAlign,
                                lineHeight * static_cast<float>(i) + top, width, height);
    }
}

uint32_t LFontText::GetLineCount()
{
    LayOut();
    return static_cast<uint32_t>(mLineRects.size());
}

RectT<float> LFontText::GetLineRect(uint32_t index)
{
    LayOut();
    return index < mLineRects.size() ? mLineRects[index] : RectT<float>();
}

String LFontText::GetLineText(uint32_t index)
{
    LayOut();
    return index < mLines.size() ? mLines[index] : String();
}

int32_t LFontText::GetWrappedHeight(int32_t width)
{
    std::vector<String> lines;
    if (mWrap)
        WrapLines(GetRenderer(), width, lines);
    else
        lines = SplitParagraphs(mText);
    return static_cast<int32_t>(lines.size()) * GetLineHeight();
}

int32_t LFontText::GetMaxLineWidth()
{
    const RCPtr<LMeasurementRenderer> renderer = GetRenderer();
    float widest = 0.0f;
    for (const String& paragraph : SplitParagraphs(mText))
        widest = std::max(widest, MeasureWidth(renderer, paragraph));
    return static_cast<int32_t>(widest + 0.99f);
}

PointT<long> LFontText::GetTextBounds()
{
    LayOut();
    RectT<float> bounds;
    for (const RectT<float>& rect : mLineRects)
        bounds.Union(rect);
    const float width = std::max(-kFloatLimit, std::min(kFloatLimit, bounds.width));
    const float height = std::max(-kFloatLimit, std::min(kFloatLimit, bounds.height));
    return PointT<long>(RoundFloatToInt(width), RoundFloatToInt(height));
}

} // namespace KX
