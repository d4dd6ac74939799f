#include "Renderer/D3D9/D3D9Renderer.h"

#include "Renderer/D3D9/D3D9RenderContextInfo.h"

namespace KX {

KXRESULT LD3D9RenderContextInfo::Create(RCPtr<LD3D9RenderContextInfo>& out, const RectT<long>& viewport,
                                        HWND window, bool offscreen)
{
    out = RCPtr<LD3D9RenderContextInfo>(new LD3D9RenderContextInfo(viewport, window, offscreen));
    return S_OK;
}

RCPtr<LD3D9Renderer> LD3D9Renderer::Create()
{
    return RCPtr<LD3D9Renderer>(new LD3D9Renderer());
}

KXRESULT LD3D9Renderer::GetFontMetrics(const RCPtr<LFont>&, int32_t&, int32_t&, int32_t&)
{
    return S_OK;
}

RectT<float> LD3D9Renderer::MeasureText(const String&, const RCPtr<LFont>&)
{
    return RectT<float>();
}

KXRESULT LD3D9Renderer::InitRenderContextInfo(const RectT<long>& viewport, HWND window, bool offscreen,
                                              RCPtr<LRenderContextInfo>& context)
{
    RCPtr<LD3D9RenderContextInfo> made;
    LD3D9RenderContextInfo::Create(made, viewport, window, offscreen);
    context = made;
    return S_OK;
}

// The frame operations leave the context stack empty on purpose: with no
// context open, every state operation of the base does nothing.
KXRESULT LD3D9Renderer::RenderStart(const RCPtr<LRenderContextInfo>&)
{
    return S_OK;
}

KXRESULT LD3D9Renderer::RenderFinish(const RCPtr<LRenderContextInfo>&)
{
    return S_OK;
}

void LD3D9Renderer::DrawText(const String&, const RCPtr<LFont>&, const PointT<long>&, const Color&) {}
void LD3D9Renderer::DrawRect(const RectT<long>&, const Color&, float) {}
void LD3D9Renderer::FillRect(const RectT<long>&, const Color&, bool) {}
void LD3D9Renderer::FillAndFrameRect(const RectT<long>&, const Color&, const Color&, float) {}
void LD3D9Renderer::FillColorRects(const ColorRectListT<float>&, const PointT<double>&, bool) {}
void LD3D9Renderer::DrawLine(const PointT<float>&, const PointT<float>&, const Color&, float) {}
void LD3D9Renderer::DrawLines(const PolylineT<float>&, const Color&, const PointT<float>&, const PointT<float>&, bool) {}
void LD3D9Renderer::DrawPolyline(const PolylineT<float>&, const Color&, const PointT<float>&, const PointT<float>&,
                                 bool)
{
}
void LD3D9Renderer::DrawPolygon(const PolylineT<float>&, const Color&, const PointT<float>&, const PointT<float>&,
                                bool)
{
}
void LD3D9Renderer::FillPolygon(const PolylineT<float>&, const Color&, const PointT<float>&, const PointT<float>&,
                                bool)
{
}
void LD3D9Renderer::DrawBitmap(const RCPtr<LBitmap>&, const RectT<long>&, ResizeType) {}

KXRESULT LD3D9Renderer::CopyFromLastFrame(const RCPtr<LRenderContextInfo>&, const PointT<long>&, const RectT<long>&)
{
    return E_NOTIMPL;
}

KXRESULT LD3D9Renderer::DrawLastFrame(const RCPtr<LRenderContextInfo>&, const PointT<long>&)
{
    return E_NOTIMPL;
}

} // namespace KX
