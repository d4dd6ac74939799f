// KX::LControlEditTarget: a control as the clipboard reaches it. The
// clipboard performs cut, copy, paste and delete on an IEditTarget; for the
// controls that target is the focused control's edit target (the nearest
// control up its parent chain that edits text), and this object hands the
// clipboard's questions and requests to that control's own operations.
//
// Contract: CanEdit, CanPerformEdit and PerformEdit answer exactly what the
// control answers; the control is held for as long as the target lives.
#pragma once

#include "ControlBase/Control.h"
#include "System/ClipBoard.h"

namespace KX {

class LControlEditTarget : public IEditTarget
{
public:
    // The edit target of the control (GetEditTarget), or null when the
    // control is null or has none.
    static RCPtr<IEditTarget> ForControl(const RCPtr<LControl>& control);

    bool CanEdit() override;
    bool CanPerformEdit(int32_t operation) override;
    KXRESULT PerformEdit(int32_t operation) override;

    const RCPtr<LControl>& GetControl() const { return mControl; }

protected:
    explicit LControlEditTarget(const RCPtr<LControl>& control) : mControl(control) {}
    ~LControlEditTarget() override = default;

private:
    RCPtr<LControl> mControl;
};

} // namespace KX
