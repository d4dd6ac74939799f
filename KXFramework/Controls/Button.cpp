// The button: its look among fourteen, value toggling and radio groups,
// auto-repeat driven by the idle pass, and the simulated click of Enter and
// "NID_SIMULATE_CLICK".
#include "Controls/Button.h"

#include "Application/RootWindow.h"
#include "Controls/ControlClock.h"
#include "Notification/NotificationIDs.h"
#include "ObjectBase/Exception.h"

#include <stdexcept>

namespace KX {

namespace {

// A boolean create parameter: its text in lower case is "true".
bool ReadFlagParam(const ConstRCPtr<LStringTable>& params, const wchar_t* name, bool& value)
{
    StringT<wchar_t, char> text;
    if (!params || !params->GetString(name, text))
        return false;
    value = text.ToLower() == L"true";
    return true;
}

} // namespace

LButton::LButton(const RCPtr<LControl>& parent, const String& name) : LControl(parent, name) {}

LButton::~LButton() = default;

// ---- Creation ----

KXRESULT LButton::Initialize()
{
    const KXRESULT result = LControl::Initialize();
    if (result < 0)
        return result;
    mButtonHandler = new ButtonHandler(this);
    KX_THROW_IF_FAILED(mButtonHandler->AddDirectHandler(&LButton::OnSimulateClick, NID_SIMULATE_CLICK),
                       "KX::LButton::Initialize", "Controls\\Button", 50);
    try {
        const ConstRCPtr<LStringTable> params =
            mDescriptor ? mDescriptor->GetCreateParams() : ConstRCPtr<LStringTable>();
        bool flag = false;
        if (ReadFlagParam(params, L"AUTO_VALUE_SET", flag))
            SetAutoValueSet(flag);
        if (ReadFlagParam(params, L"IS_RADIO", flag))
            SetIsRadio(flag);
    } catch (const std::runtime_error&) {
        // A create parameter that cannot be read leaves its flag as it was.
    }
    return S_OK;
}

KXRESULT LButton::SetAutoValueSet(bool autoValueSet)
{
    mAutoValueSet = autoValueSet;
    return S_OK;
}

KXRESULT LButton::SetIsRadio(bool isRadio)
{
    mIsRadio = isRadio;
    return S_OK;
}

bool LButton::SetChecked(bool checked)
{
    SetNormalizedValue(checked ? 1.0 : 0.0);
    return IsChecked();
}

// ---- Value and look ----

void LButton::OnLeftClick(const RCPtr<LMouseButtonParam>&)
{
    if (!mAutoValueSet)
        return;
    // A radio button never unchecks itself by a click.
    SetNormalizedValue(IsChecked() && !mIsRadio ? 0.0 : 1.0);
}

void LButton::OnValueChange()
{
    const RCPtr<LControl> self(this);
    if (mIsRadio && IsChecked() && mParent) {
        const RCPtrArray<LControl> siblings = mParent->GetChildren().Snapshot();
        for (int32_t i = siblings.GetCount() - 1; i >= 0; --i) {
            const RCPtr<LButton> sibling = RCPtr<LButton>::DynamicCast(siblings.GetAt(i));
            if (sibling && sibling.Get() != this && sibling->mIsRadio && sibling->mParent.Get() == mParent.Get())
                sibling->SetNormalizedValue(0.0);
        }
    }
    UpdateLook();
}

KXRESULT LButton::SetEnabled(bool enabled)
{
    const KXRESULT result = LControl::SetEnabled(enabled);
    UpdateLook();
    return result;
}

KXRESULT LButton::UpdateLook()
{
    if (mIgnoresPointer || mClickPending)
        return S_FALSE;
    const int32_t checkedOffset = IsChecked() ? kCheckedOffset : 0;
    if (!IsEnabled(true))
        return SelectLook(kLookDisabled + checkedOffset, true);
    int32_t index = kLookNormal;
    if (IsHeld())
        index = mHover || mPressedWhileCaptured ? kLookPressed : kLookHover;
    else if (mHover && !mCapture)
        index = kLookHover;
    if (mHasFocus)
        index += kFocusOffset;
    return SelectLook(index + checkedOffset, true);
}

bool LButton::ContainsPoint(const PointT<long>& point)
{
    return !mIgnoresPointer && LControl::ContainsPoint(point);
}

StringT<wchar_t, char> LButton::GetToolTipText()
{
    return IsTextTruncated() ? mText : LControl::GetToolTipText();
}

// ---- Auto-repeat ----

void LButton::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    const RCPtr<LControl> self(this);
    const uint32_t oldWord = param ? param->mOldConditions : 0;
    const uint32_t newWord = param ? param->mNewConditions : 0;
    const auto becameSet = [&](uint32_t bit) { return !(oldWord & bit) && (newWord & bit); };
    const auto becameClear = [&](uint32_t bit) { return (oldWord & bit) && !(newWord & bit); };

