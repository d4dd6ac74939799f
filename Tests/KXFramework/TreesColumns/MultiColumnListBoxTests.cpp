// The multi-column list box in the "columnsScene" of the test skin: two
// list-box columns of 120 pixels under two header buttons, five rows of 20
// pixels in view and the table's own vertical bar; beside it a table with a
// third header over the two columns, one without columns and one whose
// column names skip a number. Everything is driven through the root window.
#include "TreesColumnsTestSupport.h"

#include "Controls/Button.h"
#include "Controls/ListBox.h"
#include "Controls/MultiColumnListBox.h"

#include <utility>

namespace TreesColumnsTest {
namespace {

using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

class MultiColumnListBoxTest : public TreesColumnsTest
{
protected:
    void SetUp() override
    {
        TreesColumnsTest::SetUp();
        OpenScene(L"columnsScene");
        table = FindAs<KX::LMultiColumnListBox>(L"table");
        ASSERT_TRUE(table);
        ASSERT_EQ(2, table->GetColumnCount());
        listener = KXTest::Listener::Make();
        for (const wchar_t* id : {KX::NID_SELECTION_CHANGE, KX::NID_ITEM_ACTIVATED, KX::NID_ITEM_DOUBLE_CLICKED})
            listener->Listen(RCPtr<KX::LNotificationDistributor>(table.Get()), id);
    }

    void TearDown() override
    {
        listener = nullptr;
        table = nullptr;
        TreesColumnsTest::TearDown();
    }

    RCPtr<KX::LListBox> Column(int32_t index) const { return table->GetColumn(index); }

    void Fill(const RCPtr<KX::LMultiColumnListBox>& target, const Rows& rows)
    {
        for (size_t row = 0; row < rows.size(); ++row) {
            const int32_t index = static_cast<int32_t>(row);
            target->GetColumn(0)->InsertItem(index, KX::CreateStringItem(String(rows[row].first.c_str())));
            target->GetColumn(1)->InsertItem(index, KX::CreateStringItem(String(rows[row].second.c_str())));
        }
    }

    // The texts of a column, top to bottom.
    std::vector<std::wstring> Texts(int32_t column) const
    {
        std::vector<std::wstring> texts;
        const RCPtr<KX::LListBox> list = Column(column);
        for (int32_t row = 0; row < list->GetItemCount(); ++row)
            texts.push_back(KXTest::Text(list->GetItemText(row)));
        return texts;
    }

    std::vector<unsigned int> Selected(int32_t column) const
    {
        std::vector<unsigned int> rows;
        const KX::Array<unsigned int>& selected = Column(column)->GetSelectedIndices();
        for (int32_t i = 0; i < selected.GetCount(); ++i)
            rows.push_back(selected.GetAt(i));
        return rows;
    }

    // The centre of an item's row in window coordinates.
    PointT<long> RowCentre(int32_t column, int32_t item) const
    {
        const RCPtr<KX::LListBox> list = Column(column);
        const RectT<double> rect = list->GetItemRect(item);
        const PointT<long> origin = OriginOf(RCPtr<KX::LControl>(list.Get()));
        return PointT<long>(origin.x + static_cast<long>(rect.x + rect.width / 2),
                            origin.y + static_cast<long>(rect.y + rect.height / 2));
    }

    // A point inside an item's row away from the text, for its colour.
    PointT<long> RowSample(int32_t column, int32_t item) const
    {
        const PointT<long> centre = RowCentre(column, item);
        return PointT<long>(centre.x + 50, centre.y);
    }

    void ClickHeader(int32_t header) { Click(CentreOf(RCPtr<KX::LControl>(table->GetHeader(header).Get()))); }

    int Count(const std::wstring& id) const
    {
        const std::vector<std::wstring> ids = listener->Ids();
        return static_cast<int>(std::count(ids.begin(), ids.end(), id));
    }

