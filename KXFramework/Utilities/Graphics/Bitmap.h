// KX::LBitmap: an image loaded from a resource of type "GDIPLUS" ("::NAME")
// or from a file, shared through a registry by name, or a sub-bitmap showing
// a rectangle of another bitmap's image; and the colourising functions that
// build the bitmaps of skin parts.
//
// Contract:
// - A bitmap has its own GDI+ image or a parent, never both. GetImage is the
//   image it shows: its own, else the one of the bitmap that owns it (a
//   sub-bitmap's parent always owns an image).
// - mRect is the part of the image shown: {0, 0, width, height} for a loaded
//   image.
// - Get shares one bitmap per name, compared ignoring letter case (the key is
//   the upper-cased name). The registry does not keep a bitmap alive: its
//   entry counts as the bitmap's internal reference, and the entry goes when
//   the last user releases the bitmap; a later Get decodes the image again.
// - A bitmap decoded from a resource keeps the stream it was decoded from for
//   the image's whole life, as GDI+ requires of stream-decoded images.
// - Sub-bitmaps, copies and colourised bitmaps are never registered.
// - GDI+ failures while reading pixels are kept as the bitmap's last status
//   and otherwise ignored.
// - User-interface thread only; the registry has no lock.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Geometry/PointT.h"
#include "Utilities/Geometry/RectT.h"
#include "Utilities/Graphics/Color.h"
#include "Utilities/Graphics/GdiplusTypes.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

class LBitmapData;
class LColorizer;

class LBitmap : public virtual LRefCountedObject
{
public:
    using String = StringT<wchar_t, char>;

    // The bitmap of the name: "::NAME" is the resource NAME (upper-cased,
    // "." and " " replaced by "_") of type "GDIPLUS" in the application's
    // resource module, anything else a file path. Registered and shared by
    // the upper-cased name; null when the image is missing or does not
    // decode. Answers `out`.
    static RCPtr<LBitmap>& Get(RCPtr<LBitmap>& out, const String& name);
    // The identity of the GDI+ image the bitmap shows (sub-bitmaps of one
    // parent share it), pointer-sized; 0 for a null bitmap.
    static intptr_t GetHandle(const ConstRCPtr<LBitmap>& bitmap);

    // A new bitmap showing {x, y, width, height} of this one (relative to
    // this bitmap's rectangle); a width or height of 0 or less stands for the
    // whole of this bitmap. Its parent is the bitmap that owns the image.
    KXRESULT CreateSubBitmap(RCPtr<LBitmap>& out, long x, long y, long width, long height) const;
    // A new bitmap with its own image: a copy of this bitmap's rectangle.
    // E_FAIL when there is no image or GDI+ cannot copy it.
    KXRESULT CopyArea(RCPtr<LBitmap>& out) const;

    // The GDI+ image shown (own or inherited); null for an empty bitmap.
    Gdiplus::GpBitmap* GetImage() const;
    // mRect as floats.
    RectT<float> GetSourceRect() const;
    const RectT<long>& GetRect() const { return mRect; }
    long GetWidth() const { return mRect.width; }
    long GetHeight() const { return mRect.height; }
    const RCPtr<LBitmap>& GetParent() const { return mParent; }
    const String& GetName() const { return mName; }
    const String& GetKey() const { return mKey; }
    // The colour at (x, y) of this bitmap's rectangle, each channel byte / 255;
    // all zero when GDI+ cannot read it.
    ColorT<float> GetPixel(long x, long y) const;
    // The GDI+ status of the last failed call on this bitmap's image (0 Ok).
    int32_t GetLastStatus() const { return mLastStatus; }
    // The stream a resource image was decoded from, kept (with its memory) as
    // long as the image lives; null for files and made bitmaps.
    IStream* GetSourceStream() const { return mStream; }

    // This bitmap's rectangle of the image locked for reading as 32-bit ARGB
    // (on the image owner: a sub-bitmap delegates to its parent). E_FAIL when
    // the lock is refused.
    KXRESULT LockBitmapData(RCPtr<LBitmapData>& out) const;

    // ---- Colourising ----

    // Blends the colorizer's colour (alpha x amount) over every pixel of the
    // bitmap's rectangle, in place; each result byte is clamped to 0..255
    // and the alpha byte is kept. A null bitmap or colorizer, or pixels that
    // cannot be locked, throw the runtime error; a gradient of two different
    // colours throws the domain error of CreateGradientFilledBitmap.
    static void ApplyColorizer(const RCPtr<LBitmap>& bitmap, const ConstRCPtr<LColorizer>& colorizer, float amount);
    // A new bitmap of the size showing the colorizer: a solid fill of its
    // colour with alpha x amount (a gradient throws). A width or height of 0
    // or less throws the runtime error.
    static KXRESULT CreateColorizedBitmap(RCPtr<LBitmap>& out, const ConstRCPtr<LColorizer>& colorizer,
                                          float amount, const PointT<long>& size);
    // A new 32-bit ARGB bitmap of the size, every pixel the colour. A width
    // or height of 0 or less throws the runtime error.
    static KXRESULT CreateFilledBitmap(RCPtr<LBitmap>& out, const PointT<long>& size, const ColorT<float>& color);
    // Gradients are not supported: always throws the domain error.
    static KXRESULT CreateGradientFilledBitmap(RCPtr<LBitmap>& out, const PointT<long>& size,
                                               const ConstRCPtr<LColorizer>& colorizer, bool radial);
    // The bitmap of a skin part with a colorizer: a copy of the image (or of
    // the mask) colourised, or without either a colourised fill of the size.
    // An image and a mask together throw the domain error.
    static KXRESULT CreatePartBitmap(RCPtr<LBitmap>& out, const ConstRCPtr<LColorizer>& colorizer, float amount,
                                     const PointT<long>& size, const ConstRCPtr<LBitmap>& bitmap,
                                     const ConstRCPtr<LBitmap>& mask);

protected:
    // Loads the named image (see Get); an image that does not decode leaves
    // the bitmap empty.
    LBitmap(const String& name, const String& key);
    // An unregistered bitmap that takes ownership of the image.
    explicit LBitmap(Gdiplus::GpBitmap* image);
    // A sub-bitmap of the image owner.
    LBitmap(const RCPtr<LBitmap>& parent, const RectT<long>& rect);
    ~LBitmap() override;

    // Removes the registry entry when the last user lets go.
    KXRESULT ReleaseInternalReferences() override;

private:
    LBitmap(const LBitmap&) = delete;
    LBitmap& operator=(const LBitmap&) = delete;

    void LoadResource(const String& resourceName);
    void LoadFile(const String& path);
    void TakeImage(Gdiplus::GpBitmap* image);

    RectT<long> mRect;
    RCPtr<LBitmap> mParent;
    String mName;
    String mKey;
    Gdiplus::GpBitmap* mImage = nullptr;
    IStream* mStream = nullptr; // what a resource image was decoded from
    mutable int32_t mLastStatus = 0;
};

} // namespace KX
