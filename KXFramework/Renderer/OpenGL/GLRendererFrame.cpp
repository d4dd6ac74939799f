// KX::LGLRenderer: frames (start, present, finish), viewport, clip and
// translation.
#include "Renderer/OpenGL/GLRenderer.h"

#include <algorithm>
#include <cmath>

namespace KX {

namespace {

double RoundHalfAway(double value)
{
    return std::trunc(value < 0 ? value - 0.5 : value + 0.5);
}

} // namespace

LGLRenderContextInfo* LGLRenderer::GetGLContextInfo(const RCPtr<LRenderContextInfo>& context) const
{
    return dynamic_cast<LGLRenderContextInfo*>(context.Get());
}

void LGLRenderer::MakeCurrent(HDC dc) const
{
    // Names released while the context was not current are deleted now.
    if (wglMakeCurrent(dc, mGLContext) && mNames)
        mNames->DeletePending();
}

void LGLRenderer::MakeCurrent(const RCPtr<LRenderContextInfo>& context) const
{
    const LGLRenderContextInfo* glContext = GetGLContextInfo(context);
    if (glContext)
        MakeCurrent(glContext->GetGLDC());
}

KXRESULT LGLRenderer::SetViewport(const RectT<long>& viewport)
{
    LRenderer::SetViewport(viewport);
    glViewport(viewport.x, viewport.y, viewport.width, viewport.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, static_cast<double>(viewport.width), static_cast<double>(viewport.height), 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    DrainGLErrors();
    return S_OK;
}

void LGLRenderer::ApplyContextState()
{
    const RCPtr<LRenderContextInfo>& context = GetCurrentContext();
    if (!context)
        return;
    // One GL matrix and one scissor serve every context of the renderer:
    // each frame starts from its own context's translation and clip, not
    // from whatever an enclosing frame left there.
    glLoadIdentity();
    const PointT<double>& translation = context->mState.mTranslation;
    if (translation.x != 0.0 || translation.y != 0.0)
        glTranslated(translation.x, translation.y, 0.0);
    ApplyScissor(context->mState.mClip);
}

KXRESULT LGLRenderer::RenderStart(const RCPtr<LRenderContextInfo>& context)
{
    LRenderer::RenderStart(context);
    MakeCurrent(context);
    CheckWholeFrame(context);
    SetViewport(context->mViewport);
    glPushMatrix();
    ApplyContextState();
    return S_OK;
}

void LGLRenderer::CheckWholeFrame(const RCPtr<LRenderContextInfo>& context)
{
    LGLRenderContextInfo* glContext = GetGLContextInfo(context);
    if (!glContext || glContext->mOffscreen)
        return;
    // The back buffer holds the previous frame only at the size it was drawn
    // at; at a new size a partial paint would present whatever the buffer
    // holds around it, so the window is asked for a complete one (once per
    // size: the repaint that follows covers the whole window).
    glContext->mCompleteRedraw = false;
    const PointT<long> size(glContext->mViewport.width, glContext->mViewport.height);
    if (size == glContext->GetFrameSize())
        return;
    glContext->SetFrameSize(size);
    glContext->mCompleteRedraw = !glContext->IsWholeViewportDirty();
}

KXRESULT LGLRenderer::RenderFinish(const RCPtr<LRenderContextInfo>& context)
{
    // A context that is not the open frame's changes nothing: the base throws
    // the mismatch error and the open frame goes on drawing.
    if (mContexts.empty() || mContexts.back().Get() != context.Get())
        return LRenderer::RenderFinish(context);

    DrainGLErrors();
    glPopMatrix();
    LGLRenderContextInfo* glContext = GetGLContextInfo(context);
    if (context->mOffscreen) {
        glFlush();
        if (glContext)
            glContext->KeepLastFrame();
    } else if (context->mCompleteRedraw) {
        // Not presented: the back buffer holds nothing of the earlier frame
        // at the new size (Mesa's comes back black), which would show until
        // the whole repaint.
    } else if (!mDoubleBuffered) {
        glFlush();
    } else if (mSwapCopy) {
        if (glContext)
            glContext->SwapBuffers();
    } else {
        glFlush();
        CopyBackToFront(context->mViewport);
    }
    DrainGLErrors();

    LRenderer::RenderFinish(context);

    if (mContexts.empty()) {
        // Purged while the context is still current, so that the released
        // textures and lists leave GL at once; then the context is released.
        const uint32_t now = GetTicks();
        if (static_cast<int32_t>(now - mLastPurge) > static_cast<int32_t>(kPurgeIntervalMs)) {
            PurgeCaches();
            mLastPurge = now;
        }
        wglMakeCurrent(nullptr, nullptr);
    } else {
        // Back to the enclosing frame: its target, viewport, matrix and clip.
        const RCPtr<LRenderContextInfo> outer = GetCurrentContext();
        MakeCurrent(outer);
        SetViewport(outer->mViewport);
        ApplyScissor(outer->mState.mClip);
    }
    return S_OK;
}

void LGLRenderer::CopyBackToFront(const RectT<long>& viewport) const
{
    // The back buffer stays as drawn, so that the next frame can redraw only
    // what changed: its pixels are copied to the front as they are, without
    // clip, test, blend or texture.
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_PIXEL_MODE_BIT | GL_SCISSOR_BIT | GL_VIEWPORT_BIT |
                 GL_CURRENT_BIT);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DITHER);
    glReadBuffer(GL_BACK);
    glDrawBuffer(GL_FRONT);
    glViewport(0, 0, viewport.width, viewport.height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, static_cast<double>(viewport.width), 0.0, static_cast<double>(viewport.height), -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRasterPos2i(0, 0);
    glEnable(GL_COLOR_LOGIC_OP);
    glLogicOp(GL_COPY);
    glCopyPixels(0, 0, viewport.width, viewport.height, GL_COLOR);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
    glFlush();
}

void LGLRenderer::PurgeCaches()
{
    mTextureCache.PurgeUnused();
    mFilledPolygonCache.PurgeUnused();
    mPolygonCache.PurgeUnused();
    mLineListCache.PurgeUnused();
    mPolylineCache.PurgeUnused();
    mColorRectCache.PurgeUnused();
}

RectT<long> LGLRenderer::ComputeScissorBox(const RectT<double>& windowClip, const RectT<long>& viewport)
{
    const double viewportWidth = viewport.width;
    const double viewportHeight = viewport.height;
    // Cut to the viewport first, in floating point: an unlimited clip would
    // not survive rounding to GL's integers.
    const double left = std::max(windowClip.x, 0.0);
    const double top = std::max(windowClip.y, 0.0);
    const double right = std::min(windowClip.x + windowClip.width, viewportWidth);
    const double bottom = std::min(windowClip.y + windowClip.height, viewportHeight);
    const RectT<long> nothing = NothingBox(viewport);
    if (!(right > left) || !(bottom > top))
        return nothing;

    long x = static_cast<long>(RoundHalfAway(left));
    long y = static_cast<long>(RoundHalfAway(viewportHeight - bottom));
    long width = static_cast<long>(RoundHalfAway(right - left));
    long height = static_cast<long>(RoundHalfAway(bottom - top));
    if (x < 0) {
        width += x;
        x = 0;
    }
    if (y < 0) {
        height += y;
        y = 0;
    }
    if (width < 1 || height < 1)
        return nothing;
    return RectT<long>(x, y, width, height);
}

void LGLRenderer::ApplyScissor(const RectT<double>& clip)
{
    const RCPtr<LRenderContextInfo>& context = GetCurrentContext();
    if (!context)
        return;
    const PointT<double>& translation = context->mState.mTranslation;
    const RectT<double> windowClip(clip.x + translation.x, clip.y + translation.y, clip.width, clip.height);
    SetScissorBox(ComputeScissorBox(windowClip, context->mViewport), context->mViewport);
    DrainGLErrors();
}

void LGLRenderer::SetScissorBox(const RectT<long>& box, const RectT<long>& viewport)
{
    // The box right of the viewport that stands for "nothing" lies inside
    // the window's buffer when the viewport is smaller than the window (an
    // off-screen context): an empty box lets truly nothing pass.
    if (box == NothingBox(viewport))
        glScissor(0, 0, 0, 0);
    else
        glScissor(box.x, box.y, box.width, box.height);
}

RectT<long> LGLRenderer::NothingBox(const RectT<long>& viewport)
{
    return RectT<long>(viewport.width, 0, 1, 1);
}

void LGLRenderer::SetClipRect(const RectT<double>& clip)
{
    LRenderer::SetClipRect(clip);
    ApplyScissor(clip);
}

void LGLRenderer::Translate(const PointT<double>& delta)
{
    LRenderer::Translate(delta);
    if (GetCurrentContext() && (delta.x != 0.0 || delta.y != 0.0))
        glTranslatef(static_cast<float>(delta.x), static_cast<float>(delta.y), 0.0f);
}

} // namespace KX
