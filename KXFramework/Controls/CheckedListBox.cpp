// The checked list box: checked records, the check box of every row bound to
// the list in one of two modes, the checked count, and the icons of a list
// with icons.
#include "Controls/CheckedListBox.h"

#include "ControlBase/Look.h"
#include "Notification/NotificationIDs.h"
#include "ObjectBase/Exception.h"
#include "Utilities/Graphics/Bitmap.h"

#include <typeinfo>
#include <utility>

namespace KX {

namespace {

constexpr const char* kSource = "Controls\\CheckedListBox";
constexpr const wchar_t* kCheckBoxName = L"checkBox";

} // namespace

RCPtr<LIndexedDataWithValueParam> LIndexedDataWithValueParam::Create(const RCPtr<LRefCountedObject>& data,
                                                                     int32_t index, double value)
{
    RCPtr<LIndexedDataWithValueParam> param(new LIndexedDataWithValueParam());
    param->mData = data;
    param->mIndex = index;
    param->mValue = value;
    return param;
}

LCheckedListBox::LCheckedListBox(const RCPtr<LControl>& parent, const String& name) : LListBox(parent, name) {}

LCheckedListBox::~LCheckedListBox() = default;

// ---- Creation ----

KXRESULT LCheckedListBox::Initialize()
{
    // Rows made by the list box's creation bind their check boxes at once.
    mCheckedHandler = new Handler(this);
    const KXRESULT result = LListBox::Initialize();
    if (result < 0)
        return result;
    // Only the checked list box itself takes icons from its looks; a control
    // built on it uses its fourth look for its own ends.
    if (typeid(*this) == typeid(LCheckedListBox))
        LoadIcons();
    // Rows taken from the skin ("item%d") have check boxes too.
    for (int32_t k = 0; k < GetRowCount(); ++k)
        PrepareCheckBox(FindCheckBox(RCPtr<LControl>(RowAt(k).Get())));
    UpdateItemControlsFrom(mTopIndex);
    return S_OK;
}

void LCheckedListBox::LoadIcons()
{
    if (GetLookCount() <= kIconLook || !mLooks.GetAt(kIconLook))
        return;
    const ConstRCPtr<LLookDescriptor>& look = mLooks.GetAt(kIconLook)->GetDescriptor();
    if (look) {
        const RCPtrArray<LDockedPart>& parts = look->GetNonClientParts();
        for (int32_t i = 0; i < parts.GetCount(); ++i) {
            const RCPtr<LVisualPart> part = parts.GetAt(i) ? parts.GetAt(i)->GetVisualPart() : RCPtr<LVisualPart>();
            if (part && part->GetBitmap())
                mIcons.AddItem(ConstRCPtr<LBitmap>(part->GetBitmap().Get()));
        }
    }
    SetCheckBoxesIgnorePointer(true);
}

KXRESULT LCheckedListBox::CreateItemControl()
{
    const KXRESULT result = LListBox::CreateItemControl();
    if (result < 0)
        return result;
    PrepareCheckBox(FindCheckBox(RCPtr<LControl>(RowAt(GetRowCount() - 1).Get())));
    return result;
}

void LCheckedListBox::PrepareCheckBox(const RCPtr<LButton>& checkBox)
{
    if (!checkBox || !mCheckedHandler)
        return;
    checkBox->SetIgnoresPointer(mCheckBoxesIgnorePointer);
    checkBox->SetAutoValueSet(mAutoCheck);
    const RCPtr<LNotificationDistributor> sender(checkBox.Get());
    if (mAutoCheck) {
        if (!mCheckedHandler->IsBound(sender, NID_VALUE_CHANGE))
            KX_THROW_IF_FAILED(mCheckedHandler->AddHandler(&LCheckedListBox::OnCheckBoxValueChange, sender,
                                                           NID_VALUE_CHANGE),
                               "KX::LCheckedListBox::PrepareCheckBox", kSource, __LINE__);
    } else if (!mCheckedHandler->IsBound(sender, NID_LEFT_CLICK)) {
        KX_THROW_IF_FAILED(mCheckedHandler->AddHandler(&LCheckedListBox::OnCheckBoxLeftClick, sender, NID_LEFT_CLICK),
                           "KX::LCheckedListBox::PrepareCheckBox", kSource, __LINE__);
    }
}

// ---- Notifications ----

KXRESULT LCheckedListBox::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                              const RCPtr<LNotification>& notification)
{
    if (mCreated && mCheckedHandler && mCheckedHandler->Binds(sender, notification)) {
        const RCPtr<Handler> handler = mCheckedHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LListBox::ReceiveNotification(sender, notification);
}

KXRESULT LCheckedListBox::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                                 const wchar_t* identifier)
{
    if (mCheckedHandler)
        mCheckedHandler->RemoveHandler(sender, identifier);
    return LListBox::UnregisterNotification(sender, identifier);
}

