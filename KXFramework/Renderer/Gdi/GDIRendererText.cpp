// The GDI+ renderer's text: drawing, line metrics and measurement.
#include "Renderer/Gdi/GDIRenderer.h"

#include "Utilities/Graphics/Font.h"
#include "Utilities/Graphics/GdiplusFlat.h"

#include <cmath>

namespace KX {

using namespace Gdip;

namespace {

// Half away from zero, truncated, in single precision.
int32_t RoundHalfAway(float value)
{
    return static_cast<int32_t>(value < 0.0f ? value - 0.5f : value + 0.5f);
}

// The family of the face name; a face GDI+ does not know falls back to the
// generic sans-serif family. False when there is no family at all.
bool MakeFamily(OwnedFontFamily& family, const StringT<wchar_t, char>& faceName)
{
    if (GdipCreateFontFamilyFromName(faceName.GetData(), nullptr, family.Out()) == Ok && family)
        return true;
    return GdipGetGenericFontFamilySansSerif(family.Out()) == Ok && family;
}

bool MakeFont(OwnedFont& font, const OwnedFontFamily& family, float size, int32_t style, Unit unit)
{
    return GdipCreateFont(family.Get(), size, style, unit, font.Out()) == Ok && font;
}

} // namespace

void LGDIRenderer::DrawText(const String& text, const RCPtr<LFont>& font, const PointT<long>& position,
                            const Color& color)
{
    GpGraphics* target = GetTarget();
    if (!target || !font)
        return;
    OwnedFontFamily family;
    OwnedFont gdiFont;
    if (!MakeFamily(family, font->GetFaceName()) ||
        !MakeFont(gdiFont, family, mTextScale * font->GetSize(), font->GetStyle(), UnitPoint))
        return;
    OwnedSolidFill brush;
    if (GdipCreateSolidFill(color.GetARGB(), brush.Out()) != Ok)
        return;
    const RectF layout(static_cast<REAL>(position.x), static_cast<REAL>(position.y) - 1.0f, 0.0f, 0.0f);
    GdipDrawString(target, text.GetData(), -1, gdiFont.Get(), &layout, nullptr, brush.Get());
}

KXRESULT LGDIRenderer::GetFontMetrics(const RCPtr<LFont>& font, int32_t& height, int32_t& ascent, int32_t& descent)
{
    height = 0;
    ascent = 0;
    descent = 0;
    if (!font)
        return E_FAIL;
    const int32_t style = font->GetStyle();
    OwnedFontFamily family;
    OwnedFont gdiFont;
    if (!MakeFamily(family, font->GetFaceName()) ||
        !MakeFont(gdiFont, family, font->GetSize(), style, UnitPixel))
        return E_FAIL;

    REAL fontHeight = 0.0f;
    REAL size = 0.0f;
    UINT16 ascentUnits = 0;
    UINT16 descentUnits = 0;
    UINT16 em = 0;
    if (GdipGetFontHeightGivenDPI(gdiFont.Get(), 72.0f, &fontHeight) != Ok ||
        GdipGetFontSize(gdiFont.Get(), &size) != Ok ||
        GdipGetCellAscent(family.Get(), style, &ascentUnits) != Ok ||
        GdipGetCellDescent(family.Get(), style, &descentUnits) != Ok ||
        GdipGetEmHeight(family.Get(), style, &em) != Ok || em == 0)
        return E_FAIL;

    height = RoundHalfAway(fontHeight * 96.0f / 72.0f + 0.499f);
    const float emPoints = static_cast<float>(em) * 72.0f;
    ascent = RoundHalfAway(static_cast<float>(ascentUnits) * size * -96.0f / emPoints - 0.499f);
    descent = RoundHalfAway(static_cast<float>(descentUnits) * size * 96.0f / emPoints + 0.499f);
    return S_OK;
}

RectT<float> LGDIRenderer::MeasureText(const String& text, const RCPtr<LFont>& font)
{
    if (text.IsEmpty() || !font || !mMeasureBitmap)
        return RectT<float>();
    OwnedFontFamily family;
    OwnedFont gdiFont;
    if (!MakeFamily(family, font->GetFaceName()) ||
        !MakeFont(gdiFont, family, font->GetSize(), font->GetStyle(), UnitPoint))
        return RectT<float>();
    int32_t height = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
    GetFontMetrics(font, height, ascent, descent);

    OwnedGraphics graphics;
    OwnedStringFormat format;
    OwnedRegion region;
    if (GdipGetImageGraphicsContext(mMeasureBitmap, graphics.Out()) != Ok ||
        GdipCreateStringFormat(0, LANG_NEUTRAL, format.Out()) != Ok || GdipCreateRegion(region.Out()) != Ok)
        return RectT<float>();
    const INT length = text.GetLength();
    const CharacterRange range(0, length);
    GdipSetStringFormatTrimming(format.Get(), StringTrimmingNone);
    GdipSetStringFormatFlags(format.Get(), StringFormatFlagsMeasureTrailingSpaces);
    GdipSetStringFormatMeasurableCharacterRanges(format.Get(), 1, &range);
    const RectF layout(0.0f, 0.0f, 9999.0f, 9999.0f);
    GpRegion* regions[1] = {region.Get()};
    RectF bounds;
    if (GdipMeasureCharacterRanges(graphics.Get(), text.GetData(), length, gdiFont.Get(), layout, format.Get(), 1,
                                   regions) != Ok ||
        GdipGetRegionBounds(region.Get(), graphics.Get(), &bounds) != Ok)
        return RectT<float>();

    float right = bounds.X + bounds.Width;
    if (mDpi != 96)
        right = 9600.0f / static_cast<float>(mDpi) * right / 100.0f;
    float width = std::trunc(right + 0.9999f);
    if (width > 0.0f)
        width += 3.0f;
    return RectT<float>(0.0f, static_cast<float>(ascent), width, static_cast<float>(height));
}

} // namespace KX
