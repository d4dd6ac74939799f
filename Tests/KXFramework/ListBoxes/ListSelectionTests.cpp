// The list box's selection and input: clicks with and without Ctrl and Shift
// in single and multiple selection, the keys, activation, double and right
// clicks, anchor and caret as items go, the drop-down mode, hovering, hit
// testing, and finding items by text; each notification sent once.
#include "ListBoxTestSupport.h"

#include "Notification/NotificationIDs.h"
#include "ObjectBase/Holder.h"

using namespace ListTest;
using KX::LListBox;

namespace {

class ListSelectionTest : public ListBoxTest
{
protected:
    // The list of the list scene with items "Item 0".."Item <count-1>", and
    // a listener to its item notifications.
    RCPtr<LListBox> OpenListWithItems(int32_t count, const wchar_t* scene = L"listScene",
                                      const std::wstring& path = L"list")
    {
        const RCPtr<LListBox> list = OpenList(scene, path);
        EXPECT_TRUE(list);
        if (!list)
            return list;
        AddItems(list, count);
        listener = KXTest::Listener::Make();
        for (const wchar_t* id : {KX::NID_SELECTION_CHANGE, KX::NID_ITEM_ACTIVATED, KX::NID_ITEM_DOUBLE_CLICKED,
                                  KX::NID_ITEM_RIGHT_CLICK})
            listener->Listen(RCPtr<KX::LNotificationDistributor>(list.Get()), id);
        return list;
    }

    RCPtr<KXTest::Listener> listener;
};

TEST_F(ListSelectionTest, AClickSelectsTheItemAloneAndTellsOnce)
{
    const RCPtr<LListBox> list = OpenListWithItems(20);
    ASSERT_TRUE(list);
    Click(RowCentre(list, 2));
    EXPECT_EQ(std::vector<int32_t>{2}, Selection(list));
    EXPECT_EQ(2, list->GetAnchorIndex());
    EXPECT_EQ(2, list->GetCaretIndex());
    EXPECT_EQ(1, list->GetSelectedCount());
    EXPECT_TRUE(list->HasFocus());
    EXPECT_EQ(std::vector<std::wstring>{KX::NID_SELECTION_CHANGE}, Heard(*listener));

    // The only selected item again: nothing changes, nothing is told.
    Click(RowCentre(list, 2));
    EXPECT_EQ(1u, listener->received.size());

    Click(RowCentre(list, 4));
    EXPECT_EQ(std::vector<int32_t>{4}, Selection(list));
    EXPECT_EQ(2, CountOf(*listener, KX::NID_SELECTION_CHANGE));
    // Without multiple selection Ctrl and Shift change nothing of that.
    Click(RowCentre(list, 6), 1, kCtrl);
    Click(RowCentre(list, 1), 1, kShift);
    EXPECT_EQ(std::vector<int32_t>{1}, Selection(list));
    EXPECT_EQ(4, CountOf(*listener, KX::NID_SELECTION_CHANGE));
}

TEST_F(ListSelectionTest, MultipleSelectionTogglesWithCtrlAndTakesRangesWithShift)
{
    const RCPtr<LListBox> list = OpenListWithItems(20);
    ASSERT_TRUE(list);
    list->SetMultipleSelection(true);
    struct Step
    {
        int32_t item;
        int32_t modifiers;
        std::vector<int32_t> selection;
        int32_t anchor;
        int32_t caret;
    };
    const Step steps[] = {
        {1, 0, {1}, 1, 1},
        {3, kCtrl, {1, 3}, 3, 3},                       // added
        {1, kCtrl, {3}, 3, 3},                          // toggled off
        {6, kShift, {3, 4, 5, 6}, 3, 6},                // from the anchor, alone
        {4, kShift, {3, 4}, 3, 4},                      // the anchor stays
        {0, kCtrl | kShift, {0, 1, 2, 3, 4}, 3, 0},     // the range added
        {5, 0, {5}, 5, 5},                              // a plain click: alone again
    };
    int expectedNotifications = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "click on " << step.item << " with " << step.modifiers);
        Click(RowCentre(list, step.item), 1, step.modifiers);
        EXPECT_EQ(step.selection, Selection(list));
        EXPECT_EQ(step.anchor, list->GetAnchorIndex());
        EXPECT_EQ(step.caret, list->GetCaretIndex());
        EXPECT_EQ(static_cast<int32_t>(step.selection.size()), list->GetSelectedCount());
        EXPECT_EQ(++expectedNotifications, CountOf(*listener, KX::NID_SELECTION_CHANGE));
    }
}

