// The tree view in the "treeScene" of the test skin: rows of 20 pixels whose
// expander check box is 14 pixels wide, eight rows in view ("tree") and four
// in the small tree beside it. Built through the list-box operations and
// SetItemParent, driven through the root window.
#include "TreesColumnsTestSupport.h"

#include "Controls/CheckedListBox.h"
#include "Controls/TreeView.h"

namespace TreesColumnsTest {
namespace {

constexpr double kExpanderWidth = 14.0;

class TreeViewTest : public TreesColumnsTest
{
protected:
    void SetUp() override
    {
        TreesColumnsTest::SetUp();
        OpenScene(L"treeScene");
        tree = FindAs<KX::LTreeView>(L"tree");
        ASSERT_TRUE(tree);
        listener = KXTest::Listener::Make();
        for (const wchar_t* id :
             {KX::NID_ITEM_CHECK_CHANGE, KX::NID_ITEM_CHECKBOX_CLICKED, KX::NID_SELECTION_CHANGE})
            listener->Listen(RCPtr<KX::LNotificationDistributor>(tree.Get()), id);
    }

    void TearDown() override
    {
        listener = nullptr;
        tree = nullptr;
        TreesColumnsTest::TearDown();
    }

    // Appends items with these texts at the top level.
    static void Append(const RCPtr<KX::LTreeView>& target, std::initializer_list<const wchar_t*> texts)
    {
        for (const wchar_t* text : texts)
            target->InsertItem(target->GetItemCount(), KX::CreateStringItem(String(text)));
    }

    // A{B, C{D}}: the tree of the finished control's description.
    void BuildSmallTree()
    {
        Append(tree, {L"A", L"B", L"C", L"D"});
        ASSERT_EQ(1, tree->SetItemParent(1, 0));
        ASSERT_EQ(2, tree->SetItemParent(2, 0));
        ASSERT_EQ(3, tree->SetItemParent(3, 2));
        listener->received.clear();
    }

    std::vector<std::wstring> Texts(const RCPtr<KX::LTreeView>& target) const
    {
        std::vector<std::wstring> texts;
        for (int32_t i = 0; i < target->GetItemCount(); ++i)
            texts.push_back(KXTest::Text(target->GetItemText(i)));
        return texts;
    }

    // The texts of the items that are shown, top to bottom.
    std::vector<std::wstring> Shown() const
    {
        std::vector<std::wstring> texts;
        for (int32_t i = 0; i < tree->GetItemCount(); ++i) {
            if (!tree->IsItemHidden(i))
                texts.push_back(KXTest::Text(tree->GetItemText(i)));
        }
        return texts;
    }

    std::vector<int32_t> Parents(const RCPtr<KX::LTreeView>& target) const
    {
        std::vector<int32_t> parents;
        for (int32_t i = 0; i < target->GetItemCount(); ++i)
            parents.push_back(target->GetItemParent(i));
        return parents;
    }

    RCPtr<KX::LTreeViewItem> RowOf(int32_t item) const
    {
        return tree->GetTreeRowControl(tree->GetItemRowIndex(item));
    }

    RCPtr<KX::LButton> ExpanderOf(int32_t item) const
    {
        const RCPtr<KX::LTreeViewItem> row = RowOf(item);
        return row ? row->GetCheckBox() : RCPtr<KX::LButton>();
    }

    void ClickExpander(int32_t item)
    {
        const RCPtr<KX::LButton> expander = ExpanderOf(item);
        ASSERT_TRUE(expander) << "item " << item << " has no row";
        Click(CentreOf(RCPtr<KX::LControl>(expander.Get())));
    }

    // The (item, value) pairs of the expander notifications of that name.
    std::vector<std::pair<int32_t, double>> ExpanderReports(const std::wstring& id) const
    {
        std::vector<std::pair<int32_t, double>> reports;
        for (const KXTest::Listener::Received& entry : listener->received) {
            if (entry.id != id)
                continue;
            const RCPtr<KX::LIndexedDataWithValueParam> data =
                RCPtr<KX::LIndexedDataWithValueParam>::DynamicCast(entry.data);
            reports.emplace_back(data ? data->mIndex : -99, data ? data->mValue : -99.0);
        }
        return reports;
    }

