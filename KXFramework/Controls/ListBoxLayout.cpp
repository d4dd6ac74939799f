// The list box's sizes: measuring the pattern row (row height, empty-row
// width), item widths and the widest item, the client extent, the client
// width and height that rows and drop-down lists ask for, height limits in
// whole rows, and the items of the string table.
#include "Controls/ListBox.h"

#include "Application/FrameworkApp.h"
#include "ControlBase/LayoutUtils.h"
#include "Controls/ScopedFlag.h"
#include "Renderer/Renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace KX {

namespace {

// The text that measures a row's full height: capitals, descenders and a bar.
constexpr const wchar_t* kHeightProbeText = L"{WXyg|}";
constexpr const wchar_t* kItemPrefix = L"ITEM.";
// "ITEM.<n>" numbers from here on are ignored: a list written into a string
// table is short, and a number this large is a mistake that would otherwise
// ask for one empty item per number below it.
constexpr int32_t kItemNumberLimit = 0x10000;

// The control's own size along an axis becomes a fixed number of pixels
// (rounded); its position and docking stay.
KXRESULT SetOwnExtent(LControl& control, int32_t axis, double pixels)
{
    LLayoutDescriptor::PositionSpec position;
    LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    control.GetLayout().GetAxisSpec(axis, position, docked, size);
    size = LLayoutDescriptor::SizeSpec();
    size.mKind = LLayoutDescriptor::SizeSelf;
    size.mRel = 0.0f;
    size.mAbs = LayoutUtils::Round(pixels);
    return control.SetPlacement(axis, position, docked, size);
}

int32_t TruncateToInt(double value)
{
    if (!(value > INT32_MIN))
        return INT32_MIN;
    if (!(value < INT32_MAX))
        return INT32_MAX;
    return static_cast<int32_t>(value);
}

} // namespace

// ---- The pattern row ----

int32_t LListBox::GetVerticalBorder()
{
    return TruncateToInt(mRect.height - ClampToIntegerLimit(GetLookClientRect(-1).height));
}

bool LListBox::RowsExpand() const
{
    return mTemplateDescriptor && mTemplateDescriptor->GetLayoutDescriptor() &&
           mTemplateDescriptor->GetLayoutDescriptor()->mTextOverflowXType == LLayoutDescriptor::OverflowXExpand;
}

bool LListBox::RowsSizeToContent() const
{
    // Numbered rows (no template) keep the layout their skin gives them.
    return mTemplateDescriptor && mTemplateDescriptor->GetLayoutDescriptor() &&
           mTemplateDescriptor->GetLayoutDescriptor()->mXSize.mKind == LLayoutDescriptor::SizeSelf;
}

KXRESULT LListBox::ApplyTemplateItem(const RCPtr<LControl>& row)
{
    if (!row)
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    // No rows are made while the list is narrowed for measuring.
    ScopedFlag measuring(mCreatingRows);
    const int32_t initialWidth = TruncateToInt(mRect.width);

    // The list is narrowed to its frame and bars while the row is measured,
    // so that a row that follows its text shows its own least width.
    LLayoutDescriptor::SizeLimitSpec minimum;
    LLayoutDescriptor::SizeLimitSpec maximum;
    GetLayout().GetSizeLimits(0, minimum, maximum);
    SetSizeLimits(0, LLayoutDescriptor::SizeLimitSpec(), maximum);
    SetClientWidth(TruncateToInt(mRect.width - GetClientRect().width));

    const String saved = row->GetText();
    row->SetText(String());
    mEmptyRowWidth = static_cast<int32_t>(LayoutUtils::Round(row->GetRect().width));
    row->SetText(String(kHeightProbeText));
    mRowHeight = static_cast<int32_t>(LayoutUtils::Round(row->GetRect().height));
    if (mRowHeight < 1)
        mRowHeight = kDefaultRowHeight;
    row->SetText(saved);

    // A list whose rows follow their text never gets narrower than the skin
    // made it.
    if (RowsExpand() && minimum.mAbs == 0.0)
        minimum.mAbs = initialWidth;
    SetSizeLimits(0, minimum, maximum);
    LLayoutDescriptor::PositionSpec position;
    LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    GetLayout().GetAxisSpec(0, position, docked, size);
    if (mDescriptor && mDescriptor->GetLayoutDescriptor())
        size = mDescriptor->GetLayoutDescriptor()->mXSize;
    SetPlacement(0, position, docked, size);

    // A drop-down list is as high as its items, at least one row; its frame
    // comes with the client height.
    if (mDropDownMode)
        SetClientHeight(mRowHeight * std::max(GetItemCount(), 1));
    mTemplateApplied = true;
    return S_OK;
}

// ---- Client width and height ----

KXRESULT LListBox::SetClientWidth(int32_t width)
{
    return SetOwnExtent(*this, 0, mRect.width - GetLookClientRect(-1).width + width);
}

KXRESULT LListBox::SetClientHeight(int32_t height)
{
    if (mBatchUpdate)
        return S_FALSE;
    return SetOwnExtent(*this, 1, mRect.height - GetLookClientRect(-1).height + height);
}

void LListBox::FitDropDownHeight()
{
    // An empty drop-down list still shows one (blank) row.
    if (mDropDownMode)
        SetClientHeight(std::max(GetItemsHeight(), mRowHeight));
}