struct KeyCase
{
    uint32_t key;
    uint32_t modifiers;
    std::vector<int32_t> selection;
    int32_t top;
    int notifications;
};

TEST_F(ListSelectionTest, UpAndDownSelectTheNeighboursWhilePageHomeAndEndScrollAndEveryKeyIsHandled)
{
    const RCPtr<LListBox> list = OpenListWithItems(20);
    ASSERT_TRUE(list);
    Click(RowCentre(list, 3));
    listener->received.clear();
    const KeyCase cases[] = {
        {VK_DOWN, 0, {4}, 0, 1},
        {VK_UP, 0, {3}, 0, 1},
        {VK_DOWN, KX::KeyCode::ModShift, {4}, 0, 1}, // Shift moves as the plain key does
        {VK_UP, KX::KeyCode::ModShift, {3}, 0, 1},
        {VK_NEXT, 0, {3}, 7, 0},  // a page of 7 rows
        {VK_END, 0, {3}, 13, 0},
        {VK_PRIOR, 0, {3}, 6, 0},
        {VK_HOME, 0, {3}, 0, 0},
        {VK_LEFT, 0, {3}, 0, 0},  // no horizontal bar: handled, nothing happens
        {VK_RIGHT, 0, {3}, 0, 0},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " modifiers " << c.modifiers);
        listener->received.clear();
        EXPECT_EQ(S_OK, KeyDown(c.key, c.modifiers));
        EXPECT_EQ(c.selection, Selection(list));
        EXPECT_EQ(c.top, list->GetTopIndex());
        EXPECT_EQ(c.notifications, CountOf(*listener, KX::NID_SELECTION_CHANGE));
    }
    // Down scrolls the caret's item into view.
    for (int i = 0; i < 8; ++i)
        KeyDown(VK_DOWN);
    EXPECT_EQ(std::vector<int32_t>{11}, Selection(list));
    EXPECT_EQ(5, list->GetTopIndex());
    // Another key is left to the others.
    EXPECT_EQ(S_FALSE, KeyDown('Q'));
}

TEST_F(ListSelectionTest, UpOnTheFirstDownOnTheLastAndDownWithoutCaret)
{
    const RCPtr<LListBox> list = OpenListWithItems(5);
    ASSERT_TRUE(list);
    list->SetFocus(true);
    ASSERT_TRUE(list->HasFocus());
    ASSERT_EQ(-1, list->GetCaretIndex());
    // Up without a caret does nothing, Down selects the first item.
    EXPECT_EQ(S_OK, KeyDown(VK_UP));
    EXPECT_TRUE(Selection(list).empty());
    EXPECT_EQ(S_OK, KeyDown(VK_DOWN));
    EXPECT_EQ(std::vector<int32_t>{0}, Selection(list));
    EXPECT_EQ(S_OK, KeyDown(VK_UP));
    EXPECT_EQ(std::vector<int32_t>{0}, Selection(list));
    list->SelectItemRange(4, -1, true);
    listener->received.clear();
    EXPECT_EQ(S_OK, KeyDown(VK_DOWN));
    EXPECT_EQ(std::vector<int32_t>{4}, Selection(list));
    EXPECT_TRUE(listener->received.empty());
}

