// The tree view: lifetime, notifications, its rows and their expanders.
// The records and the hierarchy are in TreeViewItems.cpp.
#include "Controls/TreeView.h"

#include "Controls/ScopedFlag.h"
#include "Notification/NotificationIDs.h"
#include "Utilities/Graphics/Bitmap.h"

namespace KX {

LTreeView::LTreeView(const RCPtr<LControl>& parent, const String& name) : LCheckedListBox(parent, name) {}

LTreeView::~LTreeView() = default;

KXRESULT LTreeView::Initialize()
{
    // The table exists before the rows are made, so that every expander is
    // bound to the tree from its row's creation on.
    mTreeHandler = new TreeHandler(this);
    const KXRESULT result = LCheckedListBox::Initialize();
    if (result < 0)
        return result;
    // Rows taken from the skin ("item%d") were not made by CreateItemControl.
    for (int32_t row = 0; row < GetRowCount(); ++row)
        BindExpander(FindCheckBox(RCPtr<LControl>(RowAt(row).Get())));
    return result;
}

KXRESULT LTreeView::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                        const RCPtr<LNotification>& notification)
{
    if (mCreated && mTreeHandler && mTreeHandler->Binds(sender, notification)) {
        const RCPtr<TreeHandler> handler = mTreeHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LCheckedListBox::ReceiveNotification(sender, notification);
}

KXRESULT LTreeView::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender, const wchar_t* identifier)
{
    if (mTreeHandler)
        mTreeHandler->RemoveHandler(sender, identifier);
    return LCheckedListBox::UnregisterNotification(sender, identifier);
}

KXRESULT LTreeView::Sort()
{
    return E_NOTIMPL;
}

KXRESULT LTreeView::SortRange(int32_t, int32_t)
{
    return E_NOTIMPL;
}

RCPtr<LTreeViewItem> LTreeView::GetTreeRowControl(int32_t row)
{
    return RCPtr<LTreeViewItem>::DynamicCast(RowAt(row));
}

// ---- Rows ----

void LTreeView::BindExpander(const RCPtr<LButton>& checkBox)
{
    if (!checkBox || !mTreeHandler)
        return;
    const RCPtr<LNotificationDistributor> sender(checkBox.Get());
    const KXRESULT result =
        mAutoCheck ? mTreeHandler->AddHandler(&LTreeView::OnExpanderValueChange, sender, NID_VALUE_CHANGE)
                   : mTreeHandler->AddHandler(&LTreeView::OnExpanderLeftClick, sender, NID_LEFT_CLICK);
    KX_THROW_IF_FAILED(result, "KX::LTreeView::BindExpander", "Controls\\TreeView", __LINE__);
}

KXRESULT LTreeView::CreateItemControl()
{
    const KXRESULT result = LCheckedListBox::CreateItemControl();
    if (result < 0 || mRowPool.empty())
        return result;
    BindExpander(FindCheckBox(RCPtr<LControl>(RowAt(GetRowCount() - 1).Get())));
    return result;
}

KXRESULT LTreeView::SetAutoCheck(bool autoCheck)
{
    const bool changed = autoCheck != mAutoCheck;
    const KXRESULT result = LCheckedListBox::SetAutoCheck(autoCheck);
    if (!changed || !mTreeHandler)
        return result;
    for (int32_t row = 0; row < GetRowCount(); ++row) {
        const RCPtr<LButton> checkBox = FindCheckBox(RCPtr<LControl>(RowAt(row).Get()));
        if (!checkBox)
            continue;
        const RCPtr<LNotificationDistributor> sender(checkBox.Get());
        mTreeHandler->RemoveHandler(sender, autoCheck ? NID_LEFT_CLICK : NID_VALUE_CHANGE);
        BindExpander(checkBox);
    }
    return result;
}

