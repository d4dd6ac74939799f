// The scroll view's bars: found thickness, shown or collapsed for the extent,
// their range, page, step and thumb, and their coupling with the scroll
// offset both ways; the wheel moves them.
#include "Controls/ScrollView.h"

#include "ControlBase/LayoutUtils.h"
#include "Controls/ScopedFlag.h"
#include "Notification/NotificationIDs.h"

#include <algorithm>

namespace KX {

namespace {

constexpr const char* kSource = "Controls\\ScrollView";

constexpr int32_t kModifierShift = 0x08;
constexpr int32_t kModifierAlt = 0x40;

double Along(const PointT<double>& point, int32_t axis)
{
    return axis == 0 ? point.x : point.y;
}

} // namespace

// ---- Thickness and bindings ----

KXRESULT LScrollView::BindScrollBars()
{
    mScrollBarSize = PointT<double>(0.0, 0.0);
    if (mCorner)
        mScrollBarSize = PointT<double>(mCorner->GetLayout().mXSize.mAbs, mCorner->GetLayout().mYSize.mAbs);
    if (!mCreated && mScrollViewHandler) {
        for (int32_t axis = 0; axis < 2; ++axis) {
            const RCPtr<LScrollbar>& bar = BarOf(axis);
            if (bar && !mScrollViewHandler->IsBound(RCPtr<LNotificationDistributor>(bar.Get()), NID_VALUE_CHANGE))
                KX_THROW_IF_FAILED(mScrollViewHandler->AddHandler(&LScrollView::OnBarValueChange,
                                                                  RCPtr<LNotificationDistributor>(bar.Get()),
                                                                  NID_VALUE_CHANGE),
                                   "KX::LScrollView::BindScrollBars", kSource, __LINE__);
        }
    }
    if (mScrollBarSize.y == 0.0 && mHBar)
        mScrollBarSize.y = mHBar->GetRect().height;
    if (mScrollBarSize.x == 0.0 && mVBar)
        mScrollBarSize.x = mVBar->GetRect().width;
    UpdateScrollBars();
    return S_OK;
}

bool LScrollView::IsBarUsable(const RCPtr<LScrollbar>& bar)
{
    return bar && bar->IsVisible(false);
}

PointT<double> LScrollView::GetScrollBarSizes() const
{
    if (mCorner)
        return PointT<double>(mCorner->GetRect().width, mCorner->GetRect().height);
    return PointT<double>(mVBar ? mVBar->GetRect().width : 0.0, mHBar ? mHBar->GetRect().height : 0.0);
}

// ---- Bars ----

RCPtr<LControl> LScrollView::ThicknessHolder(int32_t axis) const
{
    if (mCorner)
        return mCorner;
    return RCPtr<LControl>(BarOf(axis).Get());
}

bool LScrollView::IsBarShown(int32_t axis) const
{
    const RCPtr<LControl> holder = ThicknessHolder(axis);
    if (!holder)
        return false;
    // The vertical bar's thickness is a width, the horizontal one's a height.
    return (axis == 1 ? holder->GetRect().width : holder->GetRect().height) > 0.0;
}

bool LScrollView::ShowScrollBar(int32_t axis, bool show)
{
    const RCPtr<LControl> holder = ThicknessHolder(axis);
    if (!holder || IsBarShown(axis) == show)
        return false;
    const int32_t crossAxis = axis == 1 ? 0 : 1;
    LLayoutDescriptor::PositionSpec position;
    LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    holder->GetLayout().GetAxisSpec(crossAxis, position, docked, size);
    size = LLayoutDescriptor::SizeSpec();
    size.mKind = LLayoutDescriptor::SizeSelf;
    size.mAbs = show ? (axis == 1 ? mScrollBarSize.x : mScrollBarSize.y) : 0.0;
    holder->SetPlacement(crossAxis, position, docked, size);
    return IsBarShown(axis) == show;
}

KXRESULT LScrollView::UpdateScrollBars()
{
    if (mUpdatingScrollBars)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    ScopedFlag updating(mUpdatingScrollBars);
    const bool wasShown[2] = {IsBarShown(0), IsBarShown(1)};
    const RectT<double> clientBefore = GetClientRect();

    // The room the content has with no bar shown.
    const RectT<double> look = GetLookClientRect(-1);
    const double fullWidth = ClampToIntegerLimit(look.width);
    const double fullHeight = ClampToIntegerLimit(look.height);

    UpdateAutoClientExtent();

    // A bar is needed when the content does not fit its axis, counting the
    // room the other bar takes; a missing bar takes no room.
    bool vertical = mVBar && mClientExtent.y > fullHeight;
    const bool horizontal =
        mHBar && mClientExtent.x > fullWidth - (vertical ? mScrollBarSize.x : 0.0);
    if (horizontal && !vertical)
        vertical = mVBar && mClientExtent.y > fullHeight - mScrollBarSize.y;

    ShowScrollBar(1, vertical);
    ShowScrollBar(0, horizontal);
    UpdateScrollBarRanges();

    for (int32_t axis = 1; axis >= 0; --axis) {
        if (IsBarShown(axis) != wasShown[axis])
            OnScrollBarVisibilityChanged(axis == 1);
    }
    const RectT<double> clientAfter = GetClientRect();
    if (clientAfter != clientBefore)
        OnClientRectChanged();

    UpdateAutoClientExtent();
    return S_OK;
}

KXRESULT LScrollView::UpdateScrollBarRanges()
{
    const RCPtr<LControl> self(this);
    UpdateBarRange(0);
    if (mRowMode && mRowHeight > 0)
        UpdateBarRows();
    else
        UpdateBarRange(1);
    return S_OK;
}

void LScrollView::UpdateBarRange(int32_t axis)
{
    const RCPtr<LScrollbar> bar = BarOf(axis);
    if (!bar || !bar->GetParent())
        return;
    const double client = axis == 0 ? GetClientRect().width : GetClientRect().height;
    const double extent = Along(mClientExtent, axis);
    const double range = extent - client;
    // The ratios are those of single precision, as the bar shows them.
    const float fraction = client < extent ? static_cast<float>(client) / static_cast<float>(extent) : 1.0f;
    const float page =
        range > 0.0 ? std::min(1.0f, std::max(0.0f, static_cast<float>(client) / static_cast<float>(range))) : 1.0f;
    const float step = page / 10.0f;
    bar->SetValueRange(0.0, std::max(0.0, range), 0);
    bar->SetThumbFraction(fraction);
    bar->SetPage(page);
    bar->SetStep(step);

    const double offset = std::max(0.0, LayoutUtils::Round(std::max(0.0, range) * bar->GetNormalizedValue()));
    if (offset != Along(mScrollOffset, axis))
        SetScrollOffset(axis == 0 ? PointT<double>(offset, mScrollOffset.y) : PointT<double>(mScrollOffset.x, offset));
}

void LScrollView::UpdateBarRows()
{
    const RCPtr<LScrollbar> bar = mVBar;
    if (!bar || !bar->GetParent())
        return;
    const int32_t rows = static_cast<int32_t>(mClientExtent.y) / mRowHeight;
    const int32_t visible = static_cast<int32_t>(GetClientRect().height) / mRowHeight;
    const bool scrolls = visible < rows;
    const double step = scrolls ? 1.0 / (rows - visible) : 1.0;
    const double page = std::min(visible * step, 1.0);
    const double fraction = scrolls ? static_cast<double>(visible) / rows : 1.0;
    // The bar keeps its value in rows, limited to the new last row.
    bar->SetValueRange(0.0, scrolls ? rows - visible : 0.0, 0);
    bar->SetThumbFraction(fraction);
    bar->SetPage(page);
    bar->SetStep(step);

    // The offset shows the bar's row, also when the last rows went: a view
    // never stays scrolled past its content.
    const double offset = LayoutUtils::Round(bar->NormalizedToValue(bar->GetNormalizedValue())) * mRowHeight;
    if (offset != mScrollOffset.y)
        SetScrollOffset(PointT<double>(mScrollOffset.x, offset));
}

void LScrollView::SetRowMode(bool rowMode, int32_t rowHeight)
{
    mRowMode = rowMode;
    mRowHeight = rowHeight;
}

KXRESULT LScrollView::OnBarValueChange(const RCPtr<LNotificationDistributor>& sender,
                                       const RCPtr<LNotification>&)
{
    const LNotificationDistributor* bar = sender.Get();
    PointT<double> offset = mScrollOffset;
    if (mHBar && bar == static_cast<const LNotificationDistributor*>(mHBar.Get())) {
        offset.x = LayoutUtils::Round(mHBar->NormalizedToValue(mHBar->GetNormalizedValue()));
    } else if (mVBar && bar == static_cast<const LNotificationDistributor*>(mVBar.Get())) {
        const double value = LayoutUtils::Round(mVBar->NormalizedToValue(mVBar->GetNormalizedValue()));
        offset.y = (mRowMode && mRowHeight > 0) ? value * mRowHeight : value;
    } else {
        return S_FALSE;
    }
    SetScrollOffset(offset);
    return S_OK;
}

// ---- Offset to bars ----

double LScrollView::BarValueOfOffset(int32_t axis, double offset)
{
    const RectT<double> client = GetClientRect();
    if (axis == 1 && mRowMode && mRowHeight > 0) {
        // Whole rows over the rows the bar can scroll, so that the bar's row
        // is the row the offset shows (pixels over pixels would drift from
        // it by up to a row where the client height is no multiple of rows).
        const int32_t scrollable = static_cast<int32_t>(mClientExtent.y) / mRowHeight -
                                   static_cast<int32_t>(client.height) / mRowHeight;
        return scrollable > 0 ? (offset / mRowHeight) / scrollable : 0.0;
    }
    const double range = Along(mClientExtent, axis) - (axis == 0 ? client.width : client.height);
    return range > 0.0 ? offset / range : 0.0;
}

KXRESULT LScrollView::InvalidateBackBuffer(const PointT<double>& oldOffset, const PointT<double>& newOffset)
{
    const RCPtr<LControl> self(this);
    for (int32_t axis = 0; axis < 2; ++axis) {
        const RCPtr<LScrollbar> bar = BarOf(axis);
        if (!bar)
            continue;
        const double value = BarValueOfOffset(axis, Along(newOffset, axis));
        const RCPtr<LNotificationDistributor> sender(bar.Get());
        // The bar follows the offset; its value change must not come back
        // as an offset of its own.
        if (mScrollViewHandler && mScrollViewHandler->IsBound(sender, NID_VALUE_CHANGE)) {
            CAutoNotificationDisabler<LScrollView> mute(mScrollViewHandler, sender, NID_VALUE_CHANGE);
            bar->SetNormalizedValue(value);
        } else {
            bar->SetNormalizedValue(value);
        }
    }
    return LControl::InvalidateBackBuffer(oldOffset, newOffset);
}

// ---- Wheel ----

KXRESULT LScrollView::OnMouseWheel(const RCPtr<LMouseWheelParam>& param)
{
    if (!param)
        return S_FALSE;
    const bool horizontalUsable = IsBarUsable(mHBar);
    const bool verticalUsable = IsBarUsable(mVBar);
    if (!horizontalUsable && !verticalUsable)
        return S_FALSE;
    const RCPtr<LScrollbar> bar =
        (horizontalUsable && verticalUsable) ? ((param->mModifiers & kModifierAlt) ? mHBar : mVBar)
                                             : (horizontalUsable ? mHBar : mVBar);
    // Wheel up shows what lies before, wheel down what lies after.
    return ScrollBarBy(bar, param->mDirection == LMouseWheelParam::WheelDown, param->mModifiers);
}

KXRESULT LScrollView::OnMouseWheelHorizontal(const RCPtr<LMouseWheelParam>& param)
{
    if (!param)
        return S_FALSE;
    const RCPtr<LScrollbar> bar = IsBarUsable(mHBar) ? mHBar : (IsBarUsable(mVBar) ? mVBar : RCPtr<LScrollbar>());
    if (!bar)
        return S_FALSE;
    // Tilting right shows what lies to the right.
    return ScrollBarBy(bar, param->mDirection == LMouseWheelParam::WheelRight, param->mModifiers);
}

KXRESULT LScrollView::ScrollBarBy(const RCPtr<LScrollbar>& bar, bool forward, int32_t modifiers)
{
    const double amount = (modifiers & kModifierShift) ? bar->GetPage() : bar->GetStep();
    bar->SetNormalizedValue(bar->GetNormalizedValue() + (forward ? amount : -amount));
    return S_OK;
}

} // namespace KX
