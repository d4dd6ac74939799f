// Pointer input: the entry points the root window calls (enter, leave, move,
// press, release, capture start and end), when a click is due, how a press
// captures the pointer and turns into a drag, and how the control under a
// point is found.
#include "ControlBase/Control.h"

#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "ControlBase/LayoutUtils.h"
#include "ControlBase/Look.h"
#include "Notification/NotificationIDs.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace KX {

namespace {

bool IsButton(int32_t button)
{
    return button == 1 || button == 2 || button == 4;
}

int32_t CurrentTick()
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    return application ? static_cast<int32_t>(application->GetTicks()) : 0;
}

} // namespace

// ---- Entry points ----

KXRESULT LControl::MouseEnter()
{
    mHover = true;
    UpdateConditions();
    return S_OK;
}

KXRESULT LControl::MouseLeave()
{
    mHover = false;
    UpdateConditions();
    return S_OK;
}

KXRESULT LControl::MouseMove(const RCPtr<LPointWithModifiersParam>& param)
{
    if (!param)
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    mMoveTick = CurrentTick();
    if (mLeftPressed || mMiddlePressed || mRightPressed) {
        const PointT<long> press(RoundDoubleToInt(mDragOrigin.x - mRect.x), RoundDoubleToInt(mDragOrigin.y - mRect.y));
        const long travel = std::max(std::labs(param->mX - press.x), std::labs(param->mY - press.y));
        // The move at the press point below travels 0: it never starts the
        // drag again, whatever the threshold became meanwhile.
        if (travel > 0 && travel >= mDragThreshold) {
            // Listeners see the pointer at the press point before the drag.
            MouseMove(LPointWithModifiersParam::Create(press, param->mModifiers, 0));
            if (mLeftPressed)
                mLeftDrag = true;
            else if (mMiddlePressed)
                mMiddleDrag = true;
            else if (mRightPressed)
                mRightDrag = true;
            mLeftPressed = mMiddlePressed = mRightPressed = false;
            UpdateConditions();
        }
    }
    OnMouseMove(param);
    SendNotificationWithData(NID_MOUSE_MOVE, param);
    if (mLeftDrag && mDragMode != 0)
        DragTo(param);
    mLastMoveTick = mMoveTick;
    return S_OK;
}

KXRESULT LControl::MouseDown(const RCPtr<LMouseButtonParam>& param)
{
    if (!param || !IsButton(param->mButton))
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    const bool hadCapture = mCapture;
    if (!hadCapture) {
        if (!IsUsable())
            return S_FALSE;
        // Focus follows the press, to this control or the nearest one that
        // may take it.
        if (mFocusDisabled || (mParent && !mFocusScope && mParent->IsFocusDisabled(true))) {
            if (mParent) {
                const RCPtr<LControl> parent = mParent;
                parent->RequestFocus(self);
            }
        } else {
            SetFocus(true);
        }
    }
    switch (param->mButton) {
    case 1:
        OnLeftButtonDown(param);
        break;
    case 2:
        OnMiddleButtonDown(param);
        break;
    default:
        OnRightButtonDown(param);
        break;
    }
    SendNotificationWithData(NID_MOUSE_DOWN, param);
    if (!hadCapture)
        BeginCapture(param->mButton, param->mX, param->mY);
    return S_OK;
}

