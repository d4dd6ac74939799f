// KX::LVisualPartDescriptor: a part of a skin, a rectangle cut from an image or
// filled with a colorizer, optionally masked. KX::BitmapDescriptor names the
// image (or mask) and the source rectangle in it.
#pragma once

#include "ControlBase/Colorizer.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

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

protected:
    LVisualPartDescriptor() = default;
    ~LVisualPartDescriptor() override = default;
};

} // namespace KX
