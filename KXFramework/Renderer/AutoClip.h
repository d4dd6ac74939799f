// KX::CAutoClip: a render-state scope. Its constructor pushes one state on
// the renderer (a plain PushState, a PushClip or a PushTranslate) and its
// destructor pops it, so every push made through it is matched by exactly
// one PopState. It keeps a reference on the renderer for its whole life.
#pragma once

#include "Renderer/Renderer.h"

#include <cstdint>

namespace KX {

class CAutoClip
{
public:
    // What a scope pushes: mFlavor 0 PushState, 1 PushClip(mArea, mClipRect,
    // mStencil, mRelative), 2 PushTranslate(mOffset).
    struct Spec
    {
        enum Flavor : int32_t { FlavorState = 0, FlavorClip = 1, FlavorTranslate = 2 };

        int32_t mFlavor = FlavorState;
        RectT<double> mArea;
        RectT<double> mClipRect;
        RCPtr<LStencil> mStencil;
        bool mRelative = true;
        PointT<double> mOffset;
    };

    // PushState.
    explicit CAutoClip(const RCPtr<LRenderer>& renderer);
    // PushClip(area, clip, stencil, relative true).
    CAutoClip(const RCPtr<LRenderer>& renderer, const RectT<double>& area, const RectT<double>& clip,
              const RCPtr<LStencil>& stencil);
    // PushClip with the given flag.
    CAutoClip(const RCPtr<LRenderer>& renderer, const RectT<double>& area, const RectT<double>& clip,
              const RCPtr<LStencil>& stencil, bool relative);
    // By the description's flavor; any other flavor throws the runtime error
    // "Unknown PushClip flavor" before anything is pushed.
    CAutoClip(const RCPtr<LRenderer>& renderer, const Spec& spec);
    // PopState, then the renderer is released.
    ~CAutoClip();

    CAutoClip(const CAutoClip&) = delete;
    CAutoClip& operator=(const CAutoClip&) = delete;

private:
    RCPtr<LRenderer> mRenderer;
};

} // namespace KX
