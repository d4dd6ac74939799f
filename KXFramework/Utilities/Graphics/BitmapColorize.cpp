// The colourising functions of KX::LBitmap: the bitmaps of skin parts made
// from a colorizer, blended over an image or filled with its colour.
#include "Utilities/Graphics/Bitmap.h"

#include "ControlBase/Colorizer.h"
#include "ObjectBase/Exception.h"
#include "Utilities/Graphics/GdiplusFlat.h"

#include <algorithm>

namespace KX {

using namespace Gdip;

namespace {

constexpr const char* kSource = "Utilities\\Graphics\\Bitmap";

// A gradient whose two colours differ; a "gradient" of one colour is solid.
bool IsGradient(const LColorizer& colorizer)
{
    return colorizer.mColorType != LColorizer::Solid && colorizer.mColor != colorizer.mGradientEndColor;
}

// One colour byte blended towards the channel: the byte scaled by (1 - a)
// plus the pre-multiplied channel, rounded and kept within a byte (an
// amount above 1 would otherwise wrap).
BYTE BlendByte(BYTE byte, float keep, float channel)
{
    const float value = (static_cast<float>(byte) / 255.0f * keep + channel) * 255.0f + 0.5f;
    const float clamped = std::max(0.0f, std::min(255.0f, value));
    return static_cast<BYTE>(static_cast<int>(clamped));
}

} // namespace

void LBitmap::ApplyColorizer(const RCPtr<LBitmap>& bitmap, const ConstRCPtr<LColorizer>& colorizer, float amount)
{
    if (!bitmap || !colorizer)
        KX_THROW(std::runtime_error, "", "KX::LBitmap::ApplyColorizer", kSource, 368);
    if (IsGradient(*colorizer)) {
        RCPtr<LBitmap> unused;
        CreateColorizedBitmap(unused, colorizer, amount, PointT<long>(bitmap->GetWidth(), bitmap->GetHeight()));
        return;
    }
    const ColorT<float>& color = colorizer->mColor;
    const float a = color.mAlpha * amount;
    const float keep = 1.0f - a;
    const float red = color.mRed * a;
    const float green = color.mGreen * a;
    const float blue = color.mBlue * a;

    GpBitmap* image = bitmap->GetImage();
    const RectT<long>& r = bitmap->GetRect();
    const GpRect area(r.x, r.y, r.width, r.height);
    BitmapData data{};
    const GpStatus status = image ? GdipBitmapLockBits(image, &area, ImageLockModeRead | ImageLockModeWrite,
                                                       PixelFormat32bppARGB, &data)
                                  : static_cast<GpStatus>(InvalidParameter);
    if (status != Ok) {
        bitmap->mLastStatus = status;
        KX_THROW(std::runtime_error, "", "KX::LBitmap::ApplyColorizer", kSource, 392);
    }
    for (UINT y = 0; y < data.Height; ++y) {
        BYTE* pixel = static_cast<BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
        for (UINT x = 0; x < data.Width; ++x, pixel += 4) {
            // Bytes of a 32-bit ARGB pixel in memory: blue, green, red, alpha.
            pixel[0] = BlendByte(pixel[0], keep, blue);
            pixel[1] = BlendByte(pixel[1], keep, green);
            pixel[2] = BlendByte(pixel[2], keep, red);
        }
    }
    GdipBitmapUnlockBits(image, &data);
}

KXRESULT LBitmap::CreateColorizedBitmap(RCPtr<LBitmap>& out, const ConstRCPtr<LColorizer>& colorizer, float amount,
                                        const PointT<long>& size)
{
    if (size.x <= 0 || size.y <= 0)
        KX_THROW(std::runtime_error, "", "KX::LBitmap::CreateColorizedBitmap", kSource, 292);
    if (!colorizer) {
        out = nullptr;
        return E_INVALIDARG;
    }
    if (IsGradient(*colorizer))
        return CreateGradientFilledBitmap(out, size, colorizer, colorizer->mColorType == LColorizer::RadialGradient);
    ColorT<float> color = colorizer->mColor;
    color.mAlpha *= amount;
    return CreateFilledBitmap(out, size, color);
}

KXRESULT LBitmap::CreateFilledBitmap(RCPtr<LBitmap>& out, const PointT<long>& size, const ColorT<float>& color)
{
    if (size.x <= 0 || size.y <= 0)
        KX_THROW(std::runtime_error, "", "KX::LBitmap::CreateFilledBitmap", kSource, 321);
    out = nullptr;
    OwnedBitmap image;
    if (GdipCreateBitmapFromScan0(size.x, size.y, 0, PixelFormat32bppARGB, nullptr, image.Out()) != Ok)
        return E_FAIL;
    const GpRect area(0, 0, size.x, size.y);
    BitmapData data{};
    if (GdipBitmapLockBits(image.Get(), &area, ImageLockModeWrite, PixelFormat32bppARGB, &data) != Ok)
        return E_FAIL;
    const ARGB packed = color.GetARGB();
    for (UINT y = 0; y < data.Height; ++y) {
        ARGB* row = reinterpret_cast<ARGB*>(static_cast<BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride);
        std::fill(row, row + data.Width, packed);
    }
    GdipBitmapUnlockBits(image.Get(), &data);
    out = RCPtr<LBitmap>(new LBitmap(image.Release()));
    return S_OK;
}

KXRESULT LBitmap::CreateGradientFilledBitmap(RCPtr<LBitmap>&, const PointT<long>&, const ConstRCPtr<LColorizer>&,
                                             bool)
{
    KX_THROW(std::domain_error, "", "KX::LBitmap::CreateGradientFilledBitmap", kSource, 356);
}

KXRESULT LBitmap::CreatePartBitmap(RCPtr<LBitmap>& out, const ConstRCPtr<LColorizer>& colorizer, float amount,
                                   const PointT<long>& size, const ConstRCPtr<LBitmap>& bitmap,
                                   const ConstRCPtr<LBitmap>& mask)
{
    RCPtr<LBitmap> base;
    if (bitmap)
        bitmap->CopyArea(base);
    if (mask) {
        if (base)
            KX_THROW(std::domain_error, "", "KX::LBitmap::ApplyColorizer", kSource, 438);
        mask->CopyArea(base);
    }
    if (!base)
        return CreateColorizedBitmap(out, colorizer, amount, size);
    ApplyColorizer(base, colorizer, amount);
    out = base;
    return S_OK;
}

} // namespace KX
