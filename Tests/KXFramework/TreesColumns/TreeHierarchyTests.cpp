// The tree's parent arithmetic on plain parent arrays: depths, ancestors and
// subtrees, and where moves under a new parent take the records.
#include "Controls/TreeHierarchy.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using KX::TreeHierarchy::Parents;
namespace Tree = KX::TreeHierarchy;

// A{B, C{D}}: the tree of most cases.
const Parents kSmallTree = {-1, 0, 0, 2};

TEST(TreeHierarchyTest, DepthsAncestorsAndSubtrees)
{
    EXPECT_EQ(0, Tree::Depth(kSmallTree, 0));
    EXPECT_EQ(1, Tree::Depth(kSmallTree, 2));
    EXPECT_EQ(2, Tree::Depth(kSmallTree, 3));
    EXPECT_EQ(0, Tree::Depth(kSmallTree, 4));
    EXPECT_EQ(0, Tree::Depth(kSmallTree, -1));

    EXPECT_TRUE(Tree::IsAncestor(kSmallTree, 0, 3));
    EXPECT_TRUE(Tree::IsAncestor(kSmallTree, 2, 3));
    EXPECT_FALSE(Tree::IsAncestor(kSmallTree, 1, 3));
    EXPECT_FALSE(Tree::IsAncestor(kSmallTree, 3, 3));
    EXPECT_FALSE(Tree::IsAncestor(kSmallTree, 3, 0));
    EXPECT_FALSE(Tree::IsAncestor(kSmallTree, -1, 3));
    EXPECT_FALSE(Tree::IsAncestor(kSmallTree, 0, 4));

    EXPECT_EQ(4, Tree::SubtreeEnd(kSmallTree, 0));
    EXPECT_EQ(2, Tree::SubtreeEnd(kSmallTree, 1));
    EXPECT_EQ(4, Tree::SubtreeEnd(kSmallTree, 2));
    EXPECT_EQ(4, Tree::SubtreeEnd(kSmallTree, 3));
}

TEST(TreeHierarchyTest, WalksOverABrokenArrayEnd)
{
    // Items that are each other's parents: every walk still ends.
    const Parents cycle = {1, 0, 1};
    EXPECT_LE(Tree::Depth(cycle, 2), 3);
    EXPECT_FALSE(Tree::IsAncestor(cycle, 2, 0));
    EXPECT_LE(Tree::SubtreeEnd(cycle, 0), 3);
    const Tree::MovePlan plan = Tree::PlanMove(cycle, 2, -1);
    EXPECT_TRUE(!plan.moves || plan.order.size() == cycle.size());
}

struct MoveCase
{
    const char* what;
    Parents before;
    int32_t item;
    int32_t parent;
    int32_t newIndex;
    std::vector<int32_t> order;
    Parents after;
};

class TreeMoveTest : public ::testing::TestWithParam<MoveCase>
{
};

TEST_P(TreeMoveTest, MovesTheWholeSubtreeAndRenumbersEveryParent)
{
    const MoveCase& c = GetParam();
    const Tree::MovePlan plan = Tree::PlanMove(c.before, c.item, c.parent);
    ASSERT_TRUE(plan.moves) << c.what;
    EXPECT_EQ(c.newIndex, plan.newIndex) << c.what;
    EXPECT_EQ(c.order, plan.order) << c.what;
    const Parents after = Tree::ApplyMove(c.before, plan, c.item, c.parent);
    EXPECT_EQ(c.after, after) << c.what;
    // The result is a pre-order array again: every parent lies before its
    // child, and every item lies inside its parent's subtree.
    for (int32_t i = 0; i < static_cast<int32_t>(after.size()); ++i) {
        EXPECT_LT(after[i], i) << c.what << " item " << i;
        if (after[i] >= 0) {
            EXPECT_LT(i, Tree::SubtreeEnd(after, after[i])) << c.what << " item " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Moves, TreeMoveTest,
    ::testing::Values(
        // A{B, C{D}}: D under its grandparent A stays in place: A{B, C, D}.
        MoveCase{"grandchild under grandparent", kSmallTree, 3, 0, 3, {0, 1, 2, 3}, {-1, 0, 0, 0}},
        // C to the top level takes D along: A{B}, C{D}.
        MoveCase{"child to the top level", kSmallTree, 2, -1, 2, {0, 1, 2, 3}, {-1, 0, -1, 2}},
        // Any parent below 0 means the top level.
        MoveCase{"parent -5 is the top level", kSmallTree, 2, -5, 2, {0, 1, 2, 3}, {-1, 0, -1, 2}},
        // B under C, which follows it: B becomes C's first child: A{C{B, D}}.
        MoveCase{"under a later item", kSmallTree, 1, 2, 2, {0, 2, 1, 3}, {-1, 0, 1, 1}},
        // C{D} under its earlier sibling B: A{B{C{D}}}.
        MoveCase{"under an earlier sibling", kSmallTree, 2, 1, 2, {0, 1, 2, 3}, {-1, 0, 1, 2}},
        // X{Y}, Z{W, V}: V under X goes below X's subtree: X{Y, V}, Z{W}.
        MoveCase{"up past another subtree", {-1, 0, -1, 2, 2}, 4, 0, 2, {0, 1, 4, 2, 3}, {-1, 0, 0, -1, 3}},
        // P{Q{I, S}, R}: I under P leaves Q below S: P{Q{S}, I, R}.
        MoveCase{"under an ancestor, past later siblings", {-1, 0, 1, 1, 0}, 2, 0, 3, {0, 1, 3, 2, 4},
                 {-1, 0, 1, 0, 0}},
        // X{Y{Z}}, W: Y{Z} to the top level goes after X's subtree: X, Y{Z}, W.
        MoveCase{"to the top level inside a deep subtree", {-1, 0, 1, -1}, 1, -1, 1, {0, 1, 2, 3},
                 {-1, -1, 1, -1}},
        // X{Y{Z}, V}: Y{Z} to the top level passes V: X{V}, Y{Z}.
        MoveCase{"to the top level past a sibling", {-1, 0, 1, 0}, 1, -1, 2, {0, 3, 1, 2}, {-1, 0, -1, 2}},
        // X, Y{Z}, W: Y{Z} under W, the last item: X, W{Y{Z}}.
        MoveCase{"down under the last item", {-1, -1, 1, -1}, 1, 3, 2, {0, 3, 1, 2}, {-1, -1, 1, 2}}));

TEST(TreeHierarchyTest, RefusedMovesChangeNothing)
{
    struct Refusal
    {
        const char* what;
        int32_t item;
        int32_t parent;
    };
    const Refusal refusals[] = {
        {"the first item", 0, 1},           {"an item past the end", 4, 0},   {"an item below 0", -1, 0},
        {"a parent past the end", 2, 4},    {"the item as its own parent", 2, 2},
        {"a parent in the subtree", 2, 3},  {"the current parent", 1, 0},     {"the top level again", 0, -1},
    };
    for (const Refusal& refusal : refusals) {
        const Tree::MovePlan plan = Tree::PlanMove(kSmallTree, refusal.item, refusal.parent);
        EXPECT_FALSE(plan.moves) << refusal.what;
        EXPECT_EQ(refusal.item, plan.newIndex) << refusal.what;
        EXPECT_TRUE(plan.order.empty()) << refusal.what;
        EXPECT_EQ(kSmallTree, Tree::ApplyMove(kSmallTree, plan, refusal.item, refusal.parent)) << refusal.what;
    }
}

} // namespace
