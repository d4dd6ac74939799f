// The list box's rows: made from the template to fill the view, bound to the
// items as the list scrolls, kept bound when other children come and go,
// their fourteen looks, their rectangles; rows of no height; items from the
// string table and from numbered rows; heights snapped to whole rows.
#include "ListBoxTestSupport.h"

#include "Notification/NotificationIDs.h"

using namespace ListTest;
using KX::LListBox;
using KX::LListBoxItem;
using KX::LScrollView;

namespace {

class ListRowTest : public ListBoxTest
{
protected:
    std::vector<std::wstring> Items(int32_t first, int32_t count) const
    {
        std::vector<std::wstring> texts;
        for (int32_t i = first; i < first + count; ++i)
            texts.push_back(L"Item " + std::to_wstring(i));
        return texts;
    }
};

TEST_F(ListRowTest, TwentyItemsOf14PixelRowsInA100PixelViewMakeSevenRowsThatScrollByWholeRows)
{
    // The view is 100 pixels high; its frame takes the last 2.
    const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
    ASSERT_TRUE(list);
    AddItems(list, 20);
    EXPECT_EQ(100.0, list->GetRect().height);
    EXPECT_EQ(14, list->GetItemRowHeight());
    EXPECT_EQ(7, list->GetRowCount());
    EXPECT_EQ(Items(0, 7), RowTexts(list));

    // The bar counts rows: 20 rows, 7 in view.
    const RCPtr<KX::LScrollbar> bar = list->GetVerticalScrollBar();
    ASSERT_TRUE(LScrollView::IsBarUsable(bar));
    EXPECT_DOUBLE_EQ(13.0, bar->NormalizedToValue(1.0));
    EXPECT_NEAR(1.0 / 13.0, bar->GetStep(), 1e-9);
    EXPECT_EQ(PointT<double>(0, 20 * 14), list->GetClientExtent());

    // Five wheel steps scroll five rows: the rows stay, their items move.
    const RCPtr<LListBoxItem> firstRow = list->GetRowControl(0);
    for (int step = 0; step < 5; ++step)
        Wheel(CentreOf(RCPtr<KX::LControl>(list.Get())), 0);
    EXPECT_EQ(5, list->GetTopIndex());
    EXPECT_EQ(70.0, list->GetScrollOffset().y);
    EXPECT_EQ(firstRow, list->GetRowControl(0));
    EXPECT_EQ(Items(5, 7), RowTexts(list));
    EXPECT_EQ(0, list->GetItemRowIndex(5));
    EXPECT_EQ(-1, list->GetItemRowIndex(4));
    EXPECT_EQ(5, list->GetItemControlIndex(RCPtr<KX::LControl>(firstRow.Get())));

    PaintWindow();
    // Row 0 stands at the top of the list, as before the scroll, in the
    // unselected look's colour (left of its text).
    const PointT<long> origin(list->GetRootPosition());
    EXPECT_EQ(0xFF3A4048u, Pixel(origin.x + 6, origin.y + 7));
    // The frame's 2 pixels at the bottom.
    EXPECT_EQ(0xFF8090A0u, Pixel(origin.x + 6, origin.y + 99));
}

TEST_F(ListRowTest, AViewWhoseLastRowShowsInPartGetsARowForIt)
{
    // No frame: 100 client pixels are 7 whole rows and 2 pixels of an eighth.
    const RCPtr<LListBox> list = OpenList(L"listScene", L"openList");
    ASSERT_TRUE(list);
    AddItems(list, 20);
    EXPECT_EQ(8, list->GetRowCount());
    EXPECT_EQ(Items(0, 8), RowTexts(list));
    EXPECT_DOUBLE_EQ(13.0, list->GetVerticalScrollBar()->NormalizedToValue(1.0));
}

TEST_F(ListRowTest, RowsStayBoundToTheirItemsWhenAnotherChildOfTheListGoes)
{
    const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
    ASSERT_TRUE(list);
    AddItems(list, 20);
    Wheel(CentreOf(RCPtr<KX::LControl>(list.Get())), 0);
    Wheel(CentreOf(RCPtr<KX::LControl>(list.Get())), 0);
    std::vector<RCPtr<LListBoxItem>> rows;
    for (int32_t k = 0; k < list->GetRowCount(); ++k)
        rows.push_back(list->GetRowControl(k));

    // A child made before the rows leaves the list.
    const RCPtr<KX::LControl> badge = Find(L"list/badge");
    ASSERT_TRUE(badge);
    badge->Detach();

    ASSERT_EQ(7, list->GetRowCount());
    for (int32_t k = 0; k < 7; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(rows[static_cast<size_t>(k)], list->GetRowControl(k));
        EXPECT_EQ(k + 2, list->GetItemControlIndex(RCPtr<KX::LControl>(rows[static_cast<size_t>(k)].Get())));
        EXPECT_EQ(k, list->GetItemRowIndex(k + 2));
    }
    // Scrolling on binds the same rows to the next items.
    Wheel(CentreOf(RCPtr<KX::LControl>(list.Get())), 0);
    EXPECT_EQ(Items(3, 7), RowTexts(list));
    // A click reaches the item under the pointer.
    Click(RowCentre(list, 5));
    EXPECT_EQ(std::vector<int32_t>{5}, Selection(list));
}

// How a row is set up before its look is read.
enum class Pointer { None, Hover, PressHot, PressAway };

struct RowLookCase
{
    bool selected;
    bool submenu;
    bool separator;
    bool disabled;
    Pointer pointer;
    int32_t look;
};

TEST_F(ListRowTest, RowLooksFollowSelectionHoverPressSubmenuSeparatorAndEnabling)
{
    const RowLookCase cases[] = {
        {false, false, false, false, Pointer::None, 0},      {false, false, false, false, Pointer::Hover, 1},
        {false, false, false, false, Pointer::PressHot, 2},  {false, false, false, false, Pointer::PressAway, 1},
        {false, true, false, false, Pointer::None, 3},       {false, true, false, false, Pointer::Hover, 4},
        {false, true, false, false, Pointer::PressHot, 5},   {false, false, false, true, Pointer::None, 6},
        {true, false, false, false, Pointer::None, 7},       {true, false, false, false, Pointer::Hover, 8},
        {true, false, false, false, Pointer::PressHot, 9},   {true, true, false, false, Pointer::None, 10},
        {true, true, false, false, Pointer::Hover, 11},      {true, true, false, false, Pointer::PressAway, 11},
        {true, true, false, false, Pointer::PressHot, 12},   {true, false, false, true, Pointer::None, 13},
        {false, false, true, false, Pointer::Hover, 13},     {true, false, true, false, Pointer::None, 13},
    };
    for (const RowLookCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "look " << c.look << " selected " << c.selected << " submenu "
                                        << c.submenu << " separator " << c.separator << " disabled " << c.disabled
                                        << " pointer " << static_cast<int>(c.pointer));
        const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
        ASSERT_TRUE(list);
        AddItems(list, 5);
        const RCPtr<LListBoxItem> row = list->GetRowControl(1);
        const PointT<long> centre = RowCentre(list, 1);
        switch (c.pointer) {
        case Pointer::None:
            MoveTo(PointT<long>(500, 300));
            break;
        case Pointer::Hover:
            MoveTo(centre);
            break;
        case Pointer::PressHot:
            Press(centre);
            MoveTo(PointT<long>(centre.x + 3, centre.y));
            break;
        case Pointer::PressAway:
            Press(centre);
            MoveTo(PointT<long>(500, 300));
            break;
        }
        // A press selects: the item's state is set afterwards.
        list->SetItemValue(1, c.selected ? 1.0 : 0.0);
        list->SetItemSubmenu(1, c.submenu);
        list->SetItemSeparator(1, c.separator);
        if (c.disabled)
            list->SetEnabled(false);
        EXPECT_EQ(c.look, row->GetActiveLookIndex());
        if (c.pointer == Pointer::PressHot || c.pointer == Pointer::PressAway)
            Release(os.cursor);
    }
}

