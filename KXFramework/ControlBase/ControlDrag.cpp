// Drag and drop inside the control tree. Once a left press has turned into a
// drag, a control with a drag mode follows the pointer: it moves itself by
// rewriting its layout positions (modes 1 to 3), resizes itself by one or two
// edges (modes 4 and 5) or scrolls its own content (6 and above). While it
// moves freely (mode 1) it looks for a control that accepts it as a drop;
// near the edges of the visible area the container or the drop target scrolls
// by itself, as a kinetic scroll whose steps carry the dragged control along.
//
// All positions here are in the parent's client coordinates unless a name
// says otherwise: mDragOrigin is where the pointer was at capture (or at the
// last rebase), a delta is the pointer's travel since then.
#include "ControlBase/Control.h"

#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "ControlBase/ControlMarkGuard.h"
#include "ControlBase/LayoutUtils.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace KX {

namespace {

constexpr int32_t kMove = 1;         // free move with drop targets
constexpr int32_t kMoveLimited = 2;  // move inside the drag bounds
constexpr int32_t kMoveScroll = 3;   // as 2, the parent scrolls near its edges
constexpr int32_t kResize = 4;       // resize by edges inside the drag bounds
constexpr int32_t kResizeScroll = 5; // as 4, the parent scrolls near its edges
constexpr int32_t kScrollContent = 6;

// Drag flags.
constexpr int32_t kAxisX = 0x01;
constexpr int32_t kAxisY = 0x02;
constexpr int32_t kRightEdge = 0x04;
constexpr int32_t kLeftEdge = 0x08;
constexpr int32_t kTopEdge = 0x10;
constexpr int32_t kBottomEdge = 0x20;
constexpr int32_t kEdgeScrollX = 0x0D; // any flag that lets the parent scroll sideways
constexpr int32_t kEdgeScrollY = 0x32;

// Directions of DragReserved.
constexpr int32_t kReservedRight = 0x04;
constexpr int32_t kReservedLeft = 0x08;
constexpr int32_t kReservedUp = 0x10;
constexpr int32_t kReservedDown = 0x20;

// Edge zones are this wide; a scroll runs this fast per pixel of depth into
// the zone (one pixel more than the depth, so that the zone's border moves).
constexpr double kEdgeZone = 30.0;
constexpr double kEdgeSpeed = 15.0;

constexpr double kUnlimited = std::numeric_limits<double>::infinity();

// Allowed deltas per axis.
struct DeltaLimits
{
    double low[2] = {-kUnlimited, -kUnlimited};
    double high[2] = {kUnlimited, kUnlimited};
};

double Axis(const PointT<double>& point, int32_t axis)
{
    return axis == 0 ? point.x : point.y;
}

double& Axis(PointT<double>& point, int32_t axis)
{
    return axis == 0 ? point.x : point.y;
}

double Truncate(double value)
{
    return static_cast<double>(static_cast<long long>(value));
}

void SetWindowCursor(const RCPtr<LRootWindow>& window, const wchar_t* name)
{
    if (!window)
        return;
    LFrameworkApp* application = LFrameworkApp::sInstance;
    window->SetCursor(application ? application->GetCursor(StringT<wchar_t, char>(name)) : nullptr);
}

void StopBothAxes(const RCPtr<LControl>& control)
{
    if (!control)
        return;
    control->StopKineticScroll(0);
    control->StopKineticScroll(1);
}

// The absolute parts of the layout a drag starts from: X and Y position, X
// and Y size.
void NoteStartLayout(const LLayoutDescriptor& layout, double (&start)[4])
{
    start[0] = layout.mXPosition.mAbs;
    start[1] = layout.mYPosition.mAbs;
    start[2] = layout.mXSize.mAbs;
    start[3] = layout.mYSize.mAbs;
}

// One axis of the layout: its position and size specs and its docking.
struct AxisPlacement
{
    LLayoutDescriptor::PositionSpec position;
    LLayoutDescriptor::SizeSpec size;
    bool docked = false;
};

AxisPlacement ReadAxis(const LControl& control, int32_t axis)
{
    AxisPlacement placement;
    control.GetLayout().GetAxisSpec(axis, placement.position, placement.docked, placement.size);
    return placement;
}

} // namespace