    RCPtr<KX::LMultiColumnListBox> table;
    RCPtr<KXTest::Listener> listener;
};

TEST_F(MultiColumnListBoxTest, HeaderClicksSortAllColumnsAscendingThenDescending)
{
    Fill(table, {{L"b", L"1"}, {L"A", L"2"}, {L"c", L"3"}});
    ClickHeader(0);
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"b", L"c"}), Texts(0));
    EXPECT_EQ((std::vector<std::wstring>{L"2", L"1", L"3"}), Texts(1));
    PaintWindow("ascending");
    EXPECT_FALSE(table->IsNextSortAscending(0));

    ClickHeader(0);
    EXPECT_EQ((std::vector<std::wstring>{L"c", L"b", L"A"}), Texts(0));
    EXPECT_EQ((std::vector<std::wstring>{L"3", L"1", L"2"}), Texts(1));
    PaintWindow("descending");

    ClickHeader(0);
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"b", L"c"}), Texts(0));
    // Each column keeps its own direction: the second header starts ascending.
    ClickHeader(1);
    EXPECT_EQ((std::vector<std::wstring>{L"1", L"2", L"3"}), Texts(1));
    EXPECT_EQ((std::vector<std::wstring>{L"b", L"A", L"c"}), Texts(0));
    // A sort sends nothing of the table's own.
    EXPECT_EQ(0, Count(L"NID_SELECTION_CHANGE"));
}

TEST_F(MultiColumnListBoxTest, SortFoldsOnlyAToZ)
{
    // "B" sorts between "a" and "c"; e-acute (U+00E9) is not folded and compares by
    // its code, after every ASCII letter.
    Fill(table, {{L"c", L"1"}, {L"\u00E9", L"2"}, {L"B", L"3"}, {L"F", L"4"}, {L"a", L"5"}});
    ClickHeader(0);
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"B", L"c", L"F", L"\u00E9"}), Texts(0));
    EXPECT_EQ((std::vector<std::wstring>{L"5", L"3", L"1", L"4", L"2"}), Texts(1));
}

TEST_F(MultiColumnListBoxTest, ClickingARowInTheSecondColumnSelectsItInBothWithOneNotification)
{
    Fill(table, {{L"b", L"1"}, {L"A", L"2"}, {L"c", L"3"}});
    Click(RowCentre(1, 2));
    EXPECT_EQ((std::vector<unsigned int>{2}), Selected(1));
    EXPECT_EQ((std::vector<unsigned int>{2}), Selected(0));
    EXPECT_EQ(1, Count(L"NID_SELECTION_CHANGE"));
    PaintWindow();
    // The pointer still rests on the row: both columns show it selected and hot.
    EXPECT_EQ(Colour::kRowSelectedHover, Pixel(RowSample(0, 2)));
    EXPECT_EQ(Colour::kRowSelectedHover, Pixel(RowSample(1, 2)));
    EXPECT_EQ(Colour::kRow, Pixel(RowSample(0, 1)));
    MoveTo(PointT<long>(10, 300));
    PaintWindow("pointer_gone");
    EXPECT_EQ(Colour::kRowSelected, Pixel(RowSample(0, 2)));

    // Another row moves the selection in both.
    Click(RowCentre(0, 0));
    EXPECT_EQ((std::vector<unsigned int>{0}), Selected(0));
    EXPECT_EQ((std::vector<unsigned int>{0}), Selected(1));
    EXPECT_EQ(2, Count(L"NID_SELECTION_CHANGE"));
}

TEST_F(MultiColumnListBoxTest, AMultipleSelectionIsMirroredWhole)
{
    Fill(table, {{L"a", L"1"}, {L"b", L"2"}, {L"c", L"3"}, {L"d", L"4"}});
    Column(0)->SetMultipleSelection(true);
    Column(1)->SetMultipleSelection(true);
    Click(RowCentre(0, 0));
    Click(RowCentre(0, 2), 1, kCtrl);
    Click(RowCentre(1, 3), 1, kCtrl);
    EXPECT_EQ((std::vector<unsigned int>{0, 2, 3}), Selected(0));
    EXPECT_EQ((std::vector<unsigned int>{0, 2, 3}), Selected(1));
    // Ctrl+click on a selected row takes it away in both.
    Click(RowCentre(1, 2), 1, kCtrl);
    EXPECT_EQ((std::vector<unsigned int>{0, 3}), Selected(0));
    EXPECT_EQ((std::vector<unsigned int>{0, 3}), Selected(1));
    EXPECT_EQ(4, Count(L"NID_SELECTION_CHANGE"));
    PaintWindow();
}

