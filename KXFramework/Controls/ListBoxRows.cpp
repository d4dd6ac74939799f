// The list box's rows: creation from the template or the "item%d" children,
// the row pool and how it follows the child list, binding items to rows and
// mapping between them, and the operations that act on one item's row.
// Measuring, widths, the client extent and the string table are in
// ListBoxLayout.cpp.
#include "Controls/ListBox.h"

#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "ControlBase/ControlFactory.h"
#include "Controls/ScopedFlag.h"
#include "Notification/NotificationIDs.h"
#include "ObjectBase/Exception.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace KX {

namespace {

constexpr const char* kSource = "Controls\\ListBox";
constexpr const wchar_t* kTemplateName = L"templateItem";
constexpr const wchar_t* kNumberedRowPrefix = L"item";

// The pool slot of a child named "item<N>" (N - 1), or -1 for another name.
int32_t NumberedRowSlot(const StringT<wchar_t, char>& name)
{
    const int32_t prefix = static_cast<int32_t>(std::wcslen(kNumberedRowPrefix));
    if (name.GetLength() <= prefix || name.Left(prefix) != kNumberedRowPrefix)
        return -1;
    const StringT<wchar_t, char> digits = name.Mid(prefix);
    for (int32_t i = 0; i < digits.GetLength(); ++i) {
        if (!std::iswdigit(digits.GetData()[i]))
            return -1;
    }
    const int32_t number = _wtoi(digits.GetData());
    return number >= 1 ? number - 1 : -1;
}

} // namespace

// ---- Creation ----

KXRESULT LListBox::Initialize()
{
    const KXRESULT result = LScrollView::Initialize();
    if (result < 0)
        return result;
    const RCPtr<LControl> self(this);
    mListBoxHandler = new Handler(this);
    SetAutoClientExtent(0, 0, 0);

    const RCPtr<LControl> templateRow = FindChild(String(kTemplateName));
    const RCPtr<LControlDescriptor> templateDescriptor =
        mDescriptor ? mDescriptor->FindChild(String(kTemplateName)) : RCPtr<LControlDescriptor>();
    if (templateRow && templateDescriptor) {
        mTemplateDescriptor = templateDescriptor;
        ApplyTemplateItem(templateRow);
        templateRow->Detach();
        SetRowMode(true, mRowHeight);
        UpdateScrollBarRanges();
        LoadItemsFromStringTable(GetStringTable());
        // The view is filled with rows from the start, items or not.
        EnsureEnoughItemControls();
    } else {
        AdoptNumberedRows();
    }
    return S_OK;
}

void LListBox::AdoptNumberedRows()
{
    int32_t found = 0;
    for (int32_t number = 1;; ++number) {
        const RCPtr<LListBoxItem> row = RCPtr<LListBoxItem>::DynamicCast(
            FindChild(String::CreateFormatted(L"%ls%d", kNumberedRowPrefix, number)));
        if (!row)
            break;
        if (number == 1)
            ApplyTemplateItem(RCPtr<LControl>(row.Get()));
        mRowPool.push_back(static_cast<uint32_t>(GetChildIndex(RCPtr<LControl>(row.Get()), kInsertionOrder)));
        const int32_t index = GetItemCount();
        InsertItemData(index);
        GetItemData(index)->mText = CreateStringItem(row->GetText());
        AttachRow(row);
        ++found;
    }
    if (found == 0)
        return;
    UpdateItemControlsFrom(0);
    FitDropDownHeight();
    UpdateClientExtent();
}