TEST_F(ListRowTest, RowsShowTheirLooksOnScreenAndASeparatorShowsNoText)
{
    const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
    ASSERT_TRUE(list);
    AddItems(list, 6);
    Click(RowCentre(list, 1));
    list->SetItemSeparator(3, true);
    list->SetItemSubmenu(4, true);
    list->SetItemHoverOverride(2, true);
    MoveTo(PointT<long>(500, 300));
    EXPECT_EQ(L"", KXTest::Text(list->GetRowControl(3)->GetText()));
    EXPECT_EQ(L"Item 3", KXTest::Text(list->GetItemText(3)));

    PaintWindow();
    const auto pixelOfRow = [&](int32_t item) {
        const PointT<long> centre = RowCentre(list, item);
        return Pixel(centre.x - 70, centre.y);
    };
    EXPECT_EQ(0xFF3A4048u, pixelOfRow(0)); // unselected
    EXPECT_EQ(0xFF2C5584u, pixelOfRow(1)); // selected
    EXPECT_EQ(0xFF4A5560u, pixelOfRow(2)); // hot by override
    EXPECT_EQ(0xFF101010u, pixelOfRow(3)); // separator
    EXPECT_EQ(0xFF3A4838u, pixelOfRow(4)); // submenu
    EXPECT_EQ(0xFF26292Cu, pixelOfRow(6)); // blank row past the items: disabled
}

