// The combo box: creation with its list and text field, the items and the
// chosen item, looks, keys, and what the list and the field report. Opening
// the list is ComboBoxDropDown.cpp.
#include "Controls/ComboBox.h"

#include "ControlBase/StringTable.h"
#include "Controls/ListBoxItem.h"
#include "Notification/Notification.h"
#include "Notification/NotificationIDs.h"
#include "ObjectBase/Exception.h"


namespace KX {

LComboBox::LComboBox(const RCPtr<LControl>& parent, const String& name) : LDropDownControl(parent, name) {}

LComboBox::~LComboBox() = default;

// ---- Creation ----

KXRESULT LComboBox::ApplyCreateParams()
{
    const KXRESULT result = LDropDownControl::ApplyCreateParams();
    mInitialSelectedIndex = 0;
    const ConstRCPtr<LStringTable> params = mDescriptor ? mDescriptor->GetCreateParams() : ConstRCPtr<LStringTable>();
    String text;
    if (params && params->GetString(L"INITIAL_SELECTED_INDEX", text))
        mInitialSelectedIndex = text.ToInt();
    return result;
}

KXRESULT LComboBox::Initialize()
{
    if (LDropDownControl::Initialize() < 0)
        return E_FAIL;
    mListBox = RCPtr<LListBox>::DynamicCast(FindChild(String(L"listBox")));
    if (!mListBox)
        return E_FAIL;

    mComboHandler = new ComboHandler(this);
    const RCPtr<LNotificationDistributor> list(mListBox.Get());
    KX_THROW_IF_FAILED(mComboHandler->AddHandler(&LComboBox::OnListVisibilityChange, list,
                                                 NID_VISIBLITY_CONDITION_CHANGE),
                       "KX::LComboBox::Initialize", "Controls\\ComboBox", 72);
    KX_THROW_IF_FAILED(mComboHandler->AddHandler(&LComboBox::OnListItemActivated, list, NID_ITEM_ACTIVATED),
                       "KX::LComboBox::Initialize", "Controls\\ComboBox", 73);
    if (const RCPtr<LTextBox> field = TextField()) {
        const RCPtr<LNotificationDistributor> source(field.Get());
        KX_THROW_IF_FAILED(mComboHandler->AddHandler(&LComboBox::OnFieldNotification, source, NID_TEXTBOX_VALIDATING),
                           "KX::LComboBox::Initialize", "Controls\\ComboBox", 77);
        KX_THROW_IF_FAILED(mComboHandler->AddHandler(&LComboBox::OnFieldValidated, source, NID_TEXTBOX_VALIDATED),
                           "KX::LComboBox::Initialize", "Controls\\ComboBox", 78);
        KX_THROW_IF_FAILED(mComboHandler->AddHandler(&LComboBox::OnFieldNotification, source, NID_TEXTBOX_TEXT_CHANGE),
                           "KX::LComboBox::Initialize", "Controls\\ComboBox", 79);
        KX_THROW_IF_FAILED(mComboHandler->AddHandler(&LComboBox::OnFieldFocusChange, source,
                                                     NID_HAS_FOCUS_CONDITION_CHANGE),
                           "KX::LComboBox::Initialize", "Controls\\ComboBox", 80);
    }

    mListBox->SetDropDownMode(true);
    // A release outside the box (over no item) closes the list.
    mListBox->SetHidesOnReleaseOutsideParent(true);
    mListBox->SetVisible(false);

    if (mStringTable) {
        mListBox->LoadItemsFromStringTable(mStringTable);
        if (mInitialSelectedIndex >= 0 && mInitialSelectedIndex < mListBox->GetItemCount() &&
            mListBox->SelectItemRange(mInitialSelectedIndex, -1, true) >= 0) {
            const String text = mListBox->GetItemText(mInitialSelectedIndex);
            LControl::SetText(text);
            // The field shows the first choice too.
            if (const RCPtr<LTextBox> field = TextField())
                field->SetText(text);
            mSelectedIndex = mInitialSelectedIndex;
        }
    }
    return S_OK;
}

KXRESULT LComboBox::OnCreated()
{
    LDropDownControl::OnCreated();
    if (mListBox)
        mListBox->SetVisible(false);
    ApplyListSizeLimits();
    return S_OK;
}

RCPtr<LTextBox> LComboBox::TextField() const
{
    return RCPtr<LTextBox>::DynamicCast(FindChild(String(L"textBox")));
}

// ---- Items and the choice ----

const RCPtr<LTaggableObject>& LComboBox::GetItemObject(int32_t index)
{
    return mListBox ? mListBox->GetItemObject(index) : RCPtr<LTaggableObject>::sNull;
}

int32_t LComboBox::InsertItem(int32_t index, const RCPtr<LTaggableObject>& text)
{
    if (!text)
        return E_INVALIDARG;
    if (!mListBox)
        return E_FAIL;
    const RCPtr<LControl> self(this);
    const int32_t inserted = mListBox->InsertItem(index, text);
    if (inserted < 0)
        return inserted;
    if (mSelectedIndex >= inserted)
        ++mSelectedIndex; // the chosen item stays chosen
    else if (mSelectedIndex < 0 && text->ToString() == mText)
        SetSelectedIndex(inserted);
    return inserted;
}

int32_t LComboBox::AddItem(const String& text)
{
    return InsertItem(mListBox ? mListBox->GetItemCount() : 0, CreateStringItem(text));
}

KXRESULT LComboBox::SetText(const String& text)
{
    const RCPtr<LControl> self(this);
    if (!ChangeText(text, true))
        return S_FALSE;
    SetSelectedIndex(mListBox ? mListBox->FindItemByText(text, false) : -1);
    return S_OK;
}

int32_t LComboBox::SetSelectedIndex(int32_t index)
{
    if (!mListBox) {
        mSelectedIndex = -1;
        return -1;
    }
    const RCPtr<LControl> self(this);
    if (index < 0) {
        // Nothing chosen: the text stays, and nobody is told.
        mSelectedIndex = -1;
        mListBox->DeselectAll();
        return -1;
    }
    const int32_t chosen = mListBox->SelectItemRange(index, index, true);
    const bool changed = chosen != mSelectedIndex;
    mSelectedIndex = chosen < 0 ? -1 : chosen;
    if (chosen < 0)
        return -1;
    const String text = mListBox->GetItemText(chosen);
    ChangeText(text, true);
    if (const RCPtr<LTextBox> field = TextField())
        field->SetText(text);
    if (changed)
        SendNotificationWithData(NID_SELECTION_CHANGE);
    return mSelectedIndex;
}

KXRESULT LComboBox::SetItemCount(int32_t count)
{
    if (!mListBox)
        return E_FAIL;
    const RCPtr<LControl> self(this);
    const KXRESULT result = mListBox->SetItemCount(count);
    if (mSelectedIndex >= count)
        SetSelectedIndex(-1);
    if (IsDropDownShown())
        DoShowDropDown(true);
    return result;
}

// ---- Looks ----

KXRESULT LComboBox::UpdateLook()
{
    SelectLook(FieldStateLook(), true);
    return S_OK;
}

void LComboBox::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    if (!param)
        return;
    const RCPtr<LControl> self(this);
    const bool pressStarted = (param->mNewConditions & kLeftPressed) && !(param->mOldConditions & kLeftPressed);
    if (pressStarted && mListBox) {
        // The press in the list's coordinates (the point is the press in the
        // parent's).
        const RectT<double>& list = mListBox->GetRect();
        mPressPoint = PointT<double>(param->mPoint.x - mRect.x - list.x, param->mPoint.y - mRect.y - list.y);
    }
    LDropDownControl::OnConditionsChanged(param);
    UpdateLook();
}

