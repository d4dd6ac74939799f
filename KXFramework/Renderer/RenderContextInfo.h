// KX::LRenderContextInfo: one drawing target of a renderer, a window or an
// off-screen back buffer, with its current render state and the stack of
// saved states. Each renderer makes its own kind (InitRenderContextInfo).
//
// Contract:
// - mWindow may be null (an off-screen target needs no window).
// - mOffscreen false: the window's own context, whose frame RenderFinish
//   presents; true: a back buffer that is never presented, whose last frame
//   can be copied (CopyFromLastFrame) or scrolled (DrawLastFrame).
// - mDirtyRegion holds the rectangles the next RenderFinish presents. The
//   context's owner fills and clears it; renderers only read it.
// - mViewport is the drawable area {x, y, width, height}.
// - mState persists from frame to frame; RenderStart does not reset it.
//   mSavedStates is a stack (push and pop at the back) that callers balance
//   within a frame.
// - mDC is the window's device context (GetDC) when there is a window; it is
//   released with the context.
// - mCompleteRedraw: set by the renderer's RenderStart of a window's context
//   when the frame cannot be painted in part (the target lost the earlier
//   frame's pixels); the root window then invalidates the whole window
//   instead of painting. RenderFinish presents nothing of such a frame: there
//   is no earlier frame to show around what was drawn, and the whole repaint
//   follows. Every RenderStart of the context sets it anew.
// - User-interface thread only.
#pragma once

#include "KXPlatform.h"
#include "ObjectBase/RefCountedObject.h"
#include "Renderer/RenderState.h"
#include "Utilities/Geometry/PointT.h"
#include "Utilities/Geometry/RectRegion.h"
#include "Utilities/Geometry/RectT.h"

#include <deque>

namespace KX {

class LRenderContextInfo : public LRefCountedObject
{
public:
    // The largest drawable size {width, height} of the target.
    virtual PointT<long> GetMaxSize() const = 0;

    HWND mWindow = nullptr;
    bool mOffscreen = false;
    LRectRegion mDirtyRegion;
    RectT<long> mViewport;
    RenderState mState;
    std::deque<RenderState> mSavedStates;
    HDC mDC = nullptr;
    bool mCompleteRedraw = false;

    // True when mDirtyRegion is exactly one rectangle, the whole viewport.
    bool IsWholeViewportDirty() const;

protected:
    LRenderContextInfo(const RectT<long>& viewport, HWND window, bool offscreen);
    ~LRenderContextInfo() override;

    LRenderContextInfo(const LRenderContextInfo&) = delete;
    LRenderContextInfo& operator=(const LRenderContextInfo&) = delete;
};

} // namespace KX
