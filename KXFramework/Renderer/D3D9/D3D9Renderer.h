// KX::LD3D9Renderer: the renderer of type 2, a placeholder that satisfies the
// renderer interface and draws nothing. It uses no Direct3D interface.
//
// Contract:
// - RenderStart and RenderFinish answer 0 and leave the context stack alone,
//   so the state operations of the base find no context and do nothing.
// - Every drawing operation does nothing; GetFontMetrics leaves its out
//   values untouched; MeasureText is {0, 0, 0, 0}.
// - CopyFromLastFrame and DrawLastFrame answer E_NOTIMPL.
#pragma once

#include "Renderer/Renderer.h"

namespace KX {

class LD3D9Renderer : public LRenderer
{
public:
    static RCPtr<LD3D9Renderer> Create();

    KXRESULT GetFontMetrics(const RCPtr<LFont>& font, int32_t& height, int32_t& ascent, int32_t& descent) override;
    RectT<float> MeasureText(const String& text, const RCPtr<LFont>& font) override;

    int32_t GetRendererType() override { return RendererDirect3D9; }
    KXRESULT InitRenderContextInfo(const RectT<long>& viewport, HWND window, bool offscreen,
                                   RCPtr<LRenderContextInfo>& context) override;
    KXRESULT RenderStart(const RCPtr<LRenderContextInfo>& context) override;
    KXRESULT RenderFinish(const RCPtr<LRenderContextInfo>& context) override;
    void DrawText(const String& text, const RCPtr<LFont>& font, const PointT<long>& position,
                  const Color& color) override;
    void DrawRect(const RectT<long>& rect, const Color& color, float lineWidth) override;
    void FillRect(const RectT<long>& rect, const Color& color, bool blend) override;
    void FillAndFrameRect(const RectT<long>& rect, const Color& fill, const Color& frame, float frameWidth) override;
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

protected:
    LD3D9Renderer() = default;
    ~LD3D9Renderer() override = default;
};

} // namespace KX
