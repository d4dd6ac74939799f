#include "Utilities/Graphics/BitmapData.h"

#include "ObjectBase/Exception.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/GdiplusFlat.h"

namespace KX {

using namespace Gdip;

KXRESULT LBitmapData::Create(RCPtr<LBitmapData>& out, const RCPtr<LBitmap>& bitmap, uint32_t lockMode,
                             IPixelBuffer<long>* pixelBuffer)
{
    out = RCPtr<LBitmapData>(new LBitmapData(bitmap, lockMode, pixelBuffer));
    return out->IsLocked() ? S_OK : E_FAIL;
}

LBitmapData::LBitmapData(const RCPtr<LBitmap>& bitmap, uint32_t lockMode, IPixelBuffer<long>* pixelBuffer)
    : mBitmap(bitmap)
{
    if (pixelBuffer)
        KX_THROW(std::domain_error, "", "KX::LBitmapData::LBitmapData", "Utilities\\Graphics\\Bitmap", 483);
    GpBitmap* image = mBitmap ? mBitmap->GetImage() : nullptr;
    if (!image) {
        mLockStatus = InvalidParameter;
        return;
    }
    const RectT<long>& r = mBitmap->GetRect();
    const GpRect area(r.x, r.y, r.width, r.height);
    BitmapData data{};
    mLockStatus = GdipBitmapLockBits(image, &area, lockMode, PixelFormat32bppARGB, &data);
    if (mLockStatus != Ok)
        return;
    mLocked = true;
    mLockWidth = data.Width;
    mLockHeight = data.Height;
    mLockStride = data.Stride;
    mLockPixelFormat = data.PixelFormat;
    mLockScan0 = data.Scan0;
    mLockReserved = reinterpret_cast<void*>(data.Reserved);
}

LBitmapData::~LBitmapData()
{
    if (!mLocked)
        return;
    BitmapData data{};
    data.Width = mLockWidth;
    data.Height = mLockHeight;
    data.Stride = mLockStride;
    data.PixelFormat = mLockPixelFormat;
    data.Scan0 = mLockScan0;
    data.Reserved = reinterpret_cast<UINT_PTR>(mLockReserved);
    GdipBitmapUnlockBits(mBitmap->GetImage(), &data);
}

int32_t LBitmapData::GetWidth() const
{
    return static_cast<int32_t>(mLockWidth);
}

int32_t LBitmapData::GetHeight() const
{
    return static_cast<int32_t>(mLockHeight);
}

int32_t LBitmapData::GetStride() const
{
    return mLockStride;
}

const long* LBitmapData::GetPixel(int32_t x, int32_t y) const
{
    if (!mLockScan0)
        return nullptr;
    const BYTE* first = static_cast<const BYTE*>(mLockScan0);
    return reinterpret_cast<const long*>(first + static_cast<ptrdiff_t>(y) * mLockStride + static_cast<ptrdiff_t>(x) * 4);
}

long* LBitmapData::GetPixel(int32_t x, int32_t y)
{
    return const_cast<long*>(static_cast<const LBitmapData*>(this)->GetPixel(x, y));
}

} // namespace KX
