// KX::LGDIRenderer: the renderer of type 1, the one the application uses. It
// draws with GDI+ (flat interface) into the current surface of a
// KX::LGDIRenderContextInfo, caches the bitmaps it has scaled and the paths
// it has built, measures text with a private 1 x 1 bitmap and presents the
// frame at RenderFinish.
//
// Contract (beyond KX::LRenderer's):
// - While no GDI+ context is current, DrawText to FillPolygon do nothing,
//   SetClipRect and Translate only update the state, and DrawBitmap throws.
// - A failed GDI+ call is kept as the surface's last status; drawing goes on.
// - RenderStart resets the target's transform to the state's translation and
//   applies the state's clip, so a surface that lives from frame to frame
//   starts every frame exactly as the state says.
// - A clip that holds the whole surface is set by resetting the clip (GDI+
//   under Wine draws nothing after a clip rectangle of about 5e11); any other
//   clip is cut to the surface first, and an empty clip stays empty.
// - Scaled bitmaps are cached as GDI+ cached bitmaps per (bitmap, width,
//   height, effective resize type), the type being Stretch when the sizes
//   are equal, so each frame only blits; they ignore later changes of the
//   bitmap's pixels until the entry is purged or evicted. Every RenderFinish
//   after 300000 ms since the last purge releases the cached bitmaps not
//   used since then.
// - Paths are cached per polyline and rebuilt when the polyline says it
//   changed or the caller does not keep them.
// - A font face GDI+ does not know falls back to the generic sans-serif
//   family; with no family at all nothing is drawn, the metrics are 0 and
//   GetFontMetrics answers E_FAIL.
// - Text sizes are multiplied by 96 / the target's horizontal DPI when drawn.
// - The render state's alpha is not applied (callers fold it into colours).
#pragma once

#include "Renderer/Gdi/GDIRenderContextInfo.h"
#include "Renderer/Renderer.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/GdiplusTypes.h"
#include "Utilities/Storage/HashedList.h"
#include "Utilities/Storage/PurgableObjectCache.h"

#include <cstdint>

namespace KX {

class LGDIRenderer : public LRenderer
{
public:
    // The bitmap cache's key: the bitmap (a counted reference), the size it
    // was rendered for and the resize type it was rendered with (Stretch
    // whenever the size equals the bitmap's). Hashed by its image's identity.
    template <int BITS>
    struct CashableBitmapDescriptor
    {
        RCPtr<LBitmap> mBitmap;
        int32_t mWidth = 0;
        int32_t mHeight = 0;
        int32_t mResizeType = ResizeStretch;

        bool operator==(const CashableBitmapDescriptor& other) const
        {
            return mBitmap.Get() == other.mBitmap.Get() && mWidth == other.mWidth && mHeight == other.mHeight &&
                   mResizeType == other.mResizeType;
        }
        bool operator!=(const CashableBitmapDescriptor& other) const { return !(*this == other); }

        static unsigned GetHashBits(const CashableBitmapDescriptor& descriptor)
        {
            return GetBits<BITS, 4>(LBitmap::GetHandle(descriptor.mBitmap));
        }
    };
    using BitmapDescriptor = CashableBitmapDescriptor<8>;

    // A GDI+ cached bitmap made for one target's graphics; deleted with it.
    class LCachedBitmap : public virtual LRefCountedObject
    {
    public:
        explicit LCachedBitmap(Gdiplus::GpCachedBitmap* cached) : mCached(cached) {}
        Gdiplus::GpCachedBitmap* Get() const { return mCached; }

    protected:
        ~LCachedBitmap() override;

    private:
        Gdiplus::GpCachedBitmap* mCached = nullptr;
    };

    // A GDI+ path (fill mode alternate); deleted with it.
    class LGraphicsPath : public virtual LRefCountedObject
    {
    public:
        LGraphicsPath();
        Gdiplus::GpPath* Get() const { return mPath; }

    protected:
        ~LGraphicsPath() override;

    private:
        Gdiplus::GpPath* mPath = nullptr;
    };

    using BitmapCache = PurgableObjectCache<LCachedBitmap, BitmapDescriptor, BitmapDescriptor,
                                            &GetSelf<BitmapDescriptor>, 8, &BitmapDescriptor::GetHashBits>;
    using PathCache = PurgableObjectCache<LGraphicsPath, PolylineT<float>, intptr_t, &PolylineT<float>::GetHandle, 8,
                                          &GetBits<8, 4, intptr_t>>;

    static constexpr int32_t kCacheCapacity = 256;
    // Milliseconds between two purges of the bitmap cache.
    static constexpr int32_t kPurgeInterval = 300000;

    static RCPtr<LGDIRenderer> Create();

