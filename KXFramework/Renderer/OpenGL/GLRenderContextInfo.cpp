#include "Renderer/OpenGL/GLRenderContextInfo.h"

#include "Renderer/OpenGL/GLHeaders.h"

namespace KX {

LGLRenderContextInfo::LGLRenderContextInfo(const RectT<long>& viewport, HWND window, bool offscreen)
    : LRenderContextInfo(viewport, window, offscreen), mGLDC(GetDC(window))
{
}

LGLRenderContextInfo::~LGLRenderContextInfo()
{
    if (mGLDC)
        ReleaseDC(mWindow, mGLDC);
}

RCPtr<LGLRenderContextInfo> LGLRenderContextInfo::Create(const RectT<long>& viewport, HWND window, bool offscreen)
{
    return RCPtr<LGLRenderContextInfo>(new LGLRenderContextInfo(viewport, window, offscreen));
}

void LGLRenderContextInfo::ReadMaxViewport()
{
    GLint dimensions[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dimensions);
    DrainGLErrors();
    mMaxViewport = PointT<long>(dimensions[0], dimensions[1]);
}

void LGLRenderContextInfo::SwapBuffers() const
{
    if (!mOffscreen)
        wglSwapLayerBuffers(mGLDC, WGL_SWAP_MAIN_PLANE);
}

} // namespace KX