StringT<wchar_t, char> LComboBox::GetToolTipText()
{
    return IsTextTruncated() ? mText : LDropDownControl::GetToolTipText();
}

// ---- Keys ----

KXRESULT LComboBox::OnKey(const RCPtr<LKeyParam>& param)
{
    if (!param)
        return S_FALSE;
    const uint32_t keyWord = param->mKey.GetCode();
    const bool open = IsDropDownShown();
    if (!open && (keyWord == kDownKey || keyWord == kEnterKey)) {
        DoShowDropDown(true);
        return S_OK;
    }
    if (open && keyWord == kEscapeKey) {
        mListBox->SetVisible(false);
        return S_OK;
    }
    return S_FALSE;
}

KXRESULT LComboBox::ProcessHotKey(const RCPtr<LKeyParam>& param)
{
    if (param && param->mKey.GetCode() == kEscapeKey && IsDropDownShown()) {
        mListBox->SetVisible(false);
        return S_OK;
    }
    // The window's bindings and the application's hot keys (Alt+F4, the
    // edit keys) reach keys from the list and the field as from any control.
    return LDropDownControl::ProcessHotKey(param);
}

// ---- What the list and the field report ----

KXRESULT LComboBox::OnListItemActivated(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    const RCPtr<LControl> self(this);
    const int32_t caret = mListBox->GetCaretIndex();
    SetSelectedIndex(caret < mListBox->GetItemCount() ? caret : -1);
    return S_FALSE;
}

KXRESULT LComboBox::OnListVisibilityChange(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    UpdateLook();
    return S_OK;
}

KXRESULT LComboBox::OnFieldFocusChange(const RCPtr<LNotificationDistributor>&,
                                       const RCPtr<LNotification>& notification)
{
    const RCPtr<LConditionsParam> param =
        notification ? RCPtr<LConditionsParam>::DynamicCast(notification->GetData()) : RCPtr<LConditionsParam>();
    if (param && (param->mNewConditions & kHasFocus) && !(param->mOldConditions & kHasFocus) && mListBox)
        mListBox->SetVisible(false);
    return S_OK;
}

KXRESULT LComboBox::OnFieldNotification(const RCPtr<LNotificationDistributor>&,
                                        const RCPtr<LNotification>& notification)
{
    if (notification)
        SendNotificationWithData(notification->GetID(), notification->GetData());
    return S_OK;
}

KXRESULT LComboBox::OnFieldValidated(const RCPtr<LNotificationDistributor>&,
                                     const RCPtr<LNotification>& notification)
{
    if (!notification)
        return S_OK;
    const RCPtr<LControl> self(this);
    if (const RCPtr<LTextValidationParams> params =
            RCPtr<LTextValidationParams>::DynamicCast(notification->GetData())) {
        // The typed text chooses its item; a text of no item chooses none.
        SetSelectedIndex(mListBox->SelectItemByText(params->mProposedText, -1, false));
    }
    SendNotificationWithData(NID_TEXTBOX_VALIDATED, notification->GetData());
    return S_OK;
}

// ---- Notifications ----

KXRESULT LComboBox::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                        const RCPtr<LNotification>& notification)
{
    if (mCreated && mComboHandler && mComboHandler->Binds(sender, notification)) {
        const RCPtr<ComboHandler> handler = mComboHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LDropDownControl::ReceiveNotification(sender, notification);
}

KXRESULT LComboBox::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                           const wchar_t* identifier)
{
    if (mComboHandler)
        mComboHandler->RemoveHandler(sender, identifier);
    return LDropDownControl::UnregisterNotification(sender, identifier);
}

} // namespace KX
