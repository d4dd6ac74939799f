// KX::LGLRenderer: the renderer of type 0, KX::LRenderer over OpenGL 1.1,
// GLU and WGL. Text is measured and drawn through a font renderer (FreeType
// glyphs in the glyph cache), bitmaps become textures and repeated geometry
// becomes display lists, all kept in caches that are purged of what was not
// used for five minutes.
//
// Contract:
// - Construction chooses a pixel format for the window (a 32-bit RGBA,
//   double-buffered, swap-copy request; a WGL_ARB_pixel_format swap-copy
//   format when the first choice lacks it) and creates the GL context on a
//   hidden helper window. Failures show an error box and throw the runtime
//   error of KX::LGLRenderer::LGLRenderer.
// - The GL context is current from InitRenderContextInfo's set-up, from each
//   RenderStart to its RenderFinish, and again for the outer context after a
//   nested RenderFinish; the last RenderFinish releases it. Drawing outside a
//   frame draws nothing useful.
// - RenderFinish with a context that is not the open frame's throws the base
//   mismatch error before it touches GL: the open frame can go on drawing.
// - Textures and display lists are deleted in the GL context they were made
//   in: the caches are purged before the last RenderFinish releases the
//   context, and names released while it is not current (a glyph atlas
//   evicted while text is measured outside a frame) are deleted when it is
//   next made current (KX::LGLContextNames).
// - A window's context whose viewport changed size since its last frame asks
//   for a complete redraw (mCompleteRedraw) when the frame's dirty region is
//   not the whole viewport: the back buffer does not hold the earlier frame
//   at the new size. Such a frame is not presented (the front keeps what it
//   shows until the whole repaint).
// - Each context starts its frame with its own translation and clip applied
//   (the GL matrix and scissor are shared by all contexts of the renderer).
// - Coordinates: origin at the top left, y down (an orthographic projection
//   of the viewport). Clips become scissor boxes cut to the viewport.
// - A frame is presented at RenderFinish: swapped when the format keeps the
//   back buffer (swap-copy), otherwise copied from the back buffer to the
//   front, so that the back buffer keeps the frame for the next partial
//   redraw. GL output is in the GL front buffer, not in GDI's window surface.
// - An off-screen context is never presented: its RenderFinish keeps a copy
//   of its viewport as its last frame (KX::LGLRenderContextInfo), which
//   CopyFromLastFrame draws into the current target through a texture and
//   DrawLastFrame draws back into the context, moved, as its new frame's
//   start. Before its first frame an off-screen context has no last frame:
//   CopyFromLastFrame answers E_FAIL and DrawLastFrame moves nothing.
// - GL errors are drained and ignored.
// - User-interface thread only.
#pragma once

#include "Renderer/FontRenderer/FontRenderer.h"
#include "Renderer/OpenGL/GLContextNames.h"
#include "Renderer/OpenGL/GLDisplayList.h"
#include "Renderer/OpenGL/GLHeaders.h"
#include "Renderer/OpenGL/GLRenderContextInfo.h"
#include "Renderer/OpenGL/GLTexture.h"
#include "Renderer/Renderer.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Storage/PurgableObjectCache.h"

#include <cstdint>

namespace KX {

class LGLRenderer : public LRenderer
{
public:
    static constexpr uint32_t kPurgeIntervalMs = 300000;
    static constexpr int32_t kDisplayListCacheSize = 256;
    static constexpr int32_t kTextureCacheSize = 64;

    // A renderer for the window with the font renderer; throws as described
    // above when OpenGL cannot be set up.
    static RCPtr<LGLRenderer> Create(const RCPtr<LFontRenderer>& fontRenderer, HWND window);

    KXRESULT GetFontMetrics(const RCPtr<LFont>& font, int32_t& height, int32_t& ascent, int32_t& descent) override;
    RectT<float> MeasureText(const String& text, const RCPtr<LFont>& font) override;
    int32_t GetRendererType() override { return RendererOpenGL; }
    KXRESULT InitRenderContextInfo(const RectT<long>& viewport, HWND window, bool offscreen,
                                   RCPtr<LRenderContextInfo>& context) override;
    KXRESULT SetViewport(const RectT<long>& viewport) override;
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

    // The scissor box {x, y, width, height} (GL window coordinates, y up) of
    // a clip already moved into window pixels, for a viewport of that size:
    // the clip cut to the viewport, rounded half away from zero; nothing
    // left gives the 1 x 1 box just right of the viewport (NothingBox), which
    // is applied to GL as an empty box: no pixel passes, also where the
    // window's buffer reaches beyond an off-screen context's viewport.
    static RectT<long> ComputeScissorBox(const RectT<double>& windowClip, const RectT<long>& viewport);
    static RectT<long> NothingBox(const RectT<long>& viewport);

