#include "Renderer/Gdi/GDIRendererOffscreenSurface.h"

#include "Utilities/Graphics/GdiplusFlat.h"

namespace KX {

using namespace Gdip;

KXRESULT LGDIRendererOffscreenSurface::Create(RCPtr<LGDIRendererOffscreenSurface>& out, const PointT<long>& size,
                                              HWND window)
{
    out = RCPtr<LGDIRendererOffscreenSurface>(new LGDIRendererOffscreenSurface(size, window));
    return S_OK;
}

LGDIRendererOffscreenSurface::LGDIRendererOffscreenSurface(const PointT<long>& size, HWND window) : mWindow(window)
{
    Resize(size);
}

LGDIRendererOffscreenSurface::~LGDIRendererOffscreenSurface()
{
    DeleteObjects();
}

void LGDIRendererOffscreenSurface::DeleteObjects()
{
    if (mGraphics)
        GdipDeleteGraphics(mGraphics);
    mGraphics = nullptr;
    if (mBitmap)
        GdipDisposeImage(mBitmap);
    mBitmap = nullptr;
}

KXRESULT LGDIRendererOffscreenSurface::Resize(const PointT<long>& size)
{
    DeleteObjects();
    const INT width = size.x > 0 ? size.x : 1;
    const INT height = size.y > 0 ? size.y : 1;
    OwnedGraphics windowGraphics;
    mLastStatus = GdipCreateFromHWND(mWindow, windowGraphics.Out());
    if (mLastStatus != Ok)
        return S_OK;
    mLastStatus = GdipCreateBitmapFromGraphics(width, height, windowGraphics.Get(), &mBitmap);
    if (mLastStatus != Ok) {
        mBitmap = nullptr;
        return S_OK;
    }
    mLastStatus = GdipGetImageGraphicsContext(mBitmap, &mGraphics);
    if (mLastStatus != Ok)
        mGraphics = nullptr;
    return S_OK;
}

PointT<long> LGDIRendererOffscreenSurface::GetSize() const
{
    if (!mBitmap)
        return PointT<long>(0, 0);
    RectF bounds;
    Unit unit = UnitPixel;
    if (GdipGetImageBounds(mBitmap, &bounds, &unit) != Ok)
        return PointT<long>(0, 0);
    return PointT<long>(static_cast<long>(bounds.Width), static_cast<long>(bounds.Height));
}

int32_t LGDIRendererOffscreenSurface::DrawTo(Gdiplus::GpGraphics* graphics, const PointT<long>& position,
                                             const RectT<long>& source)
{
    if (!mBitmap || !graphics)
        return InvalidParameter;
    return GdipDrawImagePointRectI(graphics, mBitmap, position.x, position.y, source.x, source.y, source.width,
                                   source.height, UnitPixel);
}

} // namespace KX
