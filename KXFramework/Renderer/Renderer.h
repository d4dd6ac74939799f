// KX::LMeasurementRenderer and KX::LRenderer: the one drawing interface every
// control draws through, with the base behaviour all renderers share: the
// stack of open render contexts, the RenderStart/RenderFinish checks, and the
// state, clip and translation stack of the top context.
//
// Renderer types (GetRendererType, Create): KX::RendererType.
//
// Contract shared by every renderer:
// - All rendering runs on the user-interface thread; nothing here is locked.
// - Coordinates are in the current translated space of the top context unless
//   an operation says otherwise. Colours are ColorT<float>.
// - A frame is RenderStart(context) ... RenderFinish(context). Contexts may
//   nest (a back-buffered control renders its own context while the window's
//   is open) and must finish in the reverse order of their start.
// - Every state operation (PushTranslate, PushClip, PushState, PopState,
//   SetClipRect, Translate, SetViewport, SetStencil) acts on the top context
//   and does nothing while no context is open.
// - Every push is balanced by exactly one PopState (KX::CAutoClip does it by
//   scope).
#pragma once

#include "KXPlatform.h"
#include "ObjectBase/RefCountedObject.h"
#include "Renderer/RenderContextInfo.h"
#include "Renderer/RenderState.h"
#include "Renderer/RendererType.h"
#include "Renderer/Stencil.h"
#include "Utilities/Geometry/ColorRectListT.h"
#include "Utilities/Geometry/PointT.h"
#include "Utilities/Geometry/PolylineT.h"
#include "Utilities/Geometry/RectT.h"
#include "Utilities/Graphics/Color.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <vector>

namespace KX {

class LBitmap;
class LFont;

// How a bitmap fills a destination rectangle of another size. Any other
// value is refused by DrawBitmap (unless the sizes are equal: then every
// value draws a plain copy).
enum ResizeType : int32_t { ResizeStretch = 0, ResizeTile = 1, ResizeCenter = 2 };

// The two text-measurement operations; fonts are measured through this type.
class LMeasurementRenderer : public virtual LRefCountedObject
{
public:
    using String = StringT<wchar_t, char>;

    // Line height, ascent (negative: the distance above the baseline) and
    // descent (positive) of the font in pixels. 0, or E_FAIL when the font
    // cannot be made at all (the out values are then 0).
    virtual KXRESULT GetFontMetrics(const RCPtr<LFont>& font, int32_t& height, int32_t& ascent,
                                    int32_t& descent) = 0;
    // The box {x, y, width, height} of the text drawn on one line at the
    // origin, y being the top (the ascent side). An empty text gives
    // {0, 0, 0, 0}.
    virtual RectT<float> MeasureText(const String& text, const RCPtr<LFont>& font) = 0;

protected:
    ~LMeasurementRenderer() override = default;
};

class LRenderer : public LMeasurementRenderer
{
public:
    using Color = ColorT<float>;

    // The renderer of the type (a RendererType) for one window. Any other
    // type throws the framework domain error. The client rectangle is not
    // used. Answers `out`.
    static RCPtr<LRenderer>& Create(RCPtr<LRenderer>& out, int32_t rendererType, const RectT<long>& clientRect,
                                    HWND window);

    // The renderer's RendererType: the number Create takes.
    virtual int32_t GetRendererType() = 0;
    // A new context of the renderer's own kind for the target: 0, or E_FAIL
    // when none could be made.
    virtual KXRESULT InitRenderContextInfo(const RectT<long>& viewport, HWND window, bool offscreen,
                                           RCPtr<LRenderContextInfo>& context) = 0;
    // Stores the viewport in the top context. 0.
    virtual KXRESULT SetViewport(const RectT<long>& viewport);
    // Replaces the top context's stencil. 0.
    virtual KXRESULT SetStencil(const RCPtr<LStencil>& stencil);

    // Opens a frame on the context (pushed on the context stack). A null
    // context throws "Render context is NULL"; a context already open throws
    // "Render context reentered." and leaves the stack unchanged. 0.
    // Implementations then prepare the target.
    virtual KXRESULT RenderStart(const RCPtr<LRenderContextInfo>& context);
    // Closes the frame of the top context: implementations present it, the
    // base pops it. A context that is not on top (or an empty stack) throws
    // "RenderFinish context does not match RenderStart context" and leaves the
    // stack unchanged. 0.
    virtual KXRESULT RenderFinish(const RCPtr<LRenderContextInfo>& context);

