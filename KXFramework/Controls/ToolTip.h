// KX::LToolTip: the small text window that shows a control's tool-tip text
// ("Framework.ToolTip"). The control base creates it from the skin's
// "toolTip" description as a child of the control whose text it shows, sets
// its text and calls Show; the tip decides when it appears and goes, where it
// stands and how wide it may grow. Text, looks and word wrap are the control
// base's.
//
// Contract:
// - States: hidden (0), pending (1, waiting to appear), shown (2). Show makes
//   it pending, or shown at once when another tip went less than 50 ms ago
//   (moving from control to control keeps tips coming without the delay).
//   A pending tip appears after 500 ms and hides itself 5000 ms after it
//   appeared; Hide ends it at any time and has its parent remove it.
// - While pending or shown it holds one idle request.
// - It stands with its left edge at the pointer and its top 20 pixels below
//   it, moved left or up to stay inside the window but never past its left
//   or top edge; it is never wider than the window's client area less 8.
// - It is opaque to hit testing, never takes the focus, and ignores its
//   create parameters.
// - Times are application ticks (milliseconds, unsigned differences).
//   User-interface thread only, like the one program-wide hide tick.
#pragma once

#include "ControlBase/Control.h"

#include <cstdint>

namespace KX {

class LToolTip : public LControl
{
public:
    enum State : int32_t { StateHidden = 0, StatePending = 1, StateShown = 2 };

    // How long a tip waits before it appears, how long it stays, and within
    // what time after another tip went it appears at once (milliseconds).
    static constexpr uint32_t kShowDelay = 500;
    static constexpr uint32_t kShowDuration = 5000;
    static constexpr uint32_t kQuickFollowTime = 50;
    // The distance from the pointer down to the tip's top edge.
    static constexpr double kPointerGap = 20.0;
    // How much narrower than the window the tip stays at most.
    static constexpr double kWindowMargin = 8.0;

    LToolTip(const RCPtr<LControl>& parent, const String& name);

    // ==== Overridden slots ====

    bool IsTransparentAt(const PointT<long>& point) override;
    void OnIdle() override;
    // Only disables the focus; create parameters are ignored. 0.
    KXRESULT ApplyCreateParams() override;
    // Starts hidden. 0.
    KXRESULT OnCreated() override;

    // ==== Plain operations ====

    // Called once the text is set: the width limit, then pending (or shown
    // at once), with an idle request. 0.
    KXRESULT Show();
    // Ends the tip and has the parent remove it. 0.
    KXRESULT Hide();
    // Places the tip at the pointer (needs a root window and a parent).
    KXRESULT UpdatePosition();

    int32_t GetToolTipState() const { return mToolTipState; }
    uint32_t GetToolTipTick() const { return mToolTipTick; }

    // The tick at which a visible tip last went (0 at start).
    static uint32_t GetLastHideTick() { return sLastToolTipHideTick; }
    static void SetLastHideTick(uint32_t tick) { sLastToolTipHideTick = tick; }

protected:
    ~LToolTip() override;

private:
    // Shown now: the state, the tick, the place, visible.
    void Appear(uint32_t now);

    int32_t mToolTipState = StateHidden;
    uint32_t mToolTipTick = 0;

    static uint32_t sLastToolTipHideTick;
};

} // namespace KX