int32_t LCheckedListBox::ItemOfCheckBox(const RCPtr<LNotificationDistributor>& sender)
{
    const RCPtr<LControl> checkBox = RCPtr<LControl>::DynamicCast(sender);
    if (!checkBox || !checkBox->GetParent())
        return -1;
    const int32_t index = GetItemControlIndex(checkBox->GetParent());
    return index < GetItemCount() ? index : -1;
}

KXRESULT LCheckedListBox::OnCheckBoxValueChange(const RCPtr<LNotificationDistributor>& sender,
                                                const RCPtr<LNotification>&)
{
    return FollowCheckBox(sender, NID_ITEM_CHECK_CHANGE);
}

KXRESULT LCheckedListBox::OnCheckBoxLeftClick(const RCPtr<LNotificationDistributor>& sender,
                                              const RCPtr<LNotification>&)
{
    return FollowCheckBox(sender, NID_ITEM_CHECKBOX_CLICKED);
}

KXRESULT LCheckedListBox::FollowCheckBox(const RCPtr<LNotificationDistributor>& sender, const wchar_t* identifier)
{
    const int32_t index = ItemOfCheckBox(sender);
    if (index < 0)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    const double value = RCPtr<LControl>::DynamicCast(sender)->GetNormalizedValue();
    const RCPtr<LIndexedDataWithValueParam> data =
        LIndexedDataWithValueParam::Create(RCPtr<LRefCountedObject>(), index, value);
    // The flag follows what the box shows: a box that toggled itself moves
    // the count; a clicked box without auto check kept its value, and a value
    // that stays on the same side of 0.5 changes no count.
    ItemData& item = *GetCheckedItemData(index);
    const bool checked = value >= 0.5;
    if (item.mChecked != checked) {
        item.mChecked = checked;
        mCheckedCount += checked ? 1 : -1;
    }
    SelectItemRange(index, index, !mMultipleSelection);
    SendItemNotification(identifier, RCPtr<LRefCountedObject>(data.Get()));
    return S_FALSE;
}

// ---- Records ----

int32_t LCheckedListBox::GetItemCount()
{
    return static_cast<int32_t>(mCheckedItems.size());
}

LListBox::ItemData* LCheckedListBox::GetItemData(int32_t index)
{
    return GetCheckedItemData(index);
}

LCheckedListBox::ItemData* LCheckedListBox::GetCheckedItemData(int32_t index)
{
    return &mCheckedItems[static_cast<size_t>(index)];
}

KXRESULT LCheckedListBox::InsertItemData(int32_t index)
{
    mCheckedItems.insert(mCheckedItems.begin() + index, ItemData());
    return S_OK;
}

KXRESULT LCheckedListBox::EraseItemData(int32_t index)
{
    if (mCheckedItems[static_cast<size_t>(index)].mChecked)
        --mCheckedCount;
    mCheckedItems.erase(mCheckedItems.begin() + index);
    return S_OK;
}

KXRESULT LCheckedListBox::SwapItems(int32_t a, int32_t b)
{
    std::swap(mCheckedItems[static_cast<size_t>(a)], mCheckedItems[static_cast<size_t>(b)]);
    return S_OK;
}

int32_t LCheckedListBox::SetItemCount(int32_t count)
{
    const int32_t result = LListBox::SetItemCount(count);
    CountCheckedItems();
    return result;
}

int32_t LCheckedListBox::CountCheckedItems()
{
    int32_t checked = 0;
    for (const ItemData& item : mCheckedItems) {
        if (item.mChecked)
            ++checked;
    }
    mCheckedCount = checked;
    return checked;
}

// ---- Checked state and icons ----

bool LCheckedListBox::IsItemChecked(int32_t index)
{
    return index >= 0 && index < GetItemCount() && GetCheckedItemData(index)->mChecked;
}

