#include "Renderer/Gdi/GDIRenderer.h"

#include "Application/FrameworkApp.h"
#include "Utilities/Graphics/GdiplusFlat.h"

#include <mmsystem.h>

#include <algorithm>
#include <cmath>

namespace KX {

using namespace Gdip;

RCPtr<LGDIRenderer> LGDIRenderer::Create()
{
    return RCPtr<LGDIRenderer>(new LGDIRenderer());
}

LGDIRenderer::LGDIRenderer()
{
    GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat32bppARGB, nullptr, &mMeasureBitmap);
    mLastPurge = LGDIRenderer::GetTicks();
    if (HDC screen = GetDC(nullptr)) {
        mDpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
    }
}

LGDIRenderer::~LGDIRenderer()
{
    mCurrentContext = nullptr;
    if (mMeasureBitmap)
        GdipDisposeImage(mMeasureBitmap);
}

uint32_t LGDIRenderer::GetTicks()
{
    if (LFrameworkApp::sInstance)
        return LFrameworkApp::sInstance->GetTicks();
    return timeGetTime();
}

KXRESULT LGDIRenderer::InitRenderContextInfo(const RectT<long>& viewport, HWND window, bool offscreen,
                                             RCPtr<LRenderContextInfo>& context)
{
    RCPtr<LGDIRenderContextInfo> made;
    LGDIRenderContextInfo::Create(made, viewport, window, offscreen);
    context = made;
    return context ? S_OK : E_FAIL;
}

GpGraphics* LGDIRenderer::GetTarget() const
{
    return mCurrentContext ? mCurrentContext->GetGraphics() : nullptr;
}

// ---- Frame ----

KXRESULT LGDIRenderer::RenderStart(const RCPtr<LRenderContextInfo>& context)
{
    LRenderer::RenderStart(context);
    mCurrentContext = RCPtr<LGDIRenderContextInfo>::DynamicCast(context);
    if (!mCurrentContext)
        return S_OK;
    mCurrentContext->BeginFrame();
    GpGraphics* target = GetTarget();
    if (!target)
        return S_OK;
    REAL dpiX = 96.0f;
    if (GdipGetDpiX(target, &dpiX) == Ok && dpiX > 0.0f)
        mTextScale = 96.0f / dpiX;
    GdipSetSmoothingMode(target, SmoothingModeHighSpeed);
    GdipSetInterpolationMode(target, InterpolationModeNearestNeighbor);
    GdipSetPixelOffsetMode(target, PixelOffsetModeHighSpeed);
    GdipSetCompositingMode(target, CompositingModeSourceOver);
    // A surface keeps its graphics from frame to frame: its transform and
    // clip are set from the state anew, never added to what is there.
    ApplyStateToTarget();
    return S_OK;
}

KXRESULT LGDIRenderer::RenderFinish(const RCPtr<LRenderContextInfo>& context)
{
    if (mContexts.empty() || mContexts.back().Get() != context.Get())
        return LRenderer::RenderFinish(context); // throws the mismatch error, stack unchanged
    if (mCurrentContext)
        mCurrentContext->Present();
    mCurrentContext = nullptr;
    LRenderer::RenderFinish(context);
    if (!mContexts.empty())
        mCurrentContext = RCPtr<LGDIRenderContextInfo>::DynamicCast(mContexts.back());
    PurgeWhenDue();
    return S_OK;
}

void LGDIRenderer::PurgeWhenDue()
{
    const uint32_t now = GetTicks();
    if (static_cast<int32_t>(now - mLastPurge) <= kPurgeInterval)
        return;
    mBitmapCache.PurgeUnused();
    mLastPurge = now;
}

// ---- State on the target ----

void LGDIRenderer::ApplyStateToTarget()
{
    if (mContexts.empty())
        return;
    ApplyTranslationToTarget();
    ApplyClipToTarget(mContexts.back()->mState.mClip);
}

void LGDIRenderer::ApplyTranslationToTarget()
{
    GpGraphics* target = GetTarget();
    if (!target || mContexts.empty())
        return;
    const PointT<double>& translation = mContexts.back()->mState.mTranslation;
    GdipResetWorldTransform(target);
    GdipTranslateWorldTransform(target, static_cast<REAL>(translation.x), static_cast<REAL>(translation.y),
                                MatrixOrderPrepend);
}

