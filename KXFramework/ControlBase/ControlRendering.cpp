// Drawing a control and its subtree through the renderer: the looks' client
// areas and docked parts, the content hook, the label text and the children
// once per visible look (undocked, then docked on one axis, then on both),
// the overlay hook; the children that do not clip to their parent are handed
// back for the root window's second pass.
#include "ControlBase/Control.h"

#include "ControlBase/Look.h"
#include "ControlBase/RectOps.h"
#include "Renderer/AutoClip.h"
#include "Renderer/Renderer.h"

#include <optional>

namespace KX {

using RectOps::Intersect;
using RectOps::IsEmpty;
using RectOps::kNoArea;

// ---- Drawing ----

namespace {

// Pushes nothing on a renderer without an open context: drawing then walks
// the tree only to find the controls on top.
bool CanDraw(const RCPtr<LRenderer>& renderer)
{
    return renderer && renderer->GetCurrentContext();
}

// Multiplies the current state's alpha (the caller pushed a state first).
void MultiplyAlpha(const RCPtr<LRenderer>& renderer, float factor)
{
    if (const RCPtr<LRenderContextInfo>& context = renderer->GetCurrentContext())
        context->mState.mAlpha *= factor;
}

int32_t DockedAxes(const LLayoutDescriptor& layout)
{
    return (layout.mXIsDocked ? 1 : 0) + (layout.mYIsDocked ? 1 : 0);
}

} // namespace

KXRESULT LControl::Render(const RCPtr<LRenderer>& renderer, const LRectRegion& region, RCPtrArray<LControl>& unclipped,
                          bool unclippedPass)
{
    if (unclippedPass == GetLayout().mClipToParent)
        return E_INVALIDARG;
    if (!IsVisible(false))
        return S_OK;
    const RCPtr<LControl> self(this);
    if (!CanDraw(renderer)) {
        RenderWithoutTarget(renderer, region, unclipped);
        return S_OK;
    }

    // What of the control the current clip leaves.
    RectT<double> visible = mRect;
    if (!unclippedPass)
        visible = Intersect(visible, renderer->GetCurrentContext()->mState.mClip);
    if (!(visible.width > kNoArea && visible.height > kNoArea)) {
        if (mUnclippedDescendantCount > 0)
            CollectUnclippedDescendants(unclipped, true, false);
        return S_OK;
    }

    const RectT<long> rounded = mRect;
    CAutoClip controlClip(renderer, RectT<double>(rounded.x, rounded.y, rounded.width, rounded.height), visible,
                          RCPtr<LStencil>());
    MultiplyAlpha(renderer, mOpacity);
    const RectT<double> local(0.0, 0.0, mRect.width, mRect.height);
    if (!region.Intersects(local, renderer->GetCurrentContext()->mState.mTranslation)) {
        if (mUnclippedDescendantCount > 0)
            CollectUnclippedDescendants(unclipped, true, false);
        return S_OK;
    }

    // The looks: client areas first, then the docked parts over them.
    for (int32_t pass = 0; pass < 2; ++pass) {
        for (int32_t i = 0; i < mLooks.GetCount(); ++i) {
            const RCPtr<LLook> look = mLooks.GetAt(i);
            const float weight = GetLookWeight(i);
            if (!look || !(weight > 0.0f))
                continue;
            CAutoClip state(renderer);
            MultiplyAlpha(renderer, weight);
            if (pass == 0)
                look->DrawInRegion(renderer, region);
            else
                look->Draw(renderer, region);
        }
    }

    RenderInDirtyRects(renderer, region, false);

    // The label text and the children, once per visible look; a control
    // without looks draws its children once.
    const PointT<double> textOffset = mScrollLooks ? mScrollOffset : PointT<double>();
    if (mLooks.GetCount() == 0) {
        RenderChildren(renderer, region, unclipped, -1);
    } else {
        for (int32_t i = 0; i < mLooks.GetCount(); ++i) {
            const float weight = GetLookWeight(i);
            if (!(weight > 0.0f))
                continue;
            CAutoClip state(renderer);
            MultiplyAlpha(renderer, weight);
            if (const RCPtr<LLook> look = mLooks.GetAt(i))
                look->DrawLabelText(renderer, region, textOffset);
            if (mChildren.GetCount() > 0)
                RenderChildren(renderer, region, unclipped, i);
        }
    }

    RenderInDirtyRects(renderer, region, true);
    AppendUnclippedChildren(unclipped);
    return S_OK;
}

void LControl::RenderInDirtyRects(const RCPtr<LRenderer>& renderer, const LRectRegion& region, bool overlay)
{
    const RCPtr<LRenderContextInfo>& context = renderer->GetCurrentContext();
    const PointT<double> translation = context->mState.mTranslation;
    Array<RectT<long>> rectangles;
    region.Enumerate(rectangles);
    for (int32_t i = 0; i < rectangles.GetCount(); ++i) {
        const RectT<long>& dirty = rectangles.GetAt(i);
        const RectT<double> moved(dirty.x - translation.x, dirty.y - translation.y, dirty.width, dirty.height);
        const RectT<double> part = Intersect(moved, renderer->GetCurrentContext()->mState.mClip);
        if (!(part.width > kNoArea && part.height > kNoArea))
            continue;
        // The clip limits the drawing; the origin stays the control's.
        CAutoClip clip(renderer, RectT<double>(0.0, 0.0, mRect.width, mRect.height), part, RCPtr<LStencil>());
        if (overlay)
            RenderOverlay(renderer);
        else
            RenderContent(renderer);
    }
}

void LControl::RenderChildren(const RCPtr<LRenderer>& renderer, const LRectRegion& region,
                              RCPtrArray<LControl>& unclipped, int32_t lookIndex)
{
    const RectT<double> client = lookIndex >= 0 ? GetLookClientRect(lookIndex)
                                                : RectT<double>(0.0, 0.0, mRect.width, mRect.height);
    const RCPtr<LLook>& look = lookIndex >= 0 ? GetLook(lookIndex) : RCPtr<LLook>::sNull;
    const RCPtr<LStencil> stencil = look ? look->GetStencil() : RCPtr<LStencil>();
    const PointT<double> offset(client.x - mScrollOffset.x, client.y - mScrollOffset.y);
    const bool clientShows = client.width > kNoArea && client.height > kNoArea &&
                             !IsEmpty(Intersect(client, renderer->GetCurrentContext()->mState.mClip));

    // The children in draw order: undocked, then docked on one axis, then on
    // both (the ones on top come last and are drawn in the second pass).
    const RCPtrArray<LControl> children = DrawOrderSnapshot();
    int32_t next = 0;
    for (int32_t run = 0; run < 3; ++run) {
        int32_t end = next;
        while (end < children.GetCount() && children.GetAt(end)->GetLayout().mClipToParent &&
               DockedAxes(children.GetAt(end)->GetLayout()) == run)
            ++end;
        if (end == next)
            continue;
        if (run < 2 && !clientShows) {
            // Skipped, but their controls on top are not lost.
            for (int32_t i = next; i < end; ++i) {
                const RCPtr<LControl>& child = children.GetAt(i);
                if (child->mUnclippedDescendantCount > 0)
                    child->CollectUnclippedDescendants(unclipped, true, false);
            }
            next = end;
            continue;
        }
        // Runs 0 and 1 are clipped to the client area; docked children may
        // draw over the non-client parts. Every run scrolls (docked axes
        // carry the scroll offset in their rectangles and so stay put).
        std::optional<CAutoClip> clip;
        if (run < 2)
            clip.emplace(renderer, RectT<double>(0.0, 0.0, mRect.width, mRect.height), client, stencil);
        else
            clip.emplace(renderer);
        CAutoClip::Spec translate;
        translate.mFlavor = CAutoClip::Spec::FlavorTranslate;
        translate.mOffset = offset;
        CAutoClip move(renderer, translate);
        for (int32_t i = next; i < end; ++i) {
            const RCPtr<LControl>& child = children.GetAt(i);
            if (child->mParent.Get() == this)
                child->Render(renderer, region, unclipped, false);
        }
        next = end;
    }
}

void LControl::RenderWithoutTarget(const RCPtr<LRenderer>& renderer, const LRectRegion& region,
                                   RCPtrArray<LControl>& unclipped)
{
    const RCPtrArray<LControl> children = DrawOrderSnapshot();
    for (int32_t i = 0; i < children.GetCount(); ++i) {
        const RCPtr<LControl>& child = children.GetAt(i);
        if (child->GetLayout().mClipToParent && child->mParent.Get() == this)
            child->Render(renderer, region, unclipped, false);
    }
    AppendUnclippedChildren(unclipped);
}

void LControl::AppendUnclippedChildren(RCPtrArray<LControl>& unclipped)
{
    const int32_t count = mChildren.GetCount();
    for (int32_t i = 0; i < count; ++i) {
        const RCPtr<LControl>& child = mChildren.GetAt(i, kDrawOrder);
        if (child->IsVisible(false) && !child->GetLayout().mClipToParent)
            unclipped.AddItem(child);
    }
}

RCPtrArray<LControl> LControl::DrawOrderSnapshot() const
{
    RCPtrArray<LControl> children;
    const int32_t count = mChildren.GetCount();
    for (int32_t i = 0; i < count; ++i)
        children.AddItem(mChildren.GetAt(i, kDrawOrder));
    return children;
}

KXRESULT LControl::RenderContent(const RCPtr<LRenderer>&)
{
    return S_OK;
}

KXRESULT LControl::RenderOverlay(const RCPtr<LRenderer>&)
{
    return S_OK;
}

} // namespace KX
