// The text box's geometry: characters measured with the application's
// renderer in the control's font, the text area and origin of look 0, the
// characters' rectangles, the character boundary under a point, and the
// laid-out lines.
#include "Controls/TextBox.h"

#include "Application/FrameworkApp.h"
#include "ControlBase/Look.h"
#include "Renderer/Renderer.h"
#include "Utilities/Graphics/Font.h"

#include <algorithm>
#include <cmath>

namespace KX {

namespace {

// Coordinates are limited to what a float holds exactly.
constexpr double kFloatLimit = 8388608.0;

double ClampToFloatLimit(double value)
{
    return std::max(-kFloatLimit, std::min(kFloatLimit, value));
}

PointT<double> ClampedOffset(const PointT<double>& offset)
{
    return PointT<double>(ClampToFloatLimit(offset.x), ClampToFloatLimit(offset.y));
}

} // namespace

// ---- Measuring ----

RCPtr<LRenderer> LTextBox::MeasuringRenderer() const
{
    RCPtr<LRenderer> renderer;
    if (LFrameworkApp* application = LFrameworkApp::sInstance)
        application->GetRenderer(renderer);
    return renderer;
}

RectT<float> LTextBox::MeasureInFont(const String& text) const
{
    const RCPtr<LRenderer> renderer = MeasuringRenderer();
    if (!renderer || !mFont)
        return RectT<float>();
    return renderer->MeasureText(text, mFont);
}

// ---- Geometry ----

RectT<float> LTextBox::GetTextArea() const
{
    const RCPtr<LLook> look = mLooks.GetCount() > 0 ? mLooks.GetAt(0) : RCPtr<LLook>();
    if (!look || !look->GetDescriptor() || !look->GetDescriptor()->HasText())
        return RectT<float>();
    const LLookDescriptor::TextProperties& text = look->GetDescriptor()->GetTextProperties();
    const float width = static_cast<float>(ClampToFloatLimit(mRect.width));
    const float height = static_cast<float>(ClampToFloatLimit(mRect.height));
    const float x = text.mLeftRel * width + static_cast<float>(text.mLeftAbs);
    const float y = text.mTopRel * height + static_cast<float>(text.mTopAbs);
    const float right = text.mRightRel * width + static_cast<float>(text.mRightAbs);
    const float bottom = text.mBottomRel * height + static_cast<float>(text.mBottomAbs);
    return RectT<float>(x, y, right - x, bottom - y);
}

PointT<float> LTextBox::GetTextOrigin() const
{
    const RectT<float> area = GetTextArea();
    PointT<float> origin(area.x, area.y);
    const RCPtr<LLook> look = mLooks.GetCount() > 0 ? mLooks.GetAt(0) : RCPtr<LLook>();
    const RCPtr<LFontText> layout = look ? look->GetTextLayout() : RCPtr<LFontText>();
    if (layout && layout->GetLineCount() > 0) {
        const RectT<float> line = layout->GetLineRect(0);
        origin.x += line.x;
        origin.y += line.y;
    }
    return origin;
}

float LTextBox::CharLeftEdge(int32_t index) const
{
    float x = GetTextOrigin().x;
    if (index >= 1) {
        const RectT<float> prefix = MeasureInFont(mText.Left(index));
        x += prefix.width + prefix.x;
    }
    return x;
}

RectT<float> LTextBox::GetCharRect(int32_t index) const
{
    if (index < 0 || index > GetTextLength())
        return RectT<float>();
    const RectT<float> character = MeasureInFont(mText.Mid(index, 1));
    return RectT<float>(CharLeftEdge(index), GetTextOrigin().y, character.width + character.x - 1.0f,
                        character.height);
}

RectT<float> LTextBox::GetCharRangeRect(int32_t a, int32_t b) const
{
    const int32_t length = GetTextLength();
    if (a < 0 || a > length || b < 0 || b > length)
        return RectT<float>();
    if (a == b)
        return GetCharRect(a);
    const RectT<float> first = GetCharRect(std::min(a, b));
    const RectT<float> last = GetCharRect(std::max(a, b));
    return RectT<float>(first.x, first.y, last.x + last.width - first.x, first.height);
}

int32_t LTextBox::GetCharIndexAtPoint(const PointT<long>& point) const
{
    const RectT<float> area = GetTextArea();
    const PointT<double> offset = ClampedOffset(mScrollOffset);
    const double px = std::max<double>(area.x, std::min<double>(area.x + area.width, point.x)) + offset.x;
    const double py = std::max<double>(area.y, std::min<double>(area.y + area.height, point.y)) + offset.y;

    // The line under the point.
    int32_t line = 0;
    const RCPtr<LLook> look = mLooks.GetCount() > 0 ? mLooks.GetAt(0) : RCPtr<LLook>();
    const RCPtr<LFontText> layout = look ? look->GetTextLayout() : RCPtr<LFontText>();
    if (layout && layout->GetLineCount() > 0) {
        const double firstBottom = area.y + layout->GetLineRect(0).height;
        const int32_t lineHeight = mFont ? mFont->GetHeight() : 0;
        if (py > firstBottom && lineHeight > 0) {
            const int32_t count = static_cast<int32_t>(layout->GetLineCount());
            line = std::min(count - 1, static_cast<int32_t>(std::trunc((py - firstBottom) / lineHeight)) + 1);
        }
    }
    String lineText;
    GetLineText(line, lineText, 0);
    const int32_t length = lineText.GetLength();

    // Halving search for the nearest caret: a character reaches from the
    // caret before it to the caret after it (each a pixel left of a
    // character's edge). GetCharRect's rectangles are narrower (a pixel, and
    // the measure's own padding) and would leave points between two
    // characters to neither, or to the wrong one. A point on a character's
    // right half lies after it.
    int32_t low = 0;
    int32_t high = length - 1;
    while (low <= high) {
        const int32_t middle = (low + high) / 2;
        const double left = CharLeftEdge(middle) - 1.0;
        const double right = CharLeftEdge(middle + 1) - 1.0;
        if (px >= right && middle + 1 < length)
            low = middle + 1;
        else if (left > px)
            high = middle - 1;
        else
            return px < (left + right) * 0.5 ? middle : middle + 1;
    }
    // Left of the text (0) or right of it (the length).
    return std::min(low, length);
}

void LTextBox::GetLineText(int32_t line, String& text, int32_t maxLength) const
{
    const RCPtr<LLook> look = mLooks.GetCount() > 0 ? mLooks.GetAt(0) : RCPtr<LLook>();
    const RCPtr<LFontText> layout = look ? look->GetTextLayout() : RCPtr<LFontText>();
    if (!layout || line < 0 || static_cast<uint32_t>(line) >= layout->GetLineCount())
        return;
    text = layout->GetLineText(static_cast<uint32_t>(line));
    if (maxLength > 0 && text.GetLength() > maxLength)
        text = text.Left(maxLength);
}

} // namespace KX