TEST_F(ListRowTest, AnItemWithoutTextShowsEmptyAndRowsPastTheItemsAreBlankAndDisabled)
{
    const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
    ASSERT_TRUE(list);
    ASSERT_EQ(0, list->InsertItem(0, RCPtr<KX::LTaggableObject>()));
    ASSERT_EQ(1, list->InsertItem(1, KX::CreateStringItem(String(L"second"))));
    EXPECT_EQ((std::vector<std::wstring>{L"", L"second", L"", L"", L"", L"", L""}), RowTexts(list));
    EXPECT_TRUE(list->GetRowControl(0)->IsEnabled(false));
    EXPECT_TRUE(list->GetRowControl(1)->IsEnabled(false));
    for (int32_t k = 2; k < list->GetRowCount(); ++k)
        EXPECT_FALSE(list->GetRowControl(k)->IsEnabled(false)) << k;
    // No text measures as an empty row.
    EXPECT_EQ(list->GetEmptyRowWidth(), list->MeasureItemWidth(0));
    EXPECT_LT(list->GetEmptyRowWidth(), list->MeasureItemWidth(1));
    EXPECT_EQ(0, list->MeasureItemWidth(2));
}

TEST_F(ListRowTest, InsertingOutsideTheItemsIsRefused)
{
    const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
    ASSERT_TRUE(list);
    AddItems(list, 3);
    EXPECT_EQ(E_INVALIDARG, list->InsertItem(4, KX::CreateStringItem(String(L"far"))));
    EXPECT_EQ(E_INVALIDARG, list->InsertItem(-1, KX::CreateStringItem(String(L"before"))));
    EXPECT_EQ(3, list->GetItemCount());
    EXPECT_EQ(3, list->InsertItem(3, KX::CreateStringItem(String(L"last"))));
    EXPECT_EQ(L"last", KXTest::Text(list->GetItemText(3)));
}

TEST_F(ListRowTest, ItemRectsAreThoseOfTheirRowsInTheListAndEmptyWithoutARow)
{
    const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
    ASSERT_TRUE(list);
    AddItems(list, 20);
    EXPECT_EQ(RectT<double>(0, 42, 160, 14), list->GetItemRect(3));
    for (int step = 0; step < 5; ++step)
        Wheel(CentreOf(RCPtr<KX::LControl>(list.Get())), 0);
    EXPECT_EQ(RectT<double>(), list->GetItemRect(3));
    EXPECT_EQ(RectT<double>(0, 28, 160, 14), list->GetItemRect(7));
    EXPECT_EQ(RectT<double>(), list->GetItemRect(12));
    EXPECT_EQ(RectT<double>(), list->GetItemRect(20));
    EXPECT_EQ(RectT<double>(), list->GetItemRect(-1));
}

