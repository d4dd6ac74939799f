// KX::LGLRenderer: text, rectangles, lines, polygons, bitmaps and frame
// copies.
#include "Renderer/OpenGL/GLRenderer.h"

#include "Renderer/OpenGL/GLPolygon.h"
#include "Utilities/Graphics/Font.h"

#include <algorithm>

namespace KX {

namespace {

constexpr const char* kSource = "Renderer\\OpenGL\\GLRenderer";

void SetColor(const ColorT<float>& color)
{
    glColor4f(color.mRed, color.mGreen, color.mBlue, color.mAlpha);
}

// The integer rectangle as whole pixels in double precision.
RectT<double> Snapped(const RectT<long>& rect)
{
    RectT<double> snapped(rect.x, rect.y, rect.width, rect.height);
    snapped.SnapToPixelGrid();
    return snapped;
}

void EmitQuad(const RectT<double>& rect)
{
    glBegin(GL_QUADS);
    glVertex2d(rect.x, rect.y);
    glVertex2d(rect.x, rect.y + rect.height);
    glVertex2d(rect.x + rect.width, rect.y + rect.height);
    glVertex2d(rect.x + rect.width, rect.y);
    glEnd();
}

// A cached display list is replayed (true: the drawing is done). Otherwise a
// new list takes the cache entry and starts compiling: `compiling` is that
// list, or null when compiling could not start (the drawing then goes to the
// target directly).
bool ReplayOrCompile(RCPtr<LGLDisplayList>& entry, RCPtr<LGLDisplayList>& compiling)
{
    if (entry) {
        entry->Call(0, 1);
        return true;
    }
    LGLDisplayList::Create(entry, 1);
    compiling = entry;
    if (compiling->BeginCompile(0) != S_OK)
        compiling = nullptr;
    return false;
}

// The list that ReplayOrCompile started is closed and drawn.
void FinishCompile(const RCPtr<LGLDisplayList>& compiling)
{
    if (!compiling)
        return;
    compiling->EndCompile();
    compiling->Call(0, 1);
}

// The whole frame of an off-screen GL context, or null.
LGLRenderContextInfo* OffscreenGLContext(const RCPtr<LRenderContextInfo>& context)
{
    LGLRenderContextInfo* glContext = dynamic_cast<LGLRenderContextInfo*>(context.Get());
    return (glContext && glContext->mOffscreen) ? glContext : nullptr;
}

} // namespace

KXRESULT LGLRenderer::GetFontMetrics(const RCPtr<LFont>& font, int32_t& height, int32_t& ascent, int32_t& descent)
{
    if (!mFontRenderer)
        return E_FAIL;
    return mFontRenderer->GetFontMetrics(font, height, ascent, descent);
}

RectT<float> LGLRenderer::MeasureText(const String& text, const RCPtr<LFont>& font)
{
    RectT<float> measured;
    if (!mFontRenderer)
        return measured;
    // The glyph layout needs the font's ascent: a font that no renderer has
    // measured yet is measured here.
    if (font)
        font->Measure(this);
    return mFontRenderer->MeasureText(measured, text, font);
}

void LGLRenderer::DrawText(const String& text, const RCPtr<LFont>& font, const PointT<long>& position,
                           const Color& color)
{
    if (!mFontRenderer || text.IsEmpty())
        return;
    if (font)
        font->Measure(this);
    SetColor(color);
    const PointT<double> offset(position.x, position.y);
    Translate(offset);
    mFontRenderer->RenderText(text, font, mFontRenderer->GetGlyphProcessor(), 0, 0.0f, LGlyphProcessor::kFlagsDraw);
    Translate(PointT<double>(-offset.x, -offset.y));
}

void LGLRenderer::DrawRect(const RectT<long>& rect, const Color& color, float lineWidth)
{
    glLineWidth(lineWidth);
    SetColor(color);
    glDisable(GL_TEXTURE_2D);
    const RectT<double> r = Snapped(rect);
    glBegin(GL_LINE_STRIP);
    glVertex2d(r.x, r.y);
    glVertex2d(r.x + r.width, r.y);
    glVertex2d(r.x + r.width, r.y + r.height);
    glVertex2d(r.x, r.y + r.height);
    glVertex2d(r.x, r.y);
    glEnd();
    DrainGLErrors();
}

void LGLRenderer::FillRect(const RectT<long>& rect, const Color& color, bool blend)
{
    if (blend) {
        SetColor(color);
        glDisable(GL_TEXTURE_2D);
        EmitQuad(Snapped(rect));
        DrainGLErrors();
        return;
    }
    // Replace instead of blend: clear the rectangle to the clear colour
    // (transparent black) through a scissor of its own, then restore the clip.
    const RCPtr<LRenderContextInfo>& context = GetCurrentContext();
    if (!context)
        return;
    const PointT<double>& translation = context->mState.mTranslation;
    const RectT<double> target(rect.x + translation.x, rect.y + translation.y, rect.width, rect.height);
    SetScissorBox(ComputeScissorBox(target, context->mViewport), context->mViewport);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ApplyScissor(context->mState.mClip);
}

void LGLRenderer::DrawLine(const PointT<float>& from, const PointT<float>& to, const Color& color, float width)
{
    glLineWidth(width);
    SetColor(color);
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_LINES);
    glVertex2f(from.x, from.y);
    glVertex2f(to.x, to.y);
    glEnd();
    DrainGLErrors();
}

