// The placement arithmetic of popups, submenus and menu-bar popups, as
// tables of cases.
#include "Controls/MenuPlacement.h"

#include <gtest/gtest.h>

using KX::PointT;
using KX::RectT;
namespace Placement = KX::MenuPlacement;

namespace {

TEST(MenuPlacementTest, APopupAtThePointerStaysInsideTheWindow)
{
    const PointT<long> window(1000, 750);
    const PointT<long> size(100, 80);
    const struct {
        PointT<long> pointer;
        PointT<long> expected;
    } cases[] = {
        {{950, 700}, {900, 670}}, // moved left and up to end at the edges
        {{10, 20}, {10, 20}},     // fits where it is
        {{-5, 10}, {0, 10}},      // never left of the window
        {{900, 670}, {900, 670}}, // exactly at the far edges
        {{901, 671}, {900, 670}},
        {{500, -3}, {500, 0}},
    };
    for (const auto& c : cases) {
        const PointT<long> at = Placement::PlaceAtPointer(c.pointer, size, window);
        EXPECT_EQ(c.expected.x, at.x) << c.pointer.x << "," << c.pointer.y;
        EXPECT_EQ(c.expected.y, at.y) << c.pointer.x << "," << c.pointer.y;
    }
    // A popup larger than the window starts at its left or top edge.
    const PointT<long> large = Placement::PlaceAtPointer(PointT<long>(300, 200), PointT<long>(1200, 900), window);
    EXPECT_EQ(0, large.x);
    EXPECT_EQ(0, large.y);
}

TEST(MenuPlacementTest, ASubmenuOpensBesideItsRowAndStaysInsideTheWindow)
{
    const PointT<long> window(1000, 750);
    const RectT<double> row(0.0, 40.0, 150.0, 20.0);
    const struct {
        PointT<long> popupOrigin;
        PointT<long> size;
        PointT<long> expected;
        const char* what;
    } cases[] = {
        {{100, 100}, {120, 60}, {150, 40}, "right of the row, level with it"},
        {{800, 100}, {120, 60}, {-120, 40}, "no room on the right: left of the popup"},
        {{50, 100}, {120, 60}, {150, 40}, "room on the right"},
        {{100, 680}, {120, 60}, {150, 10}, "bottom moved up to the window's bottom edge"},
        {{100, 300}, {120, 500}, {150, -50}, "moved up above its row to end at the bottom edge"},
        {{100, 10}, {120, 800}, {150, 0}, "taller than the window: level with the popup's top"},
    };
    for (const auto& c : cases) {
        const PointT<long> at = Placement::PlaceSubmenu(row, c.popupOrigin, c.size, window);
        EXPECT_EQ(c.expected.x, at.x) << c.what;
        EXPECT_EQ(c.expected.y, at.y) << c.what;
    }
    // Neither side has room: it stays at the row's right edge.
    const PointT<long> wide = Placement::PlaceSubmenu(row, PointT<long>(60, 100), PointT<long>(900, 60), window);
    EXPECT_EQ(150, wide.x);
    // Row edges are cut to whole pixels.
    const PointT<long> cut =
        Placement::PlaceSubmenu(RectT<double>(0.0, 40.7, 150.9, 20.0), PointT<long>(0, 0), PointT<long>(50, 50), window);
    EXPECT_EQ(150, cut.x);
    EXPECT_EQ(40, cut.y);
}

TEST(MenuPlacementTest, ATitlesPopupEndsAtTheRootsRightEdgeButStartsInsideIt)
{
    const struct {
        double x, popupWidth, rootWidth, expected;
    } cases[] = {
        {100.0, 200.0, 560.0, 100.0}, // fits
        {400.0, 200.0, 560.0, 360.0}, // would pass the right edge
        {360.0, 200.0, 560.0, 360.0}, // ends exactly at the edge
        {100.0, 700.0, 560.0, 0.0},   // wider than the root: starts at 0
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(c.expected, Placement::FitTitlePopupX(c.x, c.popupWidth, c.rootWidth)) << c.x;
}

} // namespace