KXRESULT LListBox::CreateItemControl()
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    if (!mTemplateDescriptor || !mTemplateDescriptor->GetLayoutDescriptor() || !application ||
        !application->GetControlFactory())
        return E_FAIL;
    const RCPtr<LControlFactory> factory = application->GetControlFactory();
    const RCPtr<LControl> self(this);
    // The new row's own layout must not start another row meanwhile.
    ScopedFlag creating(mCreatingRows);

    // Each row stands just below the previous one and stays where it is
    // when the list scrolls; its text never widens it.
    const RCPtr<LLayoutDescriptor> layout = mTemplateDescriptor->GetLayoutDescriptor()->Clone();
    layout->mYIsDocked = true;
    layout->mYPosition.mAnchor = 0.0f;
    layout->mYPosition.mAbs = 0.0;
    if (const RCPtr<LListBoxItem> last = RowAt(GetRowCount() - 1)) {
        layout->mYPosition.mKind = LLayoutDescriptor::PositionControl;
        layout->mYPosition.mControlName = last->GetName();
        layout->mYPosition.mRel = 1.0f;
    } else {
        layout->mYPosition.mKind = LLayoutDescriptor::PositionClient;
        layout->mYPosition.mControlName = String();
        layout->mYPosition.mRel = 0.0f;
    }
    layout->mTextOverflowXType = LLayoutDescriptor::OverflowXClip;

    RCPtr<LControlDescriptor> descriptor;
    const String name = String::CreateFormatted(L"ItemControl%d", GetRowCount() + 1);
    if (factory->CloneDescriptor(descriptor, mTemplateDescriptor, ConstRCPtr<LLayoutDescriptor>(layout.Get()),
                                 name) < 0 ||
        !descriptor)
        return E_FAIL;
    RCPtr<LControl> created;
    factory->CreateControl(created, self, descriptor);
    const RCPtr<LListBoxItem> row = RCPtr<LListBoxItem>::DynamicCast(created);
    if (!row || row->GetParent().Get() != this) {
        if (created && created->GetParent().Get() == this)
            created->Detach();
        return E_FAIL;
    }
    AttachRow(row);
    row->SetUseParentToolTip(true);
    mRowPool.push_back(static_cast<uint32_t>(GetChildIndex(created, kInsertionOrder)));
    // The new row shows the item that follows the previous row's.
    int32_t bound = -1;
    UpdateItemControl(GetItemControlIndex(created), bound);
    return S_OK;
}

void LListBox::AttachRow(const RCPtr<LListBoxItem>& row)
{
    const RCPtr<LNotificationDistributor> sender(row.Get());
    KX_THROW_IF_FAILED(mListBoxHandler->AddHandler(&LListBox::OnRowMouseDown, sender, NID_MOUSE_DOWN),
                       "KX::LListBox::AttachRow", kSource, __LINE__);
    KX_THROW_IF_FAILED(mListBoxHandler->AddHandler(&LListBox::OnRowMouseUp, sender, NID_MOUSE_UP),
                       "KX::LListBox::AttachRow", kSource, __LINE__);
    KX_THROW_IF_FAILED(
        mListBoxHandler->AddHandler(&LListBox::OnRowLeftDragCondition, sender, NID_LEFT_DRAG_CONDITION_CHANGE),
        "KX::LListBox::AttachRow", kSource, __LINE__);
    KX_THROW_IF_FAILED(mListBoxHandler->AddHandler(&LListBox::OnRowHoverCondition, sender, NID_HOVER_CONDITION_CHANGE),
                       "KX::LListBox::AttachRow", kSource, __LINE__);
    row->SetDropDown(mDropDownMode);
    row->SetDragThreshold(mRowDragThreshold);
}

KXRESULT LListBox::EnsureEnoughItemControls()
{
    if (mCreatingRows || mApplyingDescriptor)
        return S_OK;
    if (!mTemplateApplied || !mTemplateDescriptor)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    ScopedFlag creating(mCreatingRows);
    const RectT<double> client = GetLookClientRect(-1);
    const double limit = client.y + client.height + mScrollOffset.y;
    const auto lastBottom = [this]() {
        const RCPtr<LListBoxItem> last = RowAt(GetRowCount() - 1);
        return last ? last->GetRect().y + last->GetRect().height : 0.0;
    };
    // Rows of no height (a template that measures 0) would never fill the
    // view: one is enough.
    const RCPtr<LListBoxItem> last = RowAt(GetRowCount() - 1);
    if (last && !(last->GetRect().height > 0.0))
        return S_OK;
    for (double bottom = lastBottom(); bottom < limit;) {
        if (CreateItemControl() < 0)
            break;
        // A row that adds no height would never fill the view.
        const double next = lastBottom();
        if (!(next > bottom))
            break;
        bottom = next;
    }
    return S_OK;
}

// ---- The pool and the child list ----

RCPtr<LListBoxItem> LListBox::RowAt(int32_t row) const
{
    if (row < 0 || row >= GetRowCount())
        return RCPtr<LListBoxItem>();
    const int32_t child = static_cast<int32_t>(mRowPool[static_cast<size_t>(row)]);
    if (child >= mChildren.GetCount())
        return RCPtr<LListBoxItem>();
    return RCPtr<LListBoxItem>::DynamicCast(mChildren.GetAt(child, kInsertionOrder));
}

RCPtr<LListBoxItem> LListBox::GetRowControl(int32_t row)
{
    return RowAt(row);
}

