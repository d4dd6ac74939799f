// The flat GDI+ interface for the sources that draw or decode images, with
// owners that delete GDI+ objects when they go out of scope. Only .cpp files
// include this header.
#pragma once

#include "KXPlatform.h"

#include <gdiplus.h>

#include <utility>

namespace KX {
namespace Gdip {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// One GDI+ object, deleted with the given flat function; Get() for calls,
// Out() for the creating call's out parameter.
template <class T, class D, GpStatus(WINGDIPAPI* Delete)(D*)>
class Owned
{
public:
    Owned() = default;
    explicit Owned(T* object) : mObject(object) {}
    ~Owned() { Reset(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    T* Get() const { return mObject; }
    T** Out()
    {
        Reset();
        return &mObject;
    }
    T* Release() { return std::exchange(mObject, nullptr); }
    void Reset()
    {
        if (mObject)
            Delete(static_cast<D*>(mObject));
        mObject = nullptr;
    }
    explicit operator bool() const { return mObject != nullptr; }

private:
    T* mObject = nullptr;
};

using OwnedGraphics = Owned<GpGraphics, GpGraphics, &GdipDeleteGraphics>;
using OwnedBitmap = Owned<GpBitmap, GpImage, &GdipDisposeImage>;
using OwnedImage = Owned<GpImage, GpImage, &GdipDisposeImage>;
using OwnedSolidFill = Owned<GpSolidFill, GpBrush, &GdipDeleteBrush>;
using OwnedTexture = Owned<GpTexture, GpBrush, &GdipDeleteBrush>;
using OwnedPen = Owned<GpPen, GpPen, &GdipDeletePen>;
using OwnedFont = Owned<GpFont, GpFont, &GdipDeleteFont>;
using OwnedFontFamily = Owned<GpFontFamily, GpFontFamily, &GdipDeleteFontFamily>;
using OwnedStringFormat = Owned<GpStringFormat, GpStringFormat, &GdipDeleteStringFormat>;
using OwnedRegion = Owned<GpRegion, GpRegion, &GdipDeleteRegion>;
using OwnedPath = Owned<GpPath, GpPath, &GdipDeletePath>;
using OwnedMatrix = Owned<GpMatrix, GpMatrix, &GdipDeleteMatrix>;

} // namespace Gdip
} // namespace KX
