// The checked combo box: the combo box over a checked list, with the chosen
// item's check state and icon on its own "checkBox" button and a second set
// of looks while any item is checked.
#include "Controls/CheckedComboBox.h"

#include "Controls/Button.h"
#include "Notification/Notification.h"
#include "Notification/NotificationIDs.h"
#include "ObjectBase/Exception.h"
#include "Renderer/Renderer.h"
#include "Utilities/Graphics/Bitmap.h"

namespace KX {

LCheckedComboBox::LCheckedComboBox(const RCPtr<LControl>& parent, const String& name) : LComboBox(parent, name) {}

LCheckedComboBox::~LCheckedComboBox() = default;

RCPtr<LButton> LCheckedComboBox::CheckBox() const
{
    return RCPtr<LButton>::DynamicCast(FindChild(String(L"checkBox")));
}

// ---- Creation ----

KXRESULT LCheckedComboBox::Initialize()
{
    mCheckedListBox = RCPtr<LCheckedListBox>::DynamicCast(FindChild(String(L"listBox")));
    if (LComboBox::Initialize() < 0 || !mCheckedListBox)
        return E_FAIL;
    if (const RCPtr<LButton> box = CheckBox())
        box->SetUseParentToolTip(true);
    mCheckedListBox->SetDropDownMode(true);
    if (mCheckedListBox->GetIcons().GetCount() > 0)
        SetCheckBoxIgnoresPointer(true);
    mCheckedComboHandler = new CheckedComboHandler(this);
    KX_THROW_IF_FAILED(mCheckedComboHandler->AddHandler(&LCheckedComboBox::OnListCheckChange,
                                                        RCPtr<LNotificationDistributor>(mCheckedListBox.Get()),
                                                        NID_ITEM_CHECK_CHANGE),
                       "KX::LCheckedComboBox::Initialize", "Controls\\CheckedComboBox", 41);
    return S_OK;
}

KXRESULT LCheckedComboBox::OnCreated()
{
    const int32_t chosen = GetSelectedIndex();
    const RCPtr<LBitmap> icon =
        chosen >= 0 && mCheckedListBox ? mCheckedListBox->GetItemIcon(chosen) : RCPtr<LBitmap>();
    if (CheckBox())
        ShowIcon(icon);
    return LComboBox::OnCreated();
}

void LCheckedComboBox::SetCheckBoxIgnoresPointer(bool ignores)
{
    mCheckBoxIgnoresPointer = ignores;
    if (const RCPtr<LButton> box = CheckBox())
        box->SetIgnoresPointer(ignores);
}

// ---- The choice and the looks ----

void LCheckedComboBox::ShowIcon(const RCPtr<LBitmap>& icon)
{
    const RCPtr<LButton> box = CheckBox();
    if (!box)
        return;
    for (int32_t i = box->GetLookCount() - 1; i >= 0; --i) {
        if (box->GetLook(i))
            box->SetLookImage(icon, ResizeStretch, i, true);
    }
}

int32_t LCheckedComboBox::SetSelectedIndex(int32_t index)
{
    const RCPtr<LControl> self(this);
    if (const RCPtr<LButton> box = CheckBox()) {
        RCPtr<LBitmap> icon;
        if (mCheckedListBox && index >= 0 && index < mCheckedListBox->GetItemCount()) {
            box->SetNormalizedValue(mCheckedListBox->IsItemChecked(index) ? 1.0 : 0.0);
            icon = mCheckedListBox->GetItemIcon(index);
        }
        ShowIcon(icon);
    }
    return LComboBox::SetSelectedIndex(index);
}

KXRESULT LCheckedComboBox::SetItemCount(int32_t count)
{
    const KXRESULT result = LComboBox::SetItemCount(count);
    UpdateLook();
    return result;
}

KXRESULT LCheckedComboBox::UpdateLook()
{
    const bool anyChecked = mCheckedListBox && mCheckedListBox->GetCheckedCount() > 0;
    SelectLook(FieldStateLook() + (anyChecked ? kCheckedLookOffset : 0), true);
    return S_OK;
}

KXRESULT LCheckedComboBox::OnListCheckChange(const RCPtr<LNotificationDistributor>&,
                                             const RCPtr<LNotification>& notification)
{
    if (!notification)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    // Only the first check and the last uncheck change the set of looks.
    const int32_t checked = mCheckedListBox->GetCheckedCount();
    if (checked == 0 || checked == 1)
        UpdateLook();
    // The check box shows the chosen item's state as it changes.
    const RCPtr<LIndexedDataWithValueParam> change =
        RCPtr<LIndexedDataWithValueParam>::DynamicCast(notification->GetData());
    if (change && change->mIndex >= 0 && change->mIndex == GetSelectedIndex()) {
        if (const RCPtr<LButton> box = CheckBox())
            box->SetNormalizedValue(mCheckedListBox->IsItemChecked(change->mIndex) ? 1.0 : 0.0);
    }
    SendNotificationWithData(NID_ITEM_CHECK_CHANGE, notification->GetData());
    return S_FALSE;
}

// ---- Notifications ----

KXRESULT LCheckedComboBox::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                               const RCPtr<LNotification>& notification)
{
    if (mCreated && mCheckedComboHandler && mCheckedComboHandler->Binds(sender, notification)) {
        const RCPtr<CheckedComboHandler> handler = mCheckedComboHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LComboBox::ReceiveNotification(sender, notification);
}

KXRESULT LCheckedComboBox::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                                  const wchar_t* identifier)
{
    if (mCheckedComboHandler)
        mCheckedComboHandler->RemoveHandler(sender, identifier);
    return LComboBox::UnregisterNotification(sender, identifier);
}

} // namespace KX
