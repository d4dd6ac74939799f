// KX::LButton: the framework's push button, check button and radio button
// ("Framework.Button").
//
// Contract:
// - Looks: one of fourteen, chosen from the conditions and the value
//   (checked = value >= 0.5): normal 0, hover 1, pressed 2, the same three
//   with the focus 3, 4, 5, disabled 6; checked adds 7 (7 to 13).
// - A click toggles the value when AUTO_VALUE_SET is set (a radio button only
//   ever checks itself); checking a radio button unchecks its radio siblings.
// - Auto-repeat (set by an owning control): "NID_BUTTON_AUTOREPEAT" at the
//   press, again after the first-repeat delay and then every repeat period
//   while the pointer stays over the held button. Time spent off the button
//   does not count, so coming back does not burst.
// - A simulated click (Enter, or "NID_SIMULATE_CLICK" to an enabled button)
//   shows the pressed look for the click-hold time and then clicks, provided
//   the button is still enabled and visible then. A second one while the
//   first is pending finishes the first at once.
// - The button holds exactly one idle request while it repeats or a
//   simulated click is pending, and none otherwise, whatever the mix.
// - A caption that does not fit is offered whole as the tool tip.
// - User-interface thread only; times from the application clock.
#pragma once

#include "ControlBase/Control.h"
#include "Notification/NotificationHandler.h"

#include <cstdint>

namespace KX {

class LButton : public LControl
{
public:
    using ButtonHandler = LNotificationHandler<LButton>;

    // Look indices of an unchecked button; a checked one adds kCheckedOffset.
    static constexpr int32_t kLookNormal = 0;
    static constexpr int32_t kLookHover = 1;
    static constexpr int32_t kLookPressed = 2;
    static constexpr int32_t kFocusOffset = 3;
    static constexpr int32_t kLookDisabled = 6;
    static constexpr int32_t kCheckedOffset = 7;

    // The key word of Enter pressed without modifiers.
    static constexpr uint32_t kEnterKey = 0x200D0000;

    LButton(const RCPtr<LControl>& parent, const String& name);

    // ==== Overridden slots ====

    // Unchecks the radio siblings when a radio button became checked; then
    // the look follows.
    void OnValueChange() override;
    // Auto-repeat start and end, then the look.
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
    KXRESULT SetEnabled(bool enabled) override;
    void OnLeftClick(const RCPtr<LMouseButtonParam>& param) override;
    // Never hit while it ignores the pointer.
    bool ContainsPoint(const PointT<long>& point) override;
    // Enter (no modifiers) starts a simulated click: 0; other keys 1.
    KXRESULT OnKey(const RCPtr<LKeyParam>& param) override;
    // Finishes a due simulated click; sends the repeats that are due.
    void OnIdle() override;
    // The base's, then the "NID_SIMULATE_CLICK" binding and the create
    // parameters "AUTO_VALUE_SET" and "IS_RADIO". A failed binding throws the
    // failed-result exception.
    KXRESULT Initialize() override;
    // The whole caption while it is cut off, else the "TOOLTIP" text.
    String GetToolTipText() override;

    // ==== Appended slots ====

    virtual KXRESULT SetAutoValueSet(bool autoValueSet);
    virtual KXRESULT SetIsRadio(bool isRadio);
    // Sets the value to 1 or 0; whether the button is checked now.
    virtual bool SetChecked(bool checked);
    // Selects the look for the current conditions and value.
    virtual KXRESULT UpdateLook();

    // ==== Notifications ====

    // The button's own table first; what it does not bind, the base's.
    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== Plain operations ====

    // Shows the pressed look now and clicks after the click-hold time.
    KXRESULT SimulateClick();
    bool IsChecked() const { return mNormalizedValue >= 0.5; }

    // Set directly by the controls that own such buttons.
    void SetAutoRepeat(bool autoRepeat) { mAutoRepeat = autoRepeat; }
    void SetIgnoresPointer(bool ignores) { mIgnoresPointer = ignores; }
    void SetPressedWhileCaptured(bool pressed) { mPressedWhileCaptured = pressed; }

    bool GetAutoValueSet() const { return mAutoValueSet; }
    bool GetIsRadio() const { return mIsRadio; }
    bool GetAutoRepeat() const { return mAutoRepeat; }
    bool IgnoresPointer() const { return mIgnoresPointer; }
    bool IsRepeating() const { return mRepeating; }
    bool IsClickPending() const { return mClickPending; }

protected:
    ~LButton() override;

private:
    // "NID_SIMULATE_CLICK": a simulated click when the button and its
    // ancestors are enabled. 1.
    KXRESULT OnSimulateClick(const RCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification);
    // The end of a simulated click: the repeat notification of an
    // auto-repeat button and the click, only while the button is still
    // enabled and visible along its chain.
    void CompleteClick();
    // Takes or gives back the one idle request that repeating and a pending
    // simulated click share.
    void UpdateIdleRequest();
    void SendRepeat();

    RCPtr<ButtonHandler> mButtonHandler;
    bool mAutoValueSet = false;
    bool mIsRadio = false;
    bool mAutoRepeat = false;
    bool mIgnoresPointer = false;
    bool mRepeating = false;
    bool mPressedWhileCaptured = false;
    double mRepeatPeriod = 0.1;
    double mFirstRepeatDelay = 0.3;
    double mLastRepeatTick = 0.0;
    double mTimeToNextRepeat = 0.0;
    double mClickHold = 0.15;
    double mClickStart = 0.0;
    bool mClickPending = false;
    // Whether the shared idle request is held now.
    bool mHoldsIdleRequest = false;
};

} // namespace KX
