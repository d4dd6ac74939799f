#include "Utilities/Graphics/Bitmap.h"

#include "Application/ProgramGlobals.h"
#include "Utilities/Graphics/BitmapData.h"
#include "Utilities/Graphics/GdiplusFlat.h"

#include <objidl.h>

#include <cstring>
#include <map>

namespace KX {

using namespace Gdip;

namespace {

// The bitmaps of Get by upper-cased name. An entry holds a reference that
// its bitmap counts as internal, so the entry never keeps it alive.
std::map<StringT<wchar_t, char>, RCPtr<LBitmap>>& Registry()
{
    static std::map<StringT<wchar_t, char>, RCPtr<LBitmap>> registry;
    return registry;
}

} // namespace

LBitmap::LBitmap(const String& name, const String& key) : mName(name), mKey(key)
{
    const wchar_t* text = name.GetData();
    if (text[0] == L':' && text[1] == L':')
        LoadResource(String(text + 2));
    else
        LoadFile(name);
}

LBitmap::LBitmap(Gdiplus::GpBitmap* image)
{
    TakeImage(image);
}

LBitmap::LBitmap(const RCPtr<LBitmap>& parent, const RectT<long>& rect) : mRect(rect), mParent(parent) {}

LBitmap::~LBitmap()
{
    if (mImage)
        GdipDisposeImage(mImage);
    // The stream goes only after the image decoded from it.
    if (mStream)
        mStream->Release();
}

void LBitmap::TakeImage(Gdiplus::GpBitmap* image)
{
    mImage = image;
    UINT width = 0;
    UINT height = 0;
    if (mImage) {
        GdipGetImageWidth(mImage, &width);
        GdipGetImageHeight(mImage, &height);
    }
    mRect = RectT<long>(0, 0, static_cast<long>(width), static_cast<long>(height));
}

void LBitmap::LoadResource(const String& resourceName)
{
    String name = resourceName.ToUpper();
    name.ReplaceAny(L". ", L'_');
    const HMODULE module = GetModuleInstance();
    HRSRC resource = FindResourceW(module, name.GetData(), L"GDIPLUS");
    if (!resource)
        return;
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0)
        return;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory)
        return;
    void* copy = GlobalLock(memory);
    if (!copy) {
        GlobalFree(memory);
        return;
    }
    std::memcpy(copy, bytes, size);
    GlobalUnlock(memory);
    // The stream owns the memory from here on; the bitmap keeps the stream for
    // as long as its image lives, because GDI+ may read a stream-decoded
    // image's source again at any time.
    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(memory, TRUE, &stream) != S_OK || !stream) {
        GlobalFree(memory);
        return;
    }
    GpBitmap* image = nullptr;
    mLastStatus = GdipCreateBitmapFromStream(stream, &image);
    if (mLastStatus != Ok) {
        if (image)
            GdipDisposeImage(image);
        stream->Release();
        return;
    }
    mStream = stream;
    TakeImage(image);
}

void LBitmap::LoadFile(const String& path)
{
    GpBitmap* image = nullptr;
    mLastStatus = GdipCreateBitmapFromFile(path.GetData(), &image);
    if (mLastStatus != Ok) {
        if (image)
            GdipDisposeImage(image);
        return;
    }
    TakeImage(image);
}

RCPtr<LBitmap>& LBitmap::Get(RCPtr<LBitmap>& out, const String& name)
{
    const String key = name.ToUpper();
    auto& registry = Registry();
    const auto found = registry.find(key);
    if (found != registry.end()) {
        out = found->second;
        return out;
    }
    RCPtr<LBitmap> bitmap(new LBitmap(name, key));
    if (!bitmap->mImage) {
        out = nullptr;
        return out;
    }
    registry.emplace(key, bitmap);
    bitmap->AdjustInternalReferenceCount(1);
    out = bitmap;
    return out;
}

KXRESULT LBitmap::ReleaseInternalReferences()
{
    if (!mName.IsEmpty()) {
        auto& registry = Registry();
        const auto found = registry.find(mKey);
        if (found != registry.end() && found->second.Get() == this) {
            AdjustInternalReferenceCount(-1);
            registry.erase(found); // the caller's reference keeps this alive
            return S_OK;
        }
    }
    return LRefCountedObject::ReleaseInternalReferences();
}

intptr_t LBitmap::GetHandle(const ConstRCPtr<LBitmap>& bitmap)
{
    return bitmap ? reinterpret_cast<intptr_t>(bitmap->GetImage()) : 0;
}

Gdiplus::GpBitmap* LBitmap::GetImage() const
{
    if (mImage)
        return mImage;
    return mParent ? mParent->GetImage() : nullptr;
}

RectT<float> LBitmap::GetSourceRect() const
{
    return RectT<float>(static_cast<float>(mRect.x), static_cast<float>(mRect.y), static_cast<float>(mRect.width),
                        static_cast<float>(mRect.height));
}

KXRESULT LBitmap::CreateSubBitmap(RCPtr<LBitmap>& out, long x, long y, long width, long height) const
{
    if (width <= 0 || height <= 0) {
        x = 0;
        y = 0;
        width = mRect.width;
        height = mRect.height;
    }
    const RCPtr<LBitmap> owner = mParent ? mParent : RCPtr<LBitmap>(const_cast<LBitmap*>(this));
    out = RCPtr<LBitmap>(new LBitmap(owner, RectT<long>(mRect.x + x, mRect.y + y, width, height)));
    return S_OK;
}

KXRESULT LBitmap::CopyArea(RCPtr<LBitmap>& out) const
{
    out = nullptr;
    GpBitmap* image = GetImage();
    if (!image)
        return E_FAIL;
    PixelFormat format = PixelFormat32bppARGB;
    GdipGetImagePixelFormat(image, &format);
    GpBitmap* copy = nullptr;
    mLastStatus = GdipCloneBitmapAreaI(mRect.x, mRect.y, mRect.width, mRect.height, format, image, &copy);
    if (mLastStatus != Ok || !copy)
        return E_FAIL;
    out = RCPtr<LBitmap>(new LBitmap(copy));
    return S_OK;
}

ColorT<float> LBitmap::GetPixel(long x, long y) const
{
    ColorT<float> color;
    GpBitmap* image = GetImage();
    ARGB argb = 0;
    const GpStatus status =
        image ? GdipBitmapGetPixel(image, mRect.x + x, mRect.y + y, &argb) : static_cast<GpStatus>(InvalidParameter);
    if (status != Ok) {
        mLastStatus = status;
        color.SetARGB(0);
        return color;
    }
    color.mAlpha = static_cast<float>((argb >> 24) & 0xFF) / 255.0f;
    color.mRed = static_cast<float>((argb >> 16) & 0xFF) / 255.0f;
    color.mGreen = static_cast<float>((argb >> 8) & 0xFF) / 255.0f;
    color.mBlue = static_cast<float>(argb & 0xFF) / 255.0f;
    return color;
}

KXRESULT LBitmap::LockBitmapData(RCPtr<LBitmapData>& out) const
{
    if (mParent)
        return mParent->LockBitmapData(out);
    LBitmapData::Create(out, RCPtr<LBitmap>(const_cast<LBitmap*>(this)), LBitmapData::LockRead);
    return out && out->IsLocked() ? S_OK : E_FAIL;
}

} // namespace KX
