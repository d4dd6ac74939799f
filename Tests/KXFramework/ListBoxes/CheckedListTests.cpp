// The checked list box: check boxes that toggle themselves (auto check) or
// only report clicks, the checked count, rows bound without notifications,
// check boxes hidden on blank rows, icons of a list with icons (and none for
// a control built on it), and rows without check boxes.
#include "ListBoxTestSupport.h"

#include "Notification/NotificationIDs.h"

using namespace ListTest;
using KX::LCheckedListBox;
using KX::LIndexedDataWithValueParam;

namespace {

class CheckedListTest : public ListBoxTest
{
protected:
    RCPtr<LCheckedListBox> OpenChecked(const std::wstring& path, int32_t items)
    {
        OpenScene(L"checkedScene");
        const RCPtr<LCheckedListBox> list = FindAs<LCheckedListBox>(path);
        EXPECT_TRUE(list);
        if (!list)
            return list;
        AddItems(RCPtr<KX::LListBox>(list.Get()), items);
        listener = KXTest::Listener::Make();
        for (const wchar_t* id : {KX::NID_ITEM_CHECK_CHANGE, KX::NID_ITEM_CHECKBOX_CLICKED, KX::NID_SELECTION_CHANGE})
            listener->Listen(RCPtr<KX::LNotificationDistributor>(list.Get()), id);
        return list;
    }

    RCPtr<KX::LButton> CheckBoxOf(const RCPtr<LCheckedListBox>& list, int32_t item)
    {
        const RCPtr<KX::LCheckedListBoxItem> row = list->GetRowControl(list->GetItemRowIndex(item));
        return row ? row->GetCheckBox() : RCPtr<KX::LButton>();
    }

    PointT<long> CheckBoxCentre(const RCPtr<LCheckedListBox>& list, int32_t item)
    {
        const RCPtr<KX::LButton> box = CheckBoxOf(list, item);
        EXPECT_TRUE(box) << "item " << item << " shows no check box";
        return box ? CentreOf(RCPtr<KX::LControl>(box.Get())) : PointT<long>(-100, -100);
    }

    // The item and value of the notification at a position of the listener.
    static std::pair<int32_t, double> DataOf(const KXTest::Listener& heard, size_t position)
    {
        const RCPtr<LIndexedDataWithValueParam> data =
            RCPtr<LIndexedDataWithValueParam>::DynamicCast(heard.received.at(position).data);
        return data ? std::make_pair(data->mIndex, data->mValue) : std::make_pair(-100, -100.0);
    }

    RCPtr<KXTest::Listener> listener;
};

TEST_F(CheckedListTest, ACheckBoxClickChecksTheItemSelectsItAndTellsTheNewValue)
{
    const RCPtr<LCheckedListBox> list = OpenChecked(L"checked", 5);
    ASSERT_TRUE(list);
    ASSERT_TRUE(list->IsAutoCheck());
    Click(CheckBoxCentre(list, 2));
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_SELECTION_CHANGE, KX::NID_ITEM_CHECK_CHANGE}), Heard(*listener));
    EXPECT_EQ(std::make_pair(2, 1.0), DataOf(*listener, 1));
    EXPECT_TRUE(list->IsItemChecked(2));
    EXPECT_EQ(1, list->GetCheckedCount());
    EXPECT_EQ(std::vector<int32_t>{2}, Selection(RCPtr<KX::LListBox>(list.Get())));
    EXPECT_EQ(1.0, CheckBoxOf(list, 2)->GetNormalizedValue());

    Click(CheckBoxCentre(list, 2));
    EXPECT_EQ(2, CountOf(*listener, KX::NID_ITEM_CHECK_CHANGE));
    EXPECT_EQ(std::make_pair(2, 0.0), DataOf(*listener, listener->received.size() - 1));
    EXPECT_FALSE(list->IsItemChecked(2));
    EXPECT_EQ(0, list->GetCheckedCount());
    EXPECT_EQ(0, CountOf(*listener, KX::NID_ITEM_CHECKBOX_CLICKED));
}