TEST_F(ListRowTest, HiddenItemsTakeNoRowAndNoHeight)
{
    const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
    ASSERT_TRUE(list);
    AddItems(list, 20);
    ASSERT_EQ(S_OK, list->SetItemHidden(2, true));
    EXPECT_EQ(S_FALSE, list->SetItemHidden(2, true));
    EXPECT_EQ(E_INVALIDARG, list->SetItemHidden(20, true));
    EXPECT_EQ((std::vector<std::wstring>{L"Item 0", L"Item 1", L"Item 3", L"Item 4", L"Item 5", L"Item 6",
                                         L"Item 7"}),
              RowTexts(list));
    EXPECT_EQ(-1, list->GetItemRowIndex(2));
    EXPECT_EQ(2, list->GetItemRowIndex(3));
    EXPECT_EQ(19 * 14, list->GetItemsHeight());
    EXPECT_DOUBLE_EQ(12.0, list->GetVerticalScrollBar()->NormalizedToValue(1.0));

    // Shown again, it has its row back.
    ASSERT_EQ(S_OK, list->SetItemHidden(2, false));
    EXPECT_EQ(Items(0, 7), RowTexts(list));
}

TEST_F(ListRowTest, HidingTheTopItemBringsAVisibleItemToTheTop)
{
    const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
    ASSERT_TRUE(list);
    AddItems(list, 20);
    for (int step = 0; step < 5; ++step)
        Wheel(CentreOf(RCPtr<KX::LControl>(list.Get())), 0);
    ASSERT_EQ(5, list->GetTopIndex());
    list->SetItemHidden(5, true);
    EXPECT_EQ(4, list->GetTopIndex());
    EXPECT_EQ((std::vector<std::wstring>{L"Item 4", L"Item 6", L"Item 7", L"Item 8", L"Item 9", L"Item 10",
                                         L"Item 11"}),
              RowTexts(list));

    // The first item hidden at the top: the next one is the top.
    const RCPtr<LListBox> other = OpenList(L"listScene", L"openList");
    AddItems(other, 20);
    other->SetItemHidden(0, true);
    EXPECT_EQ(1, other->GetTopIndex());
    EXPECT_EQ(L"Item 1", RowTexts(other)[0]);
}

TEST_F(ListRowTest, KeepingAnItemInViewCountsHiddenItemsAboveTheTop)
{
    const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
    ASSERT_TRUE(list);
    AddItems(list, 30);
    list->SetItemHidden(0, true);
    list->SetItemHidden(1, true);
    ASSERT_EQ(2, list->GetTopIndex());

    // Item 13 comes into the last whole row: 7 is the top.
    ASSERT_EQ(S_OK, list->EnsureItemVisible(13));
    EXPECT_EQ(7, list->GetTopIndex());
    EXPECT_EQ(6, list->GetItemRowIndex(13));
    // Item 15 needs the top at item 9, which has 7 visible items before it:
    // as many as the old top's index.
    ASSERT_EQ(S_OK, list->EnsureItemVisible(15));
    EXPECT_EQ(9, list->GetTopIndex());
    EXPECT_EQ(6, list->GetItemRowIndex(15));
    EXPECT_EQ(7.0 * 14, list->GetScrollOffset().y);

    // Items in view stay where they are; items above come to the top.
    ASSERT_EQ(S_OK, list->EnsureItemVisible(12));
    EXPECT_EQ(9, list->GetTopIndex());
    ASSERT_EQ(S_OK, list->EnsureItemVisible(4));
    EXPECT_EQ(4, list->GetTopIndex());
    // Near the end the last page is shown.
    ASSERT_EQ(S_OK, list->EnsureItemVisible(27));
    EXPECT_EQ(23, list->GetTopIndex());
    EXPECT_EQ(E_INVALIDARG, list->EnsureItemVisible(30));
}