KXRESULT LControl::MouseUp(const RCPtr<LMouseButtonParam>& param)
{
    if (!param || !IsButton(param->mButton))
        return E_INVALIDARG;
    if (!mCapture && !IsUsable())
        return S_FALSE;
    const RCPtr<LControl> self(this);
    bool pressed = false;
    bool dragged = false;
    switch (param->mButton) {
    case 1:
        OnLeftButtonUp(param);
        pressed = mLeftPressed;
        dragged = mLeftDrag;
        break;
    case 2:
        OnMiddleButtonUp(param);
        pressed = mMiddlePressed;
        dragged = mMiddleDrag;
        break;
    default:
        OnRightButtonUp(param);
        pressed = mRightPressed;
        dragged = mRightDrag;
        break;
    }
    const bool clickDue = (pressed || (dragged && mDragMode == 0)) && mHover;

    // A scroll drag released while the pointer still moved flicks the view.
    if (param->mButton == 1 && mLeftDrag && mDragMode == 6) {
        mReleaseTick = CurrentTick();
        if (static_cast<uint32_t>(mReleaseTick) - static_cast<uint32_t>(mLastMoveTick) < 100u) {
            // {lowest X, lowest Y, highest X, highest Y}: the flick coasts
            // between 0 and the largest offsets.
            const RectT<double> range = GetScrollRange(self);
            for (int32_t axis = 0; axis < 2; ++axis) {
                const bool enabled = axis == 0 ? (mDragFlags == 1 || mDragFlags == 3)
                                               : (mDragFlags == 2 || mDragFlags == 3);
                if (enabled && std::abs(mFlickVelocity[axis]) >= 1000.0) {
                    StartKineticScroll(axis, mFlickVelocity[axis], axis == 0 ? range.width : range.height, 0.0,
                                       RCPtr<LControl>());
                    mFlickActive[axis] = true;
                }
            }
        }
    }

    SendNotificationWithData(NID_MOUSE_UP, param);
    if (mCapture && param->mButtonsDown == 0)
        EndCapture();
    if (clickDue && GetLayout().mEnabled && (!mParent || mParent->IsEnabled(true)))
        Click(param);
    return S_OK;
}

KXRESULT LControl::BeginCapture(int32_t button, int32_t x, int32_t y)
{
    if (!IsUsable() || mCapture)
        return S_FALSE;
    const RCPtr<LRootWindow> window = GetRootWindow();
    if (button != 0) {
        if (!IsButton(button))
            return S_FALSE;
        // A press whose button is up again captures nothing.
        const int32_t held = window ? window->GetMouseButtons() : 0;
        if (!(held & button))
            return S_FALSE;
        mDragOrigin = PointT<double>(x + mRect.x, y + mRect.y);
        mDragDelta = PointT<double>();
    }
    const RCPtr<LControl> self(this);
    for (int32_t axis = 0; axis < 2; ++axis) {
        if (mFlickActive[axis])
            StopKineticScroll(axis);
    }
    mCapture = true;
    mCaptureTick = CurrentTick();
    mLastMoveTick = mCaptureTick;
    mFlickVelocity[0] = mFlickVelocity[1] = 0.0;
    if (window)
        window->SetCaptureControl(self);
    if (button == 1) {
        mLeftPressed = true;
        mDragMode = 0;
    } else if (button == 2) {
        mMiddlePressed = true;
    } else if (button == 4) {
        mRightPressed = true;
    }
    UpdateConditions();
    if (mDragThreshold != 0)
        return S_OK;
    // Without a threshold every capture is a drag at once.
    if (mLeftPressed) {
        mLeftPressed = false;
        mLeftDrag = true;
    } else if (mMiddlePressed) {
        mMiddlePressed = false;
        mMiddleDrag = true;
    } else if (mRightPressed) {
        mRightPressed = false;
        mRightDrag = true;
    }
    UpdateConditions();
    if (mLeftDrag && mDragMode != 0)
        DragTo(LPointWithModifiersParam::Create(PointT<long>(x, y), 0, 0));
    return S_OK;
}

KXRESULT LControl::EndCapture()
{
    if (!mCapture)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    mCapture = false;
    mLeftPressed = mMiddlePressed = mRightPressed = false;
    mLeftDrag = mMiddleDrag = mRightDrag = false;
    KXRESULT result = S_OK;
    if (const RCPtr<LRootWindow> window = GetRootWindow())
        result = window->ReleaseCaptureControl();
    UpdateConditions();
    return result;
}

// ---- Clicks ----