void LListBox::OnChildRemoved(const RCPtr<LControl>& child, int32_t formerIndex)
{
    // Only a row's own entry leaves the pool; every later child moved down
    // by one place.
    const auto own = std::find(mRowPool.begin(), mRowPool.end(), static_cast<uint32_t>(formerIndex));
    if (own != mRowPool.end())
        mRowPool.erase(own);
    for (uint32_t& entry : mRowPool) {
        if (entry > static_cast<uint32_t>(formerIndex))
            --entry;
    }
    LScrollView::OnChildRemoved(child, formerIndex);
}

KXRESULT LListBox::AddChild(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor)
{
    if (!child) {
        if (!descriptor || descriptor->GetName() != kTemplateName)
            return E_FAIL;
        return AdoptTemplate(descriptor);
    }
    if (!descriptor)
        return S_OK;
    const int32_t slot = NumberedRowSlot(child->GetName());
    if (slot >= 0 && RCPtr<LListBoxItem>::DynamicCast(child)) {
        // The child takes the place it has, or the one it gets at the end.
        const int32_t index =
            child->GetParent().Get() == this ? GetChildIndex(child, kInsertionOrder) : GetChildCount();
        if (slot < GetRowCount())
            mRowPool[static_cast<size_t>(slot)] = static_cast<uint32_t>(index);
        else if (slot == GetRowCount())
            mRowPool.push_back(static_cast<uint32_t>(index));
    }
    return LScrollView::AddChild(child, descriptor);
}

KXRESULT LListBox::AdoptTemplate(const RCPtr<LControlDescriptor>& descriptor)
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    if (!application || !application->GetControlFactory())
        return E_FAIL;
    const RCPtr<LControl> self(this);
    mTemplateDescriptor = descriptor;
    // A description that the skin names "templateItem" may be taken by a
    // child of the list: it makes way for the pattern row.
    if (const RCPtr<LControl> previous = FindChild(String(kTemplateName)))
        previous->Detach();
    RCPtr<LControl> pattern;
    application->GetControlFactory()->CreateControl(pattern, self, descriptor);
    if (!pattern)
        return E_FAIL;
    ApplyTemplateItem(pattern);
    if (pattern->GetParent().Get() == this)
        pattern->Detach();
    return S_OK;
}

KXRESULT LListBox::ApplyControlDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    const RCPtr<LControl> self(this);
    mTemplateDescriptor = nullptr;
    KXRESULT result = S_OK;
    {
        ScopedFlag applying(mApplyingDescriptor);
        result = LScrollView::ApplyControlDescriptor(descriptor);
    }
    if (mCreated && descriptor) {
        // A new skin brings its own pattern row; the rows are made anew from it.
        if (const RCPtr<LControlDescriptor> pattern = descriptor->FindChild(String(kTemplateName)))
            AddChild(RCPtr<LControl>(), pattern);
        SetRowMode(static_cast<bool>(mTemplateDescriptor), mRowHeight);
        UpdateScrollBarRanges();
    }
    EnsureEnoughItemControls();
    UpdateItemControlsFrom(mTopIndex);
    if (mCreated)
        RecalcWidestItem();
    return result;
}

KXRESULT LListBox::InvalidateChild(const RCPtr<LControl>& child)
{
    const RCPtr<LControl> self(this);
    const KXRESULT result = LScrollView::InvalidateChild(child);
    EnsureEnoughItemControls();
    return result;
}

// ---- Binding and mapping ----

int32_t LListBox::StepVisible(int32_t index, int32_t steps)
{
    const int32_t count = GetItemCount();
    const int32_t direction = steps < 0 ? -1 : 1;
    for (int32_t remaining = steps < 0 ? -steps : steps; remaining > 0; --remaining) {
        do {
            index += direction;
        } while (index >= 0 && index < count && GetItemData(index)->mHidden);
        if (index < 0)
            return -1;
    }
    return index;
}

KXRESULT LListBox::UpdateItemControl(int32_t index, int32_t& row)
{
    row = -1;
    const int32_t count = GetItemCount();
    if (index < mTopIndex || (index < count && GetItemData(index)->mHidden))
        return S_FALSE;
    int32_t position = 0;
    for (int32_t j = mTopIndex; j < index; ++j) {
        if (j >= count || !GetItemData(j)->mHidden)
            ++position;
        if (position >= GetRowCount())
            return S_FALSE;
    }
    const RCPtr<LListBoxItem> control = RowAt(position);
    if (!control)
        return S_FALSE;
    row = position;

    // A row past the last item is blank and disabled.
    String text;
    double value = 0.0;
    bool submenu = false;
    bool separator = false;
    const bool exists = index < count;
    if (exists) {
        const ItemData& item = *GetItemData(index);
        // A separator shows no text, whatever its item holds.
        if (item.mText && !item.mSeparator)
            text = item.mText->ToString();
        value = item.mValue;
        submenu = item.mSubmenu;
        separator = item.mSeparator;
    }
    control->SetText(text);
    control->SetNormalizedValue(value);
    control->SetSubmenu(submenu);
    control->SetEnabled(exists);
    control->SetSeparator(separator);
    return S_OK;
}

