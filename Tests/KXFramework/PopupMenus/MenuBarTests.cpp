// The menu bar and its titles with the menu test skin: titles made from the
// template and the bar's strings, their popups dropped below them, items
// chosen by click and by drag, the open menu moving from title to title, the
// focus given back, inserted menus, broken string forms and skins, and a new
// skin applied to a bar.
#include "MenuOwnerControl.h"
#include "MenuTestSupport.h"

#include "Controls/ComboMenu.h"
#include "Controls/MainMenu.h"
#include "Controls/MenuListBoxItem.h"
#include "Controls/PopupMenu.h"

using namespace MenuTest;
using KX::LComboMenu;
using KX::LMainMenu;
using KX::LMenuDescriptor;
using KX::LPopupMenu;

namespace {

std::vector<std::wstring> TitleNames(const RCPtr<LMainMenu>& bar)
{
    std::vector<std::wstring> names;
    for (int32_t k = 0; k < bar->GetTitleCount(); ++k)
        names.push_back(Text(bar->GetTitle(k)->GetName()));
    return names;
}

RCPtr<LMenuDescriptor> MenuOf(std::initializer_list<const wchar_t*> labels)
{
    RCPtr<LMenuDescriptor> menu;
    LMenuDescriptor::Create(menu);
    int32_t i = 0;
    for (const wchar_t* label : labels) {
        menu->InsertNewItem(i, String(label), String(L"NID_") + String(label), true, false);
        ++i;
    }
    return menu;
}

class MenuBarTest : public MenuTestBase
{
protected:
    void SetUp() override
    {
        MenuTestBase::SetUp();
        Load(true);
        OpenScene(L"barScene");
        bar = FindAs<LMainMenu>(L"mainMenu");
        ASSERT_TRUE(bar);
        ASSERT_EQ(2, bar->GetTitleCount());
        file = bar->GetTitle(0);
        edit = bar->GetTitle(1);
        listener = KXTest::Listener::Make();
        for (const wchar_t* id : {L"NID_FILE_OPEN", L"NID_FILE_EXIT", L"NID_EDIT_CUT", L"NID_EDIT_PASTE"})
            listener->Listen(RCPtr<KX::LNotificationDistributor>(window.Get()), id);
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
    RCPtr<LComboMenu> edit;
    RCPtr<KXTest::Listener> listener;
};

TEST_F(MenuBarTest, TheBarsStringsMakeTitlesOneAfterTheOther)
{
    EXPECT_EQ((std::vector<std::wstring>{L"File", L"Edit"}), TitleNames(bar));
    EXPECT_EQ(L"File", Text(file->GetText()));
    EXPECT_EQ(L"Edit", Text(edit->GetText()));
    EXPECT_FALSE(bar->FindChild(String(LMainMenu::kTemplateName))) << "the template never shows";
    EXPECT_TRUE(bar->IsTemplateFound());
    EXPECT_EQ(0, bar->GetFixedTitleCount());
    EXPECT_EQ(OriginOf(file).x + 60, OriginOf(edit).x) << "Edit starts at File's right edge";
    EXPECT_EQ(1, bar->FindMenuIndex(String(L"Edit")));
    EXPECT_EQ(-1, bar->FindMenuIndex(String(L"Help")));
    EXPECT_EQ(L"File", Text(bar->GetMenuName(0)));
    EXPECT_EQ(L"", Text(bar->GetMenuName(2)));
    EXPECT_EQ((std::vector<std::wstring>{L"Open", L"Exit"}), RowTexts(file->GetPopupMenu()));
    EXPECT_EQ((std::vector<std::wstring>{L"Cut", L"Paste"}), RowTexts(edit->GetPopupMenu()));
    EXPECT_TRUE(file->GetPopupMenu()->GetNotificationTarget()) << "activations go to the window's queue";
    EXPECT_FALSE(file->GetPopupMenu()->IsAutoClose());
    PaintWindow();
}

TEST_F(MenuBarTest, ClickingATitleDropsItsMenuAndClickingAnItemPostsItsNotification)
{
    EXPECT_EQ(LComboMenu::kLookNormal, file->GetActiveLookIndex());
    MoveTo(CentreOf(file));
    EXPECT_EQ(LComboMenu::kLookHot, file->GetActiveLookIndex());
    Click(CentreOf(file));
    const RCPtr<LPopupMenu> popup = file->GetPopupMenu();
    ASSERT_TRUE(file->IsDropDownShown());
    EXPECT_EQ(LComboMenu::kLookOpen, file->GetActiveLookIndex());
    EXPECT_EQ(PointT<long>(OriginOf(file).x, OriginOf(file).y + 20), OriginOf(popup)) << "below the title";
    EXPECT_TRUE(popup->HasFocus());
    // The exit item shows the application's key.
    const RCPtr<KX::LMenuListBoxItem> exitRow = popup->GetMenuRow(popup->GetItemRowIndex(1));
    EXPECT_EQ(L"Alt+X", Text(exitRow->GetHotKeyLabel()->GetText()));
    PaintWindow("open");
    EXPECT_TRUE(NearColour(0xFF80A0C0, PixelIn(file, 3, 3))) << "the open title's look";

    Click(ItemPoint(popup, 0));
    EXPECT_FALSE(file->IsDropDownShown());
    EXPECT_TRUE(listener->received.empty()) << "posted to the window's queue";
    IdlePass();
    EXPECT_EQ((std::vector<std::wstring>{L"NID_FILE_OPEN"}), listener->Ids());
    EXPECT_EQ(LComboMenu::kLookNormal, file->GetActiveLookIndex());
    EXPECT_FALSE(popup->IsClosed()) << "a title's popup is only hidden, and used again";
    Click(CentreOf(file));
    EXPECT_TRUE(file->IsDropDownShown());
    Click(CentreOf(file));
    EXPECT_FALSE(file->IsDropDownShown()) << "a press on the open title closes it";
}

TEST_F(MenuBarTest, APressDraggedIntoTheMenuChoosesWhereItIsReleased)
{
    const PointT<long> from = CentreOf(file);
    Press(from);
    const RCPtr<LPopupMenu> popup = file->GetPopupMenu();
    ASSERT_TRUE(file->IsDropDownShown());
    EXPECT_EQ(popup.Get(), window->GetCaptureControl().Get()) << "the press goes on in the popup";
    const PointT<long> to = ItemPoint(popup, 1);
    MoveAlong(from, to);
    EXPECT_EQ(1, popup->GetCaretIndex());
    Release(to);
    EXPECT_FALSE(file->IsDropDownShown());
    IdlePass();
    EXPECT_EQ((std::vector<std::wstring>{L"NID_FILE_EXIT"}), listener->Ids());
    EXPECT_EQ(LComboMenu::kLookNormal, file->GetActiveLookIndex());

    // Released over nothing outside the title: the menu closes, nothing chosen.
    Press(from);
    MoveAlong(from, PointT<long>(400, 200));
    Release(PointT<long>(400, 200));
    EXPECT_FALSE(file->IsDropDownShown());
    IdlePass();
    EXPECT_EQ(1u, listener->received.size());
}

TEST_F(MenuBarTest, ADragFromOneMenuOntoAnotherTitleOpensThatTitlesMenu)
{
    const PointT<long> from = CentreOf(file);
    Press(from);
    ASSERT_TRUE(file->IsDropDownShown());
    const PointT<long> inFile = ItemPoint(file->GetPopupMenu(), 0);
    MoveAlong(from, inFile);
    // Out of File's menu onto the Edit title: the held button moves over.
    MoveAlong(inFile, CentreOf(edit));
    EXPECT_TRUE(edit->IsDropDownShown());
    EXPECT_FALSE(file->IsDropDownShown());
    const RCPtr<LPopupMenu> popup = edit->GetPopupMenu();
    EXPECT_EQ(popup.Get(), window->GetCaptureControl().Get());
    const PointT<long> to = ItemPoint(popup, 1);
    MoveAlong(CentreOf(edit), to);
    Release(to);
    IdlePass();
    EXPECT_EQ((std::vector<std::wstring>{L"NID_EDIT_PASTE"}), listener->Ids());
    EXPECT_FALSE(edit->IsDropDownShown());
}

TEST_F(MenuBarTest, PointingAtAnotherTitleMovesTheOpenMenuThere)
{
    Click(CentreOf(file));
    ASSERT_TRUE(file->IsDropDownShown());
    MoveTo(CentreOf(edit));
    EXPECT_FALSE(file->IsDropDownShown());
    EXPECT_TRUE(edit->IsDropDownShown());
    EXPECT_EQ(LComboMenu::kLookNormal, file->GetActiveLookIndex());
    EXPECT_EQ(LComboMenu::kLookOpen, edit->GetActiveLookIndex());
    EXPECT_EQ(OriginOf(edit).x, OriginOf(edit->GetPopupMenu()).x) << "below its own title";
    PaintWindow();
    // Back onto File and onto Edit's own open popup's title again.
    MoveTo(CentreOf(file));
    EXPECT_TRUE(file->IsDropDownShown());
    EXPECT_FALSE(edit->IsDropDownShown());
    MoveTo(PointT<long>(CentreOf(file).x + 5, CentreOf(file).y));
    EXPECT_TRUE(file->IsDropDownShown()) << "moving on the open title changes nothing";

    // A disabled title shows its look and takes no menu over.
    edit->SetEnabled(false);
    EXPECT_EQ(LComboMenu::kLookDisabled, edit->GetActiveLookIndex());
    MoveTo(CentreOf(edit));
    EXPECT_TRUE(file->IsDropDownShown());
    EXPECT_FALSE(edit->IsDropDownShown());
    EXPECT_EQ(LComboMenu::kLookDisabled, edit->GetActiveLookIndex());
}

TEST_F(MenuBarTest, EscapeLeavesABarsMenuOpenAndAClickOutsideClosesIt)
{
    Click(CentreOf(file));
    ASSERT_TRUE(file->IsDropDownShown());
    KeyDown(kEscape);
    EXPECT_TRUE(file->IsDropDownShown());
    EXPECT_FALSE(file->GetPopupMenu()->IsClosed());
    KeyDown(kDown);
    EXPECT_EQ(0, file->GetPopupMenu()->GetCaretIndex());

    Click(CentreOf(Find(L"button")));
    EXPECT_FALSE(file->IsDropDownShown());
    IdlePass();
    EXPECT_TRUE(listener->received.empty());
}

TEST_F(MenuBarTest, AChosenItemGivesTheFocusBackToTheControlThatHadIt)
{
    const RCPtr<KX::LControl> button = Find(L"button");
    Click(CentreOf(button));
    ASSERT_TRUE(button->HasFocus());
    Click(CentreOf(edit));
    EXPECT_TRUE(edit->GetPopupMenu()->HasFocus());
    EXPECT_EQ(button.Get(), bar->GetSavedFocus().Get());
    Click(ItemPoint(edit->GetPopupMenu(), 1));
    EXPECT_TRUE(button->HasFocus());
    IdlePass();
    EXPECT_EQ((std::vector<std::wstring>{L"NID_EDIT_PASTE"}), listener->Ids());
    EXPECT_FALSE(bar->GetEditTarget()) << "a button edits no text";
}

TEST_F(MenuBarTest, TheOwnersUpdaterAnswersForTheItems)
{
    const RCPtr<MenuOwnerControl> owner = FindAs<MenuOwnerControl>(L"owner");
    ASSERT_TRUE(owner);
    KX::MenuItemState state;
    EXPECT_EQ(S_FALSE, bar->UpdateMenuItem(file->GetTitleMenu(), 0, L"NID_FILE_OPEN", state)) << "no updater yet";
    EXPECT_FALSE(bar->SetMenuItemUpdater(owner->GetMenuItemUpdater()));
    EXPECT_TRUE(bar->SetMenuItemUpdater(owner->GetMenuItemUpdater()));
    owner->states[L"NID_FILE_EXIT"] = KX::MenuItemState{false, false, String(L"Exit")};
    Click(CentreOf(file));
    EXPECT_EQ((std::vector<std::wstring>{L"NID_FILE_EXIT", L"NID_FILE_OPEN"}), owner->asked);
    EXPECT_FALSE(file->GetPopupMenu()->IsItemSelectable(1));
    Click(ItemPoint(file->GetPopupMenu(), 1));
    IdlePass();
    EXPECT_TRUE(listener->received.empty()) << "a disabled item is not chosen";
}

TEST_F(MenuBarTest, InsertingAMenuBeforeTheFirstShiftsTheTitlesRight)
{
    ASSERT_EQ(0, bar->InsertMenu(0, String(L"New"), String(L"New"), MenuOf({L"Blank", L"Copy"})));
    EXPECT_EQ((std::vector<std::wstring>{L"New", L"File", L"Edit"}), TitleNames(bar));
    const RCPtr<LComboMenu> first = bar->GetTitle(0);
    const RCPtr<LComboMenu> second = bar->GetTitle(1);
    const RCPtr<LComboMenu> third = bar->GetTitle(2);
    EXPECT_EQ(L"New", Text(first->GetText()));
    EXPECT_EQ((std::vector<std::wstring>{L"Blank", L"Copy"}), RowTexts(first->GetPopupMenu()));
    EXPECT_EQ((std::vector<std::wstring>{L"Open", L"Exit"}), RowTexts(second->GetPopupMenu()));
    EXPECT_EQ((std::vector<std::wstring>{L"Cut", L"Paste"}), RowTexts(third->GetPopupMenu()));
    EXPECT_EQ(0, OriginOf(first).x);
    EXPECT_EQ(60, OriginOf(second).x);
    EXPECT_EQ(120, OriginOf(third).x) << "later titles still follow their left neighbours";
    // Appending, and the refusals.
    EXPECT_EQ(3, bar->InsertMenu(3, String(L"Help"), String(L"Help"), MenuOf({L"About"})));
    EXPECT_EQ(180, OriginOf(bar->GetTitle(3)).x);
    EXPECT_EQ(E_INVALIDARG, bar->InsertMenu(5, String(L"X"), String(L"X"), MenuOf({L"Y"})));
    EXPECT_EQ(E_INVALIDARG, bar->InsertMenuBefore(String(L"Nothing"), String(L"X"), String(L"X"), MenuOf({L"Y"})));
    EXPECT_EQ(E_INVALIDARG, bar->AddTitle(String(L"File")));
    EXPECT_EQ(4, bar->GetTitleCount());
    PaintWindow();
}

TEST_F(MenuBarTest, ATitlesMenuStaysInsideTheRootControl)
{
    // Titles up to the right end of the 560 pixel bar: the last at 480.
    for (int32_t i = 2; i < 9; ++i) {
        const String name = String::CreateFormatted(L"T%d", i);
        ASSERT_EQ(i, bar->InsertMenu(i, name, name, MenuOf({L"One", L"Two"})));
    }
    const RCPtr<LComboMenu> last = bar->GetTitle(8);
    ASSERT_EQ(480, OriginOf(last).x);
    Click(CentreOf(last));
    const RCPtr<LPopupMenu> popup = last->GetPopupMenu();
    ASSERT_TRUE(last->IsDropDownShown());
    EXPECT_EQ(560, OriginOf(popup).x + KX::RoundDoubleToInt(popup->GetRect().width)) << "ends at the right edge";
    PaintWindow("right");
    Click(CentreOf(last));

    // Wider than the window: it starts at the root control's left edge.
    popup->SetMenu(MenuOf({L"An item whose label is far wider than the whole window of this test, and more still, and then some more words to be sure of it"}));
    ASSERT_GT(popup->GetRect().width, 560.0);
    Click(CentreOf(last));
    EXPECT_EQ(0, OriginOf(popup).x);

    // A title that fits opens at the skin's offset again.
    Click(CentreOf(file));
    EXPECT_EQ(OriginOf(file).x, OriginOf(file->GetPopupMenu()).x);
}

TEST_F(MenuBarTest, ANewSkinMakesTheTitlesAgainWithTheirMenusAndTexts)
{
    bar->InsertMenu(2, String(L"Help"), String(L"Help!"), MenuOf({L"About"}));
    application->SetSkin(0);
    ASSERT_EQ((std::vector<std::wstring>{L"File", L"Edit", L"Help"}), TitleNames(bar));
    EXPECT_EQ(L"Help!", Text(bar->GetTitle(2)->GetText()));
    EXPECT_EQ((std::vector<std::wstring>{L"About"}), RowTexts(bar->GetTitle(2)->GetPopupMenu()));
    EXPECT_EQ((std::vector<std::wstring>{L"Open", L"Exit"}), RowTexts(bar->GetTitle(0)->GetPopupMenu()));
    EXPECT_EQ(120, OriginOf(bar->GetTitle(2)).x);
    EXPECT_FALSE(bar->FindChild(String(LMainMenu::kTemplateName)));
    // The new titles work.
    const RCPtr<LComboMenu> title = bar->GetTitle(1);
    Click(CentreOf(title));
    EXPECT_TRUE(title->IsDropDownShown());
    Click(ItemPoint(title->GetPopupMenu(), 0));
    IdlePass();
    EXPECT_EQ((std::vector<std::wstring>{L"NID_EDIT_CUT"}), listener->Ids());
}

class BrokenBarTest : public MenuTestBase
{
protected:
    void SetUp() override
    {
        MenuTestBase::SetUp();
        Load(true);
        OpenScene(L"oddBarsScene");
    }
};

TEST_F(BrokenBarTest, MismatchedStringsLeaveTheBarWithoutMenus)
{
    // Two labels, one menu; labels numbered 00 and 02 with two menus.
    EXPECT_EQ(0, FindAs<LMainMenu>(L"oneMenuBar")->GetTitleCount());
    EXPECT_EQ(0, FindAs<LMainMenu>(L"gapBar")->GetTitleCount());
}

TEST_F(BrokenBarTest, ABarWithNothingToCopyATitleFromRefusesTitles)
{
    const RCPtr<LMainMenu> bare = FindAs<LMainMenu>(L"bareBar");
    ASSERT_TRUE(bare);
    EXPECT_EQ(0, bare->GetTitleCount());
    EXPECT_FALSE(bare->GetTemplateDescriptor());
    EXPECT_EQ(E_FAIL, bare->AddTitle(String(L"File")));
    EXPECT_EQ(E_FAIL, bare->InsertMenu(0, String(L"File"), String(L"File"), MenuOf({L"Open"})));
    EXPECT_EQ(0, bare->GetChildCount()) << "nothing was added or renamed";
}

TEST_F(BrokenBarTest, ASkinsOwnTitleIsNoMenuOfTheBar)
{
    const RCPtr<LMainMenu> fixedBar = FindAs<LMainMenu>(L"fixedBar");
    ASSERT_TRUE(fixedBar);
    EXPECT_EQ(1, fixedBar->GetFixedTitleCount());
    EXPECT_EQ((std::vector<std::wstring>{L"help", L"File"}), TitleNames(fixedBar));
    EXPECT_EQ(-1, fixedBar->FindMenuIndex(String(L"help")));
    EXPECT_EQ(0, fixedBar->FindMenuIndex(String(L"File")));
    EXPECT_EQ(L"File", Text(fixedBar->GetMenuName(0)));
    EXPECT_EQ(60, OriginOf(fixedBar->GetTitle(1)).x) << "the first added title stands where the template stood";
}

TEST_F(BrokenBarTest, ATitleWithoutItsPopupOpensNothing)
{
    const RCPtr<LMainMenu> noPopup = FindAs<LMainMenu>(L"noPopupBar");
    ASSERT_TRUE(noPopup);
    ASSERT_EQ(1, noPopup->GetTitleCount());
    const RCPtr<LComboMenu> title = noPopup->GetTitle(0);
    EXPECT_FALSE(title->GetPopupMenu());
    EXPECT_FALSE(title->GetTitleMenu());
    Click(CentreOf(title));
    EXPECT_FALSE(title->IsDropDownShown());
    EXPECT_EQ(LComboMenu::kLookHot, title->GetActiveLookIndex());
    Click(CentreOf(title));
    EXPECT_EQ(S_FALSE, title->ShowDropDown(true));
}

TEST_F(BrokenBarTest, ALabelNumberedPastTheTablesStringsLeavesTheBarWithoutMenus)
{
    // Labels 00 and 2000000000 with two menus: the labels cannot match the
    // menus, and the bar does not make two thousand million labels to see it.
    const RCPtr<LMainMenu> huge = FindAs<LMainMenu>(L"hugeBar");
    ASSERT_TRUE(huge);
    EXPECT_EQ(0, huge->GetTitleCount());
}

} // namespace
