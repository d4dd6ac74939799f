// KX::UITarget: what a root window calls on the controls of its tree. The
// window turns its messages into these calls (pointer, keys, wheel, layout,
// focus); KX::LControl implements every one of them.
//
// Contract:
// - Points in parameters are in the receiving control's own coordinates,
//   except the wheel's, which is in root-window client coordinates.
// - Results follow the handled convention where it applies: 0 handled (or
//   done), 1 not handled (or nothing to do), negative a failure.
#pragma once

#include "ObjectBase/RefCountedObject.h"

#include <cstdint>

namespace KX {

class LKeyParam;
class LMouseButtonParam;
class LMouseWheelParam;
class LPointWithModifiersParam;

class UITarget : public virtual LRefCountedObject
{
public:
    virtual KXRESULT MouseEnter() = 0;
    virtual KXRESULT MouseMove(const RCPtr<LPointWithModifiersParam>& param) = 0;
    virtual KXRESULT MouseDown(const RCPtr<LMouseButtonParam>& param) = 0;
    virtual KXRESULT MouseUp(const RCPtr<LMouseButtonParam>& param) = 0;
    virtual KXRESULT MouseLeave() = 0;
    // Button 1, 2 or 4 (0: a capture without a button); the point in the
    // control's coordinates. 0 when the capture began, else 1.
    virtual KXRESULT BeginCapture(int32_t button, int32_t x, int32_t y) = 0;
    // 1 when the control held no capture.
    virtual KXRESULT EndCapture() = 0;
    virtual KXRESULT KeyEvent(const RCPtr<LKeyParam>& param) = 0;
    virtual KXRESULT MouseWheel(const RCPtr<LMouseWheelParam>& param) = 0;
    virtual KXRESULT MouseWheelHorizontal(const RCPtr<LMouseWheelParam>& param) = 0;
    // Lays the control out again; the size is what its container now offers
    // (informative: the layout reads its references itself). 0.
    virtual KXRESULT RecalcLayout(int32_t width, int32_t height) = 0;
    // Asked of the focus control before the focus moves away.
    virtual bool AcceptsInput() = 0;
    // The control, or the focus path below it, loses the focus.
    virtual KXRESULT FocusLost() = 0;

protected:
    ~UITarget() override = default;
};

} // namespace KX
