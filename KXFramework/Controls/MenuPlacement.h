// Where popup menus go: the arithmetic of placing a popup at the pointer, a
// submenu beside the row that opened it, and a menu-bar title's popup below
// the title. Pure functions on integers, so that the controls only read and
// write layouts and the rules can be checked on their own.
//
// All rectangles and points are in pixels, origin top left, y downwards.
#pragma once

#include "Utilities/Geometry/PointT.h"
#include "Utilities/Geometry/RectT.h"

#include <cstdint>

namespace KX {
namespace MenuPlacement {

// One axis of a popup opened at the pointer: the popup starts at the pointer;
// when it would pass the far edge (limit) it is moved back so that it ends
// there; and it never starts before 0 (a popup larger than the window starts
// at 0 and passes the far edge).
long ClampToWindow(long pointer, long size, long limit);

// Both axes of ClampToWindow: the top-left corner, in window client
// coordinates, of a popup of `size` opened at `pointer` in a window of
// `window` client size.
PointT<long> PlaceAtPointer(const PointT<long>& pointer, const PointT<long>& size, const PointT<long>& window);

// The submenu's position relative to the popup that opens it.
// `row` is the opening row's rectangle in the popup's coordinates,
// `popupOrigin` the popup's origin in window client coordinates, `size` the
// submenu's size and `window` the window's client size.
// X: at the row's right edge; when the submenu would pass the window's right
// edge it opens on the left side of the popup instead, unless that passes the
// window's left edge, in which case it stays at the row's right edge.
// Y: level with the row; moved up so that its bottom touches the window's
// bottom edge when it would pass it; when that takes it above the window's
// top edge, level with the popup's top instead.
PointT<long> PlaceSubmenu(const RectT<double>& row, const PointT<long>& popupOrigin, const PointT<long>& size,
                          const PointT<long>& window);

// The x of a menu-bar title's popup, in root-control coordinates: the skin's
// x unless the popup would then pass the root control's right edge; then it
// ends at that edge, but never starts before 0.
double FitTitlePopupX(double x, double popupWidth, double rootWidth);

} // namespace MenuPlacement
} // namespace KX
