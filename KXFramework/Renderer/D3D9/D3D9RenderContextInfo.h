// KX::LD3D9RenderContextInfo: the context of the Direct3D 9 renderer, which
// draws nothing; its largest drawable size is 0 x 0.
#pragma once

#include "Renderer/RenderContextInfo.h"

namespace KX {

class LD3D9RenderContextInfo : public LRenderContextInfo
{
public:
    static KXRESULT Create(RCPtr<LD3D9RenderContextInfo>& out, const RectT<long>& viewport, HWND window,
                           bool offscreen);

    PointT<long> GetMaxSize() const override { return PointT<long>(0, 0); }

protected:
    LD3D9RenderContextInfo(const RectT<long>& viewport, HWND window, bool offscreen)
        : LRenderContextInfo(viewport, window, offscreen)
    {
    }
    ~LD3D9RenderContextInfo() override = default;
};

} // namespace KX
