// The looks a control holds: one per slot of its skin's look list, each with
// a weight (0 hides it), the active look (the first weighted one), and the
// looks' regions, images and text colours.
#include "ControlBase/Control.h"

#include "ControlBase/Look.h"

#include <algorithm>
#include <climits>

namespace KX {

// ---- Looks ----

int32_t LControl::AddLook(const RCPtr<LLook>& look)
{
    const int32_t index = mLooks.AddItem(look);
    while (mLookWeights.GetCount() < mLooks.GetCount())
        mLookWeights.AddItem(0.0f);
    return index;
}

KXRESULT LControl::SetLookWeight(int32_t index, float weight, bool exclusive)
{
    if (index < 0 || index >= mLookWeights.GetCount())
        return E_INVALIDARG;
    bool changed = false;
    if (weight >= 0.0f && weight <= 1.0f && mLookWeights.GetAt(index) != weight) {
        mLookWeights.GetAt(index) = weight;
        changed = true;
    }
    if (exclusive) {
        for (int32_t i = 0; i < mLookWeights.GetCount(); ++i) {
            if (i != index && mLookWeights.GetAt(i) != 0.0f) {
                mLookWeights.GetAt(i) = 0.0f;
                changed = true;
            }
        }
    }
    if (changed)
        InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
    return S_OK;
}

KXRESULT LControl::SelectLook(int32_t index, bool exclusive)
{
    return SetLookWeight(index, 1.0f, exclusive);
}

float LControl::GetLookWeight(int32_t index) const
{
    if (index < 0 || index >= mLookWeights.GetCount())
        return 0.0f;
    return mLookWeights.GetAt(index);
}

int32_t LControl::GetActiveLookIndex() const
{
    for (int32_t i = 0; i < mLooks.GetCount(); ++i) {
        if (mLooks.GetAt(i) && GetLookWeight(i) > 0.0f)
            return i;
    }
    return -1;
}

const RCPtr<LLook>& LControl::GetLook(int32_t index) const
{
    if (index >= 0 && index < mLooks.GetCount())
        return mLooks.GetAt(index);
    const int32_t active = GetActiveLookIndex();
    if (active >= 0)
        return mLooks.GetAt(active);
    for (int32_t i = 0; i < mLooks.GetCount(); ++i) {
        if (mLooks.GetAt(i))
            return mLooks.GetAt(i);
    }
    return RCPtr<LLook>::sNull;
}

KXRESULT LControl::SetLookRegion(int32_t index, const LRectRegion& region)
{
    if (index < 0 || index >= mLooks.GetCount() || !mLooks.GetAt(index))
        return E_INVALIDARG;
    mLooks.GetAt(index)->SetRegion(region);
    InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
    return S_OK;
}

KXRESULT LControl::ClearLookRegion(int32_t index)
{
    if (index < 0 || index >= mLooks.GetCount() || !mLooks.GetAt(index))
        return E_INVALIDARG;
    if (mLooks.GetAt(index)->GetRegion().IsEmpty())
        return S_FALSE;
    mLooks.GetAt(index)->ClearRegion();
    InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
    return S_OK;
}

KXRESULT LControl::ClearAllLookRegions()
{
    bool cleared = false;
    for (int32_t i = 0; i < mLooks.GetCount(); ++i) {
        const RCPtr<LLook>& look = mLooks.GetAt(i);
        if (look && !look->GetRegion().IsEmpty()) {
            look->ClearRegion();
            cleared = true;
        }
    }
    if (!cleared)
        return S_FALSE;
    InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
    return S_OK;
}

KXRESULT LControl::InvalidateLookExcept(int32_t a, int32_t b)
{
    const int32_t count = mLooks.GetCount();
    if (a < 0 || a >= count || b < 0 || b >= count || !mLooks.GetAt(a) || !mLooks.GetAt(b))
        return E_INVALIDARG;
    // Look a draws everywhere look b does not.
    LRectRegion region;
    region.AddRect(0, 0, RoundDoubleToInt(mRect.width), RoundDoubleToInt(mRect.height));
    region.Subtract(mLooks.GetAt(b)->GetRegion());
    region.Normalize();
    mLooks.GetAt(a)->SetRegion(region);
    InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
    return S_OK;
}

KXRESULT LControl::SetLookImage(const RCPtr<LBitmap>& bitmap, ResizeType resizeType, int32_t index,
                                bool replacesClient)
{
    if (index < 0 || index >= mLooks.GetCount() || !mLooks.GetAt(index))
        return E_FAIL;
    const KXRESULT result = mLooks.GetAt(index)->SetImage(bitmap, resizeType, replacesClient);
    if (result != S_FALSE && index == GetActiveLookIndex())
        InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
    return result;
}

KXRESULT LControl::SetLookPart(const RCPtr<LVisualPart>& part, int32_t index)
{
    if (index < 0 || index >= mLooks.GetCount() || !mLooks.GetAt(index))
        return E_FAIL;
    if (!part)
        return E_INVALIDARG;
    mLooks.GetAt(index)->SetTextForegroundPart(part);
    return S_OK;
}

int32_t LControl::GetEffectiveZOrder() const
{
    int32_t order = INT32_MIN;
    for (const LControl* control = this; control; control = control->mParent.Get()) {
        const LLayoutDescriptor& layout = control->GetLayout();
        if (!layout.mClipToParent)
            order = std::max(order, layout.mZOrder);
    }
    return order;
}

} // namespace KX
