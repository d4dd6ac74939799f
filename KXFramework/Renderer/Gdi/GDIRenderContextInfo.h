// KX::LGDIRenderContextInfo: the GDI+ renderer's target, a window or an
// off-screen back buffer. It owns two off-screen surfaces: every drawing call
// goes into mSurface; RenderFinish presents the dirty rectangles of a
// window's frame from it. Off-screen contexts are never presented; the
// renderer composites their surface into other targets (CopyFromLastFrame)
// and scrolls it (DrawLastFrame, which swaps the two surfaces).
//
// Contract:
// - Surface pixels persist from frame to frame: only dirty areas are redrawn
//   and presented. BeginFrame remakes both surfaces (transparent) when their
//   size is not the viewport's (a viewport below 1 x 1 counts as 1 x 1, the
//   smallest surface) or the dirty region is exactly the whole viewport.
//   When a window's surfaces are remade for a new size while the dirty
//   region is only a part, it asks for a complete redraw (mCompleteRedraw)
//   and Present leaves the window as it is for that frame.
// - Present draws the dirty rectangles from the last of the region's list to
//   the first, unscaled, at the same place in the window; the region itself
//   is left to its owner.
// - GetMaxSize is 4096 x 4096 whatever the window.
#pragma once

#include "Renderer/Gdi/GDIRendererOffscreenSurface.h"
#include "Renderer/RenderContextInfo.h"

namespace KX {

class LGDIRenderContextInfo : public LRenderContextInfo
{
public:
    static KXRESULT Create(RCPtr<LGDIRenderContextInfo>& out, const RectT<long>& viewport, HWND window,
                           bool offscreen);

    PointT<long> GetMaxSize() const override { return PointT<long>(4096, 4096); }

    // The graphics that all drawing goes into (mSurface's); null without one.
    Gdiplus::GpGraphics* GetGraphics() const;
    // Remakes the surfaces when due (see the contract).
    void BeginFrame();
    // Flushes the drawing and, for a window's context whose frame did not
    // ask for a complete redraw, copies the dirty rectangles to the window.
    void Present();
    // Exchanges mSurface and mPreviousSurface.
    void SwapSurfaces();

    RCPtr<LGDIRendererOffscreenSurface> mSurface;
    RCPtr<LGDIRendererOffscreenSurface> mPreviousSurface;

protected:
    LGDIRenderContextInfo(const RectT<long>& viewport, HWND window, bool offscreen);
    ~LGDIRenderContextInfo() override = default;

private:
    // The size the surfaces are made at for the viewport.
    PointT<long> GetSurfaceSize() const;
};

} // namespace KX
