// The combo boxes: the first choice from the "ITEM." strings, choosing by
// text, by the list and by typing, the list's place below or above the box,
// the keys and where the keys the box does not use go, and the checked combo
// box's looks and check box.
#include "TextTestSupport.h"

#include "ControlBase/Look.h"
#include "Controls/CheckedComboBox.h"
#include "Controls/ComboBox.h"
#include "Controls/ListBoxItem.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationIDs.h"
#include "System/ClipBoard.h"
#include "System/WrapperStringable.h"

namespace {

using namespace TextTest;
using KX::KeyCode;

class ComboBoxTest : public TextControlTest
{
protected:
    void SetUp() override
    {
        TextControlTest::SetUp();
        OpenScene(L"comboScene");
        combo = FindAs<KX::LComboBox>(L"colorCombo");
        ASSERT_TRUE(combo && combo->GetListBox());
        listener = KXTest::Listener::Make();
        Listen(RCPtr<KX::LControl>(combo.Get()));
    }

    void TearDown() override
    {
        if (listener)
            listener->UnregisterAll();
        TextControlTest::TearDown();
    }

    void Listen(const RCPtr<KX::LControl>& control)
    {
        const RCPtr<KX::LNotificationDistributor> sender(control.Get());
        for (const wchar_t* id : {KX::NID_SELECTION_CHANGE, KX::NID_DROPDOWN_OPENING, KX::NID_TEXTBOX_VALIDATED,
                                  KX::NID_ITEM_CHECK_CHANGE})
            listener->Listen(sender, id);
    }

    // The centre of an item's row in window coordinates.
    PointT<long> ItemCentre(const RCPtr<KX::LListBox>& list, int32_t item) const
    {
        const RectT<double> rect = list->GetItemRect(item);
        return InWindow(RCPtr<KX::LControl>(list.Get()), rect.x + rect.width / 2, rect.y + rect.height / 2);
    }

