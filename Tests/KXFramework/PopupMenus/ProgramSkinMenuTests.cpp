// The program's own menu bar, made from the program's skin and strings as
// the update screen makes it (the screen's own control stands in as a plain
// control): the title "File" drops a popup holding "Select Firmware File",
// choosing it posts "NID_MENU_FILE_ITEM_1" to the window, a click outside
// closes it; the skin's menu looks fill every slot the controls select.
#include "MenuTestSupport.h"

#include "ControlBase/Look.h"
#include "Controls/ComboMenu.h"
#include "Controls/MainMenu.h"
#include "Controls/MenuListBoxItem.h"
#include "Controls/PopupMenu.h"

using namespace MenuTest;
using KX::LComboMenu;
using KX::LMainMenu;
using KX::LPopupMenu;

namespace {

constexpr uint32_t kMenuColour = 0xFF2A3038;
constexpr uint32_t kHighlightColour = 0xFF3B6EA5;

class ProgramSkinMenuTest : public MenuTestBase
{
protected:
    void SetUp() override
    {
        MenuTestBase::SetUp();
        Load(false);
        OpenScene(L"mainControl");
        bar = FindAs<LMainMenu>(L"mainMenu");
        ASSERT_TRUE(bar);
        // The skin keeps the bar hidden; the update screen decides to show it.
        bar->SetVisible(true);
        ASSERT_EQ(1, bar->GetTitleCount());
        file = bar->GetTitle(0);
        listener = KXTest::Listener::Make();
        listener->Listen(RCPtr<KX::LNotificationDistributor>(window.Get()), L"NID_MENU_FILE_ITEM_1");
    }
    void TearDown() override
    {
        if (listener)
            listener->UnregisterAll();
        listener = nullptr;
        MenuTestBase::TearDown();
    }

    RCPtr<LMainMenu> bar;
    RCPtr<LComboMenu> file;
    RCPtr<KXTest::Listener> listener;
};

TEST_F(ProgramSkinMenuTest, TheStringsMakeAFileMenuWithSelectFirmwareFile)
{
    EXPECT_EQ(L"File", Text(file->GetName()));
    EXPECT_EQ(L"File", Text(file->GetText()));
    const RCPtr<LPopupMenu> popup = file->GetPopupMenu();
    ASSERT_TRUE(popup);
    EXPECT_EQ((std::vector<std::wstring>{L"Select Firmware File"}), RowTexts(popup));
    EXPECT_EQ(L"NID_MENU_FILE_ITEM_1", Text(popup->GetMenu()->GetItem(0)->mNotificationId));
    EXPECT_FALSE(bar->FindChild(String(LMainMenu::kTemplateName)));
}

TEST_F(ProgramSkinMenuTest, ClickingTheTitleDropsTheMenuAndClickingTheItemSendsItsNotification)
{
    Click(CentreOf(file));
    const RCPtr<LPopupMenu> popup = file->GetPopupMenu();
    ASSERT_TRUE(file->IsDropDownShown());
    EXPECT_TRUE(popup->HasFocus()) << "the skin's title and popup take the focus";
    const RectT<long> title = WindowRectOf(file);
    EXPECT_EQ(PointT<long>(title.x, title.y + title.height), OriginOf(popup)) << "below the title";
    PaintWindow("open");
    EXPECT_TRUE(NearColour(kHighlightColour, PixelIn(file, 3, 3))) << "the open title's look";

    // The row: no button square where the item is unchecked, no filled
    // hot-key label: the row's own colour shows through both.
    const RCPtr<KX::LMenuListBoxItem> row = popup->GetMenuRow(popup->GetItemRowIndex(0));
    ASSERT_TRUE(row);
    const RCPtr<KX::LButton> checkBox = row->GetCheckBox();
    const RCPtr<KX::LControl> hotKey = row->GetHotKeyLabel();
    ASSERT_TRUE(checkBox && hotKey);
    EXPECT_TRUE(NearColour(kMenuColour, PixelIn(checkBox, 8, 8))) << std::hex << PixelIn(checkBox, 8, 8);
    EXPECT_TRUE(NearColour(kMenuColour, PixelIn(hotKey, 10, 3))) << std::hex << PixelIn(hotKey, 10, 3);

    // Pointing at the item highlights it.
    MoveTo(ItemPoint(popup, 0));
    PaintWindow("hover");
    EXPECT_TRUE(NearColour(kHighlightColour, PixelIn(row, 4, 3)));
    EXPECT_TRUE(NearColour(kHighlightColour, PixelIn(checkBox, 8, 8)));

    Click(ItemPoint(popup, 0));
    EXPECT_FALSE(file->IsDropDownShown());
    IdlePass();
    EXPECT_EQ((std::vector<std::wstring>{L"NID_MENU_FILE_ITEM_1"}), listener->Ids());
}

TEST_F(ProgramSkinMenuTest, ClickingOutsideClosesTheMenu)
{
    Click(CentreOf(file));
    ASSERT_TRUE(file->IsDropDownShown());
    Click(CentreOf(Find(L"buttonExit")));
    EXPECT_FALSE(file->IsDropDownShown());
    EXPECT_EQ(LComboMenu::kLookNormal, file->GetActiveLookIndex());
    IdlePass();
    EXPECT_TRUE(listener->received.empty());
    PaintWindow("closed");
}

TEST_F(ProgramSkinMenuTest, EveryLookTheMenuControlsSelectExists)
{
    // Titles select looks 0 to 3, rows 0 to 13, the rows' check boxes 0 to 13.
    ASSERT_EQ(4, file->GetLookCount());
    for (int32_t i = 0; i < 4; ++i)
        EXPECT_TRUE(file->GetLook(i)) << "title look " << i;
    EXPECT_EQ(LComboMenu::kLookDisabled, (file->SetEnabled(false), file->GetActiveLookIndex()));
    file->SetEnabled(true);

    const RCPtr<LPopupMenu> popup = file->GetPopupMenu();
    const RCPtr<KX::LMenuListBoxItem> row = popup->GetMenuRow(0);
    ASSERT_TRUE(row);
    ASSERT_EQ(14, row->GetLookCount());
    const RCPtr<KX::LButton> checkBox = row->GetCheckBox();
    ASSERT_EQ(14, checkBox->GetLookCount());
    for (int32_t i = 0; i < 14; ++i) {
        EXPECT_TRUE(row->GetLook(i)) << "row look " << i;
        EXPECT_TRUE(checkBox->GetLook(i)) << "check box look " << i;
    }
    // Unchecked slots are clear, checked ones carry a mark.
    EXPECT_EQ(0u, checkBox->GetLook(0)->GetColorAtPoint(KX::PointT<long>(8, 8)) >> 24);
    EXPECT_NE(0u, checkBox->GetLook(7)->GetColorAtPoint(KX::PointT<long>(8, 8)) >> 24);
    // The hot-key label's look is clear.
    const RCPtr<KX::LControl> hotKey = row->GetHotKeyLabel();
    EXPECT_EQ(0u, hotKey->GetLook(0)->GetColorAtPoint(KX::PointT<long>(5, 5)) >> 24);

    // A checked item shows its mark.
    popup->ApplyItemState(0, KX::MenuItemState{true, true, String(L"Select Firmware File")});
    Click(CentreOf(file));
    PaintWindow("checked");
    EXPECT_TRUE(NearColour(0xFFFFFFFF, PixelIn(row->GetCheckBox(), 8, 8)));
}

} // namespace