TEST_F(ListRowTest, ATemplateThatMeasuresNoHeightGivesRowsOf14PixelsAndOneRowControl)
{
    const RCPtr<LListBox> list = OpenList(L"stringScene", L"zeroList");
    ASSERT_TRUE(list);
    EXPECT_EQ(14, list->GetItemRowHeight());
    AddItems(list, 5);
    EXPECT_EQ(1, list->GetRowCount());
    EXPECT_EQ(5, list->GetItemCount());
}

TEST_F(ListRowTest, ItemsComeFromTheItemStringsOfTheListsTable)
{
    OpenScene(L"stringScene");
    const RCPtr<LListBox> list = FindAs<LListBox>(L"stringList");
    ASSERT_TRUE(list);
    EXPECT_EQ((std::vector<std::wstring>{L"b", L"A", L"c"}), ItemTexts(list));
    // No frame: seven whole rows and a part of an eighth.
    EXPECT_EQ((std::vector<std::wstring>{L"b", L"A", L"c", L"", L"", L"", L"", L""}), RowTexts(list));

    // Numbers 3 and 0 only: four items, the two between empty.
    const RCPtr<LListBox> gaps = FindAs<LListBox>(L"gapList");
    ASSERT_TRUE(gaps);
    EXPECT_EQ((std::vector<std::wstring>{L"zero", L"", L"", L"three"}), ItemTexts(gaps));

    EXPECT_EQ(E_INVALIDARG, list->LoadItemsFromStringTable(RCPtr<KX::LStringTable>()));
    EXPECT_EQ(3, list->GetItemCount());
}

TEST_F(ListRowTest, NumberedRowsAreTheRowsAndTheirLabelsTheItems)
{
    OpenScene(L"stringScene");
    const RCPtr<LListBox> list = FindAs<LListBox>(L"numbered");
    ASSERT_TRUE(list);
    EXPECT_EQ((std::vector<std::wstring>{L"One", L"Two", L"Three"}), ItemTexts(list));
    ASSERT_EQ(3, list->GetRowCount());
    EXPECT_EQ(Find(L"numbered/item2"), RCPtr<KX::LControl>(list->GetRowControl(1).Get()));
    Click(RowCentre(list, 2));
    EXPECT_EQ(std::vector<int32_t>{2}, Selection(list));
    EXPECT_TRUE(list->GetRowControl(2)->IsSelected());
}

TEST_F(ListRowTest, SortingOrdersByTextWithoutCaseAndTheCaretStaysOnItsItem)
{
    const RCPtr<LListBox> list = OpenList(L"stringScene", L"stringList");
    ASSERT_TRUE(list);
    const RCPtr<KXTest::Listener> listener = KXTest::Listener::Make();
    listener->Listen(RCPtr<KX::LNotificationDistributor>(list.Get()), KX::NID_SELECTION_CHANGE);
    Click(RowCentre(list, 0)); // "b"
    ASSERT_EQ(0, list->GetCaretIndex());
    listener->received.clear();

    EXPECT_EQ(1, list->Sort());
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"b", L"c"}), ItemTexts(list));
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"b", L"c", L"", L"", L"", L"", L""}), RowTexts(list));
    EXPECT_EQ(1, list->GetCaretIndex());
    EXPECT_EQ(1, list->GetAnchorIndex());
    EXPECT_EQ(std::vector<int32_t>{1}, Selection(list));
    EXPECT_TRUE(listener->received.empty());
    EXPECT_EQ(E_INVALIDARG, list->SortRange(2, 2));
    EXPECT_EQ(S_FALSE, list->SortRange(1, 0));
}

struct SnapCase
{
    double minimum, maximum, height;
    double snappedMinimum, snappedMaximum, snappedHeight;
};