    RCPtr<KX::LComboBox> combo;
    RCPtr<KXTest::Listener> listener;
};

TEST_F(ComboBoxTest, ABoxStartsOnItsFirstItemUnlessToldOtherwise)
{
    EXPECT_EQ(3, combo->GetListBox()->GetItemCount());
    EXPECT_EQ(0, combo->GetSelectedIndex());
    EXPECT_EQ(L"Red", Text(combo->GetText()));
    EXPECT_FALSE(combo->IsDropDownShown());

    // "INITIAL_SELECTED_INDEX" 5 of three items: nothing.
    const RCPtr<KX::LComboBox> later = FindAs<KX::LComboBox>(L"laterCombo");
    EXPECT_EQ(-1, later->GetSelectedIndex());
    EXPECT_EQ(L"", Text(later->GetText()));

    // A combo text box shows its first choice in its field too.
    const RCPtr<KX::LComboBox> typed = FindAs<KX::LComboBox>(L"textCombo");
    EXPECT_EQ(L"Red", Text(typed->GetText()));
    EXPECT_EQ(L"Red", Text(TextBox(L"textCombo/textBox")->GetText()));
    PaintWindow();
}

TEST_F(ComboBoxTest, ATextChoosesItsItemWithoutRegardToCase)
{
    EXPECT_EQ(S_OK, combo->SetText(String(L"green")));
    EXPECT_EQ(1, combo->GetSelectedIndex());
    EXPECT_EQ(L"Green", Text(combo->GetText()));
    EXPECT_EQ(1, CountOf(*listener, KX::NID_SELECTION_CHANGE));

    EXPECT_EQ(S_OK, combo->SetText(String(L"Purple")));
    EXPECT_EQ(-1, combo->GetSelectedIndex());
    EXPECT_EQ(L"Purple", Text(combo->GetText()));
    EXPECT_EQ(1, CountOf(*listener, KX::NID_SELECTION_CHANGE));
    EXPECT_EQ(S_FALSE, combo->SetText(String(L"Purple")));

    // Opening marks the item equal to the text, else the first.
    combo->SetText(String(L"Blue"));
    combo->DoShowDropDown(true);
    EXPECT_TRUE(combo->GetListBox()->IsItemSelected(2));
    combo->DoShowDropDown(false);
    combo->SetText(String(L"Teal"));
    combo->DoShowDropDown(true);
    EXPECT_TRUE(combo->GetListBox()->IsItemSelected(0));
    EXPECT_FALSE(combo->GetListBox()->IsItemSelected(2));
}

TEST_F(ComboBoxTest, ClickingAnItemOfTheOpenListChoosesIt)
{
    Click(CentreOf(RCPtr<KX::LControl>(combo.Get())));
    ASSERT_TRUE(combo->IsDropDownShown());
    EXPECT_EQ(1, CountOf(*listener, KX::NID_DROPDOWN_OPENING));
    EXPECT_EQ(KX::LComboBox::kFieldLookOpenHovered, combo->GetActiveLookIndex());
    // Below the box.
    const RCPtr<KX::LListBox> list = combo->GetListBox();
    EXPECT_EQ(OriginOf(RCPtr<KX::LControl>(combo.Get())).y + 22, OriginOf(RCPtr<KX::LControl>(list.Get())).y);
    PaintWindow("open");

    Click(ItemCentre(list, 2));
    EXPECT_FALSE(combo->IsDropDownShown());
    EXPECT_EQ(2, combo->GetSelectedIndex());
    EXPECT_EQ(L"Blue", Text(combo->GetText()));
    EXPECT_EQ(1, CountOf(*listener, KX::NID_SELECTION_CHANGE));
    MoveTo(PointT<long>(500, 300));
    EXPECT_EQ(KX::LComboBox::kFieldLookFocused, combo->GetActiveLookIndex());

    // A second press on the open list's box closes it without choosing.
    Click(CentreOf(RCPtr<KX::LControl>(combo.Get())));
    ASSERT_TRUE(combo->IsDropDownShown());
    Click(CentreOf(RCPtr<KX::LControl>(combo.Get())));
    EXPECT_FALSE(combo->IsDropDownShown());
    EXPECT_EQ(2, combo->GetSelectedIndex());
    EXPECT_EQ(1, CountOf(*listener, KX::NID_SELECTION_CHANGE));
}

TEST_F(ComboBoxTest, NearTheBottomOfTheWindowTheListOpensAbove)
{
    const RCPtr<KX::LComboBox> low = FindAs<KX::LComboBox>(L"lowCombo");
    Focus(RCPtr<KX::LControl>(low.Get()));
    Tap(VK_DOWN);
    ASSERT_TRUE(low->IsDropDownShown());
    const RCPtr<KX::LListBox> list = low->GetListBox();
    const PointT<long> box = OriginOf(RCPtr<KX::LControl>(low.Get()));
    EXPECT_EQ(box.y, OriginOf(RCPtr<KX::LControl>(list.Get())).y + std::lround(list->GetRect().height));
    // Five rows fit above: the list shows them all.
    EXPECT_EQ(5 * list->GetItemRowHeight(), std::lround(list->GetRect().height));
    PaintWindow();
}

TEST_F(ComboBoxTest, AListLongerThanTheRoomBelowIsCutToWholeRowsThatFit)
{
    // 30 rows of 16 pixels; 313 pixels below the box (less the margin), 15 above.
    combo->SetItemCount(30);
    combo->DoShowDropDown(true);
    const RCPtr<KX::LListBox> list = combo->GetListBox();
    const long top = OriginOf(RCPtr<KX::LControl>(list.Get())).y;
    const long height = std::lround(list->GetRect().height);
    EXPECT_EQ(OriginOf(RCPtr<KX::LControl>(combo.Get())).y + 22, top);
    EXPECT_EQ(19 * list->GetItemRowHeight(), height);
    EXPECT_LE(top + height, 360 - 5);
}

TEST_F(ComboBoxTest, KeysOpenAndCloseTheListAndTheOthersGoOn)
{
    const RCPtr<KXTest::Listener> windowKeys = KXTest::Listener::Make();
    windowKeys->Listen(RCPtr<KX::LNotificationDistributor>(window.Get()), L"NID_TEST_ESCAPE");
    Focus(RCPtr<KX::LControl>(combo.Get()));

    Tap(VK_DOWN);
    ASSERT_TRUE(combo->IsDropDownShown());
    Tap(VK_ESCAPE);
    EXPECT_FALSE(combo->IsDropDownShown());
    EXPECT_EQ(static_cast<KX::LControl*>(combo.Get()), window->GetFocusControl().Get());
    Tap(VK_RETURN);
    ASSERT_TRUE(combo->IsDropDownShown());
    // The list's own keys choose.
    Tap(VK_DOWN);
    Tap(VK_RETURN);
    EXPECT_FALSE(combo->IsDropDownShown());
    EXPECT_EQ(1, combo->GetSelectedIndex());
    IdlePass();
    EXPECT_TRUE(windowKeys->received.empty());

    // Escape on the closed box is the window's key.
    Focus(RCPtr<KX::LControl>(combo.Get()));
    EXPECT_EQ(S_FALSE, combo->OnKey(KX::LKeyParam::Create(KeyCode(VK_ESCAPE, true, 0, 0), 1)));
    Tap(VK_ESCAPE);
    IdlePass();
    EXPECT_EQ((std::vector<std::wstring>{L"NID_TEST_ESCAPE"}), windowKeys->Ids());
    windowKeys->UnregisterAll();
}

TEST_F(ComboBoxTest, ATypedTextChoosesItsItemAndGlobalKeysWorkInTheField)
{
    const RCPtr<KX::LComboBox> typed = FindAs<KX::LComboBox>(L"textCombo");
    const RCPtr<KX::LTextBox> field = TextBox(L"textCombo/textBox");
    Listen(RCPtr<KX::LControl>(typed.Get()));
    listener->received.clear();
    Focus(RCPtr<KX::LControl>(field.Get()));
    field->SetText(String());
    Type(L"green");
    Tap(VK_RETURN);
    EXPECT_EQ(1, typed->GetSelectedIndex());
    EXPECT_EQ(L"Green", Text(typed->GetText()));
    EXPECT_EQ(L"Green", Text(field->GetText()));
    EXPECT_EQ(1, CountOf(*listener, KX::NID_SELECTION_CHANGE));
    EXPECT_EQ(1, CountOf(*listener, KX::NID_TEXTBOX_VALIDATED));

    // A text of no item chooses none.
    field->SetText(String(L"teal"));
    Tap(VK_RETURN);
    EXPECT_EQ(-1, typed->GetSelectedIndex());

    // The application's hot key from inside the field.
    const RCPtr<KXTest::Listener> global = KXTest::Listener::Make();
    global->Listen(KX::LNotificationCenterManager::GetInstance()->GetApplicationCenter(), L"NID_TEST_GLOBAL");
    Tap('G', KeyCode::ModCtrl);
    IdlePass();
    EXPECT_EQ((std::vector<std::wstring>{L"NID_TEST_GLOBAL"}), global->Ids());
    global->UnregisterAll();

    // And the edit keys: Ctrl+C copies the field's selection.
    field->SelectRange(0, -1);
    Tap('C', KeyCode::ModCtrl);
    IdlePass();
    const RCPtr<KX::LStringObject> copied =
        RCPtr<KX::LStringObject>::DynamicCast(application->GetClipboard()->GetData());
    ASSERT_TRUE(copied);
    EXPECT_EQ(L"teal", Text(copied->GetValue()));
}

TEST_F(ComboBoxTest, ItemsComeAndGoAroundTheChoice)
{
    combo->SetSelectedIndex(1);
    EXPECT_EQ(0, combo->InsertItem(0, KX::CreateStringItem(String(L"Black"))));
    EXPECT_EQ(2, combo->GetSelectedIndex());
    EXPECT_EQ(L"Green", Text(combo->GetListBox()->GetItemText(2)));
    EXPECT_EQ(E_INVALIDARG, combo->InsertItem(0, RCPtr<KX::LTaggableObject>()));

    // With nothing chosen a new item of the box's text is chosen.
    combo->SetText(String(L"White"));
    ASSERT_EQ(-1, combo->GetSelectedIndex());
    EXPECT_EQ(4, combo->AddItem(String(L"White")));
    EXPECT_EQ(4, combo->GetSelectedIndex());

    combo->SetSelectedIndex(1);
    combo->SetItemCount(1);
    EXPECT_EQ(-1, combo->GetSelectedIndex());
    EXPECT_EQ(1, combo->GetListBox()->GetItemCount());
}

class CheckedComboBoxTest : public ComboBoxTest
{
protected:
    void SetUp() override
    {
        ComboBoxTest::SetUp();
        checked = FindAs<KX::LCheckedComboBox>(L"checkedCombo");
        ASSERT_TRUE(checked && checked->GetCheckedListBox() && checked->CheckBox());
        Listen(RCPtr<KX::LControl>(checked.Get()));
        listener->received.clear();
    }