TEST_F(ListSelectionTest, HiddenItemsAreNeitherShownNorReachedByUpAndDown)
{
    const RCPtr<LListBox> list = OpenListWithItems(10);
    ASSERT_TRUE(list);
    list->SetItemHidden(2, true);
    list->SetItemHidden(3, true);
    EXPECT_EQ(L"Item 4", RowTexts(list)[2]);
    Click(RowCentre(list, 1));
    KeyDown(VK_DOWN);
    EXPECT_EQ(std::vector<int32_t>{4}, Selection(list));
    KeyDown(VK_UP);
    EXPECT_EQ(std::vector<int32_t>{1}, Selection(list));
    // A hidden item at the end is not reached either.
    list->SetItemHidden(9, true);
    list->SelectItemRange(8, -1, true);
    KeyDown(VK_DOWN);
    EXPECT_EQ(std::vector<int32_t>{8}, Selection(list));
}

TEST_F(ListSelectionTest, EnterActivatesTheCaretsItemAndADoubleClickTellsAfterItsSelection)
{
    const RCPtr<LListBox> list = OpenListWithItems(10);
    ASSERT_TRUE(list);
    Click(RowCentre(list, 2));
    listener->received.clear();
    EXPECT_EQ(S_OK, KeyDown(VK_RETURN));
    EXPECT_EQ(std::vector<std::wstring>{KX::NID_ITEM_ACTIVATED}, Heard(*listener));

    listener->received.clear();
    Click(RowCentre(list, 5));
    DoubleClick(RowCentre(list, 5));
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_SELECTION_CHANGE, KX::NID_ITEM_DOUBLE_CLICKED}), Heard(*listener));
    EXPECT_EQ(std::vector<int32_t>{5}, Selection(list));
}

TEST_F(ListSelectionTest, ARightPressTellsItsItemAndTheSecondPressOfADoubleClickNothing)
{
    const RCPtr<LListBox> list = OpenListWithItems(10);
    ASSERT_TRUE(list);
    Click(RowCentre(list, 4), 4);
    ASSERT_EQ(std::vector<std::wstring>{KX::NID_ITEM_RIGHT_CLICK}, Heard(*listener));
    const RCPtr<KX::LHolder<int>> item = RCPtr<KX::LHolder<int>>::DynamicCast(listener->received[0].data);
    ASSERT_TRUE(item);
    EXPECT_EQ(4, item->GetValue());
    EXPECT_TRUE(Selection(list).empty());
    DoubleClick(RowCentre(list, 4), 4);
    EXPECT_EQ(1u, listener->received.size());
}

TEST_F(ListSelectionTest, AnchorAndCaretFollowRemovedItemsAndDeselection)
{
    const RCPtr<LListBox> list = OpenListWithItems(10);
    ASSERT_TRUE(list);
    ASSERT_EQ(3, list->SelectItemRange(3, 6, true));
    EXPECT_EQ((std::vector<int32_t>{3, 4, 5, 6}), Selection(list));
    ASSERT_EQ(9, list->RemoveItem(1));
    EXPECT_EQ(2, list->GetAnchorIndex());
    EXPECT_EQ(5, list->GetCaretIndex());
    EXPECT_EQ(4, list->GetSelectedCount());
    // Removing one between them clears both.
    ASSERT_EQ(8, list->RemoveItem(3));
    EXPECT_EQ(-1, list->GetAnchorIndex());
    EXPECT_EQ(-1, list->GetCaretIndex());
    EXPECT_EQ(3, list->GetSelectedCount());
    EXPECT_EQ(E_INVALIDARG, list->RemoveItem(8));

    // Deselecting the caret moves it to a selected neighbour; the anchor
    // moves off a deselected anchor.
    list->DeselectAll();
    list->SelectItemRange(2, 5, true);
    listener->received.clear();
    EXPECT_EQ(S_OK, list->DeselectItem(5));
    EXPECT_EQ(4, list->GetCaretIndex());
    EXPECT_EQ(2, list->GetAnchorIndex());
    EXPECT_EQ(S_OK, list->DeselectItem(2));
    EXPECT_EQ(3, list->GetAnchorIndex());
    EXPECT_EQ(S_FALSE, list->DeselectItem(2));
    EXPECT_EQ(S_FALSE, list->DeselectItem(40));
    EXPECT_EQ(2, CountOf(*listener, KX::NID_SELECTION_CHANGE));
    EXPECT_EQ(E_INVALIDARG, list->SelectItemRange(8, -1, true));
}

