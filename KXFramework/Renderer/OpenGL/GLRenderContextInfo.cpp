#include "Renderer/OpenGL/GLRenderContextInfo.h"

#include "Renderer/OpenGL/GLHeaders.h"

#include <algorithm>
#include <cstddef>

namespace KX {

namespace {

// Serial numbers of kept frames, process-wide, so that a number names one
// frame of one context.
uint32_t sLastFrameSerial = 0;

} // namespace

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

void LGLRenderContextInfo::KeepLastFrame()
{
    const long width = std::max<long>(mViewport.width, 0);
    const long height = std::max<long>(mViewport.height, 0);
    std::vector<uint32_t> bottomUp(static_cast<size_t>(width) * height);
    if (!bottomUp.empty()) {
        // The buffer drawn into is the one read: the back buffer of a
        // double-buffered format.
        GLint drawBuffer = GL_BACK;
        glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
        glPushAttrib(GL_PIXEL_MODE_BIT);
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glReadBuffer(static_cast<GLenum>(drawBuffer));
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
        glPixelStorei(GL_PACK_SKIP_ROWS, 0);
        glReadPixels(mViewport.x, mViewport.y, width, height, GL_BGRA, GL_UNSIGNED_BYTE, bottomUp.data());
        glPopClientAttrib();
        glPopAttrib();
        DrainGLErrors();
    }
    // GL's rows run bottom up.
    mLastFrame.resize(bottomUp.size());
    for (long y = 0; y < height; ++y) {
        std::copy_n(bottomUp.begin() + static_cast<ptrdiff_t>(height - 1 - y) * width, width,
                    mLastFrame.begin() + static_cast<ptrdiff_t>(y) * width);
    }
    mLastFrameSize = PointT<long>(width, height);
    if (++sLastFrameSerial == 0)
        ++sLastFrameSerial; // 0 stands for "no frame"
    mLastFrameSerial = sLastFrameSerial;
}

} // namespace KX