KXRESULT LControl::SetDragMode(int32_t mode, int32_t flags)
{
    mDragMode = mode;
    mDragFlags = flags;
    return S_OK;
}

// ---- Start and rebase ----

KXRESULT LControl::BeginDrag()
{
    if (!mLeftDrag)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    mDragStartSize = PointT<double>(mRect.width, mRect.height);
    mDragParentScroll = mParent ? mParent->mScrollOffset : PointT<double>();

    if (mDragMode == kMove) {
        // Drawn above its surroundings and free to leave its parent; docked,
        // so that a scrolling parent does not carry it away from the pointer.
        mDropTarget = nullptr;
        mDragWasUnclipped = !GetLayout().mClipToParent;
        SetClipToParent(false);
        for (int32_t axis = 0; axis < 2; ++axis) {
            AxisPlacement placement = ReadAxis(*this, axis);
            (axis == 0 ? mDragXWasDocked : mDragYWasDocked) = placement.docked;
            if (placement.docked)
                continue;
            // Docking adds the parent's scroll to the position: taking it
            // off the absolute part keeps the control where it is.
            placement.position.mAbs -= Axis(mDragParentScroll, axis);
            SetPlacement(axis, placement.position, true, placement.size);
        }
    }

    NoteStartLayout(GetLayout(), mDragStartLayout);
    return S_OK;
}

KXRESULT LControl::RebaseDrag()
{
    // The movement so far is the control's own now: the delta starts again
    // from where the pointer is, against the control as it is.
    mDragOrigin.x += mDragDelta.x;
    mDragOrigin.y += mDragDelta.y;
    mDragDelta = PointT<double>();
    mDragStartSize = PointT<double>(mRect.width, mRect.height);
    mDragParentScroll = mParent ? mParent->mScrollOffset : PointT<double>();
    NoteStartLayout(GetLayout(), mDragStartLayout);
    return S_OK;
}

// ---- Following the pointer ----

KXRESULT LControl::DragTo(const RCPtr<LPointWithModifiersParam>& param)
{
    if (!param)
        return E_INVALIDARG;
    if (mDragMode == 0)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    const RCPtr<LControl> parent = mParent;
    const PointT<long> pointer = param->GetPoint();
    PointT<double> delta(mRect.x + pointer.x - mDragOrigin.x, mRect.y + pointer.y - mDragOrigin.y);
    // Where the pointer is in the window, taken before the control moves.
    const PointT<double> rootOrigin = GetRootPosition();
    const PointT<long> pointerAtRoot(RoundDoubleToInt(rootOrigin.x) + pointer.x,
                                     RoundDoubleToInt(rootOrigin.y) + pointer.y);
    DragEdgeRequests requests;

    if (mDragMode >= kMoveLimited && mDragMode <= kResizeScroll) {
        DeltaLimits limits;
        RectT<double> visible;
        RectT<double> bounds;
        if (parent) {
            // The visible part of the parent's content, which a derived
            // control may narrow to its own drag bounds.
            const RectT<double> client = parent->GetClientRect();
            visible = RectT<double>(client.x + parent->mScrollOffset.x, client.y + parent->mScrollOffset.y,
                                    client.width, client.height);
            bounds = visible;
            GetDragBounds(bounds);
            limits.low[0] = bounds.x - mDragOrigin.x;
            limits.high[0] = bounds.x + bounds.width - mDragOrigin.x;
            limits.low[1] = bounds.y - mDragOrigin.y;
            limits.high[1] = bounds.y + bounds.height - mDragOrigin.y;
        }
        if (mDragMode == kResize || mDragMode == kResizeScroll)
            LimitToMinimumSize(limits.low, limits.high);
        if (parent && (mDragMode == kMoveScroll || mDragMode == kResizeScroll))
            requests = FindEdgeScrolls(pointer, delta, visible, bounds, limits.low, limits.high);
        // Within the limits; a pointer beyond them scrolls nothing.
        for (int32_t axis = 0; axis < 2; ++axis) {
            const double wanted = Axis(delta, axis);
            const double limited = std::min(std::max(wanted, limits.low[axis]), limits.high[axis]);
            if (limited != wanted) {
                Axis(delta, axis) = limited;
                requests.Clear(axis);
            }
        }
    }

    if (mDragMode >= kScrollContent) {
        ScrollContentBy(delta);
    } else {
        mDragDelta = delta;
        if (mDragMode <= kMoveScroll)
            MoveToDelta(delta);
        else
            ResizeToDelta(delta);
    }

    if (mDragMode == kMove) {
        PointT<long> targetPoint;
        TrackDropTarget(pointerAtRoot, targetPoint);
        if (mDropTarget)
            FindDropTargetScrolls(mDropTarget, targetPoint, requests);
    }

    const RCPtr<LControl> host = mDragMode == kMove && mDropTarget ? mDropTarget : parent;
    RunEdgeScrolls(host, requests);
    OnDragMoved(param);
    return S_OK;
}