    // The three steps are checked one by one rather than as alternatives, so
    // that a change that sets the hover and ends the capture at once still
    // stops the repeat.
    if (mAutoRepeat && becameSet(kHover))
        mLastRepeatTick = ApplicationSeconds(); // time spent off the button does not count
    if (becameSet(kLeftPressed) && mAutoRepeat && IsEnabled(true) && !mRepeating) {
        mRepeating = true;
        UpdateIdleRequest();
        mLastRepeatTick = ApplicationSeconds();
        mTimeToNextRepeat = mFirstRepeatDelay;
        SendRepeat();
    }
    if (becameClear(kCapture) && mAutoRepeat && mRepeating) {
        mRepeating = false;
        UpdateIdleRequest();
    }
    UpdateLook();
}

void LButton::OnIdle()
{
    const RCPtr<LControl> self(this);
    const double now = ApplicationSeconds();
    if (mClickPending && now - mClickStart >= mClickHold) {
        mClickPending = false;
        UpdateIdleRequest();
        mClickStart = 0.0;
        UpdateLook();
        CompleteClick();
    }
    if (mRepeating && mHover && IsEnabled(true)) {
        const double elapsed = now - mLastRepeatTick;
        mLastRepeatTick = now;
        mTimeToNextRepeat -= elapsed;
        if (mTimeToNextRepeat <= 0.0) {
            mTimeToNextRepeat = mRepeatPeriod;
            SendRepeat();
        }
    }
}

void LButton::SendRepeat()
{
    SendNotificationWithData(NID_BUTTON_AUTOREPEAT);
}

void LButton::UpdateIdleRequest()
{
    const bool wanted = mRepeating || mClickPending;
    if (wanted == mHoldsIdleRequest)
        return;
    mHoldsIdleRequest = wanted;
    if (wanted)
        AddIdleRequest();
    else
        ReleaseIdle();
}

// ---- Simulated click ----

KXRESULT LButton::OnKey(const RCPtr<LKeyParam>& param)
{
    if (!param || param->mKey.GetCode() != kEnterKey)
        return S_FALSE;
    SimulateClick();
    return S_OK;
}

KXRESULT LButton::OnSimulateClick(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    if (IsEnabled(true))
        SimulateClick();
    return S_FALSE;
}

KXRESULT LButton::SimulateClick()
{
    const RCPtr<LControl> self(this);
    if (mClickPending) {
        // The earlier click is finished at once: two quick Enters, two clicks.
        mClickPending = false;
        CompleteClick();
    }
    mClickPending = true;
    SetFocus(true);
    UpdateIdleRequest();
    mClickStart = ApplicationSeconds();
    SelectLook(kLookPressed + (IsChecked() ? kCheckedOffset : 0), true);
    InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
    return S_OK;
}

void LButton::CompleteClick()
{
    // The button may have been disabled or hidden while its pressed look
    // showed: then the click does not happen.
    if (!IsEnabled(true) || !IsVisible(true))
        return;
    if (mAutoRepeat)
        SendRepeat();
    const RCPtr<LRootWindow>& window = GetRootWindow();
    const int32_t buttons = window ? window->GetMouseButtons() : 0;
    LeftClick(LMouseButtonParam::Create(1, PointT<long>(0, 0), 0, 0, buttons, 0));
}

// ---- Notifications ----

KXRESULT LButton::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                      const RCPtr<LNotification>& notification)
{
    if (mCreated && mButtonHandler && mButtonHandler->Binds(sender, notification)) {
        const RCPtr<ButtonHandler> handler = mButtonHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LControl::ReceiveNotification(sender, notification);
}

KXRESULT LButton::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender, const wchar_t* identifier)
{
    if (mButtonHandler)
        mButtonHandler->RemoveHandler(sender, identifier);
    return LControl::UnregisterNotification(sender, identifier);
}

} // namespace KX