    // ---- what was chosen (for tests and diagnostics) ----
    const RCPtr<LFontRenderer>& GetFontRenderer() const { return mFontRenderer; }
    bool IsDoubleBuffered() const { return mDoubleBuffered; }
    bool IsSwapCopy() const { return mSwapCopy; }
    int32_t GetPixelFormat() const { return mPixelFormat; }
    const PIXELFORMATDESCRIPTOR& GetPixelFormatDescriptor() const { return mPixelFormatDescriptor; }
    HGLRC GetGLContext() const { return mGLContext; }
    // True when the WGL extension is offered (the name a whole word of the
    // extension string). Needs a current context.
    bool HasWGLExtension(const char* name, HDC dc) const;

protected:
    LGLRenderer(const RCPtr<LFontRenderer>& fontRenderer, HWND window);
    ~LGLRenderer() override;

    // The tick count the purge is timed with (the application's clock).
    virtual uint32_t GetTicks() const;

private:
    using PolylineCache = PurgableObjectCache<LGLDisplayList, PolylineT<float>, intptr_t, &PolylineT<float>::GetHandle,
                                              8, &GetBits<8, 4, intptr_t>>;
    using ColorRectCache = PurgableObjectCache<LGLDisplayList, ColorRectListT<float>, intptr_t,
                                               &ColorRectListT<float>::GetHandle, 8, &GetBits<8, 4, intptr_t>>;
    using TextureCache = PurgableObjectCache<LGLTexture, ConstRCPtr<LBitmap>, intptr_t, &LBitmap::GetHandle, 6,
                                             &GetBits<6, 4, intptr_t>>;

    // The shape kinds drawn through display lists.
    enum class Shape { Lines, Polyline, Polygon, FilledPolygon };

    // ---- set-up (GLRendererSetup.cpp) ----
    void ChoosePixelFormatForWindow(HDC windowDC);
    void CreateContextOnHelperWindow(HDC windowDC);
    // The ARB swap-copy format on the main window, while the helper's
    // context is current; replaces the first context when it succeeds.
    void TryArbSwapCopyFormat(HDC windowDC, HDC currentDC);
    static void InitializeGLState();

    // ---- frames (GLRendererFrame.cpp) ----
    // Makes the GL context current on the device context (then deletes the
    // names that waited for it).
    void MakeCurrent(HDC dc) const;
    void MakeCurrent(const RCPtr<LRenderContextInfo>& context) const;
    // Sets the context's request for a complete redraw (see the contract).
    void CheckWholeFrame(const RCPtr<LRenderContextInfo>& context);
    // The GL matrix and scissor of the top context's state.
    void ApplyContextState();
    void ApplyScissor(const RectT<double>& clip);
    // glScissor with a box of ComputeScissorBox.
    static void SetScissorBox(const RectT<long>& box, const RectT<long>& viewport);
    void CopyBackToFront(const RectT<long>& viewport) const;
    void PurgeCaches();
    LGLRenderContextInfo* GetGLContextInfo(const RCPtr<LRenderContextInfo>& context) const;

    // ---- drawing (GLRendererDraw.cpp) ----
    void DrawShape(Shape shape, const PolylineT<float>& polyline, const Color& color, const PointT<float>& offset,
                   const PointT<float>& scale, bool keepCached);
    void DrawShapeGeometry(Shape shape, const PolylineT<float>& polyline);
    void DrawBitmapQuad(const LGLTexture& texture, const RectT<float>& source, float x, float y, float width,
                        float height) const;
    // The texture of the context's last frame, uploaded when it holds
    // another frame; null when the context has none.
    LGLTexture* LastFrameTexture(const LGLRenderContextInfo& source);
    PolylineCache& CacheOf(Shape shape);

    RCPtr<LFontRenderer> mFontRenderer;
    HWND mWindow = nullptr;
    bool mDoubleBuffered = true;
    bool mSwapCopy = true;
    uint32_t mLastPurge = 0;
    PolylineCache mFilledPolygonCache;
    PolylineCache mPolygonCache;
    PolylineCache mLineListCache;
    PolylineCache mPolylineCache;
    ColorRectCache mColorRectCache;
    TextureCache mTextureCache;
    // The one texture that off-screen frames are drawn from, and the serial
    // number of the frame it holds.
    RCPtr<LGLTexture> mLastFrameTexture;
    uint32_t mLastFrameTextureSerial = 0;
    PIXELFORMATDESCRIPTOR mPixelFormatDescriptor = {};
    int32_t mPixelFormat = 0;
    HGLRC mGLContext = nullptr;
    // The texture and list names of mGLContext.
    RCPtr<LGLContextNames> mNames;
};

} // namespace KX
