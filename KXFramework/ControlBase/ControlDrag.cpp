// Drag and drop inside the control tree: a control with a drag mode follows
// the pointer once a left press turned into a drag (moving, resizing or
// scrolling its content), finds drop targets and scrolls its container near
// the edges. Here are the base behaviours of the drag hooks; the drag modes
// complete this file.
#include "ControlBase/Control.h"

namespace KX {

KXRESULT LControl::SetDragMode(int32_t mode, int32_t flags)
{
    mDragMode = mode;
    mDragFlags = flags;
    return S_OK;
}

KXRESULT LControl::BeginDrag()
{
    return E_NOTIMPL;
}

KXRESULT LControl::RebaseDrag()
{
    return E_NOTIMPL;
}

KXRESULT LControl::DragTo(const RCPtr<LPointWithModifiersParam>&)
{
    return E_NOTIMPL;
}

void LControl::OnDragMoved(const RCPtr<LPointWithModifiersParam>&) {}

KXRESULT LControl::EndDrag()
{
    return E_NOTIMPL;
}

RCPtr<LControl> LControl::FindDropTarget(const RCPtr<LControl>&, PointT<long>&)
{
    return RCPtr<LControl>();
}

bool LControl::AcceptsDrop(const RCPtr<LControl>&)
{
    return false;
}

int32_t LControl::DragReserved(const RCPtr<LControl>&)
{
    return 0;
}

RectT<double> LControl::GetScrollRange(const RCPtr<LControl>&)
{
    const double unbounded = 4503599627370496.0; // 2^52
    return RectT<double>(0.0, 0.0, unbounded, unbounded);
}

void LControl::GetDragBounds(RectT<double>&) {}
void LControl::DragEnter(const RCPtr<LControl>&) {}
void LControl::DragOver(const RCPtr<LControl>&, const PointT<long>&) {}
void LControl::DragLeave(const RCPtr<LControl>&) {}

KXRESULT LControl::Drop(const RCPtr<LControl>&)
{
    return E_FAIL;
}

} // namespace KX