TEST_F(ListRowTest, HeightLimitsAndHeightSnapToWholeRowsPlusTheFrame)
{
    // The framed list: 2 pixels of frame, rows of 14.
    const SnapCase cases[] = {
        {0, 0, 100, 0, 0, 100},   // 7 rows and the frame already
        {30, 0, 50, 30, 0, 44},   // the minimum is 2 rows and the frame; 50 pixels hold 3 rows
        {10, 95, 95, 16, 86, 86}, // at least one row; 6 rows fit below 95
        {1, 200, 3, 1, 198, 16},  // a limit inside the frame stays; at least one row
    };
    for (const SnapCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.minimum << " " << c.maximum << " " << c.height);
        const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
        ASSERT_TRUE(list);
        KX::LLayoutDescriptor::SizeLimitSpec minimum, maximum;
        minimum.mAbs = c.minimum;
        maximum.mAbs = c.maximum;
        list->SetSizeLimits(1, minimum, maximum);
        KX::LLayoutDescriptor::PositionSpec position;
        KX::LLayoutDescriptor::SizeSpec size;
        bool docked = false;
        list->GetLayout().GetAxisSpec(1, position, docked, size);
        size.mAbs = c.height;
        list->SetPlacement(1, position, docked, size);

        list->SnapHeightLimitsToRows();
        EXPECT_EQ(c.snappedMinimum, list->GetLayout().mYMinimum.mAbs);
        EXPECT_EQ(c.snappedMaximum, list->GetLayout().mYMaximum.mAbs);
        EXPECT_EQ(c.snappedHeight, list->GetLayout().mYSize.mAbs);
    }
}

TEST_F(ListRowTest, AnEmptyDropDownListIsOneRowHigh)
{
    const RCPtr<LListBox> list = OpenList(L"dropScene", L"owner/dropList");
    ASSERT_TRUE(list);
    list->SetDropDownMode(true);
    // The pattern row measured again in drop-down mode: one row for no items.
    ASSERT_EQ(S_OK, list->AddChild(RCPtr<KX::LControl>(), list->GetTemplateDescriptor()));
    EXPECT_EQ(14.0, list->GetRect().height);
    AddItems(list, 3);
    EXPECT_EQ(42.0, list->GetRect().height);
    list->RemoveAllItems();
    EXPECT_EQ(14.0, list->GetRect().height);
    // A description of another name is no template.
    EXPECT_EQ(E_FAIL, list->AddChild(RCPtr<KX::LControl>(), KX::LControlDescriptor::Create(L"Test.Part", L"other",
                                                                                             nullptr)));
}

} // namespace