    // One line of text whose top left is the position.
    virtual void DrawText(const String& text, const RCPtr<LFont>& font, const PointT<long>& position,
                          const Color& color) = 0;
    // The outline of the rectangle.
    virtual void DrawRect(const RectT<long>& rect, const Color& color, float lineWidth) = 0;
    // Fills the rectangle. With blend false the GDI+ renderer writes the
    // colour (alpha included) into the surface's pixels instead of blending,
    // in the surface's own pixel coordinates (no translation, no clip).
    virtual void FillRect(const RectT<long>& rect, const Color& color, bool blend) = 0;
    // FillRect(rect, fill, true) when the fill's alpha is above 0, then
    // DrawRect(rect, frame, frameWidth) when the frame's alpha is above 0.
    virtual void FillAndFrameRect(const RectT<long>& rect, const Color& fill, const Color& frame, float frameWidth);
    // Fills every rectangle of the list, scaled by the list's scale, with its
    // colour, moved by the offset.
    virtual void FillColorRects(const ColorRectListT<float>& rects, const PointT<double>& offset, bool cache) = 0;
    virtual void DrawLine(const PointT<float>& from, const PointT<float>& to, const Color& color, float width) = 0;
    // The polyline's points in pairs, each pair one segment (an odd last point
    // is ignored); moved by the offset and scaled by the scale. With
    // keepCached the shape built for the polyline is kept for the next call
    // until the polyline says it changed.
    virtual void DrawLines(const PolylineT<float>& lines, const Color& color, const PointT<float>& offset,
                           const PointT<float>& scale, bool keepCached) = 0;
    // The points as one open line.
    virtual void DrawPolyline(const PolylineT<float>& line, const Color& color, const PointT<float>& offset,
                              const PointT<float>& scale, bool keepCached) = 0;
    // The points as a closed outline.
    virtual void DrawPolygon(const PolylineT<float>& polygon, const Color& color, const PointT<float>& offset,
                             const PointT<float>& scale, bool keepCached) = 0;
    // The closed polygon filled.
    virtual void FillPolygon(const PolylineT<float>& polygon, const Color& color, const PointT<float>& offset,
                             const PointT<float>& scale, bool keepCached) = 0;
    // The bitmap's rectangle into the destination: stretched, tiled from the
    // top left, or centred (cut at the destination's edges). A null bitmap or
    // a destination of no width or height draws nothing.
    virtual void DrawBitmap(const RCPtr<LBitmap>& bitmap, const RectT<long>& destination,
                            ResizeType resizeType) = 0;
    // Copies the source rectangle of an off-screen context's last frame to
    // the position in the current target. 0; E_INVALIDARG when the source is
    // null or not an off-screen context of this renderer's kind; E_FAIL when
    // the copy fails.
    virtual KXRESULT CopyFromLastFrame(const RCPtr<LRenderContextInfo>& source, const PointT<long>& position,
                                       const RectT<long>& sourceRect) = 0;
    // Restarts the off-screen context's frame from its previous frame moved
    // by the offset (scrolls a back buffer). 0; E_INVALIDARG as in
    // CopyFromLastFrame; E_FAIL when drawing fails.
    virtual KXRESULT DrawLastFrame(const RCPtr<LRenderContextInfo>& context, const PointT<long>& offset) = 0;

    // Saves the state, then moves the origin by the offset rounded half away
    // from zero; the stored clip is moved the other way so that it stays in
    // the new coordinates. Does nothing while the saved-state stack is empty.
    virtual void PushTranslate(const PointT<double>& offset);
    // Saves the state, clips and moves the origin to the area's top left.
    // relative: the clip is the clip rectangle cut to the area and to the
    // current clip (all in current coordinates); rectangles that do not
    // overlap leave an empty clip, so nothing draws until PopState.
    // Not relative: the clip rectangle as given, and the area's origin is in
    // the target's coordinates (the current translation is taken off it).
    // The clip is snapped to whole pixels. A stencil, when given, is set (a
    // clone of it when the state already has one).
    virtual void PushClip(const RectT<double>& area, const RectT<double>& clip, const RCPtr<LStencil>& stencil,
                          bool relative);
    // Pushes a copy of the top context's state.
    virtual void PushState();
    // Restores the last saved state (translation, alpha, clip, stencil);
    // nothing when none is saved.
    virtual void PopState();
    // Stores the clip in the state; drawing renderers also apply it.
    virtual void SetClipRect(const RectT<double>& clip);
    // Adds the delta to the state's translation; drawing renderers also move
    // the target's origin.
    virtual void Translate(const PointT<double>& delta);

    // The context on top of the stack (null when none is open): callers read
    // and change its mState (for example mAlpha) directly.
    const RCPtr<LRenderContextInfo>& GetCurrentContext() const
    {
        return mContexts.empty() ? RCPtr<LRenderContextInfo>::sNull : mContexts.back();
    }
    // How many contexts are open.
    int32_t GetContextDepth() const { return static_cast<int32_t>(mContexts.size()); }

protected:
    LRenderer() = default;
    ~LRenderer() override = default;

    std::vector<RCPtr<LRenderContextInfo>> mContexts;
};

} // namespace KX