KXRESULT LControl::Click(const RCPtr<LMouseButtonParam>& param)
{
    if (!param)
        return E_INVALIDARG;
    switch (param->mButton) {
    case 1:
        return LeftClick(param);
    case 2:
        return MiddleClick(param);
    case 4:
        return RightClick(param);
    default:
        return E_INVALIDARG;
    }
}

KXRESULT LControl::LeftClick(const RCPtr<LMouseButtonParam>& param)
{
    if (!param)
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    OnLeftClick(param);
    SendNotificationWithData(NID_LEFT_CLICK, param);
    return S_OK;
}

KXRESULT LControl::MiddleClick(const RCPtr<LMouseButtonParam>& param)
{
    if (!param)
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    OnMiddleClick(param);
    SendNotificationWithData(NID_MIDDLE_CLICK, param);
    return S_OK;
}

KXRESULT LControl::RightClick(const RCPtr<LMouseButtonParam>& param)
{
    if (!param)
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    OnRightClick(param);
    SendNotificationWithData(NID_RIGHT_CLICK, param);
    if (mContextMenu)
        ShowContextMenu(mContextMenu);
    return S_OK;
}

void LControl::OnLeftButtonDown(const RCPtr<LMouseButtonParam>&) {}
void LControl::OnLeftButtonUp(const RCPtr<LMouseButtonParam>&) {}
void LControl::OnMiddleButtonDown(const RCPtr<LMouseButtonParam>&) {}
void LControl::OnMiddleButtonUp(const RCPtr<LMouseButtonParam>&) {}
void LControl::OnRightButtonDown(const RCPtr<LMouseButtonParam>&) {}
void LControl::OnRightButtonUp(const RCPtr<LMouseButtonParam>&) {}
void LControl::OnMouseMove(const RCPtr<LPointWithModifiersParam>&) {}
void LControl::OnLeftClick(const RCPtr<LMouseButtonParam>&) {}
void LControl::OnMiddleClick(const RCPtr<LMouseButtonParam>&) {}
void LControl::OnRightClick(const RCPtr<LMouseButtonParam>&) {}

// ---- Settings ----

KXRESULT LControl::SetDragThreshold(int32_t pixels)
{
    if (pixels < 0)
        return E_INVALIDARG;
    mDragThreshold = pixels;
    return S_OK;
}

KXRESULT LControl::SetHoverCursor(HCURSOR cursor)
{
    if (cursor == mHoverCursor)
        return S_FALSE;
    const bool wasActive = mHoverCursor != nullptr;
    mHoverCursor = cursor;
    if (mHover) {
        if (const RCPtr<LRootWindow>& window = GetRootWindow()) {
            const HCURSOR replaced = window->SetCursor(cursor);
            if (!wasActive)
                mSavedCursor = replaced;
        }
    }
    return S_OK;
}

// ---- Hit testing ----

int32_t LControl::GetDepth() const
{
    // The largest Z_Order along the chain among the controls that draw
    // outside their parents.
    int32_t depth = kNoDepth;
    for (const LControl* control = this; control; control = control->mParent.Get()) {
        const LLayoutDescriptor& layout = control->GetLayout();
        if (!layout.mClipToParent)
            depth = std::max(depth, layout.mZOrder);
    }
    return depth;
}

bool LControl::ContainsPoint(const PointT<long>& point)
{
    const double x = static_cast<double>(point.x) + LayoutUtils::Round(mRect.x);
    const double y = static_cast<double>(point.y) + LayoutUtils::Round(mRect.y);
    return x >= mRect.x && x < mRect.x + mRect.width && y >= mRect.y && y < mRect.y + mRect.height;
}

uint32_t LControl::GetColorAtPoint(const PointT<long>& point, int32_t lookIndex)
{
    if (lookIndex < 0 || lookIndex >= mLooks.GetCount() || !mLooks.GetAt(lookIndex))
        return 0x00FFFFFF;
    return mLooks.GetAt(lookIndex)->GetColorAtPoint(point);
}