namespace {

TEST_F(ListRowTest, ApplyingTheSkinAgainMakesTheRowsAnewAndKeepsTheItems)
{
    const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
    ASSERT_TRUE(list);
    AddItems(list, 20);
    Click(RowCentre(list, 2));
    const RCPtr<KX::LControlDescriptor> scene = factory->FindControlDescriptor(String(L"listScene"));
    ASSERT_TRUE(scene);
    const RCPtr<KX::LControlDescriptor> description = scene->FindChild(String(L"list"));
    ASSERT_TRUE(description);

    ASSERT_EQ(S_OK, list->ApplyControlDescriptor(description));
    EXPECT_EQ(7, list->GetRowCount());
    EXPECT_EQ(Items(0, 7), RowTexts(list));
    EXPECT_EQ(std::vector<int32_t>{2}, Selection(list));
    EXPECT_TRUE(list->GetRowControl(2)->IsSelected());
    // The new rows answer the pointer and the list scrolls by rows again.
    Click(RowCentre(list, 4));
    EXPECT_EQ(std::vector<int32_t>{4}, Selection(list));
    Wheel(CentreOf(RCPtr<KX::LControl>(list.Get())), 0);
    EXPECT_EQ(Items(1, 7), RowTexts(list));
}

TEST_F(ListRowTest, ARowWhoseTextIsCutOffOffersItWholeAsItsToolTip)
{
    const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
    ASSERT_TRUE(list);
    const String longText(L"An item whose text is far too long for the row that shows it");
    list->InsertItem(0, KX::CreateStringItem(String(L"Short")));
    list->InsertItem(1, KX::CreateStringItem(longText));
    // Shown, as a person meets it before any tool tip comes.
    PaintWindow();
    EXPECT_EQ(L"", KXTest::Text(list->GetRowControl(0)->GetToolTipText()));
    EXPECT_EQ(KXTest::Text(longText), KXTest::Text(list->GetRowControl(1)->GetToolTipText()));
    // A row never takes the focus; the list does.
    EXPECT_TRUE(list->GetRowControl(0)->IsFocusDisabled(false));
}

TEST_F(ListRowTest, AnItemsRowShowsALookAskedForAndNothingHappensWithoutARow)
{
    const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
    ASSERT_TRUE(list);
    AddItems(list, 10);
    EXPECT_EQ(S_OK, list->SelectItemLook(3, KX::LListBoxItem::kSelectedOffset + 1));
    EXPECT_EQ(8, list->GetRowControl(3)->GetActiveLookIndex());
    EXPECT_EQ(S_FALSE, list->SelectItemLook(3, 14));
    EXPECT_EQ(S_FALSE, list->SelectItemLook(9, 1));
}

TEST_F(ListRowTest, ItemNumbersPastTheLimitAreIgnored)
{
    const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
    ASSERT_TRUE(list);
    // A number this large would ask for gigabytes of empty items.
    RCPtr<KX::LStringTable> table = KX::LStringTable::Create();
    table->SetString(L"ITEM.0", String(L"zero"));
    table->SetString(L"ITEM.2", String(L"two"));
    table->SetString(L"ITEM.2000000000", String(L"far"));
    table->SetString(L"ITEM.65536", String(L"past the limit"));
    EXPECT_EQ(S_OK, list->LoadItemsFromStringTable(table));
    EXPECT_EQ((std::vector<std::wstring>{L"zero", L"", L"two"}), ItemTexts(list));
}

TEST_F(ListRowTest, KeepingAnItemInViewShowsTheLastPageOnlyForAnItemOutOfView)
{
    // Ten items in seven whole rows: the last page starts at item 3.
    struct Case
    {
        int32_t top;      // the top before
        int32_t item;     // the item to keep in view
        int32_t expected; // the top after
    };
    const Case cases[] = {
        {0, 9, 3}, // past the view and past the last page's top: the last page
        {0, 7, 3}, // just past the view
        {0, 6, 0}, // in the last whole row: nothing moves
        {0, 5, 0}, // in view though past the last page's top: nothing moves
        {3, 1, 1}, // above the view: it comes to the top
        {3, 9, 3}, // in view on the last page
    };
    for (const Case& test : cases) {
        const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
        ASSERT_TRUE(list);
        AddItems(list, 10);
        ASSERT_EQ(7, list->GetRowCount());
        if (test.top > 0) {
            ASSERT_EQ(S_OK, list->EnsureItemVisible(9)); // the last page
        }
        ASSERT_EQ(test.top, list->GetTopIndex());
        EXPECT_EQ(S_OK, list->EnsureItemVisible(test.item)) << test.item;
        EXPECT_EQ(test.expected, list->GetTopIndex()) << "top " << test.top << ", item " << test.item;
        EXPECT_EQ(test.expected * 14.0, list->GetScrollOffset().y) << "top " << test.top << ", item " << test.item;
    }

    // Thirty items: an item below the view but before the last page comes
    // into the last whole row.
    const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
    ASSERT_TRUE(list);
    AddItems(list, 30);
    EXPECT_EQ(S_OK, list->EnsureItemVisible(10));
    EXPECT_EQ(4, list->GetTopIndex());
    EXPECT_EQ(S_OK, list->EnsureItemVisible(29));
    EXPECT_EQ(23, list->GetTopIndex());
}

} // namespace