LGLRenderer::PolylineCache& LGLRenderer::CacheOf(Shape shape)
{
    switch (shape) {
    case Shape::Lines:
        return mLineListCache;
    case Shape::Polyline:
        return mPolylineCache;
    case Shape::Polygon:
        return mPolygonCache;
    case Shape::FilledPolygon:
    default:
        return mFilledPolygonCache;
    }
}

void LGLRenderer::DrawShapeGeometry(Shape shape, const PolylineT<float>& polyline)
{
    const int32_t count = polyline.GetCount();
    switch (shape) {
    case Shape::Lines:
    case Shape::Polyline:
        glLineWidth(polyline.GetLineWidth());
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(2, GL_FLOAT, sizeof(PointT<float>), polyline.GetData());
        glDrawArrays(shape == Shape::Lines ? GL_LINES : GL_LINE_STRIP, 0, count);
        glDisableClientState(GL_VERTEX_ARRAY);
        break;
    case Shape::Polygon:
        glBegin(GL_LINE_STRIP);
        for (int32_t i = 0; i < count; ++i)
            glVertex2f(polyline.GetPoint(i).x, polyline.GetPoint(i).y);
        glEnd();
        break;
    case Shape::FilledPolygon:
        CGLPolygon().Fill(polyline);
        break;
    }
}

void LGLRenderer::DrawShape(Shape shape, const PolylineT<float>& polyline, const Color& color,
                            const PointT<float>& offset, const PointT<float>& scale, bool keepCached)
{
    glPushMatrix();
    glTranslatef(offset.x, offset.y, 0.0f);
    glScalef(scale.x, scale.y, 1.0f);
    glDisable(GL_TEXTURE_2D);
    SetColor(color);
    if (shape == Shape::Polygon || shape == Shape::FilledPolygon)
        glLineWidth(polyline.GetLineWidth());

    // An outline and a fill of one polygon are rebuilt together.
    const bool changed = polyline.IsChanged();
    if (shape == Shape::Polygon && (changed || !keepCached))
        mFilledPolygonCache.Invalidate(polyline);
    else if (shape == Shape::FilledPolygon && (changed || !keepCached))
        mPolygonCache.Invalidate(polyline);

    RCPtr<LGLDisplayList> compiling;
    if (keepCached) {
        RCPtr<LGLDisplayList>& entry = CacheOf(shape).GetEntry(polyline, changed);
        polyline.ClearChanged();
        if (ReplayOrCompile(entry, compiling)) {
            glPopMatrix();
            DrainGLErrors();
            return;
        }
    } else {
        CacheOf(shape).Invalidate(polyline);
    }

    DrawShapeGeometry(shape, polyline);

    FinishCompile(compiling);
    glPopMatrix();
    DrainGLErrors();
}