void LCheckedListBox::SetItemChecked(int32_t index, bool checked)
{
    if (index < 0 || index >= GetItemCount())
        return;
    ItemData& item = *GetCheckedItemData(index);
    if (item.mChecked == checked)
        return;
    item.mChecked = checked;
    mCheckedCount += checked ? 1 : -1;
    int32_t row = -1;
    UpdateItemControl(index, row);
}

RCPtr<LBitmap> LCheckedListBox::GetItemIcon(int32_t index)
{
    if (index < 0 || index >= GetItemCount())
        return RCPtr<LBitmap>();
    if (mIcons.GetCount() > 0)
        return RCPtr<LBitmap>(mIcons.GetAt(index % mIcons.GetCount()).Get());
    return GetCheckedItemData(index)->mIcon;
}

// ---- Rows and check boxes ----

RCPtr<LCheckedListBoxItem> LCheckedListBox::GetRowControl(int32_t row)
{
    return RCPtr<LCheckedListBoxItem>::DynamicCast(RowAt(row));
}

RCPtr<LButton> LCheckedListBox::FindCheckBox(const RCPtr<LControl>& row)
{
    if (!row)
        return RCPtr<LButton>();
    return RCPtr<LButton>::DynamicCast(row->FindChild(String(kCheckBoxName)));
}

void LCheckedListBox::SetCheckBoxValueQuietly(const RCPtr<LButton>& checkBox, double value)
{
    if (checkBox->GetNormalizedValue() == value)
        return;
    const RCPtr<LNotificationDistributor> sender(checkBox.Get());
    if (mAutoCheck && mCheckedHandler && mCheckedHandler->IsBound(sender, NID_VALUE_CHANGE)) {
        CAutoNotificationDisabler<LCheckedListBox> mute(mCheckedHandler, sender, NID_VALUE_CHANGE);
        checkBox->SetNormalizedValue(value);
    } else {
        checkBox->SetNormalizedValue(value);
    }
}

KXRESULT LCheckedListBox::UpdateItemControl(int32_t index, int32_t& row)
{
    const KXRESULT result = LListBox::UpdateItemControl(index, row);
    if (result < 0 || row < 0)
        return result;
    const RCPtr<LListBoxItem> control = RowAt(row);
    const RCPtr<LButton> checkBox = FindCheckBox(RCPtr<LControl>(control.Get()));
    if (!checkBox)
        return result;
    const RCPtr<LCheckedListBoxItem> checkedRow = RCPtr<LCheckedListBoxItem>::DynamicCast(control);
    const bool exists = index < GetItemCount();
    SetCheckBoxValueQuietly(checkBox, exists && GetCheckedItemData(index)->mChecked ? 1.0 : 0.0);
    if (checkedRow)
        checkedRow->SetCheckBoxIcon(exists ? GetItemIcon(index) : RCPtr<LBitmap>());
    checkBox->SetVisible(exists);
    return result;
}

KXRESULT LCheckedListBox::SetAutoCheck(bool autoCheck)
{
    if (autoCheck == mAutoCheck)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    mAutoCheck = autoCheck;
    for (int32_t k = 0; k < GetRowCount(); ++k) {
        const RCPtr<LButton> checkBox = FindCheckBox(RCPtr<LControl>(RowAt(k).Get()));
        if (!checkBox)
            continue;
        const RCPtr<LNotificationDistributor> sender(checkBox.Get());
        // The binding of the other mode goes; PrepareCheckBox makes this one's.
        if (mCheckedHandler->IsBound(sender, autoCheck ? NID_LEFT_CLICK : NID_VALUE_CHANGE))
            UnregisterNotification(sender, autoCheck ? NID_LEFT_CLICK : NID_VALUE_CHANGE);
        PrepareCheckBox(checkBox);
    }
    return S_OK;
}

void LCheckedListBox::SetCheckBoxesIgnorePointer(bool ignore)
{
    mCheckBoxesIgnorePointer = ignore;
    for (int32_t k = 0; k < GetRowCount(); ++k) {
        if (const RCPtr<LButton> checkBox = FindCheckBox(RCPtr<LControl>(RowAt(k).Get())))
            checkBox->SetIgnoresPointer(ignore);
    }
}

} // namespace KX
