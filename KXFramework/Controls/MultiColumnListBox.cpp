// The multi-column list box: finding and binding its columns and headers,
// the column area, the extent and the vertical scrolling that moves every
// column's rows together. Row synchronisation is in MultiColumnListBoxRows.cpp,
// sorting in MultiColumnListBoxSort.cpp.
#include "Controls/MultiColumnListBox.h"

#include "Controls/Button.h"
#include "Controls/ListBox.h"
#include "Notification/NotificationIDs.h"

#include <algorithm>

namespace KX {

namespace {

constexpr const char* kInitialize = "KX::LMultiColumnListBox::Initialize";
constexpr const char* kSource = "Controls\\MultiColumnListBox";

StringT<wchar_t, char> NumberedName(const wchar_t* format, int32_t number)
{
    return StringT<wchar_t, char>::CreateFormatted(format, number);
}

} // namespace

LMultiColumnListBox::LMultiColumnListBox(const RCPtr<LControl>& parent, const String& name) : LPanel(parent, name)
{
}

LMultiColumnListBox::~LMultiColumnListBox() = default;

RCPtr<LListBox> LMultiColumnListBox::GetColumn(int32_t index) const
{
    return index >= 0 && index < mColumns.GetCount() ? mColumns.GetAt(index) : RCPtr<LListBox>();
}

RCPtr<LButton> LMultiColumnListBox::GetHeader(int32_t index) const
{
    return index >= 0 && index < mHeaders.GetCount() ? mHeaders.GetAt(index) : RCPtr<LButton>();
}

bool LMultiColumnListBox::IsNextSortAscending(int32_t column) const
{
    return column < 0 || column >= mSortAscending.GetCount() || mSortAscending.GetAt(column);
}

// ---- Creation ----

KXRESULT LMultiColumnListBox::Initialize()
{
    KXRESULT result = LPanel::Initialize();
    if (result < 0)
        return result;
    mColumnHandler = new ColumnHandler(this);
    FindColumns();
    FindHeaders();
    mSortAscending.SetCount(mColumns.GetCount());
    for (int32_t i = 0; i < mSortAscending.GetCount(); ++i)
        mSortAscending.GetAt(i) = true;
    // The extent comes from the columns, and the bar counts rows.
    SetAutoClientExtent(0, 0, 0);
    SetRowMode(true, GetRowHeight());
    if (mHeaders.GetCount() > 0)
        result = mHeaders.GetCount() == mColumns.GetCount() ? 1 : 0;
    return result;
}

void LMultiColumnListBox::FindColumns()
{
    for (int32_t number = 1;; ++number) {
        const RCPtr<LListBox> column = RCPtr<LListBox>::DynamicCast(FindChild(NumberedName(L"listboxNoScroll%d", number)));
        if (!column)
            break;
        mColumns.AddItem(column);
        const RCPtr<LNotificationDistributor> sender(column.Get());
        KX_THROW_IF_FAILED(mColumnHandler->AddHandler(&LMultiColumnListBox::OnColumnItemHover, sender,
                                                      NID_ITEM_HOVER_CONDITION_CHANGE),
                           kInitialize, kSource, __LINE__);
        KX_THROW_IF_FAILED(mColumnHandler->AddHandler(&LMultiColumnListBox::OnColumnSelectionChange, sender,
                                                      NID_SELECTION_CHANGE),
                           kInitialize, kSource, __LINE__);
        KX_THROW_IF_FAILED(mColumnHandler->AddHandler(&LMultiColumnListBox::OnColumnItemActivated, sender,
                                                      NID_ITEM_ACTIVATED),
                           kInitialize, kSource, __LINE__);
        KX_THROW_IF_FAILED(mColumnHandler->AddHandler(&LMultiColumnListBox::OnColumnItemDoubleClicked, sender,
                                                      NID_ITEM_DOUBLE_CLICKED),
                           kInitialize, kSource, __LINE__);
        if (number == 1) {
            KX_THROW_IF_FAILED(mColumnHandler->AddHandler(&LMultiColumnListBox::OnFirstColumnScrollOffset, sender,
                                                          NID_SCROLL_OFFSET_CHANGE),
                               kInitialize, kSource, __LINE__);
            KX_THROW_IF_FAILED(mColumnHandler->AddHandler(&LMultiColumnListBox::OnFirstColumnClientExtent, sender,
                                                          NID_CLIENT_EXTENT_CHANGE),
                               kInitialize, kSource, __LINE__);
        }
        // The table scrolls its rows itself: its own vertical scrolling must
        // not move the column.
        DockVertically(column);
    }
}

void LMultiColumnListBox::FindHeaders()
{
    for (int32_t number = 1;; ++number) {
        const RCPtr<LButton> header =
            RCPtr<LButton>::DynamicCast(FindChild(NumberedName(L"buttonColumnHeader%d", number)));
        if (!header)
            break;
        mHeaders.AddItem(header);
        KX_THROW_IF_FAILED(mColumnHandler->AddHandler(&LMultiColumnListBox::OnHeaderClick,
                                                      RCPtr<LNotificationDistributor>(header.Get()), NID_LEFT_CLICK),
                           kInitialize, kSource, __LINE__);
        DockVertically(header);
    }
}

void LMultiColumnListBox::DockVertically(const RCPtr<LControl>& control)
{
    LLayoutDescriptor::PositionSpec position;
    LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    control->GetLayout().GetAxisSpec(1, position, docked, size);
    control->SetPlacement(1, position, true, size);
}

KXRESULT LMultiColumnListBox::OnCreated()
{
    const KXRESULT result = LPanel::OnCreated();
    if (mColumns.GetCount() == 0)
        return result;
    for (int32_t i = 1; i < mColumns.GetCount(); ++i)
        mColumns.GetAt(i)->SetFocusDisabled(true);
    TakeRowHeightFromFirstColumn();
    for (int32_t i = 0; i < mColumns.GetCount(); ++i)
        ApplyColumnSizeLimits(mColumns.GetAt(i));
    ApplyExtentRule();
    return result;
}

void LMultiColumnListBox::ApplyColumnSizeLimits(const RCPtr<LListBox>& column)
{
    // The column's description is one of this table's children.
    const RCPtr<LControlDescriptor> description = mDescriptor ? mDescriptor->FindChild(column->GetName())
                                                              : RCPtr<LControlDescriptor>();
    const ConstRCPtr<LLayoutDescriptor> skin =
        description ? description->GetLayoutDescriptor() : ConstRCPtr<LLayoutDescriptor>();
    if (!skin)
        return;
    LLayoutDescriptor::SizeLimitSpec minimum;
    LLayoutDescriptor::SizeLimitSpec maximum;
    if (skin->mXMaximum.mAbs == 0.0) {
        column->GetLayout().GetSizeLimits(0, minimum, maximum);
        maximum.mRel = 0.0f;
        maximum.mAbs = 0.0;
        column->SetSizeLimits(0, minimum, maximum);
    }
    const bool noMinimum = skin->mYMinimum.mAbs == 0.0;
    const bool noMaximum = skin->mYMaximum.mAbs == 0.0;
    if (noMinimum || noMaximum) {
        column->GetLayout().GetSizeLimits(1, minimum, maximum);
        if (noMinimum) {
            minimum.mRel = 0.0f;
            minimum.mAbs = column->GetItemRowHeight();
        }
        if (noMaximum) {
            maximum.mRel = 0.0f;
            maximum.mAbs = 0.0;
        }
        column->SetSizeLimits(1, minimum, maximum);
    }
}

void LMultiColumnListBox::TakeRowHeightFromFirstColumn()
{
    if (mColumns.GetCount() == 0)
        return;
    SetRowMode(true, mColumns.GetAt(0)->GetItemRowHeight());
    UpdateScrollBarRanges();
}

void LMultiColumnListBox::ApplyExtentRule()
{
    if (mColumns.GetCount() == 0)
        return;
    const RectT<double>& last = mColumns.GetAt(mColumns.GetCount() - 1)->GetRect();
    SetClientExtent(last.x + last.width, mColumns.GetAt(0)->GetClientExtent().y);
}

// ---- Column area and scrolling ----

RectT<double> LMultiColumnListBox::GetClientRect()
{
    if (mColumns.GetCount() == 0)
        return RectT<double>();
    const RCPtr<LListBox>& first = mColumns.GetAt(0);
    const RectT<double>& origin = first->GetRect();
    const double width = GetLookClientRect(-1).width - GetScrollBarSizes().x;
    return RectT<double>(origin.x, origin.y, width, first->GetLookClientRect(-1).height);
}

KXRESULT LMultiColumnListBox::InvalidateBackBuffer(const PointT<double>& oldOffset, const PointT<double>& newOffset)
{
    if (mColumns.GetCount() > 0 && mColumnHandler) {
        const RCPtr<LControl> self(this);
        const RCPtrArray<LListBox, 1, 0> columns = mColumns;
        const auto scrollColumns = [&columns, &newOffset]() {
            for (int32_t i = 0; i < columns.GetCount(); ++i) {
                const RCPtr<LListBox>& column = columns.GetAt(i);
                column->SetScrollOffset(PointT<double>(column->GetScrollOffset().x, newOffset.y));
            }
        };
        const RCPtr<LNotificationDistributor> first(columns.GetAt(0).Get());
        // The first column's report of its new offset would only come back here.
        if (mColumnHandler->IsBound(first, NID_SCROLL_OFFSET_CHANGE)) {
            CAutoNotificationDisabler<LMultiColumnListBox> mute(mColumnHandler, first, NID_SCROLL_OFFSET_CHANGE);
            scrollColumns();
        } else {
            scrollColumns();
        }
    }
    return LPanel::InvalidateBackBuffer(oldOffset, newOffset);
}

KXRESULT LMultiColumnListBox::InvalidateChild(const RCPtr<LControl>& child)
{
    const KXRESULT result = LPanel::InvalidateChild(child);
    const int32_t count = mColumns.GetCount();
    if (child && count > 0 && child->GetName() == NumberedName(L"listboxNoScroll%d", count))
        ApplyExtentRule();
    return result;
}

// ---- Notifications ----

KXRESULT LMultiColumnListBox::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                                  const RCPtr<LNotification>& notification)
{
    if (mCreated && mColumnHandler && mColumnHandler->Binds(sender, notification)) {
        const RCPtr<ColumnHandler> handler = mColumnHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LPanel::ReceiveNotification(sender, notification);
}

KXRESULT LMultiColumnListBox::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                                     const wchar_t* identifier)
{
    if (mColumnHandler)
        mColumnHandler->RemoveHandler(sender, identifier);
    return LPanel::UnregisterNotification(sender, identifier);
}

int32_t LMultiColumnListBox::IndexOfColumn(const LNotificationDistributor* sender) const
{
    for (int32_t i = mColumns.GetCount() - 1; i >= 0; --i) {
        if (static_cast<const LNotificationDistributor*>(mColumns.GetAt(i).Get()) == sender)
            return i;
    }
    return -1;
}

int32_t LMultiColumnListBox::IndexOfHeader(const LNotificationDistributor* sender) const
{
    for (int32_t i = mHeaders.GetCount() - 1; i >= 0; --i) {
        if (static_cast<const LNotificationDistributor*>(mHeaders.GetAt(i).Get()) == sender)
            return i;
    }
    return -1;
}

} // namespace KX