    RCPtr<KX::LTreeView> tree;
    RCPtr<KXTest::Listener> listener;
};

TEST_F(TreeViewTest, ExpandingShowsTheChildrenIndentedByTheirDepth)
{
    BuildSmallTree();
    EXPECT_EQ((std::vector<int32_t>{-1, 0, 0, 2}), Parents(tree));
    ClickExpander(0);
    EXPECT_EQ((std::vector<std::wstring>{L"A"}), Shown());
    EXPECT_FALSE(tree->IsItemChecked(0));
    PaintWindow("collapsed");

    ClickExpander(0);
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"C", L"D"}), Shown());
    EXPECT_EQ((std::vector<std::pair<int32_t, double>>{{0, 0.0}, {0, 1.0}}),
              ExpanderReports(L"NID_ITEM_CHECK_CHANGE"));
    // The clicked item is selected.
    EXPECT_TRUE(tree->IsItemSelected(0));

    // Indentation in expander widths, within the list's client area.
    EXPECT_EQ(0.0, RowOf(0)->GetRect().x);
    EXPECT_EQ(kExpanderWidth, RowOf(1)->GetRect().x);
    EXPECT_EQ(kExpanderWidth, RowOf(2)->GetRect().x);
    EXPECT_EQ(2 * kExpanderWidth, RowOf(3)->GetRect().x);
    // Only items with descendants have a usable expander.
    EXPECT_TRUE(ExpanderOf(0)->IsEnabled(false));
    EXPECT_FALSE(ExpanderOf(1)->IsEnabled(false));
    EXPECT_TRUE(ExpanderOf(2)->IsEnabled(false));
    EXPECT_FALSE(ExpanderOf(3)->IsEnabled(false));

    MoveTo(PointT<long>(400, 300));
    PaintWindow("expanded");
    const PointT<long> origin = OriginOf(RCPtr<KX::LControl>(tree.Get()));
    const auto expanderPixel = [&](int32_t item, double depth) {
        const RectT<double> row = tree->GetItemRect(item);
        return Pixel(origin.x + static_cast<long>(depth * kExpanderWidth) + 7,
                     origin.y + static_cast<long>(row.y) + 10);
    };
    EXPECT_EQ(Colour::kExpanderOpen, expanderPixel(0, 0));
    EXPECT_EQ(Colour::kExpanderDisabled, expanderPixel(1, 1));
    EXPECT_EQ(Colour::kExpanderOpen, expanderPixel(2, 1));
    EXPECT_EQ(Colour::kExpanderDisabled, expanderPixel(3, 2));
    // Left of an indented expander lies the list, not the row.
    EXPECT_EQ(Colour::kList, expanderPixel(3, 1));
}

TEST_F(TreeViewTest, AChildShowsOnlyWhileEveryAncestorIsExpanded)
{
    BuildSmallTree();
    ClickExpander(2);
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"C"}), Shown());
    ClickExpander(0);
    EXPECT_EQ((std::vector<std::wstring>{L"A"}), Shown());
    // C expanded under a collapsed A: D stays hidden.
    EXPECT_EQ(S_OK, tree->ExpandItem(2));
    EXPECT_EQ((std::vector<std::wstring>{L"A"}), Shown());
    EXPECT_EQ(S_OK, tree->ExpandItem(0));
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"C", L"D"}), Shown());
    EXPECT_EQ(2, tree->GetCheckedCount());
    EXPECT_EQ(tree->GetCheckedCount(), tree->CountCheckedItems());
    // The extent follows the shown items. Expanding C, which has no row,
    // sends nothing; expanding A in its row reports as a click on it does.
    EXPECT_EQ(80.0, tree->GetClientExtent().y);
    EXPECT_EQ((std::vector<std::pair<int32_t, double>>{{2, 0.0}, {0, 0.0}, {0, 1.0}}),
              ExpanderReports(L"NID_ITEM_CHECK_CHANGE"));
    EXPECT_EQ(E_INVALIDARG, tree->ExpandItem(4));
}

