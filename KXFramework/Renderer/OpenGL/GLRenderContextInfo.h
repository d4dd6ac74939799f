// KX::LGLRenderContextInfo: the OpenGL renderer's render context: a window
// (or its back buffer, off-screen) with its own device context, on which the
// renderer's pixel format is set and its GL context made current.
//
// Contract:
// - GetMaxSize answers GL_MAX_VIEWPORT_DIMS, read by the renderer once the
//   pixel format is set and its GL context is current on this context's
//   device context ({0, 0} until then).
// - SwapBuffers swaps the main plane of a window's context; an off-screen
//   context is never presented.
// - The device context is released with the object.
#pragma once

#include "Renderer/RenderContextInfo.h"

namespace KX {

class LGLRenderContextInfo : public LRenderContextInfo
{
public:
    static RCPtr<LGLRenderContextInfo> Create(const RectT<long>& viewport, HWND window, bool offscreen);

    PointT<long> GetMaxSize() const override { return mMaxViewport; }
    // Reads GL_MAX_VIEWPORT_DIMS from the current GL context.
    void ReadMaxViewport();
    void SwapBuffers() const;

    HDC GetGLDC() const { return mGLDC; }

    PointT<long> mMaxViewport{0, 0};

protected:
    LGLRenderContextInfo(const RectT<long>& viewport, HWND window, bool offscreen);
    ~LGLRenderContextInfo() override;

private:
    HDC mGLDC = nullptr;
};

} // namespace KX