TEST_F(MultiColumnListBoxTest, SortKeepsTheSortColumnsSelectionAtTheNewPlaces)
{
    Fill(table, {{L"b", L"1"}, {L"A", L"2"}, {L"c", L"3"}});
    Column(0)->SetMultipleSelection(true);
    Column(1)->SetMultipleSelection(true);
    Click(RowCentre(0, 0));
    Click(RowCentre(0, 2), 1, kCtrl);
    // A selection of the second column alone, set without a report.
    Column(1)->SetItemValue(1, 1.0);
    ClickHeader(0);
    // b and c stand at 1 and 2 now; A's row (selected only in the second
    // column) lost its selection.
    EXPECT_EQ((std::vector<unsigned int>{1, 2}), Selected(0));
    EXPECT_EQ((std::vector<unsigned int>{1, 2}), Selected(1));
    PaintWindow();
    EXPECT_EQ(Colour::kRowSelected, Pixel(RowSample(1, 1)));
    EXPECT_EQ(Colour::kRow, Pixel(RowSample(1, 0)));
}

TEST_F(MultiColumnListBoxTest, HoverShowsOnTheSameRowOfEveryColumn)
{
    Fill(table, {{L"a", L"1"}, {L"b", L"2"}, {L"c", L"3"}});
    MoveTo(RowCentre(0, 1));
    PaintWindow("hover");
    EXPECT_EQ(Colour::kRowHover, Pixel(RowSample(0, 1)));
    EXPECT_EQ(Colour::kRowHover, Pixel(RowSample(1, 1)));
    EXPECT_EQ(Colour::kRow, Pixel(RowSample(1, 0)));

    MoveTo(RowCentre(1, 2));
    PaintWindow("moved");
    EXPECT_EQ(Colour::kRow, Pixel(RowSample(0, 1)));
    EXPECT_EQ(Colour::kRow, Pixel(RowSample(1, 1)));
    EXPECT_EQ(Colour::kRowHover, Pixel(RowSample(0, 2)));

    // Across to the same row of the other column: still hot in both.
    MoveTo(RowCentre(0, 2));
    PaintWindow("across");
    EXPECT_EQ(Colour::kRowHover, Pixel(RowSample(0, 2)));
    EXPECT_EQ(Colour::kRowHover, Pixel(RowSample(1, 2)));

    MoveTo(PointT<long>(10, 300));
    PaintWindow("left");
    EXPECT_EQ(Colour::kRow, Pixel(RowSample(0, 2)));
    EXPECT_EQ(Colour::kRow, Pixel(RowSample(1, 2)));
}

TEST_F(MultiColumnListBoxTest, ColumnsScrollTogetherByWholeRows)
{
    Rows rows;
    for (int i = 0; i < 9; ++i)
        rows.push_back({std::wstring(1, static_cast<wchar_t>(L'a' + i)), std::to_wstring(i)});
    Fill(table, rows);
    ASSERT_TRUE(table->GetVerticalScrollBar());
    EXPECT_EQ(180.0, table->GetClientExtent().y);

    // The wheel over a column scrolls the table, and the table every column.
    window->MouseWheel(RowCentre(1, 2), 0, KX::LMouseWheelParam::WheelDown);
    const double offset = table->GetScrollOffset().y;
    EXPECT_GT(offset, 0.0);
    EXPECT_EQ(0.0, std::fmod(offset, 20.0));
    EXPECT_EQ(offset, Column(0)->GetScrollOffset().y);
    EXPECT_EQ(offset, Column(1)->GetScrollOffset().y);
    EXPECT_EQ(Column(0)->GetTopIndex(), Column(1)->GetTopIndex());
    EXPECT_EQ(static_cast<int32_t>(offset / 20.0), Column(1)->GetTopIndex());
    PaintWindow("wheel");

    // Keys move the first column, which takes the others along.
    Click(RowCentre(0, Column(0)->GetTopIndex()));
    for (int i = 0; i < 9; ++i)
        Tap(VK_DOWN);
    EXPECT_EQ((std::vector<unsigned int>{8}), Selected(1));
    EXPECT_EQ(4, Column(0)->GetTopIndex());
    EXPECT_EQ(4, Column(1)->GetTopIndex());
    EXPECT_EQ(80.0, table->GetScrollOffset().y);
    EXPECT_EQ(0.0, Column(1)->GetScrollOffset().x);
    PaintWindow("keys");
    EXPECT_EQ(Colour::kRowSelected, Pixel(RowSample(1, 8)));
}