void LGLRenderer::DrawLines(const PolylineT<float>& lines, const Color& color, const PointT<float>& offset,
                            const PointT<float>& scale, bool keepCached)
{
    DrawShape(Shape::Lines, lines, color, offset, scale, keepCached);
}

void LGLRenderer::DrawPolyline(const PolylineT<float>& line, const Color& color, const PointT<float>& offset,
                               const PointT<float>& scale, bool keepCached)
{
    DrawShape(Shape::Polyline, line, color, offset, scale, keepCached);
}

void LGLRenderer::DrawPolygon(const PolylineT<float>& polygon, const Color& color, const PointT<float>& offset,
                              const PointT<float>& scale, bool keepCached)
{
    DrawShape(Shape::Polygon, polygon, color, offset, scale, keepCached);
}

void LGLRenderer::FillPolygon(const PolylineT<float>& polygon, const Color& color, const PointT<float>& offset,
                              const PointT<float>& scale, bool keepCached)
{
    DrawShape(Shape::FilledPolygon, polygon, color, offset, scale, keepCached);
}

void LGLRenderer::FillColorRects(const ColorRectListT<float>& rects, const PointT<double>& offset, bool cache)
{
    glPushMatrix();
    glTranslatef(static_cast<float>(offset.x), static_cast<float>(offset.y), 0.0f);
    glDisable(GL_TEXTURE_2D);

    RCPtr<LGLDisplayList> compiling;
    if (cache) {
        RCPtr<LGLDisplayList>& entry = mColorRectCache.GetEntry(rects, rects.IsChanged());
        rects.ClearChanged();
        if (ReplayOrCompile(entry, compiling)) {
            glPopMatrix();
            DrainGLErrors();
            return;
        }
    } else {
        mColorRectCache.Invalidate(rects);
    }

    for (int32_t i = rects.GetCount() - 1; i >= 0; --i) {
        const RectT<float>& r = rects.GetRect(i);
        const RectT<float> scaled(r.x * rects.GetScaleX(), r.y * rects.GetScaleY(), r.width * rects.GetScaleX(),
                                  r.height * rects.GetScaleY());
        FillRect(static_cast<RectT<long>>(scaled), Color::FromARGB(rects.GetColor(i)), true);
    }

    FinishCompile(compiling);
    glPopMatrix();
    DrainGLErrors();
}

void LGLRenderer::DrawBitmapQuad(const LGLTexture& texture, const RectT<float>& source, float x, float y,
                                 float width, float height) const
{
    LGLTexture::Edges from;
    from.mLeft = source.x;
    from.mTop = source.y;
    from.mRight = source.x + source.width;
    from.mBottom = source.y + source.height;
    LGLTexture::Edges to;
    to.mLeft = x;
    to.mTop = y;
    to.mRight = x + width;
    to.mBottom = y + height;
    texture.Draw(from, to);
}

void LGLRenderer::DrawBitmap(const RCPtr<LBitmap>& bitmap, const RectT<long>& destination, ResizeType resizeType)
{
    if (!bitmap)
        KX_THROW_IF_FAILED(E_INVALIDARG, "KX::LGLRenderer::DrawBitmap", kSource, 1102);
    RCPtr<LGLTexture>& entry = mTextureCache.GetEntry(bitmap, false);
    if (!entry || !entry->IsValid())
        LGLTexture::CreateFromBitmap(entry, bitmap);
    if (!entry)
        return;

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const RectT<float> source = bitmap->GetSourceRect();
    const long width = bitmap->GetWidth();
    const long height = bitmap->GetHeight();
    if (width <= 0 || height <= 0)
        return; // no pixels, and tiling by nothing would never end
    if (destination.width == width && destination.height == height)
        resizeType = ResizeStretch;

    switch (resizeType) {
    case ResizeStretch:
        DrawBitmapQuad(*entry, source, static_cast<float>(destination.x), static_cast<float>(destination.y),
                       static_cast<float>(destination.width), static_cast<float>(destination.height));
        break;
    case ResizeTile:
        for (long y = destination.y; y < destination.y + destination.height; y += height) {
            for (long x = destination.x; x < destination.x + destination.width; x += width)
                DrawBitmapQuad(*entry, source, static_cast<float>(x), static_cast<float>(y),
                               static_cast<float>(width), static_cast<float>(height));
        }
        break;
    case ResizeCenter:
        DrawBitmapQuad(*entry, source, static_cast<float>(destination.x + (destination.width - width) / 2),
                       static_cast<float>(destination.y + (destination.height - height) / 2),
                       static_cast<float>(width), static_cast<float>(height));
        break;
    default:
        KX_THROW(std::logic_error, "Invalid ResizeType passed to DrawBitmap!", "KX::LGLRenderer::DrawBitmap", kSource,
                 1152);
    }
    DrainGLErrors();
}

