// Sorting the multi-column list box: every column's rows take the order of
// one column's texts, and the rows selected in that column stay selected.
#include "Controls/MultiColumnListBox.h"

#include "Controls/ListBox.h"
#include "Notification/NotificationIDs.h"

#include <cstdlib>
#include <cwchar>
#include <string.h>
#include <vector>

namespace KX {

namespace {

constexpr const char* kPerformSort = "KX::LMultiColumnListBox::PerformSort";
constexpr const char* kSource = "Controls\\MultiColumnListBox";

// One row of the table while it is sorted: where it came from and its text
// in the sort column.
struct SortEntry
{
    int32_t row;
    StringT<wchar_t, char> text;
};

// Texts that share one buffer are equal; otherwise the run-time library's
// case-insensitive order (the process keeps the "C" locale: only A-Z fold).
int CompareTexts(const SortEntry& a, const SortEntry& b)
{
    if (a.text.GetData() == b.text.GetData())
        return 0;
    return _wcsicmp(a.text.GetData(), b.text.GetData());
}

// qsort orders pointers to the entries (the entries themselves hold counted
// strings, which must not be moved as bytes).
int CompareAscending(const void* a, const void* b)
{
    return CompareTexts(**static_cast<const SortEntry* const*>(a), **static_cast<const SortEntry* const*>(b));
}

int CompareDescending(const void* a, const void* b)
{
    return CompareTexts(**static_cast<const SortEntry* const*>(b), **static_cast<const SortEntry* const*>(a));
}

} // namespace

void LMultiColumnListBox::UnbindColumnSelections()
{
    for (int32_t i = mColumns.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LNotificationDistributor> column(mColumns.GetAt(i).Get());
        const KXRESULT result = mColumnHandler && mColumnHandler->IsBound(column, NID_SELECTION_CHANGE)
                                    ? UnregisterNotification(column, NID_SELECTION_CHANGE)
                                    : E_FAIL;
        KX_THROW_IF_FAILED(result, kPerformSort, kSource, 708);
    }
}

void LMultiColumnListBox::BindColumnSelections()
{
    for (int32_t i = mColumns.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LNotificationDistributor> column(mColumns.GetAt(i).Get());
        const KXRESULT result =
            mColumnHandler ? mColumnHandler->AddHandler(&LMultiColumnListBox::OnColumnSelectionChange, column,
                                                        NID_SELECTION_CHANGE)
                           : E_FAIL;
        KX_THROW_IF_FAILED(result, kPerformSort, kSource, 751);
    }
}

void LMultiColumnListBox::PerformSort(int32_t column)
{
    // A header without a column has no texts to sort by: with every key
    // equal, the rows and their selection stay as they are.
    if (column < 0 || column >= mColumns.GetCount())
        return;
    const RCPtr<LControl> self(this);
    const RCPtrArray<LListBox, 1, 0> columns = mColumns;
    const RCPtr<LListBox> key = columns.GetAt(column);
    const int32_t rows = columns.GetAt(0)->GetItemCount();

    std::vector<SortEntry> entries(static_cast<size_t>(rows));
    std::vector<bool> submenus(static_cast<size_t>(rows));
    for (int32_t row = 0; row < rows; ++row) {
        entries[row].row = row;
        if (row < key->GetItemCount()) {
            const RCPtr<LTaggableObject> text = key->GetItemObject(row);
            if (text)
                entries[row].text = text->ToString();
        }
        submenus[row] = columns.GetAt(0)->IsItemSubmenu(row);
    }
    std::vector<bool> wasSelected(static_cast<size_t>(rows), false);
    const Array<unsigned int>& selected = key->GetSelectedIndices();
    for (int32_t i = 0; i < selected.GetCount(); ++i) {
        if (selected.GetAt(i) < static_cast<unsigned int>(rows))
            wasSelected[selected.GetAt(i)] = true;
    }

    // The table does not follow its columns' selections while it reorders them.
    UnbindColumnSelections();
    for (int32_t i = columns.GetCount() - 1; i >= 0; --i)
        columns.GetAt(i)->DeselectAll();

    std::vector<const SortEntry*> order(static_cast<size_t>(rows));
    for (int32_t row = 0; row < rows; ++row)
        order[row] = &entries[row];
    if (rows > 1)
        std::qsort(order.data(), order.size(), sizeof(const SortEntry*),
                   mSortAscending.GetAt(column) ? &CompareAscending : &CompareDescending);
    mSortAscending.GetAt(column) = !mSortAscending.GetAt(column);

    for (int32_t i = columns.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LListBox>& list = columns.GetAt(i);
        std::vector<RCPtr<LTaggableObject>> texts(static_cast<size_t>(rows));
        for (int32_t row = 0; row < rows; ++row)
            texts[row] = list->GetItemObject(row);
        for (int32_t row = rows - 1; row >= 0; --row)
            list->SetItemObject(row, texts[order[row]->row]);
    }
    for (int32_t row = rows - 1; row >= 0; --row) {
        const int32_t from = order[row]->row;
        for (int32_t i = columns.GetCount() - 1; i >= 0; --i)
            columns.GetAt(i)->SetItemSubmenu(row, submenus[from]);
        if (!wasSelected[from])
            continue;
        for (int32_t i = columns.GetCount() - 1; i >= 0; --i) {
            if (columns.GetAt(i)->SelectItemRange(row, -1, false) < 0)
                break;
        }
    }
    BindColumnSelections();
}

} // namespace KX
