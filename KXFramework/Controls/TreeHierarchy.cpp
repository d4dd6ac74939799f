// Parent walks over a pre-order array of items, and the planning of subtree
// moves that keep the array in pre-order.
#include "Controls/TreeHierarchy.h"

namespace KX {
namespace TreeHierarchy {

namespace {

int32_t CountOf(const Parents& parents)
{
    return static_cast<int32_t>(parents.size());
}

bool InRange(const Parents& parents, int32_t index)
{
    return index >= 0 && index < CountOf(parents);
}

// The parent of an item, -1 for one whose stored parent is out of range.
int32_t ParentOf(const Parents& parents, int32_t item)
{
    const int32_t parent = parents[static_cast<size_t>(item)];
    return InRange(parents, parent) ? parent : -1;
}

// The ancestor of `item` whose parent is `top` (-1: the top-level ancestor);
// `item` itself when its parent is `top`; -1 when `top` is no ancestor.
int32_t ChildOfAncestorHolding(const Parents& parents, int32_t top, int32_t item)
{
    int32_t current = item;
    for (int32_t steps = CountOf(parents); steps > 0 && current >= 0; --steps) {
        const int32_t parent = ParentOf(parents, current);
        if (parent == top)
            return current;
        current = parent;
    }
    return -1;
}

} // namespace

int32_t Depth(const Parents& parents, int32_t item)
{
    if (!InRange(parents, item))
        return 0;
    int32_t depth = 0;
    for (int32_t parent = ParentOf(parents, item); parent >= 0 && depth < CountOf(parents);
         parent = ParentOf(parents, parent))
        ++depth;
    return depth;
}

bool IsAncestor(const Parents& parents, int32_t ancestor, int32_t item)
{
    if (!InRange(parents, ancestor) || !InRange(parents, item))
        return false;
    int32_t parent = ParentOf(parents, item);
    for (int32_t steps = CountOf(parents); steps > 0 && parent >= 0; --steps) {
        if (parent == ancestor)
            return true;
        parent = ParentOf(parents, parent);
    }
    return false;
}

int32_t SubtreeEnd(const Parents& parents, int32_t item)
{
    if (!InRange(parents, item))
        return item;
    int32_t end = item + 1;
    while (end < CountOf(parents) && IsAncestor(parents, item, end))
        ++end;
    return end;
}

MovePlan PlanMove(const Parents& parents, int32_t item, int32_t parent)
{
    MovePlan plan;
    plan.newIndex = item;
    if (parent < 0)
        parent = -1;
    if (!InRange(parents, item) || item == 0 || parent >= CountOf(parents))
        return plan;
    const int32_t blockEnd = SubtreeEnd(parents, item);
    if (parent >= item && parent < blockEnd)
        return plan;
    if (ParentOf(parents, item) == parent)
        return plan;

    // The former index before which the block goes.
    int32_t insertBefore = 0;
    if (parent > item) {
        insertBefore = parent + 1;
    } else {
        const int32_t holder = ChildOfAncestorHolding(parents, parent, item);
        // Only a broken array has an item without a top-level ancestor.
        if (holder < 0 && parent < 0)
            return plan;
        insertBefore = holder >= 0 ? SubtreeEnd(parents, holder) : SubtreeEnd(parents, parent);
    }

    plan.order.reserve(parents.size());
    for (int32_t index = 0; index <= CountOf(parents); ++index) {
        if (index == insertBefore) {
            plan.newIndex = static_cast<int32_t>(plan.order.size());
            for (int32_t moved = item; moved < blockEnd; ++moved)
                plan.order.push_back(moved);
        }
        if (index < CountOf(parents) && (index < item || index >= blockEnd))
            plan.order.push_back(index);
    }
    plan.moves = true;
    return plan;
}

std::vector<int32_t> NewPositions(const MovePlan& plan)
{
    std::vector<int32_t> positions(plan.order.size(), -1);
    for (size_t k = 0; k < plan.order.size(); ++k)
        positions[static_cast<size_t>(plan.order[k])] = static_cast<int32_t>(k);
    return positions;
}

// The item's new place is the plan's newIndex; the item itself is not read again.
Parents ApplyMove(const Parents& parents, const MovePlan& plan, int32_t /*item*/, int32_t parent)
{
    if (!plan.moves)
        return parents;
    const std::vector<int32_t> positions = NewPositions(plan);
    const auto moved = [&](int32_t former) {
        return InRange(parents, former) ? positions[static_cast<size_t>(former)] : -1;
    };
    Parents result(parents.size(), -1);
    for (size_t k = 0; k < plan.order.size(); ++k)
        result[k] = moved(parents[static_cast<size_t>(plan.order[k])]);
    result[static_cast<size_t>(plan.newIndex)] = parent < 0 ? -1 : moved(parent);
    return result;
}

} // namespace TreeHierarchy
} // namespace KX