TEST_F(CheckedListTest, BindingRowsToOtherItemsNeverTellsACheckChange)
{
    const RCPtr<LCheckedListBox> list = OpenChecked(L"checked", 20);
    ASSERT_TRUE(list);
    Click(CheckBoxCentre(list, 0));
    list->SetItemChecked(3, true);
    ASSERT_EQ(2, list->GetCheckedCount());
    listener->received.clear();
    // Three rows down: row 0 shows item 3, checked; back: item 0, checked.
    for (int step = 0; step < 3; ++step)
        Wheel(CentreOf(RCPtr<KX::LControl>(list.Get())), 0);
    ASSERT_EQ(3, list->GetTopIndex());
    EXPECT_EQ(1.0, list->GetRowControl(0)->GetCheckBox()->GetNormalizedValue());
    EXPECT_EQ(0.0, list->GetRowControl(1)->GetCheckBox()->GetNormalizedValue());
    for (int step = 0; step < 3; ++step)
        Wheel(CentreOf(RCPtr<KX::LControl>(list.Get())), 1);
    EXPECT_EQ(1.0, list->GetRowControl(0)->GetCheckBox()->GetNormalizedValue());
    EXPECT_TRUE(listener->received.empty());
    EXPECT_EQ(2, list->GetCheckedCount());
}

TEST_F(CheckedListTest, WithoutAutoCheckAClickIsReportedAndTheOwnerChecks)
{
    const RCPtr<LCheckedListBox> list = OpenChecked(L"checked", 5);
    ASSERT_TRUE(list);
    ASSERT_EQ(S_OK, list->SetAutoCheck(false));
    EXPECT_EQ(S_FALSE, list->SetAutoCheck(false));
    Click(CheckBoxCentre(list, 1));
    EXPECT_EQ((std::vector<std::wstring>{KX::NID_SELECTION_CHANGE, KX::NID_ITEM_CHECKBOX_CLICKED}), Heard(*listener));
    EXPECT_EQ(std::make_pair(1, 0.0), DataOf(*listener, 1));
    EXPECT_EQ(0.0, CheckBoxOf(list, 1)->GetNormalizedValue());
    EXPECT_EQ(0, list->GetCheckedCount());

    // The owner checks it: the box shows it, nobody is told.
    listener->received.clear();
    list->SetItemChecked(1, true);
    EXPECT_EQ(1.0, CheckBoxOf(list, 1)->GetNormalizedValue());
    EXPECT_EQ(1, list->GetCheckedCount());
    EXPECT_TRUE(listener->received.empty());
    Click(CheckBoxCentre(list, 1));
    EXPECT_EQ(std::make_pair(1, 1.0), DataOf(*listener, listener->received.size() - 1));
    EXPECT_EQ(1, list->GetCheckedCount());
}

TEST_F(CheckedListTest, SwitchingAutoCheckMovesEveryRowAndRowsMadeLaterFollow)
{
    const RCPtr<LCheckedListBox> list = OpenChecked(L"checked", 12);
    ASSERT_TRUE(list);
    list->SetAutoCheck(false);
    list->SetAutoCheck(true);
    Click(CheckBoxCentre(list, 0));
    EXPECT_EQ(1, CountOf(*listener, KX::NID_ITEM_CHECK_CHANGE));
    EXPECT_EQ(0, CountOf(*listener, KX::NID_ITEM_CHECKBOX_CLICKED));

    list->SetAutoCheck(false);
    // A taller list makes more rows; they take the current mode.
    const int32_t rowsBefore = list->GetRowCount();
    KX::LLayoutDescriptor::PositionSpec position;
    KX::LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    list->GetLayout().GetAxisSpec(1, position, docked, size);
    size.mAbs = 180;
    list->SetPlacement(1, position, docked, size);
    ASSERT_GT(list->GetRowCount(), rowsBefore);
    const int32_t lateItem = rowsBefore; // shown by the first new row
    listener->received.clear();
    Click(CheckBoxCentre(list, lateItem));
    EXPECT_EQ(1, CountOf(*listener, KX::NID_ITEM_CHECKBOX_CLICKED));
    EXPECT_FALSE(list->IsItemChecked(lateItem));
    list->SetAutoCheck(true);
    Click(CheckBoxCentre(list, lateItem));
    EXPECT_EQ(1, CountOf(*listener, KX::NID_ITEM_CHECK_CHANGE));
    EXPECT_TRUE(list->IsItemChecked(lateItem));
}