TEST_F(TreeViewTest, ExpandItemWorksAlsoWithoutAutoCheck)
{
    BuildSmallTree();
    tree->SetAutoCheck(false);
    // A click only reports: the item stays expanded.
    ClickExpander(2);
    EXPECT_EQ((std::vector<std::pair<int32_t, double>>{{2, 1.0}}), ExpanderReports(L"NID_ITEM_CHECKBOX_CLICKED"));
    EXPECT_TRUE(ExpanderReports(L"NID_ITEM_CHECK_CHANGE").empty());
    EXPECT_TRUE(tree->IsItemChecked(2));
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"C", L"D"}), Shown());

    // The owner collapses C, then expands it again while its row shows.
    tree->SetItemChecked(2, false);
    tree->UpdateDescendantsVisibility(2);
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"C"}), Shown());
    EXPECT_EQ(S_OK, tree->ExpandItem(2));
    EXPECT_TRUE(tree->IsItemChecked(2));
    EXPECT_EQ(1.0, ExpanderOf(2)->GetNormalizedValue());
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"C", L"D"}), Shown());
    EXPECT_EQ(80.0, tree->GetClientExtent().y);

    // Back to auto check: a click collapses again.
    tree->SetAutoCheck(true);
    ClickExpander(2);
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"C"}), Shown());
    EXPECT_EQ((std::vector<std::pair<int32_t, double>>{{2, 0.0}}), ExpanderReports(L"NID_ITEM_CHECK_CHANGE"));
}

TEST_F(TreeViewTest, ExpandItemWithoutARowShowsTheDescendants)
{
    const RCPtr<KX::LTreeView> small = FindAs<KX::LTreeView>(L"smallTree");
    ASSERT_TRUE(small);
    Append(small, {L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7"});
    small->SetItemParent(7, 6);
    small->SetItemChecked(6, false);
    small->UpdateDescendantsVisibility(6);
    ASSERT_TRUE(small->IsItemHidden(7));
    ASSERT_LT(small->GetItemRowIndex(6), 0);
    EXPECT_EQ(S_OK, small->ExpandItem(6));
    EXPECT_FALSE(small->IsItemHidden(7));
    EXPECT_TRUE(small->IsItemChecked(6));
    EXPECT_EQ(160.0, small->GetClientExtent().y);
}

TEST_F(TreeViewTest, MovingUnderAGrandparentGivesDepthOne)
{
    BuildSmallTree();
    EXPECT_EQ(3, tree->SetItemParent(3, 0));
    EXPECT_EQ(1, tree->GetItemDepth(3));
    EXPECT_EQ((std::vector<int32_t>{-1, 0, 0, 0}), Parents(tree));
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"C", L"D"}), Texts(tree));
    // C lost its only child: its expander is disabled now.
    EXPECT_EQ(0, tree->GetDescendantCount(2));
    EXPECT_FALSE(ExpanderOf(2)->IsEnabled(false));
    EXPECT_EQ(kExpanderWidth, RowOf(3)->GetRect().x);
    PaintWindow();
}

TEST_F(TreeViewTest, MovingToTheTopLevelTakesTheSubtreeAlong)
{
    BuildSmallTree();
    Append(tree, {L"E"});
    EXPECT_EQ(2, tree->SetItemParent(2, -1));
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"C", L"D", L"E"}), Texts(tree));
    EXPECT_EQ((std::vector<int32_t>{-1, 0, -1, 2, -1}), Parents(tree));
    EXPECT_EQ(0, tree->GetItemDepth(2));
    EXPECT_EQ(1, tree->GetItemDepth(3));
    EXPECT_EQ(1, tree->GetDescendantCount(0));
    EXPECT_EQ(0.0, RowOf(2)->GetRect().x);
    EXPECT_EQ(kExpanderWidth, RowOf(3)->GetRect().x);

    // E under B, then B with E under C: every parent follows its item.
    EXPECT_EQ(2, tree->SetItemParent(4, 1));
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"E", L"C", L"D"}), Texts(tree));
    // B follows C now as its first child, before D.
    EXPECT_EQ(2, tree->SetItemParent(1, 3));
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"C", L"B", L"E", L"D"}), Texts(tree));
    EXPECT_EQ((std::vector<int32_t>{-1, -1, 1, 2, 1}), Parents(tree));
    EXPECT_EQ(2, tree->GetItemDepth(3));
    PaintWindow();
}

