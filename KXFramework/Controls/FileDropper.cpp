#include "Controls/FileDropper.h"

namespace KX {

namespace {

// Drag mode 1 (a free move with drop targets) on both axes.
constexpr int32_t kDragMoveFree = 1;
constexpr int32_t kBothAxes = 3;

} // namespace

KXRESULT LFileDropper::OnCreated()
{
    SetFocusDisabled(true);
    SetVisible(true);
    return S_OK;
}

void LFileDropper::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    if (!param)
        return;
    const bool pressedNow = (param->mNewConditions & kLeftPressed) && !(param->mOldConditions & kLeftPressed);
    if (!pressedNow)
        return;
    // The press itself is the start of the drag: no travel is needed.
    SetDragMode(kDragMoveFree, kBothAxes);
    SetDragThreshold(0);
}

KXRESULT LFileDropper::EndDrag()
{
    const RCPtr<LControl> self(this);
    const KXRESULT result = LControl::EndDrag();
    if (const RCPtr<LControl> parent = mParent)
        parent->RemoveChildDeferred(self);
    return result;
}

} // namespace KX
