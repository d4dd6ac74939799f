#include "Renderer/Gdi/GDIRenderContextInfo.h"

#include "Utilities/Graphics/GdiplusFlat.h"

#include <utility>
#include <vector>

namespace KX {

using namespace Gdip;

KXRESULT LGDIRenderContextInfo::Create(RCPtr<LGDIRenderContextInfo>& out, const RectT<long>& viewport, HWND window,
                                       bool offscreen)
{
    out = RCPtr<LGDIRenderContextInfo>(new LGDIRenderContextInfo(viewport, window, offscreen));
    return S_OK;
}

LGDIRenderContextInfo::LGDIRenderContextInfo(const RectT<long>& viewport, HWND window, bool offscreen)
    : LRenderContextInfo(viewport, window, offscreen)
{
    const PointT<long> size(viewport.width, viewport.height);
    LGDIRendererOffscreenSurface::Create(mSurface, size, window);
    LGDIRendererOffscreenSurface::Create(mPreviousSurface, size, window);
}

Gdiplus::GpGraphics* LGDIRenderContextInfo::GetGraphics() const
{
    return mSurface ? mSurface->GetGraphics() : nullptr;
}

bool LGDIRenderContextInfo::IsWholeViewportDirty() const
{
    const LRectRegionNode* head = mDirtyRegion.GetHead();
    if (!head || head->next)
        return false;
    return head->left == mViewport.x && head->top == mViewport.y && head->right - head->left == mViewport.width &&
           head->bottom - head->top == mViewport.height;
}

void LGDIRenderContextInfo::BeginFrame()
{
    if (!mSurface || !mPreviousSurface)
        return;
    const PointT<long> size = mSurface->GetSize();
    const bool resized = size.x != mViewport.width || size.y != mViewport.height;
    if (!resized && !IsWholeViewportDirty())
        return;
    const PointT<long> viewportSize(mViewport.width, mViewport.height);
    mSurface->Resize(viewportSize);
    mPreviousSurface->Resize(viewportSize);
}

void LGDIRenderContextInfo::Present()
{
    if (!mSurface)
        return;
    if (GpGraphics* graphics = mSurface->GetGraphics())
        GdipFlush(graphics, FlushIntentionSync);
    if (mOffscreen || !mWindow)
        return;
    OwnedGraphics window;
    if (GdipCreateFromHWND(mWindow, window.Out()) != Ok)
        return;
    std::vector<RectT<long>> rects;
    for (const LRectRegionNode* node = mDirtyRegion.GetHead(); node; node = node->next)
        rects.emplace_back(node->left, node->top, node->right - node->left, node->bottom - node->top);
    for (auto rect = rects.rbegin(); rect != rects.rend(); ++rect)
        mSurface->DrawTo(window.Get(), PointT<long>(rect->x, rect->y), *rect);
}

void LGDIRenderContextInfo::SwapSurfaces()
{
    std::swap(mSurface, mPreviousSurface);
}

} // namespace KX
