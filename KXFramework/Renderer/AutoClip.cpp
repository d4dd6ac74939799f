#include "Renderer/AutoClip.h"

#include "ObjectBase/Exception.h"

namespace KX {

CAutoClip::CAutoClip(const RCPtr<LRenderer>& renderer) : mRenderer(renderer)
{
    if (mRenderer)
        mRenderer->PushState();
}

CAutoClip::CAutoClip(const RCPtr<LRenderer>& renderer, const RectT<double>& area, const RectT<double>& clip,
                     const RCPtr<LStencil>& stencil)
    : CAutoClip(renderer, area, clip, stencil, true)
{
}

CAutoClip::CAutoClip(const RCPtr<LRenderer>& renderer, const RectT<double>& area, const RectT<double>& clip,
                     const RCPtr<LStencil>& stencil, bool relative)
    : mRenderer(renderer)
{
    if (mRenderer)
        mRenderer->PushClip(area, clip, stencil, relative);
}

CAutoClip::CAutoClip(const RCPtr<LRenderer>& renderer, const Spec& spec) : mRenderer(renderer)
{
    if (spec.mFlavor < Spec::FlavorState || spec.mFlavor > Spec::FlavorTranslate)
        KX_THROW(std::runtime_error, "Unknown PushClip flavor", "KX::CAutoClip::CAutoClip",
                 "KXFramework\\Renderer\\Renderer", 404);
    if (!mRenderer)
        return;
    switch (spec.mFlavor) {
    case Spec::FlavorState:
        mRenderer->PushState();
        break;
    case Spec::FlavorClip:
        mRenderer->PushClip(spec.mArea, spec.mClipRect, spec.mStencil, spec.mRelative);
        break;
    default:
        mRenderer->PushTranslate(spec.mOffset);
        break;
    }
}

CAutoClip::~CAutoClip()
{
    if (mRenderer)
        mRenderer->PopState();
    mRenderer = nullptr;
}

} // namespace KX
