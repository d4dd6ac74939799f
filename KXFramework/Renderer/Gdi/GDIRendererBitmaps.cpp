// The GDI+ renderer's bitmaps and frames: scaled bitmaps through the cache of
// GDI+ cached bitmaps, and the off-screen frame copies.
#include "Renderer/Gdi/GDIRenderer.h"

#include "ObjectBase/Exception.h"
#include "Utilities/Graphics/GdiplusFlat.h"

namespace KX {

using namespace Gdip;

LGDIRenderer::LCachedBitmap::~LCachedBitmap()
{
    if (mCached)
        GdipDeleteCachedBitmap(mCached);
}

void LGDIRenderer::DrawBitmap(const RCPtr<LBitmap>& bitmap, const RectT<long>& destination, ResizeType resizeType)
{
    if (!mCurrentContext)
        KX_THROW(std::runtime_error, "", "KX::LGDIRenderer::DrawBitmap", "Renderer\\Gdi\\GDIRenderer", 568);
    GpGraphics* target = GetTarget();
    if (!target || !bitmap || !bitmap->GetImage() || destination.width <= 0 || destination.height <= 0)
        return;

    // A bitmap drawn at its own size is a plain copy whatever the type asked
    // for; the cache entry is made for the type actually drawn.
    const RectT<long>& source = bitmap->GetRect();
    ResizeType effective = resizeType;
    if (source.width == destination.width && source.height == destination.height)
        effective = ResizeStretch;
    else if (effective != ResizeStretch && effective != ResizeTile && effective != ResizeCenter)
        KX_THROW(std::invalid_argument, "Invalid ResizeType passed to DrawBitmap.", "KX::LGDIRenderer::DrawBitmap",
                 "Renderer\\Gdi\\GDIRenderer", 559);

    BitmapDescriptor key;
    key.mBitmap = bitmap;
    key.mWidth = destination.width;
    key.mHeight = destination.height;
    key.mResizeType = effective;
    RCPtr<LCachedBitmap>& entry = mBitmapCache.GetEntry(key, false);
    if (!entry) {
        OwnedBitmap rendered(RenderScaledBitmap(*bitmap, destination.width, destination.height, effective));
        GpCachedBitmap* cached = nullptr;
        if (!rendered || GdipCreateCachedBitmap(rendered.Get(), target, &cached) != Ok)
            return;
        entry = RCPtr<LCachedBitmap>(new LCachedBitmap(cached));
    }
    GdipDrawCachedBitmap(target, entry->Get(), destination.x, destination.y);
}

GpBitmap* LGDIRenderer::RenderScaledBitmap(const LBitmap& bitmap, long width, long height, ResizeType type)
{
    GpGraphics* target = GetTarget();
    OwnedBitmap rendered;
    OwnedGraphics graphics;
    if (GdipCreateBitmapFromGraphics(width, height, target, rendered.Out()) != Ok ||
        GdipGetImageGraphicsContext(rendered.Get(), graphics.Out()) != Ok)
        return nullptr;
    GpImage* image = bitmap.GetImage();
    const RectT<float> s = bitmap.GetSourceRect();
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);

    switch (type) {
    case ResizeStretch:
        GdipDrawImageRectRect(graphics.Get(), image, 0.0f, 0.0f, w, h, s.x, s.y, s.width, s.height, UnitPixel,
                              nullptr, nullptr, nullptr);
        break;
    case ResizeTile:
        if (w / s.width < 3.0f && h / s.height < 3.0f) {
            for (float px = 0.0f; px < w; px += s.width) {
                for (float py = 0.0f; py < h; py += s.height)
                    GdipDrawImageRectRect(graphics.Get(), image, px, py, s.width, s.height, s.x, s.y, s.width,
                                          s.height, UnitPixel, nullptr, nullptr, nullptr);
            }
        } else {
            // Three tiles or more along an axis: one texture fill.
            OwnedTexture texture;
            OwnedBitmap tiles;
            OwnedGraphics tilesGraphics;
            if (GdipCreateTextureIA(image, nullptr, s.x, s.y, s.width, s.height, texture.Out()) == Ok &&
                GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, tiles.Out()) == Ok &&
                GdipGetImageGraphicsContext(tiles.Get(), tilesGraphics.Out()) == Ok) {
                GdipFillRectangleI(tilesGraphics.Get(), texture.Get(), 0, 0, width, height);
                tilesGraphics.Reset();
                GdipDrawImageRectI(graphics.Get(), tiles.Get(), 0, 0, width, height);
            }
        }
        break;
    default: // ResizeCenter
        GdipDrawImageRectRect(graphics.Get(), image, (w - s.width) * 0.5f, (h - s.height) * 0.5f, s.width, s.height,
                              s.x, s.y, s.width, s.height, UnitPixel, nullptr, nullptr, nullptr);
        break;
    }
    graphics.Reset();
    return rendered.Release();
}

RCPtr<LGDIRenderContextInfo> LGDIRenderer::AsOffscreenContext(const RCPtr<LRenderContextInfo>& context)
{
    RCPtr<LGDIRenderContextInfo> gdiContext = RCPtr<LGDIRenderContextInfo>::DynamicCast(context);
    if (!gdiContext || !gdiContext->mOffscreen)
        return RCPtr<LGDIRenderContextInfo>();
    return gdiContext;
}

KXRESULT LGDIRenderer::CopyFromLastFrame(const RCPtr<LRenderContextInfo>& source, const PointT<long>& position,
                                         const RectT<long>& sourceRect)
{
    const RCPtr<LGDIRenderContextInfo> offscreen = AsOffscreenContext(source);
    if (!offscreen)
        return E_INVALIDARG;
    GpGraphics* target = GetTarget();
    if (!target || !offscreen->mSurface)
        return E_FAIL;
    return offscreen->mSurface->DrawTo(target, position, sourceRect) == Ok ? S_OK : E_FAIL;
}

KXRESULT LGDIRenderer::DrawLastFrame(const RCPtr<LRenderContextInfo>& context, const PointT<long>& offset)
{
    const RCPtr<LGDIRenderContextInfo> offscreen = AsOffscreenContext(context);
    if (!offscreen)
        return E_INVALIDARG;
    offscreen->SwapSurfaces();
    const RCPtr<LGDIRendererOffscreenSurface>& back = offscreen->mSurface;
    const RCPtr<LGDIRendererOffscreenSurface>& previous = offscreen->mPreviousSurface;
    GpGraphics* graphics = back ? back->GetGraphics() : nullptr;
    if (!graphics || !previous || !previous->GetBitmap())
        return E_FAIL;
    // The new back surface starts clean: no transform, no clip, transparent.
    GdipResetWorldTransform(graphics);
    GdipResetClip(graphics);
    GdipGraphicsClear(graphics, 0);
    const PointT<long> size = previous->GetSize();
    const int32_t status = previous->DrawTo(graphics, offset, RectT<long>(0, 0, size.x, size.y));
    // When that context is being drawn, its state applies to the new surface.
    if (offscreen.Get() == mCurrentContext.Get())
        ApplyStateToTarget();
    return status == Ok ? S_OK : E_FAIL;
}

} // namespace KX
