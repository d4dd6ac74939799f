// What runs outside a single input event: the offering of wheel steps to the
// control under the pointer and up its parent chain, the kinetic scroll of a
// control's scroll offset, and the counted idle requests through which a
// control receives "NID_IDLE" from its root window while it has timed work
// (kinetic motion, deferred removals, OnIdle).
#include "ControlBase/Control.h"

#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "ControlBase/LayoutUtils.h"
#include "Notification/NotificationIDs.h"

#include <algorithm>

namespace KX {

namespace {

double ElapsedSeconds()
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    return application ? application->GetElapsedTime() : 0.0;
}

uint32_t Ticks()
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    return application ? application->GetTicks() : 0;
}

bool ChainDrawsOutside(const LControl& control)
{
    for (const LControl* current = &control; current; current = current->GetParent().Get()) {
        if (!current->GetLayout().mClipToParent)
            return true;
    }
    return false;
}

// Offers a wheel step to the control and then up the tree; 1 when nobody
// handled it.
KXRESULT OfferWheel(LControl& target, const RCPtr<LMouseWheelParam>& param)
{
    if (!param)
        return -1;
    const bool horizontal = param->IsHorizontal();
    RCPtr<LControl> current(&target);
    KXRESULT result = S_FALSE;
    RCPtrArray<LControl> tried;
    while (current) {
        result = horizontal ? current->OnMouseWheelHorizontal(param) : current->OnMouseWheel(param);
        if (result != S_FALSE)
            break;
        if (ChainDrawsOutside(*current)) {
            // It may lie outside its parent: the next candidate is what lies
            // under the pointer once the tried controls are out of the way.
            tried.AddItem(current);
            for (int32_t i = 0; i < tried.GetCount(); ++i)
                tried.GetAt(i)->SetHitTestExcluded(true);
            RCPtr<LControl> next;
            const RCPtr<LRootWindow> window = current->GetRootWindow();
            if (window) {
                PointT<long> local;
                window->GetControlAtPoint(next, param->GetPoint(), local, true);
            }
            for (int32_t i = 0; i < tried.GetCount(); ++i)
                tried.GetAt(i)->SetHitTestExcluded(false);
            if (next)
                next->SetHitTestExcluded(false);
            current = next;
        } else {
            current = current->GetParent();
        }
    }
    return result;
}

} // namespace

KXRESULT LControl::MouseWheel(const RCPtr<LMouseWheelParam>& param)
{
    return OfferWheel(*this, param);
}

KXRESULT LControl::MouseWheelHorizontal(const RCPtr<LMouseWheelParam>& param)
{
    return OfferWheel(*this, param);
}

KXRESULT LControl::OnMouseWheel(const RCPtr<LMouseWheelParam>&)
{
    return S_FALSE;
}

KXRESULT LControl::OnMouseWheelHorizontal(const RCPtr<LMouseWheelParam>&)
{
    return S_FALSE;
}

// ---- Kinetic scrolling ----

KXRESULT LControl::StartKineticScroll(int32_t axis, double velocity, double highest, double lowest,
                                      const RCPtr<LControl>& dragTarget)
{
    if (axis != 0 && axis != 1)
        return E_INVALIDARG;
    mKineticVelocity[axis] = velocity;
    mKineticMax[axis] = highest;
    mKineticMin[axis] = lowest;
    mKineticDragTarget[axis] = dragTarget;
    if (mKineticRunning[axis])
        return S_OK; // retargeted; the step clock goes on
    mKineticRunning[axis] = true;
    mKineticLastTime[axis] = ElapsedSeconds();
    mKineticRemainder[axis] = 0.0;
    AddIdleRequest();
    return S_OK;
}

KXRESULT LControl::StopKineticScroll(int32_t axis)
{
    if (axis != 0 && axis != 1)
        return E_INVALIDARG;
    mKineticDragTarget[axis] = nullptr;
    if (!mKineticRunning[axis])
        return S_FALSE;
    mKineticRunning[axis] = false;
    mFlickActive[axis] = false;
    ReleaseIdle();
    return S_OK;
}

// ---- Idle requests ----

