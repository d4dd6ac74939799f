// The drop-down base: a left press opens the part, a left press on the open
// part closes it, and the focus closes it whenever it arrives or leaves.
#include "Controls/DropDownControl.h"

#include "Notification/NotificationIDs.h"

namespace KX {

LDropDownControl::LDropDownControl(const RCPtr<LControl>& parent, const String& name) : LControl(parent, name) {}

LDropDownControl::~LDropDownControl()
{
    mDropDownHandler = nullptr;
}

KXRESULT LDropDownControl::Initialize()
{
    const KXRESULT result = LControl::Initialize();
    mDropDownHandler = new DropDownHandler(this);
    mDropDownHandler->AddHandler(&LDropDownControl::OnOwnMouseDown, RCPtr<LNotificationDistributor>(this),
                                 NID_MOUSE_DOWN);
    return result;
}

int32_t LDropDownControl::FieldStateLook()
{
    if (!IsEnabled(true))
        return kFieldLookDisabled;
    if (IsDropDownShown())
        return mHover ? kFieldLookOpenHovered : kFieldLookOpen;
    const bool focused = mHasFocus || mContainsFocus;
    if (mHover)
        return focused ? kFieldLookHoveredFocused : kFieldLookHovered;
    return focused ? kFieldLookFocused : kFieldLookNormal;
}

KXRESULT LDropDownControl::SetFocus(bool first)
{
    const RCPtr<LControl> self(this);
    const KXRESULT result = LControl::SetFocus(first);
    if (IsDropDownShown()) {
        ShowDropDown(false);
        mWasOpenAtFocus = true;
    } else {
        mWasOpenAtFocus = false;
    }
    return result;
}

KXRESULT LDropDownControl::OnOwnMouseDown(const RCPtr<LNotificationDistributor>&,
                                          const RCPtr<LNotification>& notification)
{
    // Only a left press goes on to the left-pressed condition that clears
    // the flag again; a right or middle press that closed the part must not
    // leave it set for the next left press, which would then not open it.
    const RCPtr<LMouseButtonParam> press =
        RCPtr<LMouseButtonParam>::DynamicCast(notification ? notification->GetData() : RCPtr<LRefCountedObject>());
    const bool leftPress = !press || press->mButton == 1;
    if (leftPress)
        mPressClosed = mWasOpenAtFocus;
    return S_OK;
}

void LDropDownControl::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    if (!param)
        return;
    const bool pressStarted = (param->mNewConditions & kLeftPressed) && !(param->mOldConditions & kLeftPressed);
    if (!pressStarted)
        return;
    const RCPtr<LControl> self(this);
    if (mPressClosed) {
        mPressClosed = false;
        return;
    }
    ShowDropDown(true);
}

KXRESULT LDropDownControl::FocusLost()
{
    const RCPtr<LControl> self(this);
    ShowDropDown(false);
    return LControl::FocusLost();
}

KXRESULT LDropDownControl::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                               const RCPtr<LNotification>& notification)
{
    if (mCreated && mDropDownHandler && mDropDownHandler->Binds(sender, notification)) {
        const RCPtr<DropDownHandler> handler = mDropDownHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LControl::ReceiveNotification(sender, notification);
}

KXRESULT LDropDownControl::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                                  const wchar_t* identifier)
{
    if (mDropDownHandler)
        mDropDownHandler->RemoveHandler(sender, identifier);
    return LControl::UnregisterNotification(sender, identifier);
}

} // namespace KX
