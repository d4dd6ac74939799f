// The numeric up-down: its parts, the value shown in the field, the steps of
// the buttons and the arrow keys, and the check of typed text.
#include "Controls/NumericUpDown.h"

#include "Notification/Notification.h"
#include "Notification/NotificationIDs.h"
#include "ObjectBase/Exception.h"

namespace KX {

namespace {

const wchar_t* const kDigits = L"0123456789";

} // namespace

LNumericUpDown::LNumericUpDown(const RCPtr<LControl>& parent, const String& name) : LPanel(parent, name) {}

LNumericUpDown::~LNumericUpDown() = default;

// ---- Creation ----

KXRESULT LNumericUpDown::Initialize()
{
    const KXRESULT result = LPanel::Initialize();
    if (result < 0)
        return result;
    mTextBox = RCPtr<LTextBox>::DynamicCast(FindChild(String(L"textBox")));
    mButtonUp = RCPtr<LButton>::DynamicCast(FindChild(String(L"buttonUp")));
    mButtonDown = RCPtr<LButton>::DynamicCast(FindChild(String(L"buttonDown")));
    // A press steps at once and again while the button is held.
    for (const RCPtr<LButton>& button : {mButtonUp, mButtonDown}) {
        if (button)
            button->SetAutoRepeat(true);
    }
    UpdateFilter();

    mUpDownHandler = new UpDownHandler(this);
    if (mTextBox) {
        const RCPtr<LNotificationDistributor> field(mTextBox.Get());
        KX_THROW_IF_FAILED(mUpDownHandler->AddHandler(&LNumericUpDown::OnTextValidating, field,
                                                      NID_TEXTBOX_VALIDATING),
                           "KX::LNumericUpDown::Initialize", "Controls\\NumericUpDown", 60);
        KX_THROW_IF_FAILED(mUpDownHandler->AddHandler(&LNumericUpDown::OnTextValidated, field, NID_TEXTBOX_VALIDATED),
                           "KX::LNumericUpDown::Initialize", "Controls\\NumericUpDown", 62);
    }
    for (const RCPtr<LButton>& button : {mButtonUp, mButtonDown}) {
        if (button) {
            KX_THROW_IF_FAILED(mUpDownHandler->AddHandler(&LNumericUpDown::OnStep,
                                                          RCPtr<LNotificationDistributor>(button.Get()),
                                                          NID_BUTTON_AUTOREPEAT),
                               "KX::LNumericUpDown::Initialize", "Controls\\NumericUpDown", 67);
        }
    }
    return S_OK;
}

KXRESULT LNumericUpDown::OnCreated()
{
    LPanel::OnCreated();
    SetFocusDisabled(false);
    for (const RCPtr<LButton>& button : {mButtonUp, mButtonDown}) {
        if (button)
            button->SetFocusDisabled(true);
    }
    return S_OK;
}

void LNumericUpDown::UpdateFilter()
{
    if (!mTextBox)
        return;
    String characters(kDigits);
    if (mValueMin < 0.0)
        characters.Append(L'-');
    mTextBox->SetFilter(characters, true);
}

// ---- The value ----

StringT<wchar_t, char> LNumericUpDown::FormatValue() const
{
    return String::CreateFormatted(L"%0.0f", GetValue());
}

void LNumericUpDown::SetValue(double value)
{
    SetNormalizedValue(ValueToNormalized(value));
}

KXRESULT LNumericUpDown::SetText(const String& text)
{
    SetValue(text.AsDouble()); // as _wtof: the leading number, 0 without one
    return S_OK;
}

void LNumericUpDown::OnValueChange()
{
    if (!mTextBox)
        return;
    const RCPtr<LControl> self(this);
    const RCPtr<LTextBox> field = mTextBox;
    field->SetText(FormatValue());
    field->AcceptsInput();
}

KXRESULT LNumericUpDown::SetValueRange(double minimum, double maximum, int32_t mapping)
{
    const KXRESULT result = LPanel::SetValueRange(minimum, maximum, mapping);
    if (result < 0)
        return result;
    UpdateFilter();
    if (mTextBox) {
        const RCPtr<LTextBox> field = mTextBox;
        field->SetText(FormatValue());
    }
    return S_OK;
}

// ---- Steps ----

KXRESULT LNumericUpDown::OnStep(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&)
{
    const RCPtr<LControl> self(this);
    if (mButtonUp && sender.Get() == static_cast<LNotificationDistributor*>(mButtonUp.Get()))
        SetValue(GetValue() + mStep);
    else if (mButtonDown && sender.Get() == static_cast<LNotificationDistributor*>(mButtonDown.Get()))
        SetValue(GetValue() - mStep);
    return S_FALSE;
}

KXRESULT LNumericUpDown::ProcessHotKey(const RCPtr<LKeyParam>& param)
{
    if (param) {
        const uint32_t keyWord = param->mKey.GetCode();
        const RCPtr<LButton>& button = keyWord == kUpKey ? mButtonUp : keyWord == kDownKey ? mButtonDown : RCPtr<LButton>::sNull;
        if (button) {
            // The button is pressed as a click would press it; the key is used.
            DeliverNotification(RCPtr<LNotificationReceiver>(button.Get()), NID_SIMULATE_CLICK);
            return S_OK;
        }
    }
    return LPanel::ProcessHotKey(param);
}

// ---- Validation of the field ----

bool LNumericUpDown::IsMalformedNumber(const String& text)
{
    const int32_t length = text.GetLength();
    if (length == 0 || text == L"-" || text == L".")
        return true;
    int32_t points = 0;
    for (int32_t i = 0; i < length; ++i) {
        const wchar_t character = text.GetAt(i);
        if (character == L'-' && i > 0)
            return true;
        if (character == L'.')
            ++points;
    }
    return points > 1;
}

KXRESULT LNumericUpDown::OnTextValidating(const RCPtr<LNotificationDistributor>&,
                                          const RCPtr<LNotification>& notification)
{
    const RCPtr<LTextValidationParams> params =
        notification ? RCPtr<LTextValidationParams>::DynamicCast(notification->GetData())
                     : RCPtr<LTextValidationParams>();
    if (!params)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    // The control's own listeners may refuse or correct first.
    SendNotificationWithData(NID_TEXTBOX_VALIDATING, RCPtr<LRefCountedObject>(params.Get()));
    if (!params->mIsValid)
        return S_FALSE;

    const double current = GetValue();
    double value = current;
    if (IsMalformedNumber(params->mProposedText)) {
        params->mProposedText = FormatValue();
        params->mIsValid = true;
    } else {
        value = params->mProposedText.AsDouble();
    }
    if (value < mValueMin)
        value = mValueMin;
    if (value > mValueMax)
        value = mValueMax;

    if (value != current) {
        SetValue(value); // the field follows through OnValueChange
        params->mProposedText = FormatValue();
        params->mIsValid = true;
    } else if (current == mValueMin || current == mValueMax || value == 0.0) {
        params->mProposedText = FormatValue();
        params->mIsValid = true;
    }
    return S_FALSE;
}

KXRESULT LNumericUpDown::OnTextValidated(const RCPtr<LNotificationDistributor>&,
                                         const RCPtr<LNotification>& notification)
{
    if (notification)
        SendNotificationWithData(NID_TEXTBOX_VALIDATED, notification->GetData());
    return S_FALSE;
}

// ---- Notifications ----

KXRESULT LNumericUpDown::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                             const RCPtr<LNotification>& notification)
{
    if (mCreated && mUpDownHandler && mUpDownHandler->Binds(sender, notification)) {
        const RCPtr<UpDownHandler> handler = mUpDownHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LPanel::ReceiveNotification(sender, notification);
}

KXRESULT LNumericUpDown::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                                const wchar_t* identifier)
{
    if (mUpDownHandler)
        mUpDownHandler->RemoveHandler(sender, identifier);
    return LPanel::UnregisterNotification(sender, identifier);
}

} // namespace KX