TEST_F(CheckedListTest, TheCheckedCountMovesOnlyWhenAFlagChanges)
{
    const RCPtr<LCheckedListBox> list = OpenChecked(L"checked", 5);
    ASSERT_TRUE(list);
    list->SetItemChecked(1, true);
    list->SetItemChecked(1, true);
    EXPECT_EQ(1, list->GetCheckedCount());
    // A box value that stays on the checked side: told, not counted.
    CheckBoxOf(list, 1)->SetNormalizedValue(0.75);
    EXPECT_EQ(std::make_pair(1, 0.75), DataOf(*listener, listener->received.size() - 1));
    EXPECT_EQ(1, list->GetCheckedCount());
    CheckBoxOf(list, 1)->SetNormalizedValue(0.25);
    EXPECT_EQ(0, list->GetCheckedCount());
    EXPECT_FALSE(list->IsItemChecked(1));
    list->SetItemChecked(1, false);
    EXPECT_EQ(0, list->GetCheckedCount());
    // Removing a checked item takes it out of the count.
    list->SetItemChecked(3, true);
    list->RemoveItem(3);
    EXPECT_EQ(0, list->GetCheckedCount());
    EXPECT_EQ(0, list->CountCheckedItems());
}

TEST_F(CheckedListTest, BlankRowsHideTheirCheckBoxes)
{
    const RCPtr<LCheckedListBox> list = OpenChecked(L"checked", 2);
    ASSERT_TRUE(list);
    ASSERT_EQ(7, list->GetRowCount());
    EXPECT_TRUE(list->GetRowControl(1)->GetCheckBox()->IsVisible(false));
    for (int32_t k = 2; k < 7; ++k)
        EXPECT_FALSE(list->GetRowControl(k)->GetCheckBox()->IsVisible(false)) << k;
    list->InsertItem(2, KX::CreateStringItem(String(L"third")));
    EXPECT_TRUE(list->GetRowControl(2)->GetCheckBox()->IsVisible(false));
}

TEST_F(CheckedListTest, AListWithIconsShowsThemInTurnAndItsBoxesIgnoreThePointer)
{
    const RCPtr<LCheckedListBox> list = OpenChecked(L"icons", 7);
    ASSERT_TRUE(list);
    ASSERT_EQ(3, list->GetIcons().GetCount());
    EXPECT_TRUE(list->CheckBoxesIgnorePointer());
    EXPECT_EQ(list->GetItemIcon(0), list->GetItemIcon(3));
    EXPECT_EQ(list->GetItemIcon(0), list->GetItemIcon(6));
    EXPECT_NE(list->GetItemIcon(0), list->GetItemIcon(1));
    EXPECT_FALSE(list->GetItemIcon(7));

    PaintWindow();
    const uint32_t red = 0xFFE03030, green = 0xFF30C050, blue = 0xFF3060E0;
    const uint32_t expected[] = {red, green, blue, red, green, blue, red};
    for (int32_t item = 0; item < 7; ++item)
        EXPECT_EQ(expected[item], Pixel(CheckBoxCentre(list, item))) << item;
    // The boxes let the pointer through to their rows: a click selects.
    Click(CheckBoxCentre(list, 4));
    EXPECT_EQ(std::vector<int32_t>{4}, Selection(RCPtr<KX::LListBox>(list.Get())));
    EXPECT_EQ(0, CountOf(*listener, KX::NID_ITEM_CHECK_CHANGE));
}

TEST_F(CheckedListTest, AControlBuiltOnTheCheckedListTakesNoIconsFromItsLooks)
{
    const RCPtr<LCheckedListBox> list = OpenChecked(L"derived", 3);
    ASSERT_TRUE(list);
    EXPECT_EQ(0, list->GetIcons().GetCount());
    EXPECT_FALSE(list->CheckBoxesIgnorePointer());
    EXPECT_FALSE(list->GetItemIcon(0));
    Click(CheckBoxCentre(list, 0));
    EXPECT_TRUE(list->IsItemChecked(0));
}

TEST_F(CheckedListTest, RowsWithoutCheckBoxesWorkAsPlainRows)
{
    const RCPtr<LCheckedListBox> list = OpenChecked(L"boxless", 3);
    ASSERT_TRUE(list);
    EXPECT_FALSE(list->GetRowControl(0)->GetCheckBox());
    Click(RowCentre(RCPtr<KX::LListBox>(list.Get()), 1));
    EXPECT_EQ(std::vector<int32_t>{1}, Selection(RCPtr<KX::LListBox>(list.Get())));
    list->SetItemChecked(1, true);
    EXPECT_EQ(1, list->GetCheckedCount());
    list->SetAutoCheck(false);
    list->SetCheckBoxesIgnorePointer(true);
    EXPECT_EQ(L"Item 1", KXTest::Text(list->GetRowControl(1)->GetText()));
}

} // namespace
