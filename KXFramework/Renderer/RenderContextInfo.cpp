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

bool LRenderContextInfo::IsWholeViewportDirty() const
{
    const LRectRegionNode* head = mDirtyRegion.GetHead();
    if (!head || head->next)
        return false;
    return head->left == mViewport.x && head->top == mViewport.y && head->right - head->left == mViewport.width &&
           head->bottom - head->top == mViewport.height;
}

} // namespace KX
