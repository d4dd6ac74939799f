// KX::LControlMarkGuard: keeps a control out of hit testing for one scope.
// The guard holds the control and sets its hit-test exclusion mark; when the
// scope ends it gives the mark back the value it had before (clear, unless an
// enclosing guard of the same control set it) and releases the control.
//
// Used while the tree is tested again under the pointer with the dragged
// control, or controls already tried, out of the way.
#pragma once

#include "ControlBase/Control.h"

namespace KX {

class LControlMarkGuard
{
public:
    explicit LControlMarkGuard(const RCPtr<LControl>& control)
        : mControl(control), mWasExcluded(control && control->IsHitTestExcluded())
    {
        if (mControl)
            mControl->SetHitTestExcluded(true);
    }
    ~LControlMarkGuard()
    {
        if (mControl)
            mControl->SetHitTestExcluded(mWasExcluded);
    }
    LControlMarkGuard(const LControlMarkGuard&) = delete;
    LControlMarkGuard& operator=(const LControlMarkGuard&) = delete;

private:
    RCPtr<LControl> mControl;
    bool mWasExcluded;
};

} // namespace KX