TEST_F(TreeViewTest, TheSelectionStaysWithMovedItems)
{
    BuildSmallTree();
    Click(CentreOf(RCPtr<KX::LControl>(RowOf(1).Get())));
    ASSERT_EQ(1, tree->GetCaretIndex());
    // B under C, which follows it: B becomes C's first child.
    EXPECT_EQ(2, tree->SetItemParent(1, 2));
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"C", L"B", L"D"}), Texts(tree));
    EXPECT_EQ(2, tree->GetCaretIndex());
    EXPECT_EQ(2, tree->GetAnchorIndex());
    EXPECT_TRUE(tree->IsItemSelected(2));
    EXPECT_EQ(1, tree->GetSelectedCount());
}

TEST_F(TreeViewTest, MakingAnItemItsOwnAncestorIsRefused)
{
    BuildSmallTree();
    struct Refusal
    {
        const char* what;
        int32_t item;
        int32_t parent;
    };
    const Refusal refusals[] = {
        {"under its own child", 2, 3}, {"under itself", 2, 2},      {"the first item", 0, 3},
        {"a parent past the end", 1, 4}, {"an item past the end", 4, 0}, {"an item below 0", -1, 0},
    };
    for (const Refusal& refusal : refusals) {
        EXPECT_EQ(refusal.item, tree->SetItemParent(refusal.item, refusal.parent)) << refusal.what;
        EXPECT_EQ((std::vector<int32_t>{-1, 0, 0, 2}), Parents(tree)) << refusal.what;
    }
    EXPECT_FALSE(tree->IsAncestor(3, 2));
    EXPECT_TRUE(tree->IsAncestor(0, 3));
    EXPECT_FALSE(tree->IsAncestor(3, 3));
    EXPECT_FALSE(tree->IsAncestor(0, 9));
}

TEST_F(TreeViewTest, RemovingAnItemRemovesItsSubtreeAndKeepsTheCountsRight)
{
    BuildSmallTree();
    Append(tree, {L"E"});
    tree->SetMultipleSelection(true);
    tree->SelectItemRange(1, -1, true);
    tree->SelectItemRange(3, -1, false);
    tree->SelectItemRange(4, -1, false);
    ASSERT_EQ(3, tree->GetSelectedCount());
    ASSERT_EQ(2, tree->GetCheckedCount());

    EXPECT_EQ(1, tree->RemoveItem(0));
    EXPECT_EQ((std::vector<std::wstring>{L"E"}), Texts(tree));
    EXPECT_EQ((std::vector<int32_t>{-1}), Parents(tree));
    EXPECT_EQ(1, tree->GetSelectedCount());
    EXPECT_TRUE(tree->IsItemSelected(0));
    EXPECT_EQ(0, tree->GetCaretIndex());
    EXPECT_EQ(0, tree->GetCheckedCount());
    EXPECT_EQ(0, tree->CountCheckedItems());
    EXPECT_EQ(20.0, tree->GetClientExtent().y);
    EXPECT_EQ(E_INVALIDARG, tree->RemoveItem(1));
    PaintWindow();
}

