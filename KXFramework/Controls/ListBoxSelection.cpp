// The list box's selection and input: the selection primitives with anchor
// and caret, presses on rows (single and multiple selection), the keys,
// activation, the drop-down mode's pointer handling and hit testing, and the
// item notifications.
#include "Controls/ListBox.h"

#include "ObjectBase/Holder.h"
#include "Notification/NotificationIDs.h"
#include "Utilities/Geometry/NumberConversion.h"

#include <algorithm>

namespace KX {

namespace {

// Modifier flags of pointer events.
constexpr int32_t kModifierCtrl = 0x01;
constexpr int32_t kModifierShift = 0x08;

bool Matches(const KeyCode& key, uint32_t code)
{
    return KeyCode(code, 0, 0).Matches(key);
}

// The row and the conditions of a row's condition notification; false when
// either is missing or the row is disabled along its chain.
bool ReadRowConditions(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification,
                       RCPtr<LControl>& row, RCPtr<LConditionsParam>& param)
{
    row = RCPtr<LControl>::DynamicCast(sender);
    param = notification ? RCPtr<LConditionsParam>::DynamicCast(notification->GetData()) : RCPtr<LConditionsParam>();
    return row && param && row->IsEnabled(true);
}

} // namespace

// ---- Primitives ----

KXRESULT LListBox::SetItemValue(int32_t index, double value)
{
    if (index < 0 || index >= GetItemCount())
        return S_OK;
    ItemData& item = *GetItemData(index);
    const bool wasSelected = item.mValue >= 0.5;
    const bool selected = value >= 0.5;
    if (selected != wasSelected)
        mSelectedCount += selected ? 1 : -1;
    item.mValue = value;
    int32_t row = -1;
    UpdateItemControl(index, row);
    return S_OK;
}

void LListBox::SendItemNotification(const wchar_t* identifier, const RCPtr<LRefCountedObject>& data)
{
    SendNotificationWithData(identifier, data);
}

void LListBox::SendSelectionChange()
{
    const RCPtr<LControl> self(this);
    OnSelectionChanged();
    if (!mDropDownMode)
        SendItemNotification(NID_SELECTION_CHANGE, RCPtr<LRefCountedObject>());
}

int32_t LListBox::SelectItemRange(int32_t first, int32_t last, bool exclusive)
{
    const int32_t count = GetItemCount();
    if (first < 0 || first >= count)
        return E_INVALIDARG;
    if (last < 0)
        last = first;
    last = std::min(last, count - 1);
    const RCPtr<LControl> self(this);
    if (first == last && IsItemSelected(first) && (!exclusive || mSelectedCount == 1)) {
        EnsureItemVisible(first);
        return first;
    }
    mAnchorIndex = first;
    mCaretIndex = last;
    bool changed = false;
    if (exclusive) {
        const int32_t low = std::min(first, last);
        const int32_t high = std::max(first, last);
        for (int32_t i = count - 1; i >= 0; --i) {
            const bool inside = i >= low && i <= high;
            if (inside != IsItemSelected(i)) {
                SetItemValue(i, inside ? 1.0 : 0.0);
                changed = true;
            }
        }
    } else {
        // The caret moves along from the first item to the last.
        const int32_t step = first <= last ? 1 : -1;
        for (int32_t i = first;; i += step) {
            mCaretIndex = i;
            if (!IsItemSelected(i)) {
                SetItemValue(i, 1.0);
                changed = true;
            }
            if (i == last)
                break;
        }
    }
    EnsureItemVisible(mCaretIndex);
    if (changed)
        SendSelectionChange();
    return first;
}

KXRESULT LListBox::DeselectItem(int32_t index)
{
    if (index < 0 || index >= GetItemCount() || !IsItemSelected(index))
        return S_FALSE;
    const RCPtr<LControl> self(this);
    SetItemValue(index, 0.0);
    if (mSelectedCount > 0) {
        if (index == mCaretIndex) {
            const bool anchorWasCaret = mAnchorIndex == mCaretIndex;
            if (IsItemSelected(index + 1)) {
                mCaretIndex = index + 1;
                if (anchorWasCaret)
                    mAnchorIndex = mCaretIndex;
            } else if (IsItemSelected(index - 1)) {
                mCaretIndex = index - 1;
                if (anchorWasCaret)
                    mAnchorIndex = mCaretIndex;
            } else if (mAnchorIndex < 0 || mAnchorIndex >= GetItemCount() || mAnchorIndex == index) {
                int32_t lastSelected = GetItemCount() - 1;
                while (lastSelected >= 0 && !IsItemSelected(lastSelected))
                    --lastSelected;
                mAnchorIndex = lastSelected;
                mCaretIndex = lastSelected;
            } else {
                mCaretIndex = mAnchorIndex;
            }
        } else if (index == mAnchorIndex) {
            if (IsItemSelected(index + 1))
                mAnchorIndex = index + 1;
            else if (index > 0 && IsItemSelected(index - 1))
                mAnchorIndex = index - 1;
            else
                mAnchorIndex = -1;
        }
    }
    if (mSelectedCount <= 0) {
        mAnchorIndex = -1;
        mCaretIndex = -1;
    }
    SendSelectionChange();
    return S_OK;
}

void LListBox::DeselectAll()
{
    const RCPtr<LControl> self(this);
    bool changed = false;
    for (int32_t i = GetItemCount() - 1; i >= 0; --i) {
        if (IsItemSelected(i)) {
            SetItemValue(i, 0.0);
            changed = true;
        }
    }
    mAnchorIndex = -1;
    mCaretIndex = -1;
    if (changed)
        SendSelectionChange();
}

Array<unsigned int>& LListBox::GetSelectedIndices()
{
    mSelectedIndices.SetCount(0);
    for (int32_t i = 0; i < GetItemCount(); ++i) {
        if (IsItemSelected(i))
            mSelectedIndices.AddItem(static_cast<unsigned int>(i));
    }
    return mSelectedIndices;
}

void LListBox::ActivateItem(int32_t index)
{
    if (index < 0 || index >= GetItemCount() || !IsItemSelectable(index))
        return;
    const RCPtr<LControl> self(this);
    OnItemActivated();
    if (mDropDownMode)
        SetVisible(false);
    if (mParent)
        SendItemNotification(NID_ITEM_ACTIVATED, RCPtr<LRefCountedObject>());
}

// ---- Rows under the pointer ----

KXRESULT LListBox::OnRowMouseDown(const RCPtr<LNotificationDistributor>& sender,
                                  const RCPtr<LNotification>& notification)
{
    const RCPtr<LControl> row = RCPtr<LControl>::DynamicCast(sender);
    const RCPtr<LMouseButtonParam> param =
        notification ? RCPtr<LMouseButtonParam>::DynamicCast(notification->GetData()) : RCPtr<LMouseButtonParam>();
    if (!row || !param || mDropDownMode)
        return S_FALSE;
    // The press as the list sees it.
    const PointT<double> origin = row->GetPositionInParentClient();
    const RCPtr<LMouseButtonParam> press = LMouseButtonParam::Create(
        param->mButton,
        PointT<long>(param->mX + RoundDoubleToInt(origin.x), param->mY + RoundDoubleToInt(origin.y)),
        param->mModifiers, param->mDoubleClick, param->mButtonsDown, param->mPointer);
    if (press->mButton == 1)
        ClickItem(row, press);
    else if (press->mButton == 4)
        RightClickItem(row, press);
    return S_FALSE;
}

KXRESULT LListBox::OnRowMouseUp(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    // A click selects at the press; the release of a row asks nothing more.
    return S_FALSE;
}

KXRESULT LListBox::OnRowHoverCondition(const RCPtr<LNotificationDistributor>& sender,
                                       const RCPtr<LNotification>& notification)
{
    RCPtr<LControl> row;
    RCPtr<LConditionsParam> param;
    if (!ReadRowConditions(sender, notification, row, param))
        return S_FALSE;
    const RCPtr<LControl> self(this);
    const int32_t item = GetItemControlIndex(row);
    const bool hoverBegan = !(param->mOldConditions & kHoverOrOverride) && (param->mNewConditions & kHoverOrOverride);
    if (mDropDownMode && hoverBegan && item >= 0 && item < GetItemCount())
        SelectItemRange(item, -1, true);
    SendItemNotification(NID_ITEM_HOVER_CONDITION_CHANGE,
                         LItemConditionsParam::Create(*param, item, row->GetActiveLookIndex(), row->IsHovered()));
    return S_FALSE;
}

KXRESULT LListBox::OnRowLeftDragCondition(const RCPtr<LNotificationDistributor>& sender,
                                          const RCPtr<LNotification>& notification)
{
    RCPtr<LControl> row;
    RCPtr<LConditionsParam> param;
    if (!ReadRowConditions(sender, notification, row, param))
        return S_FALSE;
    SendItemNotification(NID_ITEM_LEFT_DRAG_CONDITION_CHANGE,
                         LItemConditionsParam::Create(*param, GetItemControlIndex(row), row->GetActiveLookIndex(),
                                                      row->IsHovered()));
    return S_FALSE;
}

void LListBox::ClickItem(const RCPtr<LControl>& row, const RCPtr<LMouseButtonParam>& param)
{
    const int32_t index = GetItemControlIndex(row);
    if (index < 0 || index >= GetItemCount())
        return;
    const RCPtr<LControl> self(this);
    const bool ctrl = mMultipleSelection && (param->mModifiers & kModifierCtrl);
    const bool shift = mMultipleSelection && (param->mModifiers & kModifierShift);
    const int32_t anchor = mAnchorIndex >= 0 && mAnchorIndex < GetItemCount() ? mAnchorIndex : index;
    if (shift) {
        // From the anchor to the item; Ctrl keeps what else is selected.
        SelectItemRange(anchor, index, !ctrl);
    } else if (ctrl) {
        if (IsItemSelected(index))
            DeselectItem(index);
        else
            SelectItemRange(index, index, false);
    } else {
        SelectItemRange(index, index, true);
    }
    if (param->mDoubleClick)
        SendItemNotification(NID_ITEM_DOUBLE_CLICKED, RCPtr<LRefCountedObject>());
}

void LListBox::RightClickItem(const RCPtr<LControl>& row, const RCPtr<LMouseButtonParam>& param)
{
    if (param->mDoubleClick)
        return;
    const int32_t index = GetItemControlIndex(row);
    if (index < 0 || index >= GetItemCount())
        return;
    SendItemNotification(NID_ITEM_RIGHT_CLICK, RCPtr<LRefCountedObject>(LHolder<int>::Create(index).Get()));
}

int32_t LListBox::HitTestItem(const PointT<long>& point)
{
    const RectT<double> look = GetLookClientRect(-1);
    const RectT<double> client = GetClientRect();
    const PointT<long> local(point.x - RoundDoubleToInt(look.x), point.y - RoundDoubleToInt(look.y));
    if (local.x < 0 || local.y < 0 || local.x >= client.width || local.y >= client.height)
        return -1;
    // Rows hold content coordinates.
    const PointT<double> content(local.x + mScrollOffset.x, local.y + mScrollOffset.y);
    for (int32_t k = GetRowCount() - 1; k >= 0; --k) {
        const RCPtr<LListBoxItem> row = RowAt(k);
        if (!row)
            continue;
        const RectT<double>& rect = row->GetRect();
        if (content.x >= rect.x && content.x < rect.x + rect.width && content.y >= rect.y &&
            content.y < rect.y + rect.height) {
            const int32_t item = StepVisible(mTopIndex, k);
            return item < GetItemCount() ? item : -1;
        }
    }
    return -1;
}

// ---- Drop-down mode ----

void LListBox::OnMouseMove(const RCPtr<LPointWithModifiersParam>& param)
{
    LScrollView::OnMouseMove(param);
    if (!mDropDownMode || !param || !mCapture || !mLeftDrag)
        return;
    const int32_t item = HitTestItem(param->GetPoint());
    if (item < 0)
        DeselectAll();
    else if (IsItemSelectable(item))
        SelectItemRange(item, -1, true);
}

void LListBox::OnLeftButtonUp(const RCPtr<LMouseButtonParam>& param)
{
    LScrollView::OnLeftButtonUp(param);
    if (!mDropDownMode || !param)
        return;
    const RCPtr<LControl> self(this);
    const int32_t item = HitTestItem(param->GetPoint());
    if (item >= 0 && mParent) {
        ActivateItem(item);
        return;
    }
    if (!mHidesOnReleaseOutsideParent || !mParent)
        return;
    // Released outside the box or title that owns the list: the list closes.
    const PointT<double> origin = GetPositionInParentClient();
    const PointT<double> inParent(param->mX + origin.x, param->mY + origin.y);
    const RectT<double>& parentRect = mParent->GetRect();
    const bool inside =
        inParent.x >= 0.0 && inParent.x < parentRect.width && inParent.y >= 0.0 && inParent.y < parentRect.height;
    if (!inside)
        SetVisible(false);
}

// ---- Keys ----

int32_t LListBox::FindNavigableItem(int32_t from, bool forward)
{
    const int32_t count = GetItemCount();
    for (int32_t i = from; i >= 0 && i < count; i += forward ? 1 : -1) {
        if (!GetItemData(i)->mHidden && IsItemSelectable(i))
            return i;
    }
    return -1;
}

bool LListBox::PassKeyToBar(const RCPtr<LScrollbar>& bar, const RCPtr<LKeyParam>& param)
{
    if (!bar)
        return false;
    // A key of its own, so that what the bar does with it leaves the list's
    // key untouched.
    bar->KeyEvent(LKeyParam::Create(param->mKey, param->mWindowFlag));
    return true;
}

KXRESULT LListBox::OnKey(const RCPtr<LKeyParam>& param)
{
    if (!param)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    const uint32_t code = param->mKey.GetCode();
    if (code == kKeyUp || code == kKeyShiftUp) {
        const int32_t item = FindNavigableItem(mCaretIndex - 1, false);
        if (item >= 0)
            SelectItemRange(item, -1, true);
        return S_OK;
    }
    if (code == kKeyDown || code == kKeyShiftDown) {
        const int32_t item = FindNavigableItem(mCaretIndex + 1, true);
        if (item >= 0)
            SelectItemRange(item, -1, true);
        return S_OK;
    }
    if (code == kKeyLeft || code == kKeyRight) {
        PassKeyToBar(mHBar, param);
        return S_OK;
    }
    if (Matches(param->mKey, kKeyPageUp) || Matches(param->mKey, kKeyPageDown)) {
        PassKeyToBar(mVBar, param);
        return S_OK;
    }
    if (Matches(param->mKey, kKeyHome) || Matches(param->mKey, kKeyEnd)) {
        PassKeyToBar(mHBar, param);
        PassKeyToBar(mVBar, param);
        return S_OK;
    }
    if (Matches(param->mKey, kKeyEnter)) {
        if (mCaretIndex >= 0)
            ActivateItem(mCaretIndex);
        return S_OK;
    }
    return S_FALSE;
}

} // namespace KX
