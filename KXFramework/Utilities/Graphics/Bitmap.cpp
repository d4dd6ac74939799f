#include "Utilities/Graphics/Bitmap.h"

#include "ControlBase/Colorizer.h"
#include "Utilities/Graphics/BitmapData.h"

namespace KX {

LBitmap::LBitmap(const String& name, const String& key) : mName(name), mKey(key) {}
LBitmap::LBitmap(Gdiplus::GpBitmap* image) { TakeImage(image); }
LBitmap::LBitmap(const RCPtr<LBitmap>& parent, const RectT<long>& rect) : mRect(rect), mParent(parent) {}
LBitmap::~LBitmap() = default;

RCPtr<LBitmap>& LBitmap::Get(RCPtr<LBitmap>& out, const String&)
{
    out = nullptr;
    return out;
}

intptr_t LBitmap::GetHandle(const ConstRCPtr<LBitmap>& bitmap)
{
    return bitmap ? reinterpret_cast<intptr_t>(bitmap->GetImage()) : 0;
}

KXRESULT LBitmap::CreateSubBitmap(RCPtr<LBitmap>&, long, long, long, long) const { return E_NOTIMPL; }
KXRESULT LBitmap::CopyArea(RCPtr<LBitmap>&) const { return E_NOTIMPL; }
Gdiplus::GpBitmap* LBitmap::GetImage() const { return mImage ? mImage : (mParent ? mParent->GetImage() : nullptr); }
RectT<float> LBitmap::GetSourceRect() const
{
    return RectT<float>(static_cast<float>(mRect.x), static_cast<float>(mRect.y), static_cast<float>(mRect.width),
                        static_cast<float>(mRect.height));
}
ColorT<float> LBitmap::GetPixel(long, long) const { return ColorT<float>(); }
KXRESULT LBitmap::LockBitmapData(RCPtr<LBitmapData>&) const { return E_NOTIMPL; }
void LBitmap::ApplyColorizer(const RCPtr<LBitmap>&, const ConstRCPtr<LColorizer>&, float) {}
KXRESULT LBitmap::CreateColorizedBitmap(RCPtr<LBitmap>&, const ConstRCPtr<LColorizer>&, float, const PointT<long>&)
{
    return E_NOTIMPL;
}
KXRESULT LBitmap::CreateFilledBitmap(RCPtr<LBitmap>&, const PointT<long>&, const ColorT<float>&) { return E_NOTIMPL; }
KXRESULT LBitmap::CreateGradientFilledBitmap(RCPtr<LBitmap>&, const PointT<long>&, const ConstRCPtr<LColorizer>&,
                                             bool)
{
    return E_NOTIMPL;
}
KXRESULT LBitmap::CreatePartBitmap(RCPtr<LBitmap>&, const ConstRCPtr<LColorizer>&, float, const PointT<long>&,
                                   const ConstRCPtr<LBitmap>&, const ConstRCPtr<LBitmap>&)
{
    return E_NOTIMPL;
}
KXRESULT LBitmap::ReleaseInternalReferences() { return LRefCountedObject::ReleaseInternalReferences(); }
void LBitmap::LoadResource(const String&) {}
void LBitmap::LoadFile(const String&) {}
void LBitmap::TakeImage(Gdiplus::GpBitmap* image) { mImage = image; }

KXRESULT LBitmapData::Create(RCPtr<LBitmapData>& out, const RCPtr<LBitmap>& bitmap, uint32_t lockMode,
                             IPixelBuffer<long>* pixelBuffer)
{
    out = RCPtr<LBitmapData>(new LBitmapData(bitmap, lockMode, pixelBuffer));
    return S_OK;
}
LBitmapData::LBitmapData(const RCPtr<LBitmap>& bitmap, uint32_t, IPixelBuffer<long>*) : mBitmap(bitmap) {}
LBitmapData::~LBitmapData() = default;
int32_t LBitmapData::GetWidth() const { return static_cast<int32_t>(mLockWidth); }
int32_t LBitmapData::GetHeight() const { return static_cast<int32_t>(mLockHeight); }
int32_t LBitmapData::GetStride() const { return mLockStride; }
const long* LBitmapData::GetPixel(int32_t, int32_t) const { return nullptr; }
long* LBitmapData::GetPixel(int32_t, int32_t) { return nullptr; }

} // namespace KX
