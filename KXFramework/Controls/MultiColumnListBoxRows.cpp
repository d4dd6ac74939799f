// The multi-column list box keeps its columns' rows in step: scrolling and
// extent of the first column, hover looks, selections, and the item
// notifications that the table sends on.
#include "Controls/MultiColumnListBox.h"

#include "Controls/Button.h"
#include "Controls/ListBox.h"
#include "Controls/ListBoxItem.h"
#include "Notification/NotificationIDs.h"

namespace KX {

KXRESULT LMultiColumnListBox::OnFirstColumnScrollOffset(const RCPtr<LNotificationDistributor>&,
                                                        const RCPtr<LNotification>&)
{
    if (mColumns.GetCount() == 0)
        return S_OK;
    // The table's offset follows; InvalidateBackBuffer then moves the others.
    const RCPtr<LControl> self(this);
    SetScrollOffset(mColumns.GetAt(0)->GetScrollOffset());
    return S_OK;
}

KXRESULT LMultiColumnListBox::OnFirstColumnClientExtent(const RCPtr<LNotificationDistributor>&,
                                                        const RCPtr<LNotification>&)
{
    const RCPtr<LControl> self(this);
    TakeRowHeightFromFirstColumn();
    ApplyExtentRule();
    return S_OK;
}

KXRESULT LMultiColumnListBox::OnColumnItemHover(const RCPtr<LNotificationDistributor>& sender,
                                                const RCPtr<LNotification>& notification)
{
    const int32_t source = IndexOfColumn(sender.Get());
    const RCPtr<LItemConditionsParam> param =
        notification ? RCPtr<LItemConditionsParam>::DynamicCast(notification->GetData())
                     : RCPtr<LItemConditionsParam>();
    if (source < 0 || !param)
        return S_OK;
    const RCPtr<LControl> self(this);
    const bool wasHot = (param->mOldConditions & kHoverOrOverride) != 0;
    const bool isHot = (param->mNewConditions & kHoverOrOverride) != 0;
    // A row made hot by an override (from another column) passes nothing on.
    if (!wasHot && isHot && !param->mHover)
        return S_OK;
    const RCPtrArray<LListBox, 1, 0> columns = mColumns;
    for (int32_t j = columns.GetCount() - 1; j >= 0; --j) {
        if (j == source)
            continue;
        if (wasHot != isHot)
            columns.GetAt(j)->SetItemHoverOverride(param->mItemIndex, isHot);
        else
            columns.GetAt(j)->SelectItemLook(param->mItemIndex, param->mLookIndex);
    }
    return S_OK;
}

void LMultiColumnListBox::MirrorRowSelection(int32_t source, int32_t target, int32_t row)
{
    const RCPtr<LListBox> from = mColumns.GetAt(source);
    const RCPtr<LListBox> to = mColumns.GetAt(target);
    const bool selected = from->GetItemValue(row) >= 0.5;
    if ((to->GetItemValue(row) >= 0.5) == selected)
        return;
    CAutoNotificationDisabler<LMultiColumnListBox> mute(mColumnHandler, RCPtr<LNotificationDistributor>(to.Get()),
                                                         NID_SELECTION_CHANGE);
    // Added to the target's selection, not replacing it, so that a multiple
    // selection is mirrored whole.
    if (selected)
        to->SelectItemRange(row, -1, false);
    else
        to->DeselectItem(row);
}

KXRESULT LMultiColumnListBox::OnColumnSelectionChange(const RCPtr<LNotificationDistributor>& sender,
                                                      const RCPtr<LNotification>&)
{
    const int32_t source = IndexOfColumn(sender.Get());
    if (source < 0)
        return S_OK;
    const RCPtr<LControl> self(this);
    for (int32_t row = mColumns.GetAt(0)->GetItemCount() - 1; row >= 0; --row) {
        for (int32_t j = mColumns.GetCount() - 1; j >= 0; --j) {
            if (j != source)
                MirrorRowSelection(source, j, row);
        }
    }
    SendNotificationWithData(NID_SELECTION_CHANGE);
    return S_OK;
}

KXRESULT LMultiColumnListBox::OnColumnItemActivated(const RCPtr<LNotificationDistributor>&,
                                                    const RCPtr<LNotification>&)
{
    SendNotificationWithData(NID_ITEM_ACTIVATED);
    return S_OK;
}

KXRESULT LMultiColumnListBox::OnColumnItemDoubleClicked(const RCPtr<LNotificationDistributor>&,
                                                        const RCPtr<LNotification>&)
{
    SendNotificationWithData(NID_ITEM_DOUBLE_CLICKED);
    return S_OK;
}

KXRESULT LMultiColumnListBox::OnHeaderClick(const RCPtr<LNotificationDistributor>& sender,
                                            const RCPtr<LNotification>&)
{
    const int32_t header = IndexOfHeader(sender.Get());
    if (header >= 0) {
        const RCPtr<LControl> self(this);
        PerformSort(header);
    }
    return S_OK;
}

} // namespace KX
