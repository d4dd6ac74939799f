// The popup menu's items, states and activation, met as a person meets them:
// a right click on a control with a "CONTEXT_MENU" menu opens the skin's
// "contextMenu" popup at the pointer; rows show labels, hot-key texts, check
// marks, separators and disabled items; choosing an item hands its
// notification to the owner once and closes the menu.
#include "ContextMenuFixture.h"

#include "ControlBase/EventParams.h"
#include "Notification/NotificationIDs.h"

using namespace MenuTest;
using KX::LMenuDescriptor;
using KX::LPopupMenu;
using KX::MenuItemState;

namespace {

class PopupItemTest : public ContextMenuFixture
{
};

TEST_F(PopupItemTest, ARightClickOpensTheContextMenuAtThePointer)
{
    const RCPtr<LPopupMenu> popup = RightClickAt(target, PointT<long>(30, 40));
    ASSERT_TRUE(popup);
    EXPECT_TRUE(popup->IsVisible(true));
    EXPECT_TRUE(popup->HasFocus());
    EXPECT_EQ(PointT<long>(30, 40), OriginOf(popup));
    EXPECT_EQ((std::vector<std::wstring>{L"Open", L"Save", L"", L"Recent", L"Disabled", L"Checked"}),
              RowTexts(popup));
    // The popup shows a clone: the owner's menu is another tree.
    EXPECT_NE(popup->GetMenu().Get(), target->GetContextMenu().Get());
    EXPECT_EQ(6, popup->GetMenu()->GetItemCount());
    PaintWindow();
    // Drawn above the scene, not clipped to its owner's 120 x 100 area.
    EXPECT_TRUE(NearColour(0xFF404850, PixelIn(popup, 100, 5))) << std::hex << PixelIn(popup, 100, 5);
}

TEST_F(PopupItemTest, RowsShowTheTextsOfTheKeysBoundToTheirItems)
{
    const RCPtr<LPopupMenu> popup = RightClickAt(target, PointT<long>(30, 40));
    ASSERT_TRUE(popup);
    // The application's Ctrl+O, the window's Ctrl+Shift+S; no key for the rest.
    EXPECT_EQ(L"Ctrl+O", HotKeyText(popup, 0));
    EXPECT_EQ(L"Ctrl+Shift+S", HotKeyText(popup, 1));
    EXPECT_EQ(L"", HotKeyText(popup, 4));
    // Items inside submenus are filled too: the owner's local F5.
    const RCPtr<KX::LMenuItemDescriptor> recent = popup->GetMenu()->GetItem(3);
    EXPECT_EQ(L"F5", Text(recent->GetItem(0)->mHotKeyText));
    // The owner's own tree keeps no texts.
    EXPECT_TRUE(target->GetContextMenu()->GetItem(0)->mHotKeyText.IsEmpty());
    // The row is wide enough for the label and its key text.
    EXPECT_GE(popup->GetWidestItemWidth(), popup->MeasureItemWidthWithHotKey(1));
    EXPECT_GT(popup->MeasureItemWidthWithHotKey(1), popup->MeasureItemWidthWithHotKey(4) - 20);
    PaintWindow();

    // Texts found before stay when a target refills the empty ones from the
    // window's bindings only.
    ASSERT_EQ(S_OK, popup->SetNotificationTarget(RCPtr<KX::LNotificationQueue>(window.Get())));
    EXPECT_EQ(L"Ctrl+O", HotKeyText(popup, 0));
    EXPECT_EQ(E_FAIL, popup->SetNotificationTarget(RCPtr<KX::LNotificationQueue>(window.Get())));
    EXPECT_EQ(E_INVALIDARG, popup->SetNotificationTarget(RCPtr<KX::LNotificationQueue>()));
}

TEST_F(PopupItemTest, TheOwnerIsAskedForLeafItemsOnlyAndTheirStatesShow)
{
    const RCPtr<LPopupMenu> popup = RightClickAt(target, PointT<long>(30, 40));
    ASSERT_TRUE(popup);
    // Last to first, no submenu entry, no separator.
    EXPECT_EQ((std::vector<std::wstring>{L"NID_CHECKED", L"NID_DISABLED", L"NID_SAVE", L"NID_OPEN"}), target->asked);
    EXPECT_FALSE(popup->GetMenu()->GetItem(4)->mEnabled);
    EXPECT_TRUE(popup->GetMenu()->GetItem(5)->mChecked);
    EXPECT_FALSE(popup->IsItemSelectable(4));
    EXPECT_FALSE(popup->IsItemSelectable(2)) << "a separator";
    EXPECT_TRUE(popup->IsItemSelectable(3));
    EXPECT_FALSE(popup->IsItemSelectable(6)) << "past the end";

    PaintWindow();
    const RectT<double> disabled = popup->GetItemRect(4);
    const RectT<double> plain = popup->GetItemRect(1);
    // The disabled row's look, the checked row's check mark (the middle of
    // its check box), and no mark on an unchecked row.
    EXPECT_TRUE(NearColour(0xFF585858, PixelIn(popup, 100, static_cast<long>(disabled.y + 3))));
    const RCPtr<KX::LButton> checkedBox = RowOf(popup, 5)->GetCheckBox();
    const RCPtr<KX::LButton> plainBox = RowOf(popup, 1)->GetCheckBox();
    ASSERT_TRUE(checkedBox && plainBox);
    EXPECT_TRUE(NearColour(0xFFFFD040, PixelIn(checkedBox, 8, 8)));
    EXPECT_TRUE(NearColour(0xFF404850, PixelIn(plainBox, 8, 8)));
    EXPECT_TRUE(NearColour(0xFF404850, PixelIn(popup, 100, static_cast<long>(plain.y + 3))));
    // The separator row draws its line.
    const RectT<double> separator = popup->GetItemRect(2);
    EXPECT_TRUE(NearColour(0xFFC0C0C0, PixelIn(popup, 60, static_cast<long>(separator.y + 2))));
}

TEST_F(PopupItemTest, TheHeightCountsSeparatorRowsOnTheirOwn)
{
    const RCPtr<LPopupMenu> popup = RightClickAt(target, PointT<long>(30, 40));
    ASSERT_TRUE(popup);
    EXPECT_EQ(1, popup->GetSeparatorCount());
    EXPECT_EQ(5 * popup->GetItemRowHeight() + popup->GetSeparatorHeight(), popup->GetItemsHeight());
    EXPECT_DOUBLE_EQ(popup->GetItemsHeight(), popup->GetRect().height);

    // Two items and a separator.
    RCPtr<LMenuDescriptor> menu;
    LMenuDescriptor::Create(menu);
    menu->InsertNewItem(0, String(L"One"), String(L"NID_ONE"), true, false);
    menu->InsertSeparator(1);
    menu->InsertNewItem(2, String(L"Two"), String(L"NID_TWO"), true, false);
    ASSERT_EQ(S_OK, popup->SetMenu(menu));
    EXPECT_DOUBLE_EQ(2 * popup->GetItemRowHeight() + popup->GetSeparatorHeight(), popup->GetRect().height);
}

TEST_F(PopupItemTest, ChoosingAnItemHandsItsNotificationToTheOwnerOnceAndClosesTheMenu)
{
    const RCPtr<LPopupMenu> popup = RightClickAt(target, PointT<long>(30, 40));
    ASSERT_TRUE(popup);
    const RCPtr<KXTest::Listener> listener = KXTest::Listener::Make();
    listener->Listen(RCPtr<KX::LNotificationDistributor>(popup.Get()), KX::NID_ITEM_ACTIVATED);
    target->received.clear();

    Click(ItemPoint(popup, 1));
    ASSERT_EQ((std::vector<std::wstring>{L"NID_SAVE"}), target->DirectIds());
    const RCPtr<KX::LMenuActivationParam> data =
        RCPtr<KX::LMenuActivationParam>::DynamicCast(target->received.back().data);
    ASSERT_TRUE(data);
    EXPECT_EQ(1, data->mIndex);
    EXPECT_EQ(popup->GetMenu().Get(), data->mMenu.Get());
    EXPECT_FALSE(listener->received.empty());
    EXPECT_TRUE(popup->IsClosed());
    EXPECT_FALSE(popup->IsVisible(false));
    IdlePass();
    EXPECT_FALSE(target->FindChild(String(L"contextMenu"))) << "removed from its owner at the next idle step";
    EXPECT_FALSE(popup->GetParent());
    EXPECT_EQ((std::vector<std::wstring>{L"NID_SAVE"}), target->DirectIds()) << "once";
    listener->UnregisterAll();
}

TEST_F(PopupItemTest, ADisabledItemIsNotChosen)
{
    const RCPtr<LPopupMenu> popup = RightClickAt(target, PointT<long>(30, 40));
    ASSERT_TRUE(popup);
    target->received.clear();
    Click(ItemPoint(popup, 4));
    Click(ItemPoint(popup, 2)); // the separator
    EXPECT_TRUE(target->DirectIds().empty());
    EXPECT_TRUE(popup->IsVisible(true));
    EXPECT_FALSE(popup->IsClosed());
    // Keys skip it: Down from Save lands on Recent, then on Checked.
    popup->SelectItemRange(1, -1, true);
    KeyDown(kDown);
    EXPECT_EQ(3, popup->GetCaretIndex());
    KeyDown(kDown);
    EXPECT_EQ(5, popup->GetCaretIndex());
    KeyDown(kEnter);
    EXPECT_EQ((std::vector<std::wstring>{L"NID_CHECKED"}), target->DirectIds());
}

TEST_F(PopupItemTest, AMenuWithAPostingTargetDeliversInTheNextIdlePass)
{
    const RCPtr<LPopupMenu> popup = RightClickAt(target, PointT<long>(30, 40));
    ASSERT_TRUE(popup);
    ASSERT_EQ(S_OK, popup->SetNotificationTarget(RCPtr<KX::LNotificationQueue>(window.Get())));
    std::vector<std::wstring> order;
    const RCPtr<KXTest::Listener> listener = KXTest::Listener::Make();
    listener->reaction = [&](const RCPtr<KX::LNotification>& notification) {
        order.push_back(Text(KX::GetNotificationIDText(notification->GetID())) +
                        (popup->IsVisible(false) ? L" shown" : L" hidden"));
    };
    listener->Listen(RCPtr<KX::LNotificationDistributor>(popup.Get()), KX::NID_ITEM_ACTIVATED);
    listener->Listen(RCPtr<KX::LNotificationDistributor>(window.Get()), L"NID_OPEN");

    popup->SelectItemRange(0, -1, true);
    KeyDown(kEnter);
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(L"NID_ITEM_ACTIVATED hidden", order.front()) << "the popup hides before it reports";
    EXPECT_EQ(order.end(), std::find(order.begin(), order.end(), L"NID_OPEN hidden")) << "not yet";
    IdlePass();
    EXPECT_EQ(L"NID_OPEN hidden", order.back());
    EXPECT_EQ(1, std::count(order.begin(), order.end(), std::wstring(L"NID_OPEN hidden")));
    EXPECT_TRUE(target->DirectIds().empty()) << "the window's queue had it, not the owner";
    listener->UnregisterAll();
}

TEST_F(PopupItemTest, ItemStatesApplyToLeavesOnlyAndComeFromTheCopy)
{
    const RCPtr<LPopupMenu> popup = RightClickAt(target, PointT<long>(30, 40));
    ASSERT_TRUE(popup);
    const RCPtr<LMenuDescriptor> menu = popup->GetMenu();
    // A submenu entry is never checked; a separator keeps both flags.
    EXPECT_EQ(0, popup->ApplyItemState(3, MenuItemState{true, true, String(L"Recent")}));
    EXPECT_FALSE(menu->GetItem(3)->mChecked);
    EXPECT_EQ(0, popup->ApplyItemState(2, MenuItemState{false, true, String(L"x")}));
    EXPECT_TRUE(menu->GetItem(2)->mEnabled);
    EXPECT_FALSE(menu->GetItem(2)->mChecked);
    EXPECT_EQ(E_INVALIDARG, popup->ApplyItemState(6, MenuItemState()));
    // The same state: nothing to do. A new text rebuilds the rows.
    EXPECT_EQ(1, popup->ApplyItemState(1, MenuItemState{true, false, String(L"Save")}));
    EXPECT_EQ(0, popup->ApplyItemState(1, MenuItemState{true, false, String(L"Save everything now")}));
    EXPECT_EQ(L"Save everything now", RowTexts(popup)[1]);
    EXPECT_GE(popup->GetRect().width, popup->MeasureItemWidthWithHotKey(1));
    EXPECT_EQ(L"Save", Text(target->GetContextMenu()->GetItem(1)->mText)) << "the owner's tree is untouched";

    // A second SetMenu of the same menu is a fresh clone: states are gone.
    popup->ApplyItemState(0, MenuItemState{false, true, String(L"Open")});
    ASSERT_EQ(S_OK, popup->SetMenu(target->GetContextMenu()));
    EXPECT_TRUE(popup->GetMenu()->GetItem(0)->mEnabled);
    EXPECT_FALSE(popup->GetMenu()->GetItem(0)->mChecked);
    EXPECT_NE(menu.Get(), popup->GetMenu().Get());
    EXPECT_EQ(E_INVALIDARG, popup->SetMenu(RCPtr<LMenuDescriptor>()));
    EXPECT_EQ(6, popup->GetItemCount()) << "a null menu changes nothing";
    EXPECT_EQ(E_NOTIMPL, popup->SwapItems(0, 1));
}

TEST_F(PopupItemTest, RowsWithoutCheckBoxOrHotKeyLabelStillWork)
{
    // A popup from a description whose rows have neither part.
    const RCPtr<KX::LControlDescriptor> descriptor = factory->FindControlDescriptor(String(L"barePopup"));
    ASSERT_TRUE(descriptor);
    RCPtr<KX::LControl> created;
    factory->CreateControl(created, RCPtr<KX::LControl>(target.Get()), descriptor);
    const RCPtr<LPopupMenu> popup = RCPtr<LPopupMenu>::DynamicCast(created);
    ASSERT_TRUE(popup);
    EXPECT_EQ(0, popup->GetItemCount()) << "no menu strings: an empty menu and no rows";
    ASSERT_EQ(S_OK, popup->SetMenu(target->GetContextMenu()));
    os.cursor = PointT<long>(300, 300);
    popup->ShowAtCursor();
    EXPECT_EQ(6, popup->GetItemCount());
    EXPECT_GT(popup->GetWidestItemWidth(), 0);
    EXPECT_EQ(L"(no label)", HotKeyText(popup, 0));
    PaintWindow();
    target->received.clear();
    Click(ItemPoint(popup, 5));
    EXPECT_EQ((std::vector<std::wstring>{L"NID_CHECKED"}), target->DirectIds());
}

} // namespace
