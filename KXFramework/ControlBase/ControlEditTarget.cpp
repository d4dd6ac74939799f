#include "ControlBase/ControlEditTarget.h"

namespace KX {

RCPtr<IEditTarget> LControlEditTarget::ForControl(const RCPtr<LControl>& control)
{
    const RCPtr<LControl> target = control ? control->GetEditTarget() : RCPtr<LControl>();
    if (!target)
        return RCPtr<IEditTarget>();
    return RCPtr<IEditTarget>(new LControlEditTarget(target));
}

bool LControlEditTarget::CanEdit()
{
    return mControl->CanEdit();
}

bool LControlEditTarget::CanPerformEdit(int32_t operation)
{
    return mControl->CanPerformEdit(operation);
}

KXRESULT LControlEditTarget::PerformEdit(int32_t operation)
{
    return mControl->PerformEdit(operation);
}

} // namespace KX
