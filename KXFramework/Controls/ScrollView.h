// KX::LScrollView: the base of every control whose content can be larger than
// its area (the panel, the list boxes, the text box).
//
// Contract:
// - Client extent: the size of the scrollable content, in pixels; 0 on an
//   axis means "no content" (that axis does not scroll and its scroll range
//   is unbounded). It is set by SetClientExtent, or follows the children's
//   far edges (plus a margin) on the axes switched on by SetAutoClientExtent
//   or by the create parameters "AUTO_CLIENT_EXTENT_X" / "AUTO_CLIENT_EXTENT_Y".
// - Scroll bars: the skin children "hBar" and "vBar" (KX::LScrollbar; a child
//   of another class counts as absent), with an optional "corner" control
//   whose size is the bars' thickness. A bar is shown or collapsed by its
//   thickness (its cross-axis size becomes the bar size or 0), not by its
//   visibility: it is shown exactly while the extent does not fit the client
//   area on its axis, taking the room the other bar needs into account. A
//   missing bar disables scrolling by bar on its axis.
// - Client rectangle (GetClientRect): the active look's client rectangle less
//   the thickness of each shown bar. The bars' skin layouts are expected to
//   dock them on both axes inside the look's client area.
// - Bars and offset are coupled both ways: a bar's value change moves the
//   scroll offset (pixel mode: the value in range units, which is 0..extent -
//   client; row mode, vertical only: whole rows times the row height), and a
//   scroll offset set by anyone moves the bars without feeding back.
// - Thumb fraction = client / extent, page = client / (extent - client),
//   step = page / 10, per axis (row mode: in rows).
// - Everything that can change the fit (a resize, an extent change, a child's
//   rectangle change, a child's removal) runs UpdateScrollBars, whose guard
//   keeps the layout changes it makes itself from re-entering it.
// - The wheel scrolls by the bar's step (Shift: page); Alt chooses the
//   horizontal bar when both are shown. A view without a usable bar leaves
//   the wheel to its parent.
// - Derived classes: OnClientExtentChanged, OnClientRectChanged and
//   OnScrollBarVisibilityChanged are their hooks; call the scroll view's
//   overrides from theirs. Notifications go to the derived class's table,
//   then the scroll view's, then the control base's.
// - User-interface thread only.
#pragma once

#include "ControlBase/Control.h"
#include "Controls/Scrollbar.h"

namespace KX {

class LScrollView : public LControl
{
public:
    using Handler = LNotificationHandler<LScrollView>;

    // Bits of the automatic client extent.
    static constexpr int32_t kAutoExtentX = 0x1;
    static constexpr int32_t kAutoExtentY = 0x2;

    LScrollView(const RCPtr<LControl>& parent, const String& name);

    // ==== Overrides, in slot order ====

    // The base's, marking the resize meanwhile.
    KXRESULT BeginBackBufferResize() override;
    // The base's; then the extent and the bars follow the new size.
    KXRESULT EndBackBufferResize() override;
    // The bars follow the new offset (without feeding their value changes
    // back), then the base's.
    KXRESULT InvalidateBackBuffer(const PointT<double>& oldOffset, const PointT<double>& newOffset) override;
    // A child that scrolls may change the automatic extent; then the base's.
    KXRESULT InvalidateChild(const RCPtr<LControl>& child) override;
    // Per axis: the maximum's absolute size for a "Self" maximum, else the
    // children's extent.
    PointT<double> GetMaxSize() override;
    // The base's, marked as the view's own change meanwhile.
    const PointT<double>& SetScrollOffset(const PointT<double>& offset) override;
    // {0, 0, largest X offset, largest Y offset}: extent - client, at least 0;
    // 2^52 on an axis without extent.
    RectT<double> GetScrollRange(const RCPtr<LControl>& control) override;
    // The active look's client rectangle less the shown bars.
    RectT<double> GetClientRect() override;
    // The automatic extent follows (only while attached to a window).
    void OnChildRemoved(const RCPtr<LControl>& child, int32_t formerIndex) override;
    // Before creation the base's; on a live control (a skin change) the base's
    // with the automatic extent paused, then the bars and the extent again.
    KXRESULT ApplyControlDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
    // 0 when a bar scrolled, 1 (not handled) without a usable bar.
    KXRESULT OnMouseWheel(const RCPtr<LMouseWheelParam>& param) override;
    KXRESULT OnMouseWheelHorizontal(const RCPtr<LMouseWheelParam>& param) override;
    // The base's; finds "corner", "hBar" and "vBar" and binds the bars.
    KXRESULT Initialize() override;
    // The base's; then "AUTO_CLIENT_EXTENT_X" and "AUTO_CLIENT_EXTENT_Y".
    KXRESULT ApplyCreateParams() override;
    // The content in view: from the offset (at least 0), the client size
    // limited by the children's far edges (at least 1 pixel).
    RectT<double> GetVisibleRect() override;

    // ==== Operations the scroll view adds (virtual) ====