KXRESULT LListBox::UpdateItemControlsFrom(int32_t index)
{
    if (GetRowCount() == 0)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    const int32_t last = StepVisible(mTopIndex, GetRowCount() - 1);
    for (int32_t i = std::max(index, mTopIndex); i <= last; ++i) {
        int32_t row = -1;
        if (UpdateItemControl(i, row) < 0)
            break;
    }
    return S_OK;
}

int32_t LListBox::GetItemRowIndex(int32_t index)
{
    const int32_t count = GetItemCount();
    if (index < mTopIndex || (index < count && GetItemData(index)->mHidden))
        return -1;
    int32_t position = 0;
    for (int32_t j = mTopIndex; j < index; ++j) {
        if (j >= count || !GetItemData(j)->mHidden)
            ++position;
        if (position >= GetRowCount())
            return -1;
    }
    return position < GetRowCount() ? position : -1;
}

int32_t LListBox::GetItemControlIndex(const RCPtr<LControl>& row)
{
    if (!row)
        return -1;
    for (int32_t k = GetRowCount() - 1; k >= 0; --k) {
        const int32_t child = static_cast<int32_t>(mRowPool[static_cast<size_t>(k)]);
        if (child < mChildren.GetCount() && mChildren.GetAt(child, kInsertionOrder) == row)
            return StepVisible(mTopIndex, k);
    }
    return -1;
}

RectT<double> LListBox::GetItemRect(int32_t index)
{
    const RCPtr<LListBoxItem> row = RowAt(GetItemRowIndex(index));
    if (!row)
        return RectT<double>();
    const PointT<double> position = row->GetPositionInParentClient();
    return RectT<double>(position.x, position.y, row->GetRect().width, row->GetRect().height);
}

// ---- One item's row ----

KXRESULT LListBox::RefreshItemText(int32_t index)
{
    const RCPtr<LControl> self(this);
    if (index >= 0 && index < GetItemCount()) {
        if (const RCPtr<LListBoxItem> row = RowAt(GetItemRowIndex(index))) {
            const ItemData& item = *GetItemData(index);
            row->SetText(item.mText && !item.mSeparator ? item.mText->ToString() : String());
            int32_t bound = -1;
            UpdateItemControl(index, bound);
        }
    }
    if (mDropDownMode) {
        UpdateClientExtent();
        FitDropDownHeight();
    }
    return S_OK;
}

KXRESULT LListBox::SelectItemLook(int32_t index, int32_t lookIndex)
{
    const RCPtr<LListBoxItem> row = RowAt(GetItemRowIndex(index));
    if (!row || lookIndex < 0 || lookIndex >= row->GetLookCount() || !row->GetLook(lookIndex))
        return S_FALSE;
    return row->SelectLook(lookIndex, true);
}

void LListBox::SetItemHoverOverride(int32_t index, bool hover)
{
    if (const RCPtr<LListBoxItem> row = RowAt(GetItemRowIndex(index)))
        row->SetHoverOverride(hover);
}

KXRESULT LListBox::UpdateItemMenuState(int32_t index, const RCPtr<LMenuDescriptor>& menu, int32_t itemIndex,
                                       const wchar_t* notificationId, MenuItemState& state)
{
    const RCPtr<LListBoxItem> row = RowAt(GetItemRowIndex(index));
    if (!row)
        return S_FALSE;
    return row->UpdateMenuItem(menu, itemIndex, notificationId, state);
}

KXRESULT LListBox::SetDropDownMode(bool dropDown)
{
    mDropDownMode = dropDown;
    for (int32_t k = 0; k < GetRowCount(); ++k) {
        if (const RCPtr<LListBoxItem> row = RowAt(k))
            row->SetDropDown(dropDown);
    }
    return S_OK;
}

void LListBox::SetRowDragThreshold(int32_t pixels)
{
    mRowDragThreshold = pixels;
    for (int32_t k = 0; k < GetRowCount(); ++k) {
        if (const RCPtr<LListBoxItem> row = RowAt(k))
            row->SetDragThreshold(pixels);
    }
}

} // namespace KX