    // ---- KX::LMeasurementRenderer ----
    KXRESULT GetFontMetrics(const RCPtr<LFont>& font, int32_t& height, int32_t& ascent, int32_t& descent) override;
    RectT<float> MeasureText(const String& text, const RCPtr<LFont>& font) override;

    // ---- KX::LRenderer ----
    int32_t GetRendererType() override { return RendererGdiPlus; }
    KXRESULT InitRenderContextInfo(const RectT<long>& viewport, HWND window, bool offscreen,
                                   RCPtr<LRenderContextInfo>& context) override;
    KXRESULT RenderStart(const RCPtr<LRenderContextInfo>& context) override;
    KXRESULT RenderFinish(const RCPtr<LRenderContextInfo>& context) override;
    void DrawText(const String& text, const RCPtr<LFont>& font, const PointT<long>& position,
                  const Color& color) override;
    void DrawRect(const RectT<long>& rect, const Color& color, float lineWidth) override;
    void FillRect(const RectT<long>& rect, const Color& color, bool blend) override;
    void FillColorRects(const ColorRectListT<float>& rects, const PointT<double>& offset, bool cache) override;
    void DrawLine(const PointT<float>& from, const PointT<float>& to, const Color& color, float width) override;
    void DrawLines(const PolylineT<float>& lines, const Color& color, const PointT<float>& offset,
                   const PointT<float>& scale, bool keepCached) override;
    void DrawPolyline(const PolylineT<float>& line, const Color& color, const PointT<float>& offset,
                      const PointT<float>& scale, bool keepCached) override;
    void DrawPolygon(const PolylineT<float>& polygon, const Color& color, const PointT<float>& offset,
                     const PointT<float>& scale, bool keepCached) override;
    void FillPolygon(const PolylineT<float>& polygon, const Color& color, const PointT<float>& offset,
                     const PointT<float>& scale, bool keepCached) override;
    void DrawBitmap(const RCPtr<LBitmap>& bitmap, const RectT<long>& destination, ResizeType resizeType) override;
    KXRESULT CopyFromLastFrame(const RCPtr<LRenderContextInfo>& source, const PointT<long>& position,
                               const RectT<long>& sourceRect) override;
    KXRESULT DrawLastFrame(const RCPtr<LRenderContextInfo>& context, const PointT<long>& offset) override;
    void SetClipRect(const RectT<double>& clip) override;
    void Translate(const PointT<double>& delta) override;

    // The GDI+ context on top of the stack; null when none (or another kind).
    const RCPtr<LGDIRenderContextInfo>& GetCurrentGDIContext() const { return mCurrentContext; }
    const BitmapCache& GetBitmapCache() const { return mBitmapCache; }
    const PathCache& GetPathCache() const { return mPathCache; }
    float GetTextScale() const { return mTextScale; }
    int32_t GetDpi() const { return mDpi; }

protected:
    LGDIRenderer();
    ~LGDIRenderer() override;

    // The application's millisecond ticks (the multimedia timer without an
    // application); the purge clock.
    virtual uint32_t GetTicks();

    // The tick of the last purge (construction counts as one).
    uint32_t mLastPurge = 0;

private:
    enum PathKind : int32_t { PathLines = 14, PathPolyline = 15, PathPolygon = 16, PathFilledPolygon = 17 };

    LGDIRenderer(const LGDIRenderer&) = delete;
    LGDIRenderer& operator=(const LGDIRenderer&) = delete;

    Gdiplus::GpGraphics* GetTarget() const;
    // Applies the state's translation and clip to the target from scratch.
    void ApplyStateToTarget();
    // Applies a clip rectangle (in current coordinates) to the target.
    void ApplyClipToTarget(const RectT<double>& clip);
    void ApplyTranslationToTarget();
    void PurgeWhenDue();
    void DrawPath(PathKind kind, const PolylineT<float>& polyline, const Color& color, const PointT<float>& offset,
                  const PointT<float>& scale, bool keepCached);
    // Scales the bitmap into a new GDI+ bitmap of the destination size.
    Gdiplus::GpBitmap* RenderScaledBitmap(const LBitmap& bitmap, long width, long height, ResizeType type);
    // The context as a GDI+ off-screen context; null when it is none.
    static RCPtr<LGDIRenderContextInfo> AsOffscreenContext(const RCPtr<LRenderContextInfo>& context);

    float mTextScale = 1.0f;
    RCPtr<LGDIRenderContextInfo> mCurrentContext;
    Gdiplus::GpBitmap* mMeasureBitmap = nullptr;
    int32_t mDpi = 96;
    BitmapCache mBitmapCache{kCacheCapacity};
    PathCache mPathCache{kCacheCapacity};
};

} // namespace KX
