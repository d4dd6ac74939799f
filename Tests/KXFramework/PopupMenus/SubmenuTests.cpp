// Popup placement, submenus, keys and drags through the chain of open
// popups, the status text, and when a chain closes: a context menu in a
// 1000 x 750 window, driven through the root window with the test clock.
#include "ContextMenuFixture.h"

#include "Controls/ComboMenu.h"
#include "Controls/MainMenu.h"
#include "Controls/MenuPlacement.h"

using namespace MenuTest;
using KX::LPopupMenu;

namespace {

class SubmenuTest : public ContextMenuFixture
{
protected:
    // The target's menu, opened by a right click at (30, 40).
    RCPtr<LPopupMenu> OpenTargetMenu()
    {
        const RCPtr<LPopupMenu> popup = RightClickAt(target, PointT<long>(30, 40));
        EXPECT_TRUE(popup);
        return popup;
    }
    static RCPtr<LPopupMenu> Submenu(const RCPtr<LPopupMenu>& popup)
    {
        return RCPtr<LPopupMenu>::DynamicCast(popup->FindChild(String(L"submenu")));
    }
};

TEST_F(SubmenuTest, APopupOpensAtThePointerInsideTheWindow)
{
    // At (950, 700) the popup would pass the window's right and bottom
    // edges: it ends at them.
    const RCPtr<LPopupMenu> popup = RightClickAt(corner, PointT<long>(950, 700));
    ASSERT_TRUE(popup);
    const RectT<long> rect = WindowRectOf(popup);
    EXPECT_EQ(1000 - rect.width, rect.x);
    EXPECT_EQ(750 - rect.height, rect.y);
    EXPECT_EQ(KX::MenuPlacement::PlaceAtPointer(PointT<long>(950, 700), PointT<long>(rect.width, rect.height),
                                                 PointT<long>(1000, 750)),
              PointT<long>(rect.x, rect.y));
    EXPECT_TRUE(popup->GetLayout().mXIsDocked && popup->GetLayout().mYIsDocked);
    PaintWindow();

    // With the pointer left of the window it starts at the window's left edge.
    const RCPtr<LPopupMenu> other = RightClickAt(target, PointT<long>(30, 40));
    ASSERT_TRUE(other);
    os.cursor = PointT<long>(-5, 10);
    other->ShowAtCursor();
    EXPECT_EQ(PointT<long>(0, 10), OriginOf(other));

    // Whatever point of the popup its layout places (here its right and
    // bottom edges), its top-left corner lands on the pointer.
    for (int32_t axis = 0; axis < 2; ++axis) {
        KX::LLayoutDescriptor::PositionSpec position;
        KX::LLayoutDescriptor::SizeSpec size;
        bool docked = false;
        other->GetLayout().GetAxisSpec(axis, position, docked, size);
        position.mAnchor = 1.0f;
        other->SetPlacement(axis, position, docked, size);
    }
    os.cursor = PointT<long>(300, 200);
    other->ShowAtCursor();
    EXPECT_EQ(PointT<long>(300, 200), OriginOf(other));
}

TEST_F(SubmenuTest, ASubmenuOpensAfterThePointerRestedMoreThan250Milliseconds)
{
    const RCPtr<LPopupMenu> popup = OpenTargetMenu();
    MoveTo(ItemPoint(popup, 3)); // "Recent"
    EXPECT_EQ(3, popup->GetCaretIndex());
    EXPECT_TRUE(popup->IsHoverTimerArmed());
    RunIdle(250, 50);
    EXPECT_FALSE(Submenu(popup)) << "not at 250 ms";
    application->mTicks += 1;
    IdlePass();
    const RCPtr<LPopupMenu> submenu = Submenu(popup);
    ASSERT_TRUE(submenu);
    EXPECT_TRUE(submenu->IsVisible(true));
    EXPECT_FALSE(popup->IsHoverTimerArmed());
    EXPECT_EQ((std::vector<std::wstring>{L"First recent", L"Second recent", L"More"}), RowTexts(submenu));
    // Beside its row: at the row's right edge, level with it.
    const RectT<double> row = popup->GetItemRect(3);
    EXPECT_EQ(OriginOf(popup).x + static_cast<long>(row.x + row.width), OriginOf(submenu).x);
    EXPECT_EQ(OriginOf(popup).y + static_cast<long>(row.y), OriginOf(submenu).y);
    PaintWindow();

    // Resting on another entry closes it again after the delay.
    MoveTo(ItemPoint(popup, 1));
    RunIdle(240, 40);
    EXPECT_TRUE(Submenu(popup));
    RunIdle(40, 40);
    EXPECT_FALSE(popup->GetSubmenuPopup());
    EXPECT_FALSE(submenu->IsVisible(false));
}

TEST_F(SubmenuTest, KeysMoveThroughTheChain)
{
    const RCPtr<LPopupMenu> popup = OpenTargetMenu();
    // Up with no caret does nothing; Down selects the first item.
    KeyDown(kUp);
    EXPECT_EQ(-1, popup->GetCaretIndex());
    KeyDown(kDown);
    EXPECT_EQ(0, popup->GetCaretIndex());
    KeyDown(kUp);
    EXPECT_EQ(0, popup->GetCaretIndex()) << "Up on the first item stays";
    KeyDown(kDown);
    KeyDown(kDown); // over the separator
    EXPECT_EQ(3, popup->GetCaretIndex());
    EXPECT_FALSE(popup->IsHoverTimerArmed()) << "a caret moved by keys with the pointer elsewhere arms nothing";

    // Right opens the submenu and selects its first item; keys go there.
    KeyDown(kRight);
    const RCPtr<LPopupMenu> submenu = Submenu(popup);
    ASSERT_TRUE(submenu);
    EXPECT_EQ(0, submenu->GetCaretIndex());
    EXPECT_TRUE(submenu->HasFocus());
    KeyDown(kDown);
    EXPECT_EQ(1, submenu->GetCaretIndex());
    PaintWindow("right");

    // Left closes it; the parent's selection stays on the entry.
    KeyDown(kLeft);
    EXPECT_FALSE(popup->GetSubmenuPopup());
    EXPECT_EQ(3, popup->GetCaretIndex());
    EXPECT_TRUE(popup->HasFocus());
    EXPECT_FALSE(popup->IsClosed()) << "the focus came back from the closing submenu";
    EXPECT_TRUE(popup->IsVisible(true));

    // Enter on the entry opens it too; the popup stays open.
    KeyDown(kEnter);
    ASSERT_TRUE(Submenu(popup));
    EXPECT_TRUE(popup->IsVisible(true));
    EXPECT_FALSE(popup->IsClosed());

    // Enter on a leaf of the submenu chooses it and closes the whole chain.
    target->received.clear();
    KeyDown(kDown);
    KeyDown(kEnter);
    EXPECT_EQ((std::vector<std::wstring>{L"NID_RECENT_B"}), target->DirectIds());
    EXPECT_TRUE(popup->IsClosed());
    IdlePass();
    EXPECT_FALSE(target->FindChild(String(L"contextMenu")));
}

TEST_F(SubmenuTest, EscapeClosesTheWholeContextMenu)
{
    const RCPtr<LPopupMenu> popup = OpenTargetMenu();
    popup->SelectItemRange(3, -1, true);
    KeyDown(kRight);
    const RCPtr<LPopupMenu> submenu = Submenu(popup);
    ASSERT_TRUE(submenu);
    submenu->SelectItemRange(2, -1, true);
    KeyDown(kRight); // "More"
    const RCPtr<LPopupMenu> deep = Submenu(submenu);
    ASSERT_TRUE(deep);
    EXPECT_TRUE(popup->IsInMenuChain(RCPtr<KX::LControl>(deep.Get())));
    EXPECT_TRUE(deep->IsInMenuChain(RCPtr<KX::LControl>(popup.Get())));
    EXPECT_FALSE(popup->IsInMenuChain(RCPtr<KX::LControl>(popup.Get())));

    KeyDown(kEscape);
    EXPECT_TRUE(popup->IsClosed());
    EXPECT_FALSE(deep->IsVisible(false));
    IdlePass();
    EXPECT_FALSE(target->FindChild(String(L"contextMenu")));
    EXPECT_TRUE(target->DirectIds().empty());
}

TEST_F(SubmenuTest, ASubmenuWithoutRoomOpensLeftAndMovesUp)
{
    const RCPtr<LPopupMenu> popup = RightClickAt(corner, PointT<long>(950, 700));
    ASSERT_TRUE(popup);
    popup->SelectItemRange(2, -1, true); // "Recent", four items
    KeyDown(kRight);
    const RCPtr<LPopupMenu> submenu = Submenu(popup);
    ASSERT_TRUE(submenu);
    const RectT<long> rect = WindowRectOf(submenu);
    EXPECT_EQ(OriginOf(popup).x, rect.x + rect.width) << "left of the popup";
    EXPECT_EQ(750, rect.y + rect.height) << "its bottom at the window's bottom edge";
    PaintWindow();
}

TEST_F(SubmenuTest, ClickingASubmenuEntryOpensItAndTheDeepItemCanBeChosen)
{
    const RCPtr<LPopupMenu> popup = OpenTargetMenu();
    Click(ItemPoint(popup, 3));
    const RCPtr<LPopupMenu> submenu = Submenu(popup);
    ASSERT_TRUE(submenu);
    EXPECT_TRUE(popup->IsVisible(true));
    EXPECT_FALSE(popup->IsClosed());
    EXPECT_TRUE(target->DirectIds().empty()) << "a submenu entry is not chosen";
    // A second click on the open entry keeps the same submenu.
    Click(ItemPoint(popup, 3));
    EXPECT_EQ(submenu.Get(), Submenu(popup).Get());

    target->received.clear();
    Click(ItemPoint(submenu, 0));
    EXPECT_EQ((std::vector<std::wstring>{L"NID_RECENT_A"}), target->DirectIds());
    EXPECT_TRUE(popup->IsClosed());
}

TEST_F(SubmenuTest, DraggingFromAPopupOntoItsSubmenuChoosesWhereReleased)
{
    const RCPtr<LPopupMenu> popup = OpenTargetMenu();
    popup->SelectItemRange(3, -1, true);
    KeyDown(kRight);
    const RCPtr<LPopupMenu> submenu = Submenu(popup);
    ASSERT_TRUE(submenu);
    target->received.clear();

    const PointT<long> from = ItemPoint(popup, 3);
    const PointT<long> to = ItemPoint(submenu, 1);
    Press(from);
    MoveAlong(from, PointT<long>(to.x, from.y));
    MoveAlong(PointT<long>(to.x, from.y), to);
    EXPECT_EQ(submenu.Get(), window->GetCaptureControl().Get()) << "the held button moved over to the submenu";
    EXPECT_EQ(1, submenu->GetCaretIndex());
    EXPECT_EQ(3, popup->GetCaretIndex()) << "the parent's selection stays on the open entry";
    Release(to);
    EXPECT_EQ((std::vector<std::wstring>{L"NID_RECENT_B"}), target->DirectIds());
    EXPECT_TRUE(popup->IsClosed());
}

TEST_F(SubmenuTest, TheItemUnderThePointerShowsItsStatusText)
{
    const RCPtr<LPopupMenu> popup = OpenTargetMenu();
    application->statusCalls.clear();
    MoveTo(ItemPoint(popup, 0));
    EXPECT_EQ((std::vector<std::wstring>{L"set:Opens a file"}), application->statusCalls);
    MoveTo(ItemPoint(popup, 1)); // "Save" has none
    EXPECT_EQ((std::vector<std::wstring>{L"set:Opens a file", L"reset"}), application->statusCalls);
    MoveTo(ItemPoint(popup, 3));
    EXPECT_EQ(L"set:Files opened lately", application->statusCalls.back());
}

TEST_F(SubmenuTest, TheMenuClosesWhenTheFocusGoesElsewhere)
{
    const RCPtr<LPopupMenu> popup = OpenTargetMenu();
    popup->SelectItemRange(3, -1, true);
    KeyDown(kRight);
    ASSERT_TRUE(Submenu(popup));
    Click(CentreOf(Find(L"other")));
    EXPECT_TRUE(popup->IsClosed());
    EXPECT_FALSE(popup->IsVisible(false));
    IdlePass();
    EXPECT_FALSE(target->FindChild(String(L"contextMenu")));
    EXPECT_TRUE(target->DirectIds().empty());

    // A second right click while a menu is open replaces it.
    const RCPtr<LPopupMenu> first = RightClickAt(target, PointT<long>(30, 40));
    const RCPtr<LPopupMenu> second = RightClickAt(target, PointT<long>(10, 20));
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.Get(), second.Get());
    EXPECT_TRUE(first->IsClosed());
    EXPECT_EQ(PointT<long>(10, 20), OriginOf(second));
    EXPECT_TRUE(second->IsVisible(true));
}

} // namespace

