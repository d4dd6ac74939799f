#include "Utilities/Geometry/RectRegion.h"
#include "Utilities/Storage/Array.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <random>
#include <set>
#include <utility>
#include <vector>

using namespace KX;

namespace {

struct Box
{
    long left, top, right, bottom;
    bool operator==(const Box& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

std::ostream& operator<<(std::ostream& out, const Box& b)
{
    return out << "{" << b.left << "," << b.top << "," << b.right << "," << b.bottom << "}";
}

// The rectangles in list order.
std::vector<Box> List(const LRectRegion& region)
{
    std::vector<Box> boxes;
    for (const LRectRegionNode* n = region.GetHead(); n; n = n->next)
        boxes.push_back(Box{n->left, n->top, n->right, n->bottom});
    return boxes;
}

LRectRegion Region(std::initializer_list<Box> boxes)
{
    LRectRegion region;
    for (const Box& b : boxes)
        region.AddRect(b.left, b.top, b.right, b.bottom);
    return region;
}

TEST(RectRegion, AddingAnOverlappingRectangleCutsTheOldOne)
{
    LRectRegion region = Region({{0, 0, 10, 10}, {5, 5, 15, 15}});
    EXPECT_EQ((std::vector<Box>{{5, 5, 15, 15}, {0, 5, 5, 10}, {0, 0, 10, 5}}), List(region));
    region.Normalize();
    EXPECT_EQ((std::vector<Box>{{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}}), List(region));
}

TEST(RectRegion, SubtractLeavesFourPiecesNewestFirst)
{
    LRectRegion region = Region({{0, 0, 10, 10}});
    LRectRegion removed;
    region.SubtractRect(2, 2, 4, 4, &removed);
    EXPECT_EQ((std::vector<Box>{{4, 2, 10, 4}, {0, 2, 2, 4}, {0, 4, 10, 10}, {0, 0, 10, 2}}), List(region));
    EXPECT_EQ((std::vector<Box>{{2, 2, 4, 4}}), List(removed));
}

TEST(RectRegion, EmptyRectanglesChangeNothing)
{
    LRectRegion region = Region({{0, 0, 10, 10}});
    region.AddRect(3, 3, 3, 9);
    region.AddRect(3, 9, 8, 2);
    region.SubtractRect(5, 0, 5, 10); // an empty cut must not split anything
    EXPECT_EQ((std::vector<Box>{{0, 0, 10, 10}}), List(region));
}

TEST(RectRegion, IntersectKeepsTheCommonPart)
{
    LRectRegion region = Region({{0, 0, 10, 10}});
    region.Intersect(Region({{5, 5, 20, 20}}));
    EXPECT_EQ((std::vector<Box>{{5, 5, 10, 10}}), List(region));

    region.Intersect(region); // with itself: unchanged
    EXPECT_EQ((std::vector<Box>{{5, 5, 10, 10}}), List(region));
    region.Subtract(region); // from itself: empty
    EXPECT_TRUE(region.IsEmpty());
}

TEST(RectRegion, NormalizeMergesBandsAndColumns)
{
    struct Case
    {
        std::vector<Box> in;
        std::vector<Box> out;
    };
    const Case cases[] = {
        {{{0, 0, 5, 10}, {5, 0, 10, 10}}, {{0, 0, 10, 10}}},
        {{{0, 0, 10, 5}, {0, 5, 10, 10}}, {{0, 0, 10, 10}}},
        {{{0, 0, 10, 10}, {2, 2, 4, 4}}, {{0, 0, 10, 10}}},
        {{{0, 0, 10, 10}, {0, 10, 10, 20}, {0, 20, 10, 30}}, {{0, 0, 10, 30}}},
        {{{0, 0, 10, 10}, {20, 0, 30, 10}, {0, 10, 10, 20}, {20, 10, 30, 20}}, {{0, 0, 10, 20}, {20, 0, 30, 20}}},
    };
    for (const Case& c : cases) {
        LRectRegion region;
        for (const Box& b : c.in)
            region.AddRect(b.left, b.top, b.right, b.bottom);
        if (c.in.size() == 2 && c.in[1] == Box{2, 2, 4, 4}) {
            EXPECT_EQ(5, region.GetCount()); // the four pieces and the small one
        }
        region.Normalize();
        EXPECT_EQ(c.out, List(region)) << "first input " << c.in[0];
    }
}

TEST(RectRegion, IntersectsIgnoresTouchingEdges)
{
    const LRectRegion region = Region({{0, 0, 10, 10}});
    EXPECT_FALSE(region.Intersects(10, 0, 20, 10));
    EXPECT_FALSE(region.Intersects(0, 10, 10, 20));
    EXPECT_TRUE(region.Intersects(9, 9, 20, 20));

    const PointT<double> none(0.0, 0.0);
    EXPECT_FALSE(region.Intersects(RectT<double>(2.0, 2.0, 0.0, 5.0), none));   // no width
    EXPECT_FALSE(region.Intersects(RectT<double>(-20.0, 2.0, 10.0, 5.0), none)); // left of x = 0
    EXPECT_TRUE(region.Intersects(RectT<double>(-20.0, 2.0, 10.0, 5.0), PointT<double>(15.0, 0.0)));
    EXPECT_FALSE(region.Intersects(RectT<double>(9.6, 2.0, 3.0, 5.0), none)); // rounds to start at 10
    EXPECT_FALSE(region.Intersects(RectT<double>(std::numeric_limits<double>::quiet_NaN(), 0, 5, 5), none));
}

TEST(RectRegion, BoundsCountAndEnumerate)
{
    LRectRegion region;
    long l = 1, t = 1, r = 1, b = 1;
    EXPECT_FALSE(region.GetBounds(l, t, r, b));
    EXPECT_EQ((Box{0, 0, 0, 0}), (Box{l, t, r, b}));

    region = Region({{0, 0, 10, 10}, {20, -5, 30, 5}});
    RectT<long> bounds;
    EXPECT_TRUE(region.GetBounds(bounds));
    EXPECT_EQ(RectT<long>(0, -5, 30, 15), bounds);
    EXPECT_EQ(2, region.GetCount());

    Array<RectT<long>> rects{RectT<long>(1, 1, 1, 1)};
    region.Enumerate(rects);
    ASSERT_EQ(2, rects.GetCount());
    EXPECT_EQ(RectT<long>(20, -5, 10, 10), rects.GetAt(0));
    EXPECT_EQ(RectT<long>(0, 0, 10, 10), rects.GetAt(1));

    region.Offset(3, -2);
    EXPECT_EQ((std::vector<Box>{{23, -7, 33, 3}, {3, -2, 13, 8}}), List(region));
}

TEST(RectRegion, DoubleRectanglesRoundAndClamp)
{
    struct Case
    {
        RectT<double> in;
        std::vector<Box> out;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {{1.5, 2.5, 3.4, 1.6}, {{2, 3, 5, 5}}},
        {{0.4, 0.4, 0.4, 0.4}, {}},                            // rounds to an empty rectangle
        {{-0.7, 0.0, 2.0, 1.0}, {{0, 0, 2, 1}}},               // 0.5 added whatever the sign
        {{-1e300, 0.0, 1e301, 10.0}, {{INT_MIN, 0, -1, 10}}},  // clamped, not converted out of range
        {{nan, 0.0, 5.0, 5.0}, {{INT_MIN, 0, INT_MIN + 5, 5}}},
        {{2147483000.0, 0.0, 1e10, 1.0}, {{2147483000, 0, INT_MAX, 1}}}, // right edge clamped
        {{1e300, 0.0, 5.0, 5.0}, {}},                          // left at INT_MAX: nothing fits
    };
    for (const Case& c : cases) {
        LRectRegion region;
        region.AddRect(c.in);
        EXPECT_EQ(c.out, List(region)) << c.in.x << " " << c.in.width;
    }
}

TEST(RectRegionNodePool, The513thNodeComesFromTheHeap)
{
    LRectRegionNodePool pool;
    EXPECT_EQ(0u, pool.GetFreeSlotCount());
    std::vector<LRectRegionNode*> nodes;
    for (int i = 0; i < 513; ++i)
        nodes.push_back(pool.Alloc());
    for (int i = 0; i < 512; ++i)
        ASSERT_TRUE(pool.IsSlotNode(nodes[i])) << i;
    EXPECT_FALSE(pool.IsSlotNode(nodes[512]));
    EXPECT_EQ(0u, pool.GetFreeSlotCount());

    pool.Free(nodes[512]); // back to the heap: the ring stays empty
    EXPECT_EQ(0u, pool.GetFreeSlotCount());

    // Freed slots are reused first in, first out.
    pool.Free(nodes[7]);
    pool.Free(nodes[3]);
    EXPECT_EQ(2u, pool.GetFreeSlotCount());
    LRectRegionNode* again = pool.Alloc();
    EXPECT_EQ(nodes[7], again);
    EXPECT_EQ(0, again->left); // handed out zeroed
    EXPECT_EQ(nullptr, again->next);
    nodes[7] = again;
    nodes[3] = pool.Alloc();
    for (int i = 0; i < 512; ++i)
        pool.Free(nodes[i]);
    EXPECT_EQ(512u, pool.GetFreeSlotCount());
    pool.Free(nodes[0]); // a second release of a slot is ignored, never handed to the heap
    EXPECT_EQ(512u, pool.GetFreeSlotCount());
}

TEST(RectRegionNodePool, RegionsUseTheSharedPool)
{
    LRectRegionNodePool& pool = LRectRegionNodePool::GetInstance();
    { LRectRegion warmUp = Region({{0, 0, 1, 1}}); }
    const uint32_t freeBefore = pool.GetFreeSlotCount();
    ASSERT_EQ(512u, freeBefore); // no region of another test is alive
    {
        LRectRegion region;
        for (long i = 0; i < 513; ++i)
            region.AddRect(i * 2, 0, i * 2 + 1, 1);
        EXPECT_EQ(513, region.GetCount());
        EXPECT_EQ(0u, pool.GetFreeSlotCount());
        EXPECT_FALSE(pool.IsSlotNode(region.GetHead())); // the newest, 513th node
    }
    EXPECT_EQ(512u, pool.GetFreeSlotCount());
}

// The pixels a region covers, and whether any pixel is covered twice or any
// node is empty.
using Pixels = std::set<std::pair<long, long>>;

bool Cover(const LRectRegion& region, Pixels& pixels)
{
    pixels.clear();
    size_t area = 0;
    for (const LRectRegionNode* n = region.GetHead(); n; n = n->next) {
        if (n->right <= n->left || n->bottom <= n->top)
            return false;
        for (long y = n->top; y < n->bottom; ++y)
            for (long x = n->left; x < n->right; ++x)
                pixels.insert({x, y});
        area += static_cast<size_t>((n->right - n->left) * (n->bottom - n->top));
    }
    return area == pixels.size();
}

void Paint(Pixels& pixels, const Box& b, bool on)
{
    for (long y = b.top; y < b.bottom; ++y)
        for (long x = b.left; x < b.right; ++x) {
            if (on)
                pixels.insert({x, y});
            else
                pixels.erase({x, y});
        }
}

TEST(RectRegion, RandomOperationsKeepAreaAndNoOverlap)
{
    std::mt19937 random(20261210);
    const auto coordinate = [&] { return static_cast<long>(random() % 40) - 4; };
    const auto box = [&] {
        long l = coordinate(), r = coordinate(), t = coordinate(), b = coordinate();
        if (l > r)
            std::swap(l, r);
        if (t > b)
            std::swap(t, b);
        return Box{l, t, r, b}; // may be empty on purpose
    };

    LRectRegion region;
    Pixels expected;
    Pixels actual;
    for (int step = 0; step < 1500; ++step) {
        const unsigned op = random() % 9;
        const Box b = box();
        if (op <= 2) {
            region.AddRect(b.left, b.top, b.right, b.bottom);
            Paint(expected, b, true);
        } else if (op == 3) {
            LRectRegion removed;
            region.SubtractRect(b.left, b.top, b.right, b.bottom, &removed);
            Pixels cut;
            ASSERT_TRUE(Cover(removed, cut)) << "step " << step;
            Pixels inside;
            Paint(inside, b, true);
            for (const auto& p : cut)
                ASSERT_TRUE(expected.count(p) && inside.count(p)) << "step " << step;
            Paint(expected, b, false);
        } else if (op == 4) {
            const Box c = box();
            LRectRegion other = Region({b, c});
            region.Intersect(other);
            Pixels keep;
            Paint(keep, b, true);
            Paint(keep, c, true);
            Pixels next;
            for (const auto& p : expected)
                if (keep.count(p))
                    next.insert(p);
            expected.swap(next);
        } else if (op == 5) {
            const Box c = box();
            region.Subtract(Region({b, c}));
            Paint(expected, b, false);
            Paint(expected, c, false);
        } else if (op == 6) {
            region.Normalize();
        } else if (op == 7) {
            // Appending an overlapping region breaks the invariant until Normalize.
            region.Append(Region({b}));
            region.Normalize();
            Paint(expected, b, true);
        } else {
            const long dx = static_cast<long>(random() % 5) - 2;
            const long dy = static_cast<long>(random() % 5) - 2;
            region.Offset(dx, dy);
            Pixels moved;
            for (const auto& p : expected)
                moved.insert({p.first + dx, p.second + dy});
            expected.swap(moved);
        }
        ASSERT_TRUE(Cover(region, actual)) << "overlap or empty node at step " << step << " op " << op;
        ASSERT_EQ(expected, actual) << "area differs at step " << step << " op " << op;
    }
}

TEST(RectRegion, AppendThenNormalizeRepairsOverlaps)
{
    LRectRegion region = Region({{0, 0, 10, 10}});
    region.Append(Region({{5, 5, 15, 15}, {20, 0, 25, 5}, {2, 2, 4, 4}}));
    EXPECT_EQ(4, region.GetCount());
    region.Normalize();
    Pixels pixels;
    EXPECT_TRUE(Cover(region, pixels));
    Pixels expected;
    Paint(expected, {0, 0, 10, 10}, true);
    Paint(expected, {5, 5, 15, 15}, true);
    Paint(expected, {20, 0, 25, 5}, true);
    EXPECT_EQ(expected, pixels);
}

} // namespace
