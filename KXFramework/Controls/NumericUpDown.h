// KX::LNumericUpDown ("Framework.NumericUpDown"): a number field with two step
// buttons. The skin gives it a text box "textBox" that shows and edits the
// number and two buttons "buttonUp" and "buttonDown" that step it.
//
// Contract:
// - The number is the control's own value (normalized value, range and
//   mapping of the control base); the text box only shows it, formatted
//   without decimals ("%0.0f"). Until SetValueRange the range is 0 to 0.
// - Typing is limited to digits, and the minus sign while the range's
//   minimum is negative. Pasted text is not filtered, but every text is
//   checked when the text box validates: text that is no number gives the
//   current value back, a number is taken limited to the range (the field
//   then shows it formatted); the control's own listeners may refuse or
//   correct first ("NID_TEXTBOX_VALIDATING" and "NID_TEXTBOX_VALIDATED" are
//   passed on from the text box with the same data).
// - Each button steps by mStep (1) when pressed and again while it is held,
//   with the button's auto-repeat timing; Up and Down in the field press the
//   buttons as a click would. A step at the end of the range changes nothing.
// - Listeners see "NID_VALUE_CHANGE" for every change of the value.
// - A skin without the three parts is not supported (the missing parts are
//   simply not used).
// - User-interface thread only.
#pragma once

#include "Controls/Button.h"
#include "Controls/Panel.h"
#include "Controls/TextBox.h"

namespace KX {

class LNumericUpDown : public LPanel
{
public:
    using UpDownHandler = LNotificationHandler<LNumericUpDown>;

    // The key words of Up and Down without modifiers.
    static constexpr uint32_t kUpKey = 0x20260000;
    static constexpr uint32_t kDownKey = 0x20280000;

    LNumericUpDown(const RCPtr<LControl>& parent, const String& name);

    // ==== Overridden slots ====

    // The value of the text's leading number (0 without one), limited to the
    // range. 0.
    KXRESULT SetText(const String& text) override;
    // The field shows the new value and validates it.
    void OnValueChange() override;
    // E_INVALIDARG for a mapping other than 0 (linear) or 1 (exponential),
    // or an exponential one without a positive range. Otherwise the range is
    // stored (the normalized value stays; no notification), the filter
    // follows the minimum and the field shows the value. 0.
    KXRESULT SetValueRange(double minimum, double maximum, int32_t mapping) override;
    // Up and Down (without modifiers) click the buttons: 0. Other keys as a
    // panel passes them on.
    KXRESULT ProcessHotKey(const RCPtr<LKeyParam>& param) override;
    // The panel's; then the parts, the buttons' auto-repeat, the filter and
    // the bindings to the parts' notifications.
    KXRESULT Initialize() override;
    // The control takes the focus (for its field), the buttons never. 0.
    KXRESULT OnCreated() override;

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== Plain operations ====

    // The value as the field shows it.
    String FormatValue() const;
    // The field's typed-character filter from the range's minimum.
    void UpdateFilter();
    double GetValue() const { return NormalizedToValue(mNormalizedValue); }
    double GetStep() const { return mStep; }
    void SetStep(double step) { mStep = step; }
    const RCPtr<LTextBox>& GetTextBox() const { return mTextBox; }
    const RCPtr<LButton>& GetButtonUp() const { return mButtonUp; }
    const RCPtr<LButton>& GetButtonDown() const { return mButtonDown; }

protected:
    ~LNumericUpDown() override;

private:
    // "NID_BUTTON_AUTOREPEAT" of a button: one step up or down. 1.
    KXRESULT OnStep(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    // The field's validation: the control's listeners first, then the text is
    // checked, limited to the range and normalised. 1.
    KXRESULT OnTextValidating(const RCPtr<LNotificationDistributor>& sender,
                              const RCPtr<LNotification>& notification);
    // Passed on to the control's listeners. 1.
    KXRESULT OnTextValidated(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    // Whether the text cannot be read as a number at all: empty, a lone "-"
    // or ".", a "-" after the start, or more than one ".".
    static bool IsMalformedNumber(const String& text);
    void SetValue(double value);

    RCPtr<UpDownHandler> mUpDownHandler;
    RCPtr<LTextBox> mTextBox;
    RCPtr<LButton> mButtonUp;
    RCPtr<LButton> mButtonDown;
    double mStep = 1.0;
};

} // namespace KX
