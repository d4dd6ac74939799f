#include "Renderer/Renderer.h"

#include "ObjectBase/Exception.h"
#include "Renderer/D3D9/D3D9Renderer.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "Renderer/OpenGL/GLRendererCreate.h"

#include <algorithm>
#include <cmath>

namespace KX {

namespace {

// Half away from zero to a whole number, kept as a double.
double RoundHalfAway(double value)
{
    return std::trunc(value < 0 ? value - 0.5 : value + 0.5);
}

RectT<double> Intersect(const RectT<double>& a, const RectT<double>& b)
{
    const double left = std::max(a.x, b.x);
    const double top = std::max(a.y, b.y);
    const double right = std::min(a.x + a.width, b.x + b.width);
    const double bottom = std::min(a.y + a.height, b.y + b.height);
    return RectT<double>(left, top, right - left, bottom - top);
}

} // namespace

RCPtr<LRenderer>& LRenderer::Create(RCPtr<LRenderer>& out, int32_t rendererType, const RectT<long>&, HWND window)
{
    switch (rendererType) {
    case RendererOpenGL:
        out = CreateGLRenderer(window);
        break;
    case RendererGdiPlus:
        out = LGDIRenderer::Create();
        break;
    case RendererDirect3D9:
        out = LD3D9Renderer::Create();
        break;
    default:
        KX_THROW(std::domain_error, "", "KX::LRenderer::Create", "Renderer\\Renderer", 116);
    }
    return out;
}

KXRESULT LRenderer::SetViewport(const RectT<long>& viewport)
{
    if (mContexts.empty())
        return S_OK;
    mContexts.back()->mViewport = viewport;
    return S_OK;
}

KXRESULT LRenderer::SetStencil(const RCPtr<LStencil>& stencil)
{
    if (mContexts.empty())
        return S_OK;
    RenderState& state = mContexts.back()->mState;
    if (state.mStencil != stencil)
        state.mStencil = stencil;
    return S_OK;
}

KXRESULT LRenderer::RenderStart(const RCPtr<LRenderContextInfo>& context)
{
    if (!context)
        KX_THROW(std::runtime_error, "Render context is NULL", "KX::LRenderer::RenderStart",
                 "KXFramework\\Renderer\\Renderer", 231);
    const bool open = std::any_of(mContexts.begin(), mContexts.end(),
                                  [&](const RCPtr<LRenderContextInfo>& held) { return held.Get() == context.Get(); });
    if (open)
        KX_THROW(std::runtime_error, "Render context reentered.", "KX::LRenderer::RenderStart",
                 "KXFramework\\Renderer\\Renderer", 237);
    mContexts.push_back(context);
    return S_OK;
}

KXRESULT LRenderer::RenderFinish(const RCPtr<LRenderContextInfo>& context)
{
    if (mContexts.empty() || mContexts.back().Get() != context.Get())
        KX_THROW(std::runtime_error, "RenderFinish context does not match RenderStart context",
                 "KX::LRenderer::RenderFinish", "KXFramework\\Renderer\\Renderer", 250);
    mContexts.pop_back();
    return S_OK;
}

void LRenderer::FillAndFrameRect(const RectT<long>& rect, const Color& fill, const Color& frame, float frameWidth)
{
    if (fill.mAlpha > 0.0f)
        FillRect(rect, fill, true);
    if (frame.mAlpha > 0.0f)
        DrawRect(rect, frame, frameWidth);
}

void LRenderer::PushTranslate(const PointT<double>& offset)
{
    if (mContexts.empty())
        return;
    LRenderContextInfo& context = *mContexts.back();
    if (context.mSavedStates.empty())
        return;
    PushState();
    const PointT<double> rounded(RoundHalfAway(offset.x), RoundHalfAway(offset.y));
    Translate(rounded);
    context.mState.mClip.x -= rounded.x;
    context.mState.mClip.y -= rounded.y;
}

void LRenderer::PushClip(const RectT<double>& area, const RectT<double>& clip, const RCPtr<LStencil>& stencil,
                         bool relative)
{
    if (mContexts.empty())
        return;
    LRenderContextInfo& context = *mContexts.back();

    PointT<double> origin(area.x, area.y);
    if (!relative) {
        origin.x -= context.mState.mTranslation.x;
        origin.y -= context.mState.mTranslation.y;
    }
    origin = PointT<double>(RoundHalfAway(origin.x), RoundHalfAway(origin.y));

    PushState();

    RectT<double> effective = clip;
    if (relative) {
        effective = Intersect(Intersect(effective, area), context.mState.mClip);
        // Rectangles that do not overlap leave nothing to draw into. Snapping
        // a negative size would turn the gap between them into a clip.
        if (!(effective.width > 0.0) || !(effective.height > 0.0)) {
            effective.width = 0.0;
            effective.height = 0.0;
        }
    }
    effective.SnapToPixelGrid();

    SetClipRect(effective);
    Translate(origin);
    if (relative) {
        context.mState.mClip.x -= origin.x;
        context.mState.mClip.y -= origin.y;
    }

    if (stencil) {
        if (context.mState.mStencilSet) {
            RCPtr<LStencil> clone;
            stencil->Clone(clone);
            SetStencil(clone);
        } else {
            SetStencil(stencil);
            context.mState.mStencilSet = true;
        }
    }
}

void LRenderer::PushState()
{
    if (mContexts.empty())
        return;
    LRenderContextInfo& context = *mContexts.back();
    context.mSavedStates.push_back(context.mState);
}

void LRenderer::PopState()
{
    if (mContexts.empty())
        return;
    // Keeps the context alive even if a virtual step below finishes it.
    const RCPtr<LRenderContextInfo> held = mContexts.back();
    LRenderContextInfo& context = *held;
    if (context.mSavedStates.empty())
        return;
    RenderState saved = context.mSavedStates.back();
    context.mSavedStates.pop_back();

    Translate(PointT<double>(saved.mTranslation.x - context.mState.mTranslation.x,
                             saved.mTranslation.y - context.mState.mTranslation.y));
    // The difference can lose the last bit; the saved value is exact.
    context.mState.mTranslation = saved.mTranslation;
    context.mState.mAlpha = saved.mAlpha;
    SetClipRect(saved.mClip);
    SetStencil(saved.mStencil);
    context.mState.mStencilSet = saved.mStencilSet;
}

void LRenderer::SetClipRect(const RectT<double>& clip)
{
    if (mContexts.empty())
        return;
    mContexts.back()->mState.mClip = clip;
}

void LRenderer::Translate(const PointT<double>& delta)
{
    if (mContexts.empty())
        return;
    PointT<double>& translation = mContexts.back()->mState.mTranslation;
    translation.x += delta.x;
    translation.y += delta.y;
}

} // namespace KX