void LControl::LimitToMinimumSize(double (&low)[2], double (&high)[2]) const
{
    // An edge never passes the opposite one: the size stays at least 1.
    const double width = mDragStartSize.x;
    const double height = mDragStartSize.y;
    if ((mDragFlags & kRightEdge) && low[0] <= -width)
        low[0] = 1.0 - width;
    if ((mDragFlags & kLeftEdge) && high[0] >= width)
        high[0] = width - 1.0;
    if ((mDragFlags & kBottomEdge) && low[1] <= -height)
        low[1] = 1.0 - height;
    if ((mDragFlags & kTopEdge) && high[1] >= height)
        high[1] = height - 1.0;
}

LControl::DragEdgeRequests LControl::FindEdgeScrolls(const PointT<long>& pointer, const PointT<double>& delta,
                                                     const RectT<double>& visible, const RectT<double>& bounds,
                                                     const double (&low)[2], const double (&high)[2]) const
{
    // The pointer in the parent's content.
    const PointT<double> inParent = GetPositionInParentClient();
    const PointT<double> at(inParent.x + pointer.x + mParent->mScrollOffset.x,
                            inParent.y + pointer.y + mParent->mScrollOffset.y);
    DragEdgeRequests requests;
    for (int32_t axis = 0; axis < 2; ++axis) {
        const double start = axis == 0 ? visible.x : visible.y;
        const double extent = axis == 0 ? visible.width : visible.height;
        const double boundsStart = axis == 0 ? bounds.x : bounds.y;
        const double boundsEnd = boundsStart + (axis == 0 ? bounds.width : bounds.height);
        const bool allowed = (mDragFlags & (axis == 0 ? kEdgeScrollX : kEdgeScrollY)) != 0;
        const double d = Axis(delta, axis);
        // The zone narrows by as much as the drag bounds stop short of the
        // visible edge, on either side.
        if (Axis(at, axis) > start + extent / 2.0) {
            const double zone =
                std::min(std::max(kEdgeZone - (Truncate(start + extent) - Truncate(boundsEnd)), 0.0), kEdgeZone);
            if (d >= high[axis] - zone && allowed)
                requests.Request(axis, true, d - (high[axis] - zone));
        } else {
            const double zone =
                std::min(std::max(kEdgeZone - (Truncate(boundsStart) - Truncate(start)), 0.0), kEdgeZone);
            if (d <= low[axis] + zone && allowed)
                requests.Request(axis, false, low[axis] + zone - d);
        }
    }
    return requests;
}

void LControl::MoveToDelta(const PointT<double>& delta)
{
    for (int32_t axis = 0; axis < 2; ++axis) {
        if (!(mDragFlags & (axis == 0 ? kAxisX : kAxisY)))
            continue;
        AxisPlacement placement = ReadAxis(*this, axis);
        // A docked position does not scroll with the parent: what the parent
        // scrolled since the start is taken off.
        const double scrolled =
            placement.docked && mParent ? Axis(mParent->mScrollOffset, axis) - Axis(mDragParentScroll, axis) : 0.0;
        placement.position.mAbs = mDragStartLayout[axis] + Axis(delta, axis) - scrolled;
        SetPlacement(axis, placement.position, placement.docked, placement.size);
    }
}

