#include "Renderer/Gdi/GDIRenderContextInfo.h"

#include "Utilities/Graphics/GdiplusFlat.h"

#include <algorithm>
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

PointT<long> LGDIRenderContextInfo::GetSurfaceSize() const
{
    // What a surface is made at: at least 1 x 1.
    return PointT<long>(std::max<long>(mViewport.width, 1), std::max<long>(mViewport.height, 1));
}

void LGDIRenderContextInfo::BeginFrame()
{
    mCompleteRedraw = false;
    if (!mSurface || !mPreviousSurface)
        return;
    const PointT<long> size = GetSurfaceSize();
    const bool resized = mSurface->GetSize() != size;
    const bool whole = IsWholeViewportDirty();
    if (!resized && !whole)
        return;
    mSurface->Resize(size);
    mPreviousSurface->Resize(size);
    // New surfaces hold nothing of the earlier frame: a window's frame that
    // paints only a part of them would present the rest as it is now, empty.
    mCompleteRedraw = resized && !whole && !mOffscreen;
}

void LGDIRenderContextInfo::Present()
{
    if (!mSurface)
        return;
    if (GpGraphics* graphics = mSurface->GetGraphics())
        GdipFlush(graphics, FlushIntentionSync);
    // A frame that asked for a complete redraw is not shown: the new surfaces
    // hold nothing of the earlier frame around what was drawn, and the whole
    // repaint follows.
    if (mOffscreen || !mWindow || mCompleteRedraw)
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