TEST_F(MultiColumnListBoxTest, ActivationAndDoubleClicksOfAnyColumnComeFromTheTable)
{
    Fill(table, {{L"a", L"1"}, {L"b", L"2"}});
    Click(RowCentre(1, 1));
    DoubleClick(RowCentre(1, 1));
    EXPECT_EQ(1, Count(L"NID_ITEM_DOUBLE_CLICKED"));
    // Only the first column takes the focus; Enter there activates.
    EXPECT_TRUE(Column(1)->IsFocusDisabled(false));
    EXPECT_FALSE(Column(0)->IsFocusDisabled(false));
    Column(0)->SetFocus(true);
    Tap(VK_RETURN);
    EXPECT_EQ(1, Count(L"NID_ITEM_ACTIVATED"));
}

TEST_F(MultiColumnListBoxTest, AHeaderBeyondTheLastColumnChangesNothing)
{
    const RCPtr<KX::LMultiColumnListBox> extra = FindAs<KX::LMultiColumnListBox>(L"extraHeaderTable");
    ASSERT_TRUE(extra);
    EXPECT_EQ(2, extra->GetColumnCount());
    ASSERT_EQ(3, extra->GetHeaderCount());
    Fill(extra, {{L"b", L"1"}, {L"A", L"2"}, {L"c", L"3"}});
    extra->GetColumn(0)->SelectItemRange(2, -1, true);
    Click(CentreOf(RCPtr<KX::LControl>(extra->GetHeader(2).Get())));
    extra->PerformSort(7);
    extra->PerformSort(-1);
    EXPECT_EQ(L"b", KXTest::Text(extra->GetColumn(0)->GetItemText(0)));
    EXPECT_EQ(L"c", KXTest::Text(extra->GetColumn(0)->GetItemText(2)));
    EXPECT_TRUE(extra->GetColumn(1)->IsItemSelected(2));
    // The columns still sort.
    Click(CentreOf(RCPtr<KX::LControl>(extra->GetHeader(0).Get())));
    EXPECT_EQ(L"A", KXTest::Text(extra->GetColumn(0)->GetItemText(0)));
    EXPECT_TRUE(extra->GetColumn(1)->IsItemSelected(2));
    PaintWindow();
}

TEST_F(MultiColumnListBoxTest, ATableWithoutColumnsDoesNothing)
{
    const RCPtr<KX::LMultiColumnListBox> empty = FindAs<KX::LMultiColumnListBox>(L"emptyTable");
    ASSERT_TRUE(empty);
    EXPECT_EQ(0, empty->GetColumnCount());
    EXPECT_EQ(1, empty->GetHeaderCount());
    EXPECT_EQ(RectT<double>(), empty->GetClientRect());
    EXPECT_EQ(0.0, empty->GetClientExtent().y);
    Click(CentreOf(RCPtr<KX::LControl>(empty->GetHeader(0).Get())));
    window->MouseWheel(CentreOf(RCPtr<KX::LControl>(empty.Get())), 0, KX::LMouseWheelParam::WheelDown);
    PaintWindow();
}

TEST_F(MultiColumnListBoxTest, ColumnsEndAtTheFirstMissingNumber)
{
    const RCPtr<KX::LMultiColumnListBox> gap = FindAs<KX::LMultiColumnListBox>(L"gapTable");
    ASSERT_TRUE(gap);
    EXPECT_EQ(1, gap->GetColumnCount());
    EXPECT_EQ(String(L"listboxNoScroll1"), gap->GetColumn(0)->GetName());
}

} // namespace
} // namespace TreesColumnsTest