void LControl::ResizeToDelta(const PointT<double>& delta)
{
    const int32_t nearEdge[2] = {kLeftEdge, kTopEdge};
    const int32_t farEdge[2] = {kRightEdge, kBottomEdge};
    for (int32_t axis = 0; axis < 2; ++axis) {
        if (!(mDragFlags & (nearEdge[axis] | farEdge[axis])))
            continue;
        AxisPlacement placement = ReadAxis(*this, axis);
        const double d = Axis(delta, axis);
        const double startSize = mDragStartLayout[2 + axis];
        if (mDragFlags & farEdge[axis])
            placement.size.mAbs = startSize + d;
        if (mDragFlags & nearEdge[axis]) {
            const double scrolled = placement.docked && mParent
                                        ? Axis(mParent->mScrollOffset, axis) - Axis(mDragParentScroll, axis)
                                        : 0.0;
            placement.position.mAbs = mDragStartLayout[axis] + d - scrolled;
            placement.size.mAbs = startSize - d;
        }
        SetPlacement(axis, placement.position, placement.docked, placement.size);
    }
}

void LControl::ScrollContentBy(const PointT<double>& delta)
{
    const RCPtr<LControl> self(this);
    const RectT<double> range = mParent ? mParent->GetScrollRange(self) : GetScrollRange(self);
    const double dt = static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(mMoveTick) -
                                                               static_cast<uint32_t>(mLastMoveTick))) /
                      1000.0;
    PointT<double> offset = mScrollOffset;
    bool scroll = false;
    for (int32_t axis = 0; axis < 2; ++axis) {
        // The content moves against the pointer.
        const double movement = Axis(mDragDelta, axis) - Axis(delta, axis);
        if (dt > 0.0) {
            double velocity = movement / dt;
            if (mFlickVelocity[axis] != 0.0 && dt < 0.2)
                velocity = velocity * 0.5 + mFlickVelocity[axis] * 0.5;
            mFlickVelocity[axis] = velocity;
        }
        // Moves within one tick scroll all the same: only the velocity
        // needs time to pass.
        if ((mDragFlags & (axis == 0 ? kAxisX : kAxisY)) && movement != 0.0) {
            const double lowest = axis == 0 ? range.x : range.y;
            const double highest = lowest + (axis == 0 ? range.width : range.height);
            Axis(offset, axis) = std::min(std::max(Axis(offset, axis) + movement, lowest), highest);
            scroll = true;
        }
    }
    if (scroll)
        SetScrollOffset(offset);
    mDragDelta = delta;
}

// ---- Drop targets ----

void LControl::TrackDropTarget(const PointT<long>& atRoot, PointT<long>& targetPoint)
{
    const RCPtr<LControl> self(this);
    const RCPtr<LRootWindow> window = GetRootWindow();
    RCPtr<LControl> target;
    if (window) {
        const LControlMarkGuard excluded(self);
        RCPtr<LControl> found;
        PointT<long> local;
        window->GetControlAtPoint(found, atRoot, local, false);
        if (found) {
            PointT<long> point = atRoot;
            target = found->FindDropTarget(self, point);
            targetPoint = local;
            if (target && target != found) {
                PointT<double> converted(local.x, local.y);
                found->OffsetToControl(target, converted);
                targetPoint = PointT<long>(RoundDoubleToInt(converted.x), RoundDoubleToInt(converted.y));
            }
        }
    }
    if (target != mDropTarget) {
        const RCPtr<LControl> previous = mDropTarget;
        if (previous) {
            StopBothAxes(previous);
            previous->DragLeave(self);
        }
        mDropTarget = target;
        if (target) {
            SetWindowCursor(window, L"UI_CURSOR_DROP_MOVE");
            target->DragEnter(self);
        }
    }
    if (target)
        target->DragOver(self, targetPoint);
    else
        SetWindowCursor(window, L"UI_CURSOR_NO_DROP");
}

void LControl::FindDropTargetScrolls(const RCPtr<LControl>& target, const PointT<long>& point,
                                     DragEdgeRequests& requests)
{
    const int32_t directions = target->DragReserved(RCPtr<LControl>(this));
    if (directions == 0)
        return;
    // The pointer in the target's content, against its visible part.
    const RectT<double> client = target->GetLookClientRect(-1);
    const PointT<double> scroll = target->mScrollOffset;
    const PointT<double> at(scroll.x - client.x + point.x, scroll.y - client.y + point.y);
    if (at.x >= scroll.x + client.width - kEdgeZone) {
        if (directions & kReservedRight)
            requests.Request(0, true, at.x - (scroll.x + client.width - kEdgeZone));
    } else if (at.x <= scroll.x + kEdgeZone) {
        if (directions & kReservedLeft)
            requests.Request(0, false, scroll.x + kEdgeZone - at.x);
    }
    if (at.y >= scroll.y + client.height - kEdgeZone) {
        if (directions & kReservedDown)
            requests.Request(1, true, at.y - (scroll.y + client.height - kEdgeZone));
    } else if (at.y <= scroll.y + kEdgeZone) {
        if (directions & kReservedUp)
            requests.Request(1, false, scroll.y + kEdgeZone - at.y);
    }
}