TEST_F(TreeViewTest, RemovingAnItemWithTwoChildrenRenumbersTheLaterParents)
{
    // X{Y, Z}, W{V}
    Append(tree, {L"X", L"Y", L"Z", L"W", L"V"});
    tree->SetItemParent(1, 0);
    tree->SetItemParent(2, 0);
    tree->SetItemParent(4, 3);
    ASSERT_EQ((std::vector<int32_t>{-1, 0, 0, -1, 3}), Parents(tree));
    EXPECT_EQ(2, tree->RemoveItem(0));
    EXPECT_EQ((std::vector<std::wstring>{L"W", L"V"}), Texts(tree));
    EXPECT_EQ((std::vector<int32_t>{-1, 0}), Parents(tree));
    // Removing a leaf leaves its parent without descendants.
    EXPECT_EQ(1, tree->RemoveItem(1));
    EXPECT_FALSE(ExpanderOf(0)->IsEnabled(false));
    EXPECT_EQ(0, tree->RemoveAllItems());
    EXPECT_EQ(0, tree->GetItemCount());
}

TEST_F(TreeViewTest, AddingAChildUnderALeafEnablesItsExpander)
{
    BuildSmallTree();
    ASSERT_FALSE(ExpanderOf(1)->IsEnabled(false));
    Append(tree, {L"F"});
    EXPECT_EQ(2, tree->SetItemParent(4, 1));
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"F", L"C", L"D"}), Texts(tree));
    EXPECT_TRUE(ExpanderOf(1)->IsEnabled(false));
    EXPECT_TRUE(tree->IsItemChecked(1));
    EXPECT_EQ(2 * kExpanderWidth, RowOf(2)->GetRect().x);
}

TEST_F(TreeViewTest, AnItemInsertedInsideASubtreeBecomesASibling)
{
    BuildSmallTree();
    ClickExpander(2);
    // Before D, under the collapsed C: a hidden sibling of D.
    EXPECT_EQ(3, tree->InsertItem(3, KX::CreateStringItem(String(L"N"))));
    EXPECT_EQ((std::vector<int32_t>{-1, 0, 0, 2, 2}), Parents(tree));
    EXPECT_TRUE(tree->IsItemHidden(3));
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"C"}), Shown());
    // Before B: a shown child of A, and every later parent follows.
    EXPECT_EQ(1, tree->InsertItem(1, KX::CreateStringItem(String(L"M"))));
    EXPECT_EQ((std::vector<int32_t>{-1, 0, 0, 0, 3, 3}), Parents(tree));
    EXPECT_FALSE(tree->IsItemHidden(1));
}

TEST_F(TreeViewTest, WalksAnswerNeutrallyOutOfRangeAndSortingIsRefused)
{
    BuildSmallTree();
    EXPECT_EQ(0, tree->GetDescendantCount(3));
    EXPECT_EQ(3, tree->GetDescendantCount(0));
    EXPECT_EQ(0, tree->GetDescendantCount(4));
    EXPECT_EQ(0, tree->GetItemDepth(-1));
    EXPECT_EQ(-1, tree->GetItemParent(4));
    EXPECT_EQ(E_INVALIDARG, tree->UpdateDescendantsVisibility(4));
    EXPECT_EQ(E_NOTIMPL, tree->Sort());
    EXPECT_EQ(E_NOTIMPL, tree->SortRange(0, 4));
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"C", L"D"}), Texts(tree));
    // Swapping exchanges the two records only.
    EXPECT_EQ(S_OK, tree->SwapItems(1, 3));
    EXPECT_EQ((std::vector<int32_t>{-1, 2, 0, 0}), Parents(tree));
}