bool LControl::IsTransparentAt(const PointT<long>& point)
{
    for (int32_t i = 0; i < mLooks.GetCount(); ++i) {
        if (!(GetLookWeight(i) > 0.0f))
            continue;
        if ((GetColorAtPoint(point, i) >> 24) != 0)
            return false;
    }
    return true;
}

RCPtr<LControl> LControl::FindControlAtPoint(const PointT<long>& point, bool inside, PointT<long>& localPoint,
                                             int32_t& bestDepth)
{
    localPoint = PointT<long>(kNoPoint, kNoPoint);
    if (!GetLayout().mIsVisible || !(mRect.width > 0.0) || !(mRect.height > 0.0))
        return RCPtr<LControl>();
    const bool here = ContainsPoint(point);
    if (!here && mUnclippedDescendantCount == 0)
        return RCPtr<LControl>();

    const int32_t ownDepth = GetDepth();
    RCPtr<LControl> best;
    int32_t bestFoundDepth = kNoDepth;
    const int32_t count = mChildren.GetCount();
    if (count > 0) {
        // Once per shown look, in its client area (an empty look entry has
        // the whole area). A control made without any look, by code rather
        // than from a skin, shows its children all the same: they are
        // searched once, in the whole area.
        const int32_t lookCount = mLooks.GetCount();
        for (int32_t look = 0; look < std::max<int32_t>(lookCount, 1); ++look) {
            if (lookCount > 0 && !(GetLookWeight(look) > 0.0f))
                continue;
            const RectT<long> client = GetLookClientRect(lookCount > 0 ? look : -1);
            const bool inClient = point.x >= client.x && point.x < client.x + client.width && point.y >= client.y &&
                                  point.y < client.y + client.height;
            const PointT<long> base(point.x + RoundDoubleToInt(mScrollOffset.x) - client.x,
                                    point.y + RoundDoubleToInt(mScrollOffset.y) - client.y);
            for (int32_t i = count - 1; i >= 0; --i) {
                const RCPtr<LControl> child = mChildren.GetAt(i, kDrawOrder);
                const LLayoutDescriptor& layout = child->GetLayout();
                const bool unclipped = !layout.mClipToParent || child->mUnclippedDescendantCount > 0;
                const bool dockedBoth = layout.mXIsDocked && layout.mYIsDocked;
                const bool candidate =
                    !best && ((here && inside && (inClient || dockedBoth)) || ownDepth != kNoDepth);
                if (!candidate && !unclipped)
                    continue;
                const PointT<long> childPoint(base.x - RoundDoubleToInt(child->mRect.x),
                                              base.y - RoundDoubleToInt(child->mRect.y));
                PointT<long> childLocal;
                int32_t depth = bestDepth;
                RCPtr<LControl> found = child->FindControlAtPoint(childPoint, inside && here, childLocal, depth);
                if (!found)
                    continue;
                const int32_t foundDepth = found->GetDepth();
                if (best && bestFoundDepth >= foundDepth)
                    continue;
                best = found;
                bestFoundDepth = foundDepth;
                localPoint = childLocal;
            }
        }
    }
    if (best) {
        bestDepth = bestFoundDepth;
        return best;
    }

    bool clippedOut = false;
    if (mParent && GetLayout().mClipToParent && !(GetLayout().mXIsDocked && GetLayout().mYIsDocked)) {
        const RectT<long> parentClient = mParent->GetLookClientRect(-1);
        const PointT<double> inParent = GetPositionInParentClient();
        const double px = point.x + inParent.x;
        const double py = point.y + inParent.y;
        clippedOut = px < parentClient.x || py < parentClient.y || px >= parentClient.x + parentClient.width ||
                     py >= parentClient.y + parentClient.height;
    }
    if (!mHitTestExcluded && here && !clippedOut && !IsTransparentAt(point) &&
        ((ownDepth == kNoDepth && inside) || ownDepth > bestDepth)) {
        localPoint = point;
        bestDepth = ownDepth;
        return RCPtr<LControl>(this);
    }
    return RCPtr<LControl>();
}

} // namespace KX
