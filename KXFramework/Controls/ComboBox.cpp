// The combo box: its list and text field, the chosen item, the list's
// placement below or above the box, keys, and what the list and the field
// report.
#include "Controls/ComboBox.h"

#include "Application/RootWindow.h"
#include "ControlBase/StringTable.h"
#include "Controls/ListBoxItem.h"
#include "Notification/Notification.h"
#include "Notification/NotificationIDs.h"
#include "ObjectBase/Exception.h"
#include "Utilities/Geometry/NumberConversion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

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

// ---- Looks ----

int32_t LComboBox::StateLookIndex()
{
    if (!IsEnabled(true))
        return kLookDisabled;
    if (IsDropDownShown())
        return mHover ? kLookOpenHovered : kLookOpen;
    const bool focused = mHasFocus || mContainsFocus;
    if (mHover)
        return focused ? kLookHoveredFocused : kLookHovered;
    return focused ? kLookFocused : kLookNormal;
}

KXRESULT LComboBox::UpdateLook()
{
    SelectLook(StateLookIndex(), true);
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
