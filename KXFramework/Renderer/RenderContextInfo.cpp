#include "Renderer/RenderContextInfo.h"

namespace KX {

LRenderContextInfo::LRenderContextInfo(const RectT<long>& viewport, HWND window, bool offscreen)
    : mWindow(window), mOffscreen(offscreen), mViewport(viewport)
{
    if (mWindow)
        mDC = GetDC(mWindow);
}

LRenderContextInfo::~LRenderContextInfo()
{
    if (mDC)
        ReleaseDC(mWindow, mDC);
}

} // namespace KX
