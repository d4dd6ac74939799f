// KX::LMultiColumnListBox ("Framework.listbox2ColumnSortable"): a table shown
// as side-by-side list boxes, one per column, that behave as one list. The
// skin gives it its columns as list boxes without scroll bars named
// "listboxNoScroll1", "listboxNoScroll2", ... and its header buttons as
// "buttonColumnHeader1", "buttonColumnHeader2", ...; each series ends at its
// first missing number. Row i of every column is row i of the table.
//
// Contract:
// - Scrolling: the table's own vertical bar counts whole rows of the first
//   column's row height; the columns stay in place (docked in Y) and scroll
//   their rows to the table's vertical offset, each keeping its horizontal
//   offset. The first column scrolling itself (keys) scrolls the table.
// - Hover: hovering a row of one column shows the hover look on the same row
//   of every other column, and the same look while the pointer stays.
// - Selection: after a column's selection changed, every other column takes
//   the same selected rows (a multiple selection survives), and the table
//   sends one "NID_SELECTION_CHANGE" of its own.
// - "NID_ITEM_ACTIVATED" and "NID_ITEM_DOUBLE_CLICKED" of any column are sent
//   on from the table, without data.
// - Sorting: a click on header k sorts every row of every column by the texts
//   of column k, ascending on the first click and then alternately (per
//   column), comparing case-insensitively only in A-Z (the run-time library's
//   unchanged locale); rows with equal texts may change their order. Rows
//   selected in column k stay selected, in every column, at their new places;
//   other selections go. A header without a column leaves the table as it is.
// - Only the first column takes the focus.
// - A table without columns does nothing: no extent, client rectangle zero.
// - User-interface thread only.
#pragma once

#include "Controls/Panel.h"
#include "Utilities/Storage/ArrayBuffer.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <cstdint>

namespace KX {

class LButton;
class LListBox;

class LMultiColumnListBox : public LPanel
{
public:
    using ColumnHandler = LNotificationHandler<LMultiColumnListBox>;

    LMultiColumnListBox(const RCPtr<LControl>& parent, const String& name);

    // ==== Overridden slots ====

    // Every column's rows follow the new vertical offset (the first column's
    // own scroll report muted meanwhile); then the scroll view's.
    KXRESULT InvalidateBackBuffer(const PointT<double>& oldOffset, const PointT<double>& newOffset) override;
    // The base's; a change of the last column also renews the extent.
    KXRESULT InvalidateChild(const RCPtr<LControl>& child) override;
    // The column area: the first column's origin, the panel's look client
    // width less the vertical bar, the first column's look client height.
    // All zero without columns.
    RectT<double> GetClientRect() override;
    // The panel's; then the columns and headers are found and bound. With
    // headers, 1 when there are as many as columns and 0 when not (both are
    // success); a failed binding throws the failed-result exception.
    KXRESULT Initialize() override;
    // Focus only on the first column, the bar's rows from its row height,
    // the columns' size limits, the extent.
    KXRESULT OnCreated() override;

    // The table's own bindings first (once created), then the panel's.
    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== Operations ====

    // Sorts every column by the texts of one column (see the contract).
    // Throws the failed-result exception when a column's selection binding
    // cannot be taken away or given back.
    void PerformSort(int32_t column);

    int32_t GetColumnCount() const { return mColumns.GetCount(); }
    RCPtr<LListBox> GetColumn(int32_t index) const;
    int32_t GetHeaderCount() const { return mHeaders.GetCount(); }
    RCPtr<LButton> GetHeader(int32_t index) const;
    // The direction of the column's next sort (true: ascending); true for
    // an index that is no column.
    bool IsNextSortAscending(int32_t column) const;

protected:
    ~LMultiColumnListBox() override;

private:
    // ---- Creation (MultiColumnListBox.cpp) ----

    // The columns and headers by their numbered names, bound and docked in Y.
    void FindColumns();
    void FindHeaders();
    // Sets the control's Y axis again as it is, docked.
    static void DockVertically(const RCPtr<LControl>& control);
    // A column's size limits after the skin's: an absolute maximum width of
    // 0 means no maximum; absolute height limits of 0 become one row (the
    // minimum) and no maximum.
    void ApplyColumnSizeLimits(const RCPtr<LListBox>& column);
    // The panel's extent: the last column's right edge, the first column's
    // extent height.
    void ApplyExtentRule();
    // The row height of the first column for the panel's row-counting bar.
    void TakeRowHeightFromFirstColumn();
    int32_t IndexOfColumn(const LNotificationDistributor* sender) const;
    int32_t IndexOfHeader(const LNotificationDistributor* sender) const;

    // ---- Row synchronisation (MultiColumnListBoxRows.cpp) ----

    KXRESULT OnFirstColumnScrollOffset(const RCPtr<LNotificationDistributor>& sender,
                                       const RCPtr<LNotification>& notification);
    KXRESULT OnFirstColumnClientExtent(const RCPtr<LNotificationDistributor>& sender,
                                       const RCPtr<LNotification>& notification);
    KXRESULT OnColumnItemHover(const RCPtr<LNotificationDistributor>& sender,
                               const RCPtr<LNotification>& notification);
    KXRESULT OnColumnSelectionChange(const RCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification);
    KXRESULT OnColumnItemActivated(const RCPtr<LNotificationDistributor>& sender,
                                   const RCPtr<LNotification>& notification);
    KXRESULT OnColumnItemDoubleClicked(const RCPtr<LNotificationDistributor>& sender,
                                       const RCPtr<LNotification>& notification);
    KXRESULT OnHeaderClick(const RCPtr<LNotificationDistributor>& sender,
                           const RCPtr<LNotification>& notification);
    // Row n of column `target` takes the selection state it has in `source`,
    // with the table deaf to the target's selection report meanwhile.
    void MirrorRowSelection(int32_t source, int32_t target, int32_t row);

    // ---- Sorting (MultiColumnListBoxSort.cpp) ----

    // Takes away (or gives back) the table's selection binding on every
    // column, from the last to the first.
    void UnbindColumnSelections();
    void BindColumnSelections();

    // ---- Fields, in order ----
    RCPtr<ColumnHandler> mColumnHandler;
    RCPtrArray<LListBox, 1, 0> mColumns;
    RCPtrArray<LButton, 1, 0> mHeaders;
    ArrayBuffer<bool, 1, 0, 1, 8, &GetSystemAllocator> mSortAscending;
};

} // namespace KX