void LControl::RunEdgeScrolls(const RCPtr<LControl>& host, const DragEdgeRequests& requests)
{
    if (!host)
        return;
    const RCPtr<LControl> self(this);
    const RectT<double> range = host->GetScrollRange(self);
    for (int32_t axis = 0; axis < 2; ++axis) {
        if (!requests.Any(axis)) {
            host->StopKineticScroll(axis);
            continue;
        }
        const double speed = (requests.depth[axis] + 1.0) * kEdgeSpeed;
        const double lowest = axis == 0 ? range.x : range.y;
        const double highest = lowest + (axis == 0 ? range.width : range.height);
        host->StartKineticScroll(axis, requests.forward[axis] ? speed : -speed, highest, lowest, self);
    }
}

RCPtr<LControl> LControl::FindDropTarget(const RCPtr<LControl>& dragged, PointT<long>& point)
{
    RCPtr<LControl> current(this);
    RCPtrArray<LControl> visited;
    const auto isVisited = [&visited](const RCPtr<LControl>& control) {
        for (int32_t i = 0; i < visited.GetCount(); ++i) {
            if (visited.GetAt(i) == control)
                return true;
        }
        return false;
    };
    while (current && !current->AcceptsDrop(dragged)) {
        if (current->GetLayout().mClipToParent) {
            current = current->mParent;
            continue;
        }
        // It may lie outside its parent: what lies below it at the point is
        // asked instead, with everything tried so far out of the way.
        if (isVisited(current))
            return RCPtr<LControl>();
        visited.AddItem(current);
        RCPtrArray<LControl> descendants;
        current->GetDescendants(descendants);
        visited.Append(descendants);
        const RCPtr<LRootWindow> window = GetRootWindow();
        if (!window)
            return RCPtr<LControl>();
        RCPtr<LControl> below;
        {
            // Marked for the hit test, then given back their marks in the
            // reverse order (the dragged control may be among the visited).
            std::vector<std::pair<RCPtr<LControl>, bool>> marks;
            const auto mark = [&marks](const RCPtr<LControl>& control) {
                marks.emplace_back(control, control->IsHitTestExcluded());
                control->SetHitTestExcluded(true);
            };
            if (dragged)
                mark(dragged);
            for (int32_t i = 0; i < visited.GetCount(); ++i)
                mark(visited.GetAt(i));
            PointT<long> local;
            window->GetControlAtPoint(below, point, local, true);
            for (auto it = marks.rbegin(); it != marks.rend(); ++it)
                it->first->SetHitTestExcluded(it->second);
        }
        current = below && !isVisited(below) ? below : RCPtr<LControl>();
    }
    return current;
}

// ---- End ----

KXRESULT LControl::EndDrag()
{
    const RCPtr<LControl> self(this);
    if (mDragMode != kMove) {
        StopBothAxes(mParent);
        return S_OK;
    }
    SetWindowCursor(GetRootWindow(), L"UI_CURSOR_ARROW");
    if (!mDragWasUnclipped)
        SetClipToParent(true);
    const PointT<double> parentScroll = mParent ? mParent->mScrollOffset : PointT<double>();
    for (int32_t axis = 0; axis < 2; ++axis) {
        if (axis == 0 ? mDragXWasDocked : mDragYWasDocked)
            continue;
        // Undocked, the position scrolls with the parent again: the scroll
        // goes back into the absolute part, so the control stays in place.
        AxisPlacement placement = ReadAxis(*this, axis);
        placement.position.mAbs += Axis(parentScroll, axis);
        SetPlacement(axis, placement.position, false, placement.size);
    }
    if (const RCPtr<LControl> target = mDropTarget) {
        StopBothAxes(target);
        target->Drop(self);
        target->DragLeave(self);
        mDropTarget = nullptr;
    }
    return S_OK;
}

// ---- Base behaviours of the hooks ----

void LControl::OnDragMoved(const RCPtr<LPointWithModifiersParam>&) {}

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