namespace {

class MenuLifetimeTest : public MenuTestBase
{
};

// Popups, submenus, titles and bars hold their owners, updaters, menus and
// the control that had the focus: when the window lets its tree go, every
// control goes.
TEST_F(MenuLifetimeTest, NoControlOutlivesTheTreeAfterMenusWereUsed)
{
    Load(true, PointT<long>(1000, 750));
    const int32_t before = KX::LControl::GetLiveCount();
    {
        OpenScene(L"contextScene");
        const RCPtr<KX::LControl> target = Find(L"target");
        KX::RCPtrArray<KX::LMenuDescriptor> menus;
        target->LoadContextMenus(menus);
        target->SetContextMenu(menus.GetAt(0));
        Click(PointT<long>(30, 40), 4);
        const RCPtr<LPopupMenu> popup = RCPtr<LPopupMenu>::DynamicCast(target->FindChild(String(L"contextMenu")));
        ASSERT_TRUE(popup);
        popup->SelectItemRange(3, -1, true);
        KeyDown(kRight); // a submenu stays open
        ASSERT_TRUE(popup->GetSubmenuPopup());
    }
    window->SetRootControl(RCPtr<KX::LControl>());
    EXPECT_EQ(before, KX::LControl::GetLiveCount());

    {
        OpenScene(L"barScene");
        Click(CentreOf(Find(L"button")));
        const RCPtr<KX::LMainMenu> bar = FindAs<KX::LMainMenu>(L"mainMenu");
        const RCPtr<KX::LComboMenu> file = bar->GetTitle(0);
        Click(CentreOf(file));
        Click(ItemPoint(file->GetPopupMenu(), 0));
        IdlePass();
        Click(CentreOf(file)); // left open
        ASSERT_TRUE(bar->GetSavedFocus());
    }
    window->SetRootControl(RCPtr<KX::LControl>());
    EXPECT_EQ(before, KX::LControl::GetLiveCount());
}

} // namespace