TEST_F(ListSelectionTest, TextsAreFoundWithAndWithoutCase)
{
    const RCPtr<LListBox> list = OpenList(L"listScene", L"list");
    ASSERT_TRUE(list);
    for (const wchar_t* text : {L"a", L"B", L"b", L"c"})
        list->InsertItem(list->GetItemCount(), KX::CreateStringItem(String(text)));
    EXPECT_EQ(2, list->FindItemByText(String(L"b"), true));
    EXPECT_EQ(1, list->FindItemByText(String(L"B"), true));
    EXPECT_EQ(2, list->FindItemByText(String(L"B"), false)); // the last equal one
    EXPECT_EQ(-1, list->FindItemByText(String(L"d"), false));
    EXPECT_EQ(1, list->SelectItemByText(String(L"b"), -1, false));
    EXPECT_EQ(std::vector<int32_t>{1}, Selection(list));
    EXPECT_EQ(2, list->SelectItemByText(String(L"b"), 1, false));
    EXPECT_EQ(1, list->SelectItemByText(String(L"b"), 2, false)); // round from the start
    EXPECT_EQ(2, list->SelectItemByText(String(L"b"), 7, true));  // after an index outside: from the start
    EXPECT_EQ(-1, list->SelectItemByText(String(L"zz"), -1, false));
}

TEST_F(ListSelectionTest, HoveringARowTellsItsItemAndTheItemsLook)
{
    const RCPtr<LListBox> list = OpenListWithItems(10);
    ASSERT_TRUE(list);
    listener->Listen(RCPtr<KX::LNotificationDistributor>(list.Get()), KX::NID_ITEM_HOVER_CONDITION_CHANGE);
    MoveTo(RowCentre(list, 2));
    MoveTo(PointT<long>(500, 300));
    ASSERT_EQ(2u, listener->received.size());
    const RCPtr<KX::LItemConditionsParam> entered =
        RCPtr<KX::LItemConditionsParam>::DynamicCast(listener->received[0].data);
    const RCPtr<KX::LItemConditionsParam> left =
        RCPtr<KX::LItemConditionsParam>::DynamicCast(listener->received[1].data);
    ASSERT_TRUE(entered);
    ASSERT_TRUE(left);
    EXPECT_EQ(2, entered->mItemIndex);
    EXPECT_TRUE(entered->mHover);
    EXPECT_EQ(KX::LListBoxItem::kLookHot, entered->mLookIndex);
    EXPECT_TRUE(entered->mNewConditions & KX::LControl::kHoverOrOverride);
    EXPECT_EQ(2, left->mItemIndex);
    EXPECT_FALSE(left->mHover);
    EXPECT_EQ(KX::LListBoxItem::kLookNormal, left->mLookIndex);
    // Outside drop-down mode hovering selects nothing.
    EXPECT_TRUE(Selection(list).empty());

    // The hover look on another list's row, as the columns of a table show it.
    list->SetItemHoverOverride(3, true);
    EXPECT_EQ(KX::LListBoxItem::kLookHot, list->GetRowControl(3)->GetActiveLookIndex());
    list->SetItemHoverOverride(3, false);
    EXPECT_EQ(KX::LListBoxItem::kLookNormal, list->GetRowControl(3)->GetActiveLookIndex());
    list->SetItemHoverOverride(15, true); // no row: nothing
}

