// KX::LScrollbar: the framework's scroll bar ("Framework.ScrollBar"). It is
// built from named children of its skin: the arrow buttons "dec" and "inc",
// the channel "channel" (a panel) and, inside the channel, the button "thumb".
//
// Contract:
// - The value is the control base's normalized value (0 to 1); its range is
//   0..100, linear, until an owner sets another one. The arrows step it by
//   the step, a press on the channel beside the thumb pages it by the page
//   and repeats while held (the first repeat after 0.4 s, then every 0.2 s,
//   measured with the application clock in idle passes), dragging the thumb
//   sets it, and the navigation keys of the bar's parent's children move it.
// - The thumb is `thumb fraction` of the channel long, never shorter than
//   the thumb was created from the skin, and placed by the value.
// - Values set while the user drags the thumb do not move it; the last of
//   them is applied when the drag ends.
// - A missing or differently typed part disables what it serves, without an
//   error: without channel or thumb the bar has no geometry, without arrows
//   it has no arrow steps. The bar works with any subset of its parts.
// - The scroll view (KX::LScrollView) owns its bars "hBar" and "vBar" and
//   sets their range, thumb fraction, page and step.
// - User-interface thread only.
#pragma once

#include "ControlBase/Control.h"

namespace KX {

class LScrollbar : public LControl
{
public:
    using Handler = LNotificationHandler<LScrollbar>;

    // Navigation keys the bar handles (SetKeyFlags).
    static constexpr uint8_t kKeyUp = 0x01;       // vertical bars
    static constexpr uint8_t kKeyDown = 0x02;     // vertical bars
    static constexpr uint8_t kKeyLeft = 0x04;     // horizontal bars
    static constexpr uint8_t kKeyRight = 0x08;    // horizontal bars
    static constexpr uint8_t kKeyPageUp = 0x10;   // vertical bars
    static constexpr uint8_t kKeyPageDown = 0x20; // vertical bars
    static constexpr uint8_t kKeyHome = 0x40;
    static constexpr uint8_t kKeyEnd = 0x80;

    // Paging states.
    static constexpr int32_t kPageNone = 0;
    static constexpr int32_t kPageBack = 1;
    static constexpr int32_t kPageForward = 2;

    LScrollbar(const RCPtr<LControl>& parent, const String& name);

    // ==== Overrides, in slot order ====

    // While the thumb is dragged only remembers the value; otherwise clamps
    // it to 0..1, sets it (sending "NID_VALUE_CHANGE") and places the thumb.
    // The value the bar holds.
    double SetNormalizedValue(double value) override;
    // Linear, or exponential with positive limits (else E_INVALIDARG and the
    // range stays). Either way the value the bar showed in range units is
    // set again in the (new) range and the thumb placed.
    KXRESULT SetValueRange(double minimum, double maximum, int32_t mapping) override;
    // Measures the channel again and sizes and places the thumb.
    KXRESULT EndBackBufferResize() override;
    // Page repetition while the channel is held beside the thumb.
    void OnIdle() override;
    KXRESULT Initialize() override;
    // The bar and its parts take no focus; the thumb's created length becomes
    // its shortest length.
    KXRESULT OnCreated() override;

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== The bar's own operations ====

    // The navigation keys handled (kKey... bits). The first non-zero mask
    // binds the parent's sibling keys and the same keys delivered to the bar
    // itself. 0, or E_INVALIDARG for a mask wider than 8 bits.
    KXRESULT SetKeyFlags(uint32_t mask);
    uint8_t GetKeyFlags() const { return mKeyFlags; }

    // The thumb's length as a fraction of the channel (sizes the thumb again).
    void SetThumbFraction(double fraction);
    double GetThumbFraction() const { return mThumbFraction; }
    // The channel and page-key step, and the arrow and arrow-key step, in
    // value units (0..1).
    void SetPage(double page) { mPage = page; }
    double GetPage() const { return mPage; }
    void SetStep(double step) { mStep = step; }
    double GetStep() const { return mStep; }

    bool IsVertical() const { return mVertical != 0; }
    double GetThumbLength() const { return mThumbLength; }
    double GetMinThumbLength() const { return mMinThumbLength; }
    // The thumb's range inside the channel's look area, along the axis.
    double GetChannelStart() const { return mChannelStart; }
    double GetChannelEnd() const { return mChannelEnd; }
    int32_t GetPageMode() const { return mPageMode; }
    bool IsDraggingThumb() const { return mDraggingThumb; }
    const RCPtr<LControl>& GetThumb() const { return mThumb; }
    const RCPtr<LControl>& GetChannel() const { return mChannel; }

protected:
    ~LScrollbar() override;

    // The thumb's length from the channel length and the fraction.
    void UpdateThumbLength();
    // The thumb's position from the value (not while it is dragged).
    void PositionThumb();

private:
    // Notification handlers.
    KXRESULT OnArrowRepeat(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    KXRESULT OnChannelLeftDrag(const RCPtr<LNotificationDistributor>& sender,
                               const RCPtr<LNotification>& notification);
    KXRESULT OnChannelHover(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    KXRESULT OnThumbLeftDrag(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    KXRESULT OnThumbMouseMove(const RCPtr<LNotificationDistributor>& sender,
                              const RCPtr<LNotification>& notification);
    KXRESULT OnSiblingKey(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);

    // The coordinate along the bar's axis.
    double AlongAxis(const PointT<double>& point) const { return mVertical ? point.y : point.x; }
    // The thumb's position along the axis in the channel's client area.
    double GetThumbPosition() const;
    // Moves the thumb along the axis to a position of the channel's client area.
    void MoveThumbTo(double position);
    // Which side of the thumb a point of the channel's look area lies on:
    // kPageBack before it, kPageForward after it, kPageNone on it or outside.
    int32_t ClassifyChannelPoint(double along) const;
    // The pointer's class when it is over the channel, else kPageNone.
    int32_t ClassifyPointer();
    // Shows the pressed side of the channel while paging, else its plain look.
    void UpdatePageHighlight();
    // The application's clock, in seconds.
    static double Now();
    // Sets a value through the base, clamped, and places the thumb.
    double ApplyValue(double value);

    // ---- Fields, in order ----
    RCPtr<Handler> mScrollbarHandler;
    int32_t mVertical = 1;
    RCPtr<LControl> mThumb;
    double mStep = 0.02;
    double mPage = 0.2;
    double mThumbFraction = 0.1;
    double mMinThumbLength = 10.0;
    double mThumbLength = 0.0;
    double mChannelStart = 0.0;
    double mChannelEnd = 0.0;
    double mChannelOffset = 0.0;
    bool mDraggingThumb = false;
    PointT<long> mGrabOffset;
    int32_t mPageMode = kPageNone;
    double mPageRepeatInterval = 0.2;
    double mFirstPageRepeatDelay = 0.4;
    double mPageRepeatTime = 0.0;
    double mPageRepeatCountdown = 0.0;
    double mDeferredValue = -1.0;
    uint8_t mKeyFlags = 0;
    // The parts the bar listens to.
    RCPtr<LControl> mChannel;
    RCPtr<LControl> mDec;
    RCPtr<LControl> mInc;
};

} // namespace KX
