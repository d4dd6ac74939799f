// KX::RenderState: the drawing state of one render context, a plain value
// that PushState copies onto the context's saved-state stack and PopState
// restores.
//
// Contract:
// - mTranslation is added to every drawing coordinate.
// - mClip is the clip rectangle in the coordinates that were in force when it
//   was set; a fresh state's clip is effectively unlimited (-5e15 .. 5e15, as
//   single-precision values widened to double).
// - mAlpha is the callers' opacity multiplier: controls multiply their
//   opacity into it while they draw. Renderers save and restore it with the
//   state and never apply it themselves.
// - mStencilSet tells that a stencil was pushed with a clip in this state.
// - Copying copies every field and takes a reference on the stencil.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "Renderer/Stencil.h"
#include "Utilities/Geometry/PointT.h"
#include "Utilities/Geometry/RectT.h"

namespace KX {

class RenderState
{
public:
    // The clip of a fresh state: x = y = -5e15 and width = height = 1e16, as
    // floats widened to double.
    static constexpr double kUnlimitedClipOrigin = static_cast<double>(-5e15f);
    static constexpr double kUnlimitedClipSize = static_cast<double>(1e16f);
    static RectT<double> UnlimitedClip()
    {
        return RectT<double>(kUnlimitedClipOrigin, kUnlimitedClipOrigin, kUnlimitedClipSize, kUnlimitedClipSize);
    }

    RenderState() = default;
    RenderState(const RenderState&) = default;
    RenderState& operator=(const RenderState&) = default;
    virtual ~RenderState() = default;

    PointT<double> mTranslation{0.0, 0.0};
    RectT<double> mClip = UnlimitedClip();
    float mAlpha = 1.0f;
    bool mStencilSet = false;
    RCPtr<LStencil> mStencil;
};

} // namespace KX