    // The value of the first "NID_ITEM_CHECK_CHANGE" the listener saw.
    double FirstCheckValue() const
    {
        for (const KXTest::Listener::Received& entry : listener->received) {
            if (entry.id == KX::NID_ITEM_CHECK_CHANGE) {
                if (const RCPtr<KX::LIndexedDataWithValueParam> change =
                        RCPtr<KX::LIndexedDataWithValueParam>::DynamicCast(entry.data))
                    return change->mValue;
            }
        }
        return -1.0;
    }

    RCPtr<KX::LCheckedComboBox> checked;
};

TEST_F(CheckedComboBoxTest, CheckingTheChosenItemSwitchesTheLooksAndTheCheckBox)
{
    EXPECT_EQ(0, checked->GetSelectedIndex());
    EXPECT_EQ(0.0, checked->CheckBox()->GetNormalizedValue());
    const PointT<long> face = InWindow(RCPtr<KX::LControl>(checked.Get()), 130, 4);
    PaintWindow("unchecked");
    const uint32_t before = Pixel(face.x, face.y);
    EXPECT_LT(checked->GetActiveLookIndex(), KX::LCheckedComboBox::kCheckedLookOffset);

    // Open the list and check the chosen item (Red) with its row's check box.
    Click(CentreOf(RCPtr<KX::LControl>(checked.Get())));
    const RCPtr<KX::LCheckedListBox> list = checked->GetCheckedListBox();
    ASSERT_TRUE(checked->IsDropDownShown());
    const int32_t row = list->GetItemRowIndex(0);
    ASSERT_GE(row, 0);
    const RCPtr<KX::LButton> rowBox = list->FindCheckBox(RCPtr<KX::LControl>(list->GetRowControl(row).Get()));
    ASSERT_TRUE(rowBox);
    Click(CentreOf(RCPtr<KX::LControl>(rowBox.Get())));
    ASSERT_TRUE(list->IsItemChecked(0));
    EXPECT_EQ(1, CountOf(*listener, KX::NID_ITEM_CHECK_CHANGE));
    EXPECT_EQ(1.0, FirstCheckValue());
    EXPECT_EQ(1.0, checked->CheckBox()->GetNormalizedValue());

    // A second item checked: told again; the check box stays with the chosen one.
    const RCPtr<KX::LButton> secondBox =
        list->FindCheckBox(RCPtr<KX::LControl>(list->GetRowControl(list->GetItemRowIndex(1)).Get()));
    ASSERT_TRUE(secondBox);
    Click(CentreOf(RCPtr<KX::LControl>(secondBox.Get())));
    ASSERT_TRUE(list->IsItemChecked(1));
    EXPECT_EQ(2, CountOf(*listener, KX::NID_ITEM_CHECK_CHANGE));
    EXPECT_EQ(1.0, checked->CheckBox()->GetNormalizedValue());
    list->SetItemChecked(1, false);

    checked->DoShowDropDown(false);
    MoveTo(PointT<long>(500, 300));
    EXPECT_GE(checked->GetActiveLookIndex(), KX::LCheckedComboBox::kCheckedLookOffset);
    PaintWindow("checked");
    EXPECT_NE(before, Pixel(face.x, face.y));
    EXPECT_EQ(0xFFB8E0A8u, Pixel(face.x, face.y));

    // Choosing an unchecked item clears the check box; choosing none keeps it.
    checked->SetSelectedIndex(1);
    EXPECT_EQ(0.0, checked->CheckBox()->GetNormalizedValue());
    checked->SetSelectedIndex(0);
    EXPECT_EQ(1.0, checked->CheckBox()->GetNormalizedValue());
    checked->SetSelectedIndex(-1);
    EXPECT_EQ(1.0, checked->CheckBox()->GetNormalizedValue());

    // No items: no choice, no checked item, the first looks again.
    checked->SetSelectedIndex(0);
    ASSERT_GE(checked->GetActiveLookIndex(), KX::LCheckedComboBox::kCheckedLookOffset);
    checked->SetItemCount(0);
    EXPECT_EQ(-1, checked->GetSelectedIndex());
    EXPECT_EQ(0, list->GetCheckedCount());
    EXPECT_LT(checked->GetActiveLookIndex(), KX::LCheckedComboBox::kCheckedLookOffset);
}

TEST_F(CheckedComboBoxTest, WithSharedIconsTheCheckBoxOnlyShowsTheChosenItemsIcon)
{
    const RCPtr<KX::LCheckedComboBox> icons = FindAs<KX::LCheckedComboBox>(L"iconCombo");
    ASSERT_TRUE(icons && icons->CheckBox());
    const RCPtr<KX::LCheckedListBox> list = icons->GetCheckedListBox();
    ASSERT_EQ(3, list->GetIcons().GetCount());
    EXPECT_TRUE(icons->CheckBoxIgnoresPointer());
    EXPECT_TRUE(icons->CheckBox()->IgnoresPointer());

    // The chosen item's icon on every look of the check box; the icons
    // repeat by index.
    const auto shownIcon = [&](int32_t look) {
        const RCPtr<KX::LLook>& shown = icons->CheckBox()->GetLook(look);
        return shown && shown->GetImagePart() ? shown->GetImagePart()->GetBitmap().Get() : nullptr;
    };
    ASSERT_EQ(0, icons->GetSelectedIndex());
    EXPECT_EQ(list->GetItemIcon(0).Get(), shownIcon(0));
    icons->SetSelectedIndex(3);
    EXPECT_EQ(list->GetItemIcon(0).Get(), shownIcon(0));
    icons->SetSelectedIndex(1);
    for (int32_t look : {0, 6, 13})
        EXPECT_EQ(list->GetItemIcon(1).Get(), shownIcon(look)) << look;
    EXPECT_NE(list->GetItemIcon(0).Get(), list->GetItemIcon(1).Get());
    PaintWindow();
    icons->SetSelectedIndex(-1);
    EXPECT_EQ(nullptr, shownIcon(0));
}

} // namespace