TEST_F(TreeViewTest, RowsFollowScrollingWithTheirDepths)
{
    // Twelve items, every third a child of the one before: more than the
    // eight rows in view.
    for (int i = 0; i < 12; ++i)
        Append(tree, {i % 3 == 2 ? L"child" : L"item"});
    for (int i = 2; i < 12; i += 3)
        tree->SetItemParent(i, i - 1);
    ASSERT_EQ(240.0, tree->GetClientExtent().y);
    // Each parent opened as it took its child; the three in a row said so,
    // the fourth (item 10, below the eight rows) opened silently.
    EXPECT_EQ((std::vector<std::pair<int32_t, double>>{{1, 1.0}, {4, 1.0}, {7, 1.0}}),
              ExpanderReports(L"NID_ITEM_CHECK_CHANGE"));
    listener->received.clear();
    window->MouseWheel(CentreOf(RCPtr<KX::LControl>(tree.Get())), 0, KX::LMouseWheelParam::WheelDown);
    ASSERT_GT(tree->GetTopIndex(), 0);
    for (int32_t row = 0; row < tree->GetRowCount(); ++row) {
        const int32_t item = tree->GetTopIndex() + row;
        if (item >= tree->GetItemCount())
            break;
        EXPECT_EQ(tree->GetItemDepth(item) * kExpanderWidth, tree->GetTreeRowControl(row)->GetRect().x)
            << "row " << row;
        EXPECT_EQ(tree->GetDescendantCount(item) != 0,
                  tree->GetTreeRowControl(row)->GetCheckBox()->IsEnabled(false))
            << "row " << row;
    }
    // Binding rows reports no expander change.
    EXPECT_TRUE(ExpanderReports(L"NID_ITEM_CHECK_CHANGE").empty());
    PaintWindow();
}

TEST_F(TreeViewTest, ExpandingAnItemInItsRowSelectsItAndReportsAsAClickDoes)
{
    BuildSmallTree();
    ClickExpander(2);
    tree->SelectItemRange(1, -1, true);
    listener->received.clear();

    // ExpandItem on C, collapsed in its row: C is selected and reported.
    EXPECT_EQ(S_OK, tree->ExpandItem(2));
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"C", L"D"}), Shown());
    EXPECT_EQ(1.0, ExpanderOf(2)->GetNormalizedValue());
    EXPECT_TRUE(tree->IsItemSelected(2));
    EXPECT_FALSE(tree->IsItemSelected(1));
    EXPECT_EQ((std::vector<std::pair<int32_t, double>>{{2, 1.0}}), ExpanderReports(L"NID_ITEM_CHECK_CHANGE"));
    EXPECT_EQ(2, tree->GetCheckedCount());
    // An item expanded already: nothing more is said.
    EXPECT_EQ(S_OK, tree->ExpandItem(2));
    EXPECT_EQ(1u, ExpanderReports(L"NID_ITEM_CHECK_CHANGE").size());

    // The parent that SetItemParent expands: B, collapsed in its row, takes
    // E as its child, opens, is selected and is reported.
    Append(tree, {L"E"});
    listener->received.clear();
    ASSERT_FALSE(tree->IsItemChecked(1));
    EXPECT_EQ(2, tree->SetItemParent(4, 1));
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"E", L"C", L"D"}), Shown());
    EXPECT_TRUE(tree->IsItemChecked(1));
    EXPECT_TRUE(tree->IsItemSelected(1));
    EXPECT_FALSE(tree->IsItemSelected(2));
    EXPECT_EQ((std::vector<std::pair<int32_t, double>>{{1, 1.0}}), ExpanderReports(L"NID_ITEM_CHECK_CHANGE"));
}

TEST_F(TreeViewTest, AnIdleRequestThatNothingHoldsIsGivenBack)
{
    for (int32_t i = 0; i < 30; ++i)
        tree->InsertItem(i, KX::CreateStringItem(String(L"item")));
    const int32_t before = tree->GetIdleRequestCount();
    // A stray request goes in the next idle pass.
    ASSERT_EQ(S_OK, tree->AddIdleRequest());
    RunIdle(33);
    EXPECT_EQ(before, tree->GetIdleRequestCount());

    // A running kinetic scroll keeps its own request, and scrolls on.
    ASSERT_EQ(S_OK, tree->StartKineticScroll(1, 600.0, 1000.0, 0.0, RCPtr<KX::LControl>()));
    RunIdle(99);
    EXPECT_TRUE(tree->IsKineticScrollRunning(1));
    EXPECT_EQ(before + 1, tree->GetIdleRequestCount());
    const double offset = tree->GetScrollOffset().y;
    RunIdle(99);
    EXPECT_GT(tree->GetScrollOffset().y, offset);
    EXPECT_EQ(S_OK, tree->StopKineticScroll(1));
    EXPECT_EQ(before, tree->GetIdleRequestCount());
}

} // namespace
} // namespace TreesColumnsTest
