#include "ControlBase/VisualPart.h"

#include "Utilities/Graphics/Bitmap.h"

#include <algorithm>
#include <cmath>

namespace KX {

namespace {

constexpr const char* kSource = "ControlBase\\VisualPart";
// Drawing coordinates are floats kept within +/-2^23.
constexpr float kFloatLimit = 8388608.0f;
// Sizes that differ by less than this are the same size.
constexpr float kSizeTolerance = 1.1920929e-6f;

float ClampToFloatLimit(float value)
{
    return std::max(-kFloatLimit, std::min(kFloatLimit, value));
}

// Floors a sample edge; a value a hair below a whole number (relative 2^-23)
// counts as that number.
float FloorToPixel(float value)
{
    const float nearest = std::round(value);
    if (std::fabs(value - nearest) <= std::fabs(value) * 1.1920929e-7f)
        return nearest;
    return std::floor(value);
}

} // namespace

LVisualPart::LVisualPart(const String& name, const RCPtr<LBitmap>& bitmap, ResizeType resizeType,
                         const ConstRCPtr<LColorizer>& colorizer, const PointT<long>& size, float alphaModifier,
                         const RCPtr<LBitmap>& mask)
    : mName(name), mBitmap(bitmap), mWidth(size.x), mHeight(size.y), mResizeType(resizeType),
      mColorizer(colorizer), mAlphaModifier(alphaModifier), mMask(mask)
{
    if (mBitmap) {
        mWidth = mBitmap->GetWidth();
        mHeight = mBitmap->GetHeight();
    }
    // A colourised image, a masked colour or a gradient becomes a bitmap of
    // its own; a plain colour stays a colour.
    if (mColorizer && (mBitmap || mMask || mColorizer->mColorType != LColorizer::Solid)) {
        RCPtr<LBitmap> colourised;
        LBitmap::CreatePartBitmap(colourised, mColorizer, mAlphaModifier, PointT<long>(mWidth, mHeight), mBitmap,
                                  mMask);
        mBitmap = colourised;
        if (mBitmap) {
            mWidth = mBitmap->GetWidth();
            mHeight = mBitmap->GetHeight();
        }
    }
}

LVisualPart::~LVisualPart() = default;

void LVisualPart::SetOwner(const ConstRCPtr<LVisualPartDescriptor>& owner)
{
    mOwner = owner;
}

KXRESULT LVisualPart::ReleaseInternalReferences()
{
    if (mOwner) {
        // The owner's cache is this part's internal reference: give it back,
        // then let the cache go. Dropping the owner last keeps it alive while
        // its cache is cleared.
        const ConstRCPtr<LVisualPartDescriptor> owner = mOwner;
        AdjustInternalReferenceCount(-1);
        owner->ForgetVisualPart(this);
        mOwner = nullptr;
    }
    return LRefCountedObject::ReleaseInternalReferences();
}

ColorT<float> LVisualPart::GetSolidColor() const
{
    if (!mColorizer)
        return ColorT<float>();
    ColorT<float> color = mColorizer->mColor;
    color.mAlpha *= mAlphaModifier;
    return color;
}

KXRESULT LVisualPart::Draw(const RCPtr<LRenderer>& renderer, const PointT<float>& size)
{
    const long width = RoundFloatToInt(size.x);
    const long height = RoundFloatToInt(size.y);
    if (mBitmap) {
        renderer->DrawBitmap(mBitmap, RectT<long>(0, 0, width, height), mResizeType);
        return S_OK;
    }
    if (!mColorizer)
        KX_THROW(std::runtime_error, "", "KX::LVisualPart::Draw", kSource, 218);
    const ColorT<float> color = GetSolidColor();
    if (!(color.mAlpha > 0.0f))
        return S_OK;
    RectT<long> rect(0, 0, width, height);
    if (mResizeType == ResizeCenter)
        rect = RectT<long>((width - mWidth) / 2, (height - mHeight) / 2, mWidth, mHeight);
    renderer->FillRect(rect, color, true);
    return S_OK;
}

uint32_t LVisualPart::GetColorAtPoint(const PointT<long>& point) const
{
    if (point.x < 0 || point.y < 0 || point.x >= mWidth || point.y >= mHeight)
        return kTransparent;
    if (mBitmap)
        return mBitmap->GetPixel(point.x, point.y).GetARGB();
    if (!mColorizer)
        KX_THROW(std::runtime_error, "", "KX::LVisualPart::GetColorAtPoint", kSource, 91);
    if (mColorizer->mColorType == LColorizer::LinearGradient)
        KX_THROW(std::runtime_error, "", "KX::LVisualPart::GetColorAtPoint", kSource, 76);
    if (mColorizer->mColorType == LColorizer::RadialGradient)
        KX_THROW(std::runtime_error, "", "KX::LVisualPart::GetColorAtPoint", kSource, 81);
    return GetSolidColor().GetARGB();
}

uint32_t LVisualPart::GetColorAtPoint(const PointT<float>& point, const PointT<float>& drawnSize) const
{
    // A part without area shows nothing at any size (and would divide by
    // zero below).
    if (mWidth <= 0 || mHeight <= 0)
        return kTransparent;
    const PointT<float> partSize(ClampToFloatLimit(static_cast<float>(mWidth)),
                                 ClampToFloatLimit(static_cast<float>(mHeight)));
    if (std::fabs(drawnSize.x - partSize.x) < kSizeTolerance && std::fabs(drawnSize.y - partSize.y) < kSizeTolerance)
        return GetColorAtPoint(PointT<long>(RoundFloatToInt(point.x), RoundFloatToInt(point.y)));
    if (!(point.x >= 0.0f && point.y >= 0.0f && point.x < drawnSize.x && point.y < drawnSize.y))
        return kTransparent;
    switch (mResizeType) {
    case ResizeTile: {
        const long tileWidth = static_cast<long>(partSize.x + 0.5f);
        const long tileHeight = static_cast<long>(partSize.y + 0.5f);
        return GetColorAtPoint(PointT<long>(static_cast<long>(point.x + 0.5f) % tileWidth,
                                            static_cast<long>(point.y + 0.5f) % tileHeight));
    }
    case ResizeCenter:
        return GetColorAtPoint(PointT<long>(RoundFloatToInt(point.x - (drawnSize.x - partSize.x) * 0.5f),
                                            RoundFloatToInt(point.y - (drawnSize.y - partSize.y) * 0.5f)));
    case ResizeStretch: {
        const float u = partSize.x / drawnSize.x;
        const float v = partSize.y / drawnSize.y;
        if (drawnSize.x >= partSize.x && drawnSize.y >= partSize.y)
            return GetColorAtPoint(PointT<long>(static_cast<long>(u * point.x), static_cast<long>(v * point.y)));
        return SampleReduced(point, u, v);
    }
    default:
        KX_THROW(std::runtime_error, "", "KX::LVisualPart::GetColorAtPoint", kSource, 165);
    }
}

uint32_t LVisualPart::SampleReduced(const PointT<float>& p, float u, float v) const
{
    // The part pixels under one screen pixel, scanned column by column.
    const float left = u * p.x;
    const float top = v * p.y;
    const float width = std::max(u, 1.0f);
    const float height = std::max(v, 1.0f);
    const long x0 = static_cast<long>(FloorToPixel(left));
    const long y0 = static_cast<long>(FloorToPixel(top));
    const long x1 = static_cast<long>(FloorToPixel(left + width));
    const long y1 = static_cast<long>(FloorToPixel(top + height));
    for (long x = x0; x < x1; ++x) {
        for (long y = y0; y < y1; ++y) {
            const uint32_t color = GetColorAtPoint(PointT<long>(x, y));
            if ((color >> 24) != 0)
                return color;
        }
    }
    return kTransparent;
}

} // namespace KX