void LListBox::SnapHeightLimitsToRows()
{
    const double border = GetVerticalBorder();
    const double row = mRowHeight;
    if (row <= 0.0)
        return;
    const double oneRow = border + row;

    LLayoutDescriptor::SizeLimitSpec minimum;
    LLayoutDescriptor::SizeLimitSpec maximum;
    GetLayout().GetSizeLimits(1, minimum, maximum);
    for (LLayoutDescriptor::SizeLimitSpec* limit : {&minimum, &maximum}) {
        if (limit->mAbs > border)
            limit->mAbs = std::max(oneRow, border + row * std::trunc((limit->mAbs - border) / row));
    }
    if (minimum.mAbs > 0.0 || maximum.mAbs > 0.0)
        SetSizeLimits(1, minimum, maximum);

    LLayoutDescriptor::PositionSpec position;
    LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    GetLayout().GetAxisSpec(1, position, docked, size);
    if (size.mAbs > 0.0) {
        // The height itself is divided whole, frame included.
        size.mAbs = std::max(oneRow, border + row * std::trunc(size.mAbs / row));
        SetPlacement(1, position, docked, size);
    }
}

// ---- Widths and extent ----

int32_t LListBox::MeasureItemWidth(int32_t index)
{
    if (index < 0 || index >= GetItemCount() || GetRowCount() == 0)
        return 0;
    const RCPtr<LListBoxItem> row = RowAt(0);
    float textWidth = 0.0f;
    RCPtr<LRenderer> renderer;
    if (LFrameworkApp::sInstance)
        LFrameworkApp::sInstance->GetRenderer(renderer);
    if (row && renderer) {
        const String text = GetItemText(index);
        if (!text.IsEmpty())
            textWidth = renderer->MeasureText(text, row->GetFont()).width;
    }
    return static_cast<int32_t>(static_cast<float>(mEmptyRowWidth) + (textWidth + 0.5f));
}

int32_t LListBox::GetItemsHeight()
{
    int32_t visible = 0;
    for (int32_t i = GetItemCount() - 1; i >= 0; --i) {
        if (!GetItemData(i)->mHidden)
            ++visible;
    }
    return visible * mRowHeight;
}

KXRESULT LListBox::RecalcWidestItem()
{
    int32_t widest = 0;
    for (int32_t i = GetItemCount() - 1; i >= 0; --i)
        widest = std::max(widest, MeasureItemWidth(i));
    return SetWidestItemWidth(widest);
}

KXRESULT LListBox::SetWidestItemWidth(int32_t width)
{
    if (mBatchUpdate || width == mWidestItemWidth)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    mWidestItemWidth = width;
    UpdateClientExtent();
    if (RowsExpand())
        SetClientWidth(TruncateToInt(GetScrollBarSizes().x) + width);
    return S_OK;
}

KXRESULT LListBox::UpdateClientExtent()
{
    if (mBatchUpdate)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    const bool sizeToContent = RowsSizeToContent();
    SetClientExtent(sizeToContent ? mWidestItemWidth : 0.0, GetItemsHeight());
    if (!sizeToContent)
        return S_OK;
    // Rows as wide as the widest item, centred in the client area.
    LLayoutDescriptor::PositionSpec position;
    position.mKind = LLayoutDescriptor::PositionClient;
    position.mAnchor = 0.5f;
    position.mRel = 0.5f;
    LLayoutDescriptor::SizeSpec size;
    size.mKind = LLayoutDescriptor::SizeSelf;
    size.mAbs = mWidestItemWidth;
    for (int32_t k = 0; k < GetRowCount(); ++k) {
        if (const RCPtr<LListBoxItem> row = RowAt(k)) {
            LLayoutDescriptor::PositionSpec oldPosition;
            LLayoutDescriptor::SizeSpec oldSize;
            bool docked = false;
            row->GetLayout().GetAxisSpec(0, oldPosition, docked, oldSize);
            row->SetPlacement(0, position, docked, size);
        }
    }
    return S_OK;
}

void LListBox::OnScrollBarVisibilityChanged(bool vertical)
{
    LScrollView::OnScrollBarVisibilityChanged(vertical);
    if (vertical && RowsExpand())
        SetClientWidth(TruncateToInt(GetScrollBarSizes().x) + mWidestItemWidth);
}

// ---- Items from the string table ----

KXRESULT LListBox::LoadItemsFromStringTable(const RCPtr<LStringTable>& table)
{
    if (!table)
        return E_INVALIDARG;
    const RCPtr<LControl> self(this);
    RemoveAllItems();
    // "ITEM.<n>" is item n; numbers the table skips stay empty.
    std::vector<String> texts;
    const String prefix(kItemPrefix);
    for (const auto& entry : table->GetEntries()) {
        if (entry.first.Left(prefix.GetLength()) != prefix)
            continue;
        const int32_t number = _wtoi(entry.first.Mid(prefix.GetLength()).GetData());
        if (number < 0 || number >= kItemNumberLimit)
            continue;
        if (static_cast<size_t>(number) >= texts.size())
            texts.resize(static_cast<size_t>(number) + 1);
        texts[static_cast<size_t>(number)] = entry.second;
    }
    {
        ScopedFlag batch(mBatchUpdate);
        SetItemCount(static_cast<int32_t>(texts.size()));
        for (int32_t i = 0; i < GetItemCount() && static_cast<size_t>(i) < texts.size(); ++i)
            GetItemData(i)->mText = CreateStringItem(texts[static_cast<size_t>(i)]);
    }
    UpdateItemControlsFrom(mTopIndex);
    UpdateClientExtent();
    RecalcWidestItem();
    FitDropDownHeight();
    return S_OK;
}

} // namespace KX
