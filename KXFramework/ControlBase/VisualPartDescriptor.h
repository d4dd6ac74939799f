// KX::LVisualPartDescriptor: a part of a skin, a rectangle cut from an image or
// filled with a colorizer, optionally masked. KX::BitmapDescriptor names the
// image (or mask) and the source rectangle in it.
//
// The descriptor makes its drawable part (KX::LVisualPart) on first use and
// caches it while looks hold it: the cache counts as the part's internal
// reference, and the part's release hook clears the cache when the last look
// lets go, so the part never outlives its last user.
#pragma once

#include "ControlBase/Colorizer.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

class LVisualPart;

struct BitmapDescriptor
{
    StringT<wchar_t, char> mFile; // the bitmap registry's name; empty: no image
    int32_t mX = 0;
    int32_t mY = 0;
    int32_t mWidth = 0;
    int32_t mHeight = 0;

    bool IsEmpty() const { return mFile.IsEmpty(); }
};

class LVisualPartDescriptor : public virtual LRefCountedObject
{
public:
    // How the part fills an area larger or smaller than itself.
    enum ResizeType : int32_t { ResizeStretch = 0, ResizeTile = 1, ResizeCenter = 2 };

    static RCPtr<LVisualPartDescriptor> Create() { return RCPtr<LVisualPartDescriptor>(new LVisualPartDescriptor()); }

    StringT<wchar_t, char> mName;
    BitmapDescriptor mImage;
    int32_t mWidth = 0;  // the image rectangle's size, or the part's own size without image
    int32_t mHeight = 0;
    int32_t mResizeType = ResizeStretch;
    ConstRCPtr<LColorizer> mColorizer; // may be null
    float mAlphaModifier = 1.0f;       // factor on the colorizer's alpha
    BitmapDescriptor mMask;

    // The part's drawable form, made on first use and cached while in use:
    // the image (and mask) rectangles cut from the bitmap registry's images,
    // or the colorizer's colour; null for a part with neither.
    RCPtr<LVisualPart> GetVisualPart() const;
    // The cached part, without making one (null when none is cached).
    const RCPtr<LVisualPart>& GetCachedVisualPart() const { return mVisualPart; }
    // Called by the cached part's release hook: the cache lets it go.
    void ForgetVisualPart(const LVisualPart* part) const;

protected:
    LVisualPartDescriptor();
    ~LVisualPartDescriptor() override;

private:
    mutable RCPtr<LVisualPart> mVisualPart;
};

} // namespace KX