KXRESULT LControl::RegisterIdleHandler(const RCPtr<LRootWindow>& rootWindow)
{
    if (!mHandler || !rootWindow)
        return E_FAIL;
    return mHandler->AddHandler(&LControl::OnIdleNotification,
                                RCPtr<LNotificationDistributor>(rootWindow.Get()), NID_IDLE);
}

KXRESULT LControl::AddIdleRequest()
{
    const bool first = mIdleRequestCount == 0;
    ++mIdleRequestCount;
    if (!first)
        return S_OK;
    const RCPtr<LRootWindow> window = GetRootWindow();
    if (!window)
        return S_OK; // registered when the tree gets its window
    const KXRESULT result = RegisterIdleHandler(window);
    if (result < 0)
        mIdleRequestCount = 0;
    return result;
}

KXRESULT LControl::ReleaseIdle()
{
    // Requests and releases are counted; a release without a request
    // changes nothing.
    if (mIdleRequestCount <= 0)
        return S_OK;
    --mIdleRequestCount;
    if (mIdleRequestCount > 0)
        return S_OK;
    const RCPtr<LRootWindow> window = GetRootWindow();
    if (!window)
        return S_OK;
    const RCPtr<LControl> self(this);
    const RCPtr<LNotificationDistributor> sender(window.Get());
    const KXRESULT result = Unregister(sender, NID_IDLE);
    if (mHandler && !mHandler->RemoveHandler(sender, NID_IDLE))
        return E_FAIL;
    return result;
}

KXRESULT LControl::ProcessRootWindowAquired()
{
    const RCPtr<LControl> self(this);
    if (mIdleRequestCount > 0) {
        if (RegisterIdleHandler(GetRootWindow()) < 0)
            mIdleRequestCount = 0;
    }
    const RCPtrArray<LControl> children = mChildren.Snapshot();
    for (int32_t i = children.GetCount() - 1; i >= 0; --i) {
        if (children.GetAt(i)->mParent.Get() == this)
            children.GetAt(i)->ProcessRootWindowAquired();
    }
    return S_OK;
}

KXRESULT LControl::OnIdleNotification(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    const RCPtr<LControl> self(this);
    for (int32_t axis = 0; axis < 2; ++axis) {
        if (!mKineticRunning[axis])
            continue;
        const double now = ElapsedSeconds();
        const double dt = now - mKineticLastTime[axis];
        // Whole pixels; what is left below a pixel waits for the next step,
        // so that a slow scroll moves once enough time has gone by.
        const double exact = mKineticVelocity[axis] * dt + mKineticRemainder[axis];
        const double step = LayoutUtils::Round(exact);
        mKineticRemainder[axis] = exact - step;
        mKineticLastTime[axis] = now;
        if (step != 0.0) {
            PointT<double> offset = mScrollOffset;
            double& moved = axis == 0 ? offset.x : offset.y;
            moved = std::max(mKineticMin[axis], std::min(mKineticMax[axis], moved + step));
            SetScrollOffset(offset);
            if (const RCPtr<LControl> target = mKineticDragTarget[axis]) {
                if (const RCPtr<LRootWindow> window = GetRootWindow()) {
                    PointT<long> cursor;
                    window->GetCursorPosition(cursor);
                    const PointT<long> origin = target->GetRootPosition();
                    target->DragTo(LPointWithModifiersParam::Create(
                        PointT<long>(cursor.x - origin.x, cursor.y - origin.y), window->GetModifierKeys(), 0));
                }
            }
        }
        if (mKineticRunning[axis] && mFlickActive[axis] &&
            Ticks() - static_cast<uint32_t>(mReleaseTick) > 1000u) {
            // A flick coasts for a second, then slows down to a stop.
            const double deceleration = LayoutUtils::Round(mKineticDeceleration * dt);
            double& velocity = mKineticVelocity[axis];
            if (velocity > 0.0 && velocity > deceleration)
                velocity -= deceleration;
            else if (velocity < 0.0 && velocity < -deceleration)
                velocity += deceleration;
            else
                StopKineticScroll(axis);
        }
    }
    ProcessDeferredRemovals();
    OnIdle();
    return S_OK;
}

void LControl::OnIdle() {}

} // namespace KX
