#include "ControlBase/Look.h"

#include "Renderer/AutoClip.h"
#include "Utilities/Graphics/Bitmap.h"

#include <algorithm>
#include <cmath>

namespace KX {

namespace {

constexpr const char* kSource = "ControlBase\\Look";
// An area narrower or lower than this is empty.
constexpr double kEmpty = 2.220446049250313e-16;
constexpr float kFloatLimit = 8388608.0f;

float ToDrawingSize(long value)
{
    return std::max(-kFloatLimit, std::min(kFloatLimit, static_cast<float>(value)));
}

RectT<double> Intersection(const RectT<double>& a, const RectT<double>& b)
{
    const double left = std::max(a.x, b.x);
    const double top = std::max(a.y, b.y);
    const double right = std::min(a.GetRight(), b.GetRight());
    const double bottom = std::min(a.GetBottom(), b.GetBottom());
    return RectT<double>(left, top, right - left, bottom - top);
}

bool HasArea(const RectT<double>& rect)
{
    return rect.width > kEmpty && rect.height > kEmpty;
}

RectT<double> ToDouble(const RectT<long>& rect)
{
    return RectT<double>(rect.x, rect.y, rect.width, rect.height);
}

} // namespace

RCPtr<LLook>& LLook::Create(RCPtr<LLook>& out, const ConstRCPtr<LLookDescriptor>& descriptor, bool wrap)
{
    out = new LLook();
    out->SetDescriptor(descriptor, wrap);
    return out;
}

LLook::~LLook() = default;

KXRESULT LLook::SetDescriptor(const ConstRCPtr<LLookDescriptor>& descriptor, bool wrap)
{
    mDescriptor = descriptor;
    mTextForegroundPart = nullptr;
    mClientVisualPart = nullptr;
    if (mDescriptor && mDescriptor->GetTextForegroundPart())
        mTextForegroundPart = mDescriptor->GetTextForegroundPart()->GetVisualPart();
    if (mDescriptor && mDescriptor->HasText()) {
        if (!mTextLayout)
            mTextLayout = new LFontText(String(), RCPtr<LFont>());
        mTextLayout->SetWrap(wrap);
        mTextLayout->SetHorizontalAlignment(mDescriptor->GetTextProperties().mHAlign);
        mTextLayout->SetVerticalAlignment(mDescriptor->GetTextProperties().mVAlign);
    } else {
        mTextLayout = nullptr;
    }
    if (mDescriptor && mDescriptor->GetClientPart())
        mClientVisualPart = mDescriptor->GetClientPart()->GetVisualPart();
    const size_t docked = mDescriptor ? static_cast<size_t>(mDescriptor->GetNonClientParts().GetCount()) : 0;
    mDockedRects.assign(docked, RectT<long>());
    mDockedParts.assign(docked, RCPtr<LVisualPart>());
    // Lay out again at the size the look had (a look never sized stays so).
    const PointT<long> size = GetSize();
    mWidth = 0;
    mHeight = 0;
    SetSize(size);
    return S_OK;
}

bool LLook::SetSize(const PointT<long>& size)
{
    if (size.x == mWidth && size.y == mHeight)
        return true;
    mWidth = size.x;
    mHeight = size.y;
    LayOut();
    return true;
}

void LLook::LayOut()
{
    const long w = mWidth;
    const long h = mHeight;
    // The client part's offsets: left and top from the near edges, right and
    // bottom signed distances from the far edges (negative: inside).
    long left = 0, top = 0, right = 0, bottom = 0;
    if (mDescriptor && mDescriptor->GetClientPart()) {
        const LDockedPart& client = *mDescriptor->GetClientPart();
        left = client.mOffsetLeft;
        top = client.mOffsetTop;
        right = client.mOffsetRight;
        bottom = client.mOffsetBottom;
    }
    const long x = std::clamp<long>(left, 0, std::max<long>(w, 0));
    const long y = std::clamp<long>(top, 0, std::max<long>(h, 0));
    const long width = std::clamp<long>(w - x + right, 0, std::max<long>(w - x, 0));
    const long height = std::clamp<long>(h - y + bottom, 0, std::max<long>(h - y, 0));
    mClientRect = RectT<long>(x, y, width, height);
    mClientStencil = nullptr;

    if (mDescriptor) {
        const RCPtrArray<LDockedPart>& parts = mDescriptor->GetNonClientParts();
        for (int32_t i = 0; i < parts.GetCount() && static_cast<size_t>(i) < mDockedRects.size(); ++i) {
            const LDockedPart& part = *parts.GetAt(i);
            const long ownWidth = part.mPart ? part.mPart->mWidth : 0;
            const long ownHeight = part.mPart ? part.mPart->mHeight : 0;
            const long partWidth = part.mHasWidth ? part.mWidth : ownWidth;
            const long partHeight = part.mHasHeight ? part.mHeight : ownHeight;
            const bool hasLeft = (part.mGivenEdges & LDockedPart::EdgeLeft) != 0;
            const bool hasTop = (part.mGivenEdges & LDockedPart::EdgeTop) != 0;
            const bool hasRight = (part.mGivenEdges & LDockedPart::EdgeRight) != 0;
            const bool hasBottom = (part.mGivenEdges & LDockedPart::EdgeBottom) != 0;
            long r = hasRight ? w + part.mOffsetRight : w;
            long b = hasBottom ? h + part.mOffsetBottom : h;
            long l = hasLeft ? part.mOffsetLeft : r - partWidth;
            long t = hasTop ? part.mOffsetTop : b - partHeight;
            if (!hasRight)
                r = l + partWidth;
            if (!hasBottom)
                b = t + partHeight;
            // Neither edge given on an axis: centred on it.
            if (!hasLeft && !hasRight) {
                l = (w - partWidth) / 2;
                r = l + partWidth;
            }
            if (!hasTop && !hasBottom) {
                t = (h - partHeight) / 2;
                b = t + partHeight;
            }
            mDockedRects[i] = RectT<long>(l, t, r - l, b - t);
            mDockedParts[i] = part.GetVisualPart();
        }
    }

    if (mTextLayout && mDescriptor) {
        const LLookDescriptor::TextProperties& text = mDescriptor->GetTextProperties();
        const float areaLeft = static_cast<float>(text.mLeftAbs) + text.mLeftRel * static_cast<float>(w);
        const float areaTop = static_cast<float>(text.mTopAbs) + text.mTopRel * static_cast<float>(h);
        const float areaWidth = static_cast<float>(text.mRightAbs) + text.mRightRel * static_cast<float>(w) - areaLeft;
        const float areaHeight =
            static_cast<float>(text.mBottomAbs) + text.mBottomRel * static_cast<float>(h) - areaTop;
        mTextLayout->SetBoxSize(RoundFloatToInt(areaWidth), RoundFloatToInt(areaHeight));
        mTextOriginX = static_cast<long>(areaLeft);
        mTextOriginY = static_cast<long>(areaTop);
    }
}

RectT<long> LLook::GetTextArea() const
{
    if (!mTextLayout)
        return RectT<long>();
    return RectT<long>(mTextOriginX, mTextOriginY, mTextLayout->GetBoxWidth(), mTextLayout->GetBoxHeight());
}

KXRESULT LLook::SetText(const String& text)
{
    return mTextLayout && mTextLayout->SetText(text) ? S_OK : S_FALSE;
}

KXRESULT LLook::SetFont(const RCPtr<LFont>& font)
{
    return mTextLayout && mTextLayout->SetFont(font) ? S_OK : S_FALSE;
}

KXRESULT LLook::SetImage(const RCPtr<LBitmap>& bitmap, ResizeType resizeType, bool replacesClient)
{
    if (bitmap) {
        mImagePart = new LVisualPart(String(), bitmap, resizeType, ConstRCPtr<LColorizer>(), PointT<long>(), 1.0f,
                                     RCPtr<LBitmap>());
        mImageReplacesClient = replacesClient;
        return S_OK;
    }
    if (!mImagePart)
        return S_FALSE;
    mImagePart = nullptr;
    return S_OK;
}

// ---- Drawing ----

LRectRegion LLook::WorkingRegion(const LRectRegion& region, const PointT<double>& translation) const
{
    if (mRegion.IsEmpty())
        return region;
    LRectRegion working = mRegion;
    working.Offset(static_cast<long>(translation.x), static_cast<long>(translation.y));
    working.Intersect(region);
    working.Normalize();
    return working;
}

void LLook::ForEachDirtyRect(const RCPtr<LRenderer>& renderer, const LRectRegion& region, const RectT<double>& area,
                             const RectT<double>& within, const RCPtr<LStencil>& stencil,
                             const DrawStep& step) const
{
    const RCPtr<LRenderContextInfo>& context = renderer->GetCurrentContext();
    if (!context)
        return;
    const PointT<double> translation = context->mState.mTranslation;
    const LRectRegion working = WorkingRegion(region, translation);
    Array<RectT<long>> rectangles;
    working.Enumerate(rectangles);
    for (int32_t i = 0; i < rectangles.GetCount(); ++i) {
        const RectT<long>& dirty = rectangles.GetAt(i);
        // The dirty rectangle in the look's coordinates.
        const RectT<double> local(dirty.x - translation.x, dirty.y - translation.y, dirty.width, dirty.height);
        const RectT<double> part = Intersection(local, within);
        if (!HasArea(part) || !HasArea(Intersection(part, context->mState.mClip)))
            continue;
        // Popped however the step ends.
        CAutoClip clip(renderer, area, part, stencil, true);
        step();
    }
}

KXRESULT LLook::Draw(const RCPtr<LRenderer>& renderer, const LRectRegion& region)
{
    if (!renderer)
        return S_OK;
    for (size_t i = 0; i < mDockedRects.size(); ++i) {
        const RCPtr<LVisualPart> part = mDockedParts[i];
        if (!part)
            continue;
        const RectT<double> area = ToDouble(mDockedRects[i]);
        const PointT<float> size(ToDrawingSize(mDockedRects[i].width), ToDrawingSize(mDockedRects[i].height));
        ForEachDirtyRect(renderer, region, area, area, RCPtr<LStencil>(), [&] { part->Draw(renderer, size); });
    }
    return S_OK;
}

KXRESULT LLook::DrawInRegion(const RCPtr<LRenderer>& renderer, const LRectRegion& region)
{
    if (!renderer)
        return S_OK;
    const RectT<double> area = ToDouble(mClientRect);
    const PointT<float> size(ToDrawingSize(mClientRect.width), ToDrawingSize(mClientRect.height));
    ForEachDirtyRect(renderer, region, area, area, mClientStencil, [&] {
        if (mClientVisualPart && !(mImagePart && mImageReplacesClient))
            mClientVisualPart->Draw(renderer, size);
        if (mImagePart)
            mImagePart->Draw(renderer, size);
    });
    return S_OK;
}

KXRESULT LLook::DrawLabelText(const RCPtr<LRenderer>& renderer, const LRectRegion& region,
                              const PointT<double>& textOffset)
{
    if (!mTextLayout)
        return S_FALSE;
    if (!renderer)
        return S_OK;
    const RectT<double> look(0.0, 0.0, mWidth, mHeight);
    ForEachDirtyRect(renderer, region, look, ToDouble(GetTextArea()), mClientStencil,
                     [&] { DrawLines(renderer, textOffset); });
    return S_OK;
}

void LLook::DrawLines(const RCPtr<LRenderer>& renderer, const PointT<double>& textOffset)
{
    const RCPtr<LVisualPart> foreground = mTextForegroundPart;
    if (!foreground)
        return;
    if (foreground->GetBitmap())
        KX_THROW(std::domain_error, "Bitmap fill for text foreground part not yet implemented.",
                 "KX::LLook::DrawLabelText", kSource, 293);
    const ConstRCPtr<LColorizer>& colorizer = foreground->GetColorizer();
    if (!colorizer)
        return; // neither bitmap nor colour: no text
    if (colorizer->mColorType != LColorizer::Solid)
        KX_THROW(std::domain_error, "Gradient fill for text foreground part not yet implemented.",
                 "KX::LLook::DrawLabelText", kSource, 302);
    const RectT<double> textArea = ToDouble(GetTextArea());
    CAutoClip clip(renderer, textArea, textArea, mClientStencil, true);
    const LRenderer::Color color = LRenderer::Color::FromARGB(foreground->GetColorAtPoint(PointT<long>(0, 0)));
    const uint32_t count = mTextLayout->GetLineCount();
    for (uint32_t i = 0; i < count; ++i) {
        const RectT<float> line = mTextLayout->GetLineRect(i);
        const PointT<long> position(RoundDoubleToInt(line.x - textOffset.x), RoundDoubleToInt(line.y - textOffset.y));
        renderer->DrawText(mTextLayout->GetLineText(i), mTextLayout->GetFont(), position, color);
    }
}

// ---- Hit testing ----

uint32_t LLook::GetColorAtPoint(const PointT<long>& point) const
{
    for (size_t i = 0; i < mDockedRects.size(); ++i) {
        if (!mDockedParts[i])
            continue;
        const RectT<long>& rect = mDockedRects[i];
        const uint32_t color = mDockedParts[i]->GetColorAtPoint(
            PointT<float>(static_cast<float>(point.x - rect.x), static_cast<float>(point.y - rect.y)),
            PointT<float>(ToDrawingSize(rect.width), ToDrawingSize(rect.height)));
        if ((color >> 24) != 0)
            return color;
    }
    const PointT<float> inClient(static_cast<float>(point.x - mClientRect.x),
                                 static_cast<float>(point.y - mClientRect.y));
    const PointT<float> clientSize(ToDrawingSize(mClientRect.width), ToDrawingSize(mClientRect.height));
    if (mImagePart) {
        const uint32_t color = mImagePart->GetColorAtPoint(inClient, clientSize);
        if ((color >> 24) != 0)
            return color;
    }
    if (!mClientVisualPart)
        return LVisualPart::kTransparent;
    return mClientVisualPart->GetColorAtPoint(inClient, clientSize);
}

} // namespace KX
