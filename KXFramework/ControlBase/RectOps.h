// Small rectangle helpers shared by the control base's drawing and
// invalidation code.
#pragma once

#include "Utilities/Geometry/RectT.h"

#include <algorithm>

namespace KX {
namespace RectOps {

// An area no wider or taller than this draws nothing.
constexpr double kNoArea = 2.220446049250313e-16;

// The overlap of two rectangles; a width or height of 0 when there is none.
inline RectT<double> Intersect(const RectT<double>& a, const RectT<double>& b)
{
    const double left = std::max(a.x, b.x);
    const double top = std::max(a.y, b.y);
    const double right = std::min(a.GetRight(), b.GetRight());
    const double bottom = std::min(a.GetBottom(), b.GetBottom());
    return RectT<double>(left, top, std::max(0.0, right - left), std::max(0.0, bottom - top));
}

inline bool IsEmpty(const RectT<double>& rect)
{
    return !(rect.width > 0.0) || !(rect.height > 0.0);
}

// Wider and taller than kNoArea.
inline bool HasArea(const RectT<double>& rect)
{
    return rect.width > kNoArea && rect.height > kNoArea;
}

} // namespace RectOps
} // namespace KX