    // The extent changed: the bars follow, and a back buffer is resized.
    virtual void OnClientExtentChanged();
    // The client rectangle changed (a bar was shown or collapsed). Empty here.
    virtual void OnClientRectChanged();
    // A bar was shown or collapsed (vertical: the vertical bar). Empty here.
    virtual void OnScrollBarVisibilityChanged(bool vertical);

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== Extent ====

    // 1 and nothing when both sizes are within 2.2e-15 of the stored ones;
    // otherwise stores them, runs OnClientExtentChanged and sends
    // "NID_CLIENT_EXTENT_CHANGE"; 0.
    KXRESULT SetClientExtent(double width, double height);
    // (width, height); 0 on an axis without content.
    const PointT<double>& GetClientExtent() const { return mClientExtent; }
    // Which axes follow the children (kAutoExtentX, kAutoExtentY) and the
    // margins added to the children's extent. 0.
    KXRESULT SetAutoClientExtent(int32_t mask, int32_t marginX, int32_t marginY);
    int32_t GetAutoClientExtent() const { return mAutoExtent; }
    // The extent from the children on the automatic axes: 0 when it changed,
    // 1 when it stayed or no axis is automatic.
    KXRESULT UpdateAutoClientExtent();
    // (largest right edge of the children not docked on X, largest bottom
    // edge of those not docked on Y); (0, 0) without such children.
    PointT<long> GetChildrenExtent() const;

    // ==== Bars ====

    // (vertical bar width, horizontal bar height) as they are now: the
    // corner's size when there is one, else the bars' sizes (0 for a missing
    // bar).
    PointT<double> GetScrollBarSizes() const;
    // The thickness a shown bar gets: (vertical bar width, horizontal bar
    // height).
    const PointT<double>& GetScrollBarSize() const { return mScrollBarSize; }
    // Takes the bar thickness from the corner or the bars and binds the bars'
    // value changes (before creation). Runs UpdateScrollBars. 0.
    KXRESULT BindScrollBars();
    // Shows or collapses the bars for the extent and sets their ranges. 1
    // (and nothing) while it runs already, else 0.
    KXRESULT UpdateScrollBars();
    // Range, thumb fraction, page and step of each bar from the extent and
    // the client size; the offset follows the bars' values (pixel mode).
    KXRESULT UpdateScrollBarRanges();
    const RCPtr<LScrollbar>& GetHorizontalScrollBar() const { return mHBar; }
    const RCPtr<LScrollbar>& GetVerticalScrollBar() const { return mVBar; }
    const RCPtr<LControl>& GetCorner() const { return mCorner; }
    // Whether the bar is there, visible, and not collapsed.
    static bool IsBarUsable(const RCPtr<LScrollbar>& bar);

    // ==== Row mode (the list boxes) ====

    // The vertical bar counts whole rows of `rowHeight` pixels instead of
    // pixels. Call UpdateScrollBarRanges afterwards.
    void SetRowMode(bool rowMode, int32_t rowHeight);
    bool IsRowMode() const { return mRowMode; }
    int32_t GetRowHeight() const { return mRowHeight; }

protected:
    ~LScrollView() override;

    // Shows (the bar size) or collapses (0) one bar's thickness: axis 0 the
    // horizontal bar, 1 the vertical one. True when its state changed.
    bool ShowScrollBar(int32_t axis, bool show);
    // Whether a bar (axis 0 horizontal, 1 vertical) is shown now.
    bool IsBarShown(int32_t axis) const;
    // A bar's value changed: the offset follows.
    KXRESULT OnBarValueChange(const RCPtr<LNotificationDistributor>& sender,
                              const RCPtr<LNotification>& notification);

    // ---- Fields, in order ----
    RCPtr<Handler> mScrollViewHandler;
    bool mUpdatingScrollBars = false;
    bool mSettingScrollOffset = false;
    bool mResizingBackBuffer = false;
    RCPtr<LScrollbar> mHBar;
    RCPtr<LScrollbar> mVBar;
    RCPtr<LControl> mCorner;
    PointT<double> mClientExtent;
    PointT<double> mScrollBarSize;
    bool mRowMode = false;
    int32_t mRowHeight = 0;
    int32_t mAutoExtent = 0;
    PointT<long> mAutoExtentMargin;

private:
    // The bar of an axis (0 horizontal, 1 vertical).
    const RCPtr<LScrollbar>& BarOf(int32_t axis) const { return axis == 0 ? mHBar : mVBar; }
    // The control whose cross-axis size is a bar's thickness: the corner,
    // else the bar itself.
    RCPtr<LControl> ThicknessHolder(int32_t axis) const;
    // One bar's range in pixels or rows.
    void UpdateBarRange(int32_t axis);
    void UpdateBarRows();
    // Wheel steps on a bar: forward adds, backward subtracts; 0.
    KXRESULT ScrollBarBy(const RCPtr<LScrollbar>& bar, bool forward, int32_t modifiers);
};

} // namespace KX