void LGDIRenderer::ApplyClipToTarget(const RectT<double>& clip)
{
    GpGraphics* target = GetTarget();
    if (!target || mContexts.empty() || !mCurrentContext->mSurface)
        return;
    if (!(clip.width > 0.0) || !(clip.height > 0.0)) {
        GdipSetClipRect(target, 0.0f, 0.0f, 0.0f, 0.0f, CombineModeReplace);
        return;
    }
    // The surface in the current coordinates.
    const PointT<double>& translation = mContexts.back()->mState.mTranslation;
    const PointT<long> size = mCurrentContext->mSurface->GetSize();
    const double surfaceLeft = -translation.x;
    const double surfaceTop = -translation.y;
    const double surfaceRight = surfaceLeft + size.x;
    const double surfaceBottom = surfaceTop + size.y;
    const double left = std::max(clip.x, surfaceLeft);
    const double top = std::max(clip.y, surfaceTop);
    const double right = std::min(clip.x + clip.width, surfaceRight);
    const double bottom = std::min(clip.y + clip.height, surfaceBottom);
    if (left == surfaceLeft && top == surfaceTop && right == surfaceRight && bottom == surfaceBottom) {
        // A clip rectangle far outside the surface makes GDI+ under Wine draw
        // nothing at all; a clip holding the whole surface is no clip.
        GdipResetClip(target);
        return;
    }
    if (!(right > left) || !(bottom > top)) {
        GdipSetClipRect(target, 0.0f, 0.0f, 0.0f, 0.0f, CombineModeReplace);
        return;
    }
    GdipSetClipRect(target, static_cast<REAL>(left), static_cast<REAL>(top), static_cast<REAL>(right - left),
                    static_cast<REAL>(bottom - top), CombineModeReplace);
}

void LGDIRenderer::SetClipRect(const RectT<double>& clip)
{
    LRenderer::SetClipRect(clip);
    ApplyClipToTarget(clip);
}

void LGDIRenderer::Translate(const PointT<double>& delta)
{
    LRenderer::Translate(delta);
    ApplyTranslationToTarget();
}

// ---- Rectangles and lines ----

void LGDIRenderer::DrawRect(const RectT<long>& rect, const Color& color, float lineWidth)
{
    GpGraphics* target = GetTarget();
    if (!target)
        return;
    OwnedPen pen;
    if (GdipCreatePen1(color.GetARGB(), lineWidth, UnitWorld, pen.Out()) != Ok)
        return;
    GdipDrawRectangleI(target, pen.Get(), rect.x, rect.y, rect.width, rect.height);
}

void LGDIRenderer::FillRect(const RectT<long>& rect, const Color& color, bool blend)
{
    GpGraphics* target = GetTarget();
    if (!target)
        return;
    if (blend) {
        OwnedSolidFill brush;
        if (GdipCreateSolidFill(color.GetARGB(), brush.Out()) != Ok)
            return;
        GdipFillRectangleI(target, brush.Get(), rect.x, rect.y, rect.width, rect.height);
        return;
    }
    // Unblended: the pixels of the surface itself are replaced, in its own
    // pixel coordinates (no translation, no clip). Only the part inside the
    // surface has pixels to replace.
    GpBitmap* surface = mCurrentContext->mSurface ? mCurrentContext->mSurface->GetBitmap() : nullptr;
    if (!surface)
        return;
    const PointT<long> size = mCurrentContext->mSurface->GetSize();
    const long long left = std::max<long long>(rect.x, 0);
    const long long top = std::max<long long>(rect.y, 0);
    const long long right = std::min<long long>(static_cast<long long>(rect.x) + rect.width, size.x);
    const long long bottom = std::min<long long>(static_cast<long long>(rect.y) + rect.height, size.y);
    if (right <= left || bottom <= top)
        return;
    GdipFlush(target, FlushIntentionSync);
    const GpRect area(static_cast<INT>(left), static_cast<INT>(top), static_cast<INT>(right - left),
                      static_cast<INT>(bottom - top));
    BitmapData data{};
    if (GdipBitmapLockBits(surface, &area, ImageLockModeWrite, PixelFormat32bppARGB, &data) != Ok)
        return;
    const ARGB packed = color.GetARGB();
    for (UINT y = 0; y < data.Height; ++y) {
        ARGB* row = reinterpret_cast<ARGB*>(static_cast<BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride);
        std::fill(row, row + data.Width, packed);
    }
    GdipBitmapUnlockBits(surface, &data);
}

void LGDIRenderer::FillColorRects(const ColorRectListT<float>& rects, const PointT<double>& offset, bool)
{
    if (!GetTarget())
        return;
    const PointT<double> moved(ClampToIntegerLimit(offset.x), ClampToIntegerLimit(offset.y));
    Translate(moved);
    const float scaleX = rects.GetScaleX();
    const float scaleY = rects.GetScaleY();
    for (int32_t i = rects.GetCount() - 1; i >= 0; --i) {
        const RectT<float>& r = rects.GetRect(i);
        const RectT<long> scaled(RoundFloatToInt(r.x * scaleX), RoundFloatToInt(r.y * scaleY),
                                 RoundFloatToInt(r.width * scaleX), RoundFloatToInt(r.height * scaleY));
        FillRect(scaled, Color::FromARGB(rects.GetColor(i)), true);
    }
    Translate(PointT<double>(-moved.x, -moved.y));
}

void LGDIRenderer::DrawLine(const PointT<float>& from, const PointT<float>& to, const Color& color, float width)
{
    GpGraphics* target = GetTarget();
    if (!target)
        return;
    OwnedPen pen;
    if (GdipCreatePen1(color.GetARGB(), width, UnitWorld, pen.Out()) != Ok)
        return;
    GdipDrawLine(target, pen.Get(), from.x, from.y, to.x, to.y);
}

} // namespace KX