TEST_F(ListSelectionTest, HitTestingCountsOnlyVisibleItems)
{
    const RCPtr<LListBox> list = OpenListWithItems(10);
    ASSERT_TRUE(list);
    EXPECT_EQ(2, list->HitTestItem(PointT<long>(10, 2 * 14 + 7)));
    list->SetItemHidden(1, true);
    EXPECT_EQ(3, list->HitTestItem(PointT<long>(10, 2 * 14 + 7)));
    EXPECT_EQ(-1, list->HitTestItem(PointT<long>(10, 99))); // the frame
    EXPECT_EQ(-1, list->HitTestItem(PointT<long>(-1, 10)));
    // Rows past the items hit nothing.
    const RCPtr<LListBox> few = OpenListWithItems(2);
    EXPECT_EQ(-1, few->HitTestItem(PointT<long>(10, 4 * 14 + 7)));
}

class DropDownTest : public ListSelectionTest
{
protected:
    void SetUp() override
    {
        ListSelectionTest::SetUp();
        list = OpenListWithItems(0, L"dropScene", L"owner/dropList");
        ASSERT_TRUE(list);
        list->SetDropDownMode(true);
        AddItems(list, 5);
    }

    RCPtr<LListBox> list;
};

TEST_F(DropDownTest, TheListIsAsHighAsItsItemsAndHoveringSelectsSilently)
{
    EXPECT_EQ(70.0, list->GetRect().height);
    MoveTo(RowCentre(list, 1));
    EXPECT_EQ(std::vector<int32_t>{1}, Selection(list));
    MoveTo(RowCentre(list, 3));
    EXPECT_EQ(std::vector<int32_t>{3}, Selection(list));
    EXPECT_TRUE(listener->received.empty());
}

TEST_F(DropDownTest, PressingOnARowAndReleasingOverAnotherActivatesTheOtherAndHidesTheList)
{
    Press(RowCentre(list, 1));
    // The rows hand the pointer to the list.
    EXPECT_EQ(RCPtr<KX::LControl>(list.Get()), window->GetCaptureControl());
    const PointT<long> target = RowCentre(list, 3);
    MoveTo(PointT<long>(target.x, target.y - 10));
    MoveTo(target);
    Release(target);
    EXPECT_EQ(std::vector<int32_t>{3}, Selection(list));
    EXPECT_EQ(std::vector<std::wstring>{KX::NID_ITEM_ACTIVATED}, Heard(*listener));
    EXPECT_FALSE(list->IsVisible(false));
}

TEST_F(DropDownTest, ReleasingOutsideItsOwnerHidesTheListWithoutActivation)
{
    list->SetHidesOnReleaseOutsideParent(true);
    Press(RowCentre(list, 1));
    MoveTo(PointT<long>(400, 300));
    EXPECT_TRUE(Selection(list).empty()); // over no item
    Release(PointT<long>(400, 300));
    EXPECT_FALSE(list->IsVisible(false));
    EXPECT_EQ(0, CountOf(*listener, KX::NID_ITEM_ACTIVATED));
}

TEST_F(DropDownTest, ReleasingOverTheOwnerKeepsTheListOpen)
{
    list->SetHidesOnReleaseOutsideParent(true);
    Press(RowCentre(list, 1));
    const RCPtr<KX::LControl> owner = Find(L"owner");
    Release(CentreOf(owner));
    EXPECT_TRUE(list->IsVisible(false));
    EXPECT_EQ(0, CountOf(*listener, KX::NID_ITEM_ACTIVATED));
}

TEST_F(ListSelectionTest, ADoubleClickInTheLowerRowsStaysOnItsItem)
{
    // Ten items in seven rows: item 5 lies past the last page's top (3),
    // yet in view. Its selection scrolls nothing, so the second press at
    // the same place finds the same item.
    const RCPtr<LListBox> list = OpenListWithItems(10);
    ASSERT_TRUE(list);
    const PointT<long> at = RowCentre(list, 5);
    Click(at);
    DoubleClick(at);
    EXPECT_EQ(0, list->GetTopIndex());
    EXPECT_EQ(std::vector<int32_t>{5}, Selection(list));
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_SELECTION_CHANGE, KX::NID_ITEM_DOUBLE_CLICKED}), Heard(*listener));
}

} // namespace
