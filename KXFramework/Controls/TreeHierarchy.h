// The parent arithmetic of a tree kept as one flat array in pre-order: every
// item is followed by all its descendants, and an item's parent index lies
// before it (-1 at the top level). The tree view keeps its items this way;
// these functions read a copy of the parent indices.
//
// Contract:
// - Every walk up a parent chain stops after as many steps as there are
//   items, so indices that form a cycle (a broken array) never hang a caller.
// - Indices out of range answer the neutral result named with each function.
#pragma once

#include <cstdint>
#include <vector>

namespace KX {
namespace TreeHierarchy {

using Parents = std::vector<int32_t>;

// The number of ancestors of an item; 0 out of range.
int32_t Depth(const Parents& parents, int32_t item);
// Whether `ancestor` lies on the parent chain of `item` (the item itself not
// counted); false when either index is out of range.
bool IsAncestor(const Parents& parents, int32_t ancestor, int32_t item);
// One past the last descendant of the item: the item's subtree is
// [item, SubtreeEnd). item + 1 for a leaf; the item itself out of range.
int32_t SubtreeEnd(const Parents& parents, int32_t item);

// Where a move of an item under a new parent takes the records.
struct MovePlan
{
    // False when the move is refused or changes nothing; the order is empty.
    bool moves = false;
    // The item's index after the move (its index before when it does not move).
    int32_t newIndex = -1;
    // The new order: order[k] is the former index of the record that stands
    // at k after the move.
    std::vector<int32_t> order;
};

// Plans moving `item` with its whole subtree under `parent` (below 0: the
// top level). Refused: an item out of range, item 0 (the first item stays
// where it is), a parent past the end, a parent inside the item's own subtree
// (the item itself included), and the item's current parent. The block goes
// - under a parent after it: directly below the parent, as its first child;
// - under a parent before it that is not one of its ancestors: directly below
//   the parent's subtree, as its last child;
// - under one of its own ancestors (the top level counts as the ancestor of
//   everything): directly below the subtree of the ancestor's child that
//   holds the item, so that the records between keep their order.
MovePlan PlanMove(const Parents& parents, int32_t item, int32_t parent);

// The parent indices after the records were put in a plan's order, with the
// moved item's parent set: every index follows its record.
Parents ApplyMove(const Parents& parents, const MovePlan& plan, int32_t item, int32_t parent);

// Where each former index stands in a plan's order (the inverse permutation).
std::vector<int32_t> NewPositions(const MovePlan& plan);

} // namespace TreeHierarchy
} // namespace KX
