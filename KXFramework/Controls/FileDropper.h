// KX::LFileDropper ("Framework.FileDropper"): a drag token inside the control
// tree. The moment the left button goes down on it, it starts to move with
// the pointer (no travel needed), is carried over the other controls, which
// may accept it as a drop (the control tree's drag and drop, not the
// operating system's), and removes itself from its parent when the drag ends.
//
// Contract:
// - It never takes the keyboard focus and is visible once created.
// - A press is already a drag; the release drops it on the current target
//   and it is hidden at once and detached from its parent at the next idle
//   pass. A file dropper lives for one drag.
#pragma once

#include "ControlBase/Control.h"

namespace KX {

class LFileDropper : public LControl
{
public:
    LFileDropper(const RCPtr<LControl>& parent, const String& name) : LControl(parent, name) {}

    // ==== LControl ====

    // The drop (the base's end of the drag), then the removal from the parent.
    KXRESULT EndDrag() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
    KXRESULT OnCreated() override;

protected:
    ~LFileDropper() override = default;
};

} // namespace KX