LGLTexture* LGLRenderer::LastFrameTexture(const LGLRenderContextInfo& source)
{
    const std::vector<uint32_t>& frame = source.GetLastFrame();
    const PointT<long> size = source.GetLastFrameSize();
    if (frame.empty() || size.x <= 0 || size.y <= 0)
        return nullptr;
    if (!mLastFrameTexture || !mLastFrameTexture->IsValid() || mLastFrameTextureSerial != source.GetLastFrameSerial()) {
        if (!mLastFrameTexture)
            mLastFrameTexture = LGLTexture::Create();
        // Nearest filtering: the frame is drawn pixel for pixel.
        LGLTextureImage image(GL_BGRA, GL_UNSIGNED_BYTE, frame.data(), static_cast<int32_t>(size.x),
                              static_cast<int32_t>(size.y), static_cast<int32_t>(size.x * 4), 4);
        mLastFrameTexture->Upload(image, GL_RGBA8, LGLTexture::kNearest, 1.0f);
        mLastFrameTextureSerial = source.GetLastFrameSerial();
    }
    return mLastFrameTexture.Get();
}

KXRESULT LGLRenderer::CopyFromLastFrame(const RCPtr<LRenderContextInfo>& source, const PointT<long>& position,
                                        const RectT<long>& sourceRect)
{
    LGLRenderContextInfo* glSource = OffscreenGLContext(source);
    if (!glSource)
        return E_INVALIDARG;
    LGLTexture* frame = LastFrameTexture(*glSource);
    if (!frame)
        return E_FAIL;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const RectT<float> from(static_cast<float>(sourceRect.x), static_cast<float>(sourceRect.y),
                            static_cast<float>(sourceRect.width), static_cast<float>(sourceRect.height));
    DrawBitmapQuad(*frame, from, static_cast<float>(position.x),
                   static_cast<float>(position.y), static_cast<float>(sourceRect.width),
                   static_cast<float>(sourceRect.height));
    DrainGLErrors();
    return S_OK;
}

KXRESULT LGLRenderer::DrawLastFrame(const RCPtr<LRenderContextInfo>& context, const PointT<long>& offset)
{
    LGLRenderContextInfo* glContext = OffscreenGLContext(context);
    if (!glContext)
        return E_INVALIDARG;
    const RectT<long> viewport = glContext->mViewport;
    if (viewport.width <= 0 || viewport.height <= 0)
        return E_FAIL;
    RenderStart(context);
    const RectT<double> area(viewport.x, viewport.y, viewport.width, viewport.height);
    PushClip(area, area, RCPtr<LStencil>(), false);
    if (LGLTexture* frame = LastFrameTexture(*glContext)) {
        // The previous frame replaces what is there, transparent pixels
        // included: no blending, no alpha test.
        const PointT<long> size = glContext->GetLastFrameSize();
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glBlendFunc(GL_ONE, GL_ZERO);
        glDisable(GL_ALPHA_TEST);
        DrawBitmapQuad(*frame, RectT<float>(0.0f, 0.0f, static_cast<float>(size.x), static_cast<float>(size.y)),
                       static_cast<float>(offset.x), static_cast<float>(offset.y), static_cast<float>(size.x),
                       static_cast<float>(size.y));
        glEnable(GL_ALPHA_TEST);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    PopState();
    RenderFinish(context);
    return S_OK;
}

} // namespace KX