KXRESULT LTreeView::UpdateItemControl(int32_t index, int32_t& row)
{
    // The binding sets the expanders' values: the tree does not take those
    // for the user's clicks.
    ScopedFlag updating(mUpdatingRows);
    const KXRESULT result = LCheckedListBox::UpdateItemControl(index, row);
    if (result < 0 || row < 0)
        return result;
    const RCPtr<LTreeViewItem> control = GetTreeRowControl(row);
    if (!control)
        return result;
    if (const RCPtr<LButton> checkBox = control->GetCheckBox())
        checkBox->SetEnabled(GetDescendantCount(index) != 0);
    control->SetIndent(GetItemDepth(index));
    return result;
}

void LTreeView::OnIdle()
{
    LCheckedListBox::OnIdle();
    // The tree does no timed work of its own: an idle request that neither
    // the queue of children waiting for removal nor a running kinetic
    // scroll holds is given back, one per idle pass.
    const int32_t held = (mDeferredRemovals.GetCount() > 0 ? 1 : 0) + (IsKineticScrollRunning(0) ? 1 : 0) +
                         (IsKineticScrollRunning(1) ? 1 : 0);
    if (GetIdleRequestCount() > held)
        ReleaseIdle();
}

// ---- Expanders ----

int32_t LTreeView::ExpanderItem(const RCPtr<LNotificationDistributor>& sender, RCPtr<LButton>& checkBox)
{
    if (mUpdatingRows)
        return -1;
    const int32_t index = ItemOfCheckBox(sender);
    checkBox = RCPtr<LButton>::DynamicCast(sender);
    return InRange(index) && checkBox ? index : -1;
}

KXRESULT LTreeView::OnExpanderValueChange(const RCPtr<LNotificationDistributor>& sender,
                                          const RCPtr<LNotification>&)
{
    RCPtr<LButton> checkBox;
    const int32_t index = ExpanderItem(sender, checkBox);
    if (index < 0)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    const double value = checkBox->GetNormalizedValue();
    const bool expanded = value >= 0.5;
    ItemData& record = mTreeItems[static_cast<size_t>(index)];
    if (record.mChecked != expanded) {
        record.mChecked = expanded;
        mCheckedCount += expanded ? 1 : -1;
    }
    FollowExpander(index, value, NID_ITEM_CHECK_CHANGE);
    return S_FALSE;
}

KXRESULT LTreeView::OnExpanderLeftClick(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&)
{
    RCPtr<LButton> checkBox;
    const int32_t index = ExpanderItem(sender, checkBox);
    if (index < 0)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    // The box did not change: the owner decides whether to expand.
    FollowExpander(index, checkBox->GetNormalizedValue(), NID_ITEM_CHECKBOX_CLICKED);
    return S_FALSE;
}

void LTreeView::FollowExpander(int32_t index, double value, const wchar_t* notificationId)
{
    UpdateDescendantsVisibility(index);
    UpdateItemControlsFrom(index);
    UpdateClientExtent();
    SelectItemRange(index, index, !mMultipleSelection);
    const RCPtr<LIndexedDataWithValueParam> data =
        LIndexedDataWithValueParam::Create(RCPtr<LRefCountedObject>(), index, value);
    SendItemNotification(notificationId, RCPtr<LRefCountedObject>(data.Get()));
}

KXRESULT LTreeView::ExpandItem(int32_t index)
{
    if (!InRange(index))
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    if (mAutoCheck && !IsItemChecked(index)) {
        // A collapsed item in a row opens through its expander, as a click
        // opens it: the expander's handler expands it, selects it and sends
        // "NID_ITEM_CHECK_CHANGE". The row is bound first, so that its
        // expander shows this item's state whatever the caller changed.
        int32_t row = -1;
        UpdateItemControl(index, row);
        const RCPtr<LButton> expander =
            row >= 0 ? FindCheckBox(RCPtr<LControl>(RowAt(row).Get())) : RCPtr<LButton>();
        if (expander) {
            expander->SetNormalizedValue(1.0);
            if (IsItemChecked(index))
                return S_OK;
        }
    }
    // Without a row, or without auto check (where the expander only
    // reports clicks), the tree expands the item itself, silently.
    SetItemChecked(index, true);
    UpdateDescendantsVisibility(index);
    UpdateItemControlsFrom(index);
    UpdateClientExtent();
    return S_OK;
}

} // namespace KX
