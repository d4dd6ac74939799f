// The condition word: a control's interaction state in one unsigned value,
// and the fixed sequence that runs when it changes (hover cursor, drag start
// and end, the hook, the notifications, the hover under the pointer, the
// subtree's enabled and visible bits). Also where received notifications
// enter the control.
#include "ControlBase/Control.h"

#include "Application/RootWindow.h"
#include "Notification/NotificationIDs.h"

namespace KX {

namespace {

// The notifications of single bits, in the order they are sent.
struct ConditionNotification
{
    uint32_t mask;
    const wchar_t* identifier;
};

const ConditionNotification kConditionNotifications[] = {
    {LControl::kHasFocus, NID_HAS_FOCUS_CONDITION_CHANGE},
    {LControl::kContainsFocus, NID_CONTAINS_FOCUS_CONDITION_CHANGE},
    {LControl::kHoverOrOverride, NID_HOVER_CONDITION_CHANGE},
    {LControl::kCapture, NID_CAPTURE_CONDITION_CHANGE},
    {LControl::kLeftPressed | LControl::kLeftDrag, NID_LEFT_DRAG_CONDITION_CHANGE},
    {LControl::kMiddlePressed | LControl::kMiddleDrag, NID_MIDDLE_DRAG_CONDITION_CHANGE},
    {LControl::kRightPressed | LControl::kRightDrag, NID_RIGHT_DRAG_CONDITION_CHANGE},
    {LControl::kEnabled, NID_ENABLED_CONDITION_CHANGE},
    {LControl::kVisible, NID_VISIBLITY_CONDITION_CHANGE},
};

} // namespace

uint32_t LControl::ComputeConditions() const
{
    uint32_t word = 0;
    if (mHasFocus)
        word |= kHasFocus;
    if (mContainsFocus)
        word |= kContainsFocus;
    if (mHover)
        word |= kHover;
    if (mHover || mHoverOverride)
        word |= kHoverOrOverride;
    if (mCapture)
        word |= kCapture;
    if (mLeftPressed)
        word |= kLeftPressed;
    if (mMiddlePressed)
        word |= kMiddlePressed;
    if (mRightPressed)
        word |= kRightPressed;
    if (mLeftDrag)
        word |= kLeftDrag;
    if (mMiddleDrag)
        word |= kMiddleDrag;
    if (mRightDrag)
        word |= kRightDrag;
    if (GetLayout().mEnabled && (!mParent || mParent->IsEnabled(true)))
        word |= kEnabled;
    if (IsVisible(true))
        word |= kVisible;
    return word;
}

uint32_t LControl::GetConditions() const
{
    return mConditionsParam ? mConditionsParam->mNewConditions : 0;
}

void LControl::UpdateConditions()
{
    const uint32_t newWord = ComputeConditions();
    if (!mConditionsParam || newWord == mConditionsParam->mNewConditions)
        return;
    // The sequence decides from these copies: a listener that changes the
    // conditions meanwhile runs a sequence of its own on the shared param.
    const uint32_t oldWord = mConditionsParam->mNewConditions;
    const uint32_t changed = oldWord ^ newWord;
    const RCPtr<LControl> self(this);
    const RCPtr<LConditionsParam> param = mConditionsParam;
    param->mOldConditions = oldWord;
    param->mNewConditions = newWord;
    param->mPoint = mDragOrigin;

    if (mHoverCursor) {
        const RCPtr<LRootWindow>& window = GetRootWindow();
        const bool hoverSet = (changed & kHover) && (newWord & kHover);
        const bool hoverCleared = (changed & kHover) && !(newWord & kHover);
        const bool captureCleared = (changed & kCapture) && !(newWord & kCapture);
        if (window && hoverSet && !mCapture)
            mSavedCursor = window->SetCursor(mHoverCursor);
        else if (window && ((hoverCleared && !mCapture) || (captureCleared && !mHover)))
            window->SetCursor(mSavedCursor);
    }

    if (mDragMode != 0 && (oldWord & kLeftDrag) && !(newWord & kLeftDrag))
        EndDrag();

    OnConditionsChanged(param);
    SendNotificationWithData(NID_CONDITION_CHANGE, param);
    for (const ConditionNotification& entry : kConditionNotifications) {
        if (changed & entry.mask)
            SendNotificationWithData(entry.identifier, param);
    }

    if (mDragMode != 0 && !(oldWord & kLeftDrag) && (newWord & kLeftDrag))
        BeginDrag();

    // The hover moves to whatever is under the pointer now.
    const bool hidden = mHover && (changed & kVisible) && !IsVisible(true) && !mCapture;
    const bool captureEnded = (changed & kCapture) && !(newWord & kCapture) && !mHover;
    if (hidden || captureEnded) {
        if (const RCPtr<LRootWindow> window = GetRootWindow()) {
            PointT<long> cursor;
            window->GetCursorPosition(cursor);
            RCPtr<LControl> hit;
            PointT<long> local;
            window->GetControlAtPoint(hit, cursor, local, true);
        }
    }

    if (changed & (kEnabled | kVisible)) {
        const RCPtrArray<LControl> children = mChildren.Snapshot();
        for (int32_t i = children.GetCount() - 1; i >= 0; --i) {
            const RCPtr<LControl>& child = children.GetAt(i);
            if (child->mParent.Get() == this)
                child->UpdateConditions();
        }
    }
}

void LControl::SetHoverOverride(bool hoverOverride)
{
    if (hoverOverride == mHoverOverride)
        return;
    mHoverOverride = hoverOverride;
    UpdateConditions();
}

void LControl::OnConditionsChanged(const RCPtr<LConditionsParam>&) {}

// ---- Received notifications ----

KXRESULT LControl::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                       const RCPtr<LNotification>& notification)
{
    if (!mHandler || !mCreated)
        return S_OK;
    const RCPtr<Handler> handler = mHandler;
    return handler->HandleNotification(sender, notification);
}

KXRESULT LControl::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender, const wchar_t* identifier)
{
    if (mHandler)
        mHandler->RemoveHandler(sender, identifier);
    return LNotificationClient::Unregister(sender, identifier);
}

} // namespace KX
