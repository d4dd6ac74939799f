// The combo box's list: whether it is open, opening it below or above the
// box with a height that fits, marking the current text, and the size limits
// the list keeps from its skin.
#include "Controls/ComboBox.h"

#include "Application/RootWindow.h"
#include "Notification/NotificationIDs.h"
#include "Utilities/Geometry/NumberConversion.h"

#include <algorithm>
#include <cmath>

namespace KX {

// ---- The list ----

bool LComboBox::IsDropDownShown()
{
    if (!mListBox || !mListBox->GetLayout().mIsVisible)
        return false;
    const RectT<double>& rect = mListBox->GetRect();
    return rect.width > 0.0 && rect.height > 0.0;
}

KXRESULT LComboBox::ShowDropDown(bool show)
{
    return DoShowDropDown(show);
}

KXRESULT LComboBox::DoShowDropDown(bool show)
{
    if (!mListBox)
        return E_FAIL;
    const RCPtr<LControl> self(this);
    const RCPtr<LListBox> list = mListBox;
    if (show && mParent) {
        // Listeners may fill the list now.
        SendNotificationWithData(NID_DROPDOWN_OPENING);
        PlaceList();
        MarkCurrentText();
    }
    list->SetVisible(show);
    if (show) {
        // The press that opened the list may be dragged onto a choice.
        if (list->IsDropDownMode() && mLeftPressed)
            list->BeginCapture(1, RoundDoubleToInt(mPressPoint.x), RoundDoubleToInt(mPressPoint.y));
        list->SetFocus(true);
    }
    return S_OK;
}

void LComboBox::PlaceList()
{
    const RCPtr<LListBox>& list = mListBox;
    const double height = mRect.height;
    const double top = GetRootPosition().y;
    const RCPtr<LRootWindow>& window = GetRootWindow();
    const double windowHeight = window ? static_cast<double>(window->GetClientRect().height) : 0.0;
    const double above = top - kWindowMargin;
    const double below = windowHeight - (top + height) - kWindowMargin;
    const double needed = static_cast<double>(list->GetItemRowHeight()) * list->GetItemCount();

    LLayoutDescriptor::SizeLimitSpec minimum;
    LLayoutDescriptor::SizeLimitSpec maximum;
    list->GetLayout().GetSizeLimits(1, minimum, maximum);
    const double current = maximum.mAbs;
    const RCPtr<LControlDescriptor>& descriptor = list->GetDescriptor();
    const double skin =
        descriptor && descriptor->GetLayoutDescriptor() ? descriptor->GetLayoutDescriptor()->mYMaximum.mAbs : 0.0;

    // The side: the skin's maximum decides where it fits; otherwise the
    // room for every row, or the larger room.
    bool openBelow = below >= needed || below >= above;
    if (current != 0.0 && skin > 0.0) {
        if (below >= skin)
            openBelow = true;
        else if (above >= skin)
            openBelow = false;
    }
    const double room = openBelow ? below : above;
    double limit = 0.0; // no maximum
    if (skin > 0.0)
        limit = std::min(room, skin);
    else if (needed > room)
        limit = room;
    maximum.mAbs = limit;
    list->SetSizeLimits(1, minimum, maximum);

    // The list's top at the box's bottom edge, or its bottom at the box's top.
    LLayoutDescriptor::PositionSpec position;
    LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    list->GetLayout().GetAxisSpec(1, position, docked, size);
    position = LLayoutDescriptor::PositionSpec();
    position.mKind = LLayoutDescriptor::PositionParent;
    position.mAnchor = openBelow ? 0.0f : 1.0f;
    position.mRel = openBelow ? 1.0f : 0.0f;
    position.mAbs = 0.0;
    size.mAbs = needed <= room ? needed : room;
    list->SetPlacement(1, position, false, size);
    list->SnapHeightLimitsToRows();
}

void LComboBox::MarkCurrentText()
{
    const RCPtr<LListBox>& list = mListBox;
    bool marked = false;
    // From the last to the first, so that the first equal item stays marked.
    for (int32_t i = list->GetItemCount() - 1; i >= 0; --i) {
        if (list->GetItemText(i) == mText) {
            list->SelectItemRange(i, -1, true);
            list->EnsureItemVisible(i);
            marked = true;
        }
    }
    if (!marked) {
        list->SelectItemRange(0, -1, true);
        list->EnsureItemVisible(0);
    }
}

// ---- Size limits ----

KXRESULT LComboBox::ApplyListSizeLimits()
{
    if (!mListBox)
        return E_FAIL;
    const RCPtr<LControlDescriptor>& descriptor = mListBox->GetDescriptor();
    if (!descriptor || !descriptor->GetLayoutDescriptor())
        return S_OK;
    const LLayoutDescriptor& skin = *descriptor->GetLayoutDescriptor();
    LLayoutDescriptor::SizeLimitSpec minimum;
    LLayoutDescriptor::SizeLimitSpec maximum;
    if (skin.mXMinimum.mAbs == 0.0 || skin.mXMaximum.mAbs == 0.0) {
        mListBox->GetLayout().GetSizeLimits(0, minimum, maximum);
        // Never narrower than the skin made it.
        if (skin.mXMinimum.mAbs == 0.0)
            minimum.mAbs = std::trunc(mListBox->GetRect().width);
        mListBox->SetSizeLimits(0, minimum, maximum);
    }
    if (skin.mYMinimum.mAbs == 0.0 || skin.mYMaximum.mAbs == 0.0) {
        mListBox->GetLayout().GetSizeLimits(1, minimum, maximum);
        // At least one row high.
        if (skin.mYMinimum.mAbs == 0.0) {
            minimum.mRel = 0.0f;
            minimum.mAbs = mListBox->GetItemRowHeight();
        }
        mListBox->SetSizeLimits(1, minimum, maximum);
    }
    if (mListBox->GetLayout().mYMaximum.mAbs > 0.0)
        mListBox->SnapHeightLimitsToRows();
    return S_OK;
}

} // namespace KX
