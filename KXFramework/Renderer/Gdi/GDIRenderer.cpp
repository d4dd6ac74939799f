#include "Renderer/Gdi/GDIRenderer.h"

namespace KX {

LGDIRenderer::LCachedBitmap::~LCachedBitmap() = default;
LGDIRenderer::LGraphicsPath::LGraphicsPath() = default;
LGDIRenderer::LGraphicsPath::~LGraphicsPath() = default;

RCPtr<LGDIRenderer> LGDIRenderer::Create() { return RCPtr<LGDIRenderer>(new LGDIRenderer()); }
LGDIRenderer::LGDIRenderer() = default;
LGDIRenderer::~LGDIRenderer() = default;
uint32_t LGDIRenderer::GetTicks() { return 0; }

KXRESULT LGDIRenderer::GetFontMetrics(const RCPtr<LFont>&, int32_t& height, int32_t& ascent, int32_t& descent)
{
    height = ascent = descent = 0;
    return E_NOTIMPL;
}
RectT<float> LGDIRenderer::MeasureText(const String&, const RCPtr<LFont>&) { return RectT<float>(); }
KXRESULT LGDIRenderer::InitRenderContextInfo(const RectT<long>& viewport, HWND window, bool offscreen,
                                             RCPtr<LRenderContextInfo>& context)
{
    RCPtr<LGDIRenderContextInfo> made;
    LGDIRenderContextInfo::Create(made, viewport, window, offscreen);
    context = made;
    return context ? S_OK : E_FAIL;
}
KXRESULT LGDIRenderer::RenderStart(const RCPtr<LRenderContextInfo>& context) { return LRenderer::RenderStart(context); }
KXRESULT LGDIRenderer::RenderFinish(const RCPtr<LRenderContextInfo>& context)
{
    return LRenderer::RenderFinish(context);
}
void LGDIRenderer::DrawText(const String&, const RCPtr<LFont>&, const PointT<long>&, const Color&) {}
void LGDIRenderer::DrawRect(const RectT<long>&, const Color&, float) {}
void LGDIRenderer::FillRect(const RectT<long>&, const Color&, bool) {}
void LGDIRenderer::FillColorRects(const ColorRectListT<float>&, const PointT<double>&, bool) {}
void LGDIRenderer::DrawLine(const PointT<float>&, const PointT<float>&, const Color&, float) {}
void LGDIRenderer::DrawLines(const PolylineT<float>&, const Color&, const PointT<float>&, const PointT<float>&, bool) {}
void LGDIRenderer::DrawPolyline(const PolylineT<float>&, const Color&, const PointT<float>&, const PointT<float>&, bool)
{
}
void LGDIRenderer::DrawPolygon(const PolylineT<float>&, const Color&, const PointT<float>&, const PointT<float>&, bool)
{
}
void LGDIRenderer::FillPolygon(const PolylineT<float>&, const Color&, const PointT<float>&, const PointT<float>&, bool)
{
}
void LGDIRenderer::DrawBitmap(const RCPtr<LBitmap>&, const RectT<long>&, ResizeType) {}
KXRESULT LGDIRenderer::CopyFromLastFrame(const RCPtr<LRenderContextInfo>&, const PointT<long>&, const RectT<long>&)
{
    return E_NOTIMPL;
}
KXRESULT LGDIRenderer::DrawLastFrame(const RCPtr<LRenderContextInfo>&, const PointT<long>&) { return E_NOTIMPL; }
void LGDIRenderer::SetClipRect(const RectT<double>& clip) { LRenderer::SetClipRect(clip); }
void LGDIRenderer::Translate(const PointT<double>& delta) { LRenderer::Translate(delta); }

KXRESULT LGDIRenderContextInfo::Create(RCPtr<LGDIRenderContextInfo>& out, const RectT<long>& viewport, HWND window,
                                       bool offscreen)
{
    out = RCPtr<LGDIRenderContextInfo>(new LGDIRenderContextInfo(viewport, window, offscreen));
    return S_OK;
}
LGDIRenderContextInfo::LGDIRenderContextInfo(const RectT<long>& viewport, HWND window, bool offscreen)
    : LRenderContextInfo(viewport, window, offscreen)
{
}
Gdiplus::GpGraphics* LGDIRenderContextInfo::GetGraphics() const { return nullptr; }
void LGDIRenderContextInfo::BeginFrame() {}
void LGDIRenderContextInfo::Present() {}
void LGDIRenderContextInfo::SwapSurfaces() { std::swap(mSurface, mPreviousSurface); }

} // namespace KX
