// KX::RectT<T>: a rectangle {x, y, width, height} whose top-left corner is
// (x, y); its right edge is x + width and its bottom edge y + height.
// A conversion to another number kind converts the four fields independently
// (width and height are not derived from converted corners).
#pragma once

#include "Utilities/Geometry/NumberConversion.h"
#include "Utilities/Geometry/PointT.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace KX {

template <class T>
struct RectT
{
    T x{};
    T y{};
    T width{};
    T height{};

    constexpr RectT() = default;
    constexpr RectT(T px, T py, T pwidth, T pheight) : x(px), y(py), width(pwidth), height(pheight) {}

    template <class U, class = std::enable_if_t<HasNumberConverter<T, U>::value>>
    operator RectT<U>() const
    {
        using C = NumberConverter<T, U>;
        return RectT<U>(C::Convert(x), C::Convert(y), C::Convert(width), C::Convert(height));
    }

    T GetRight() const { return x + width; }
    T GetBottom() const { return y + height; }
    PointT<T> GetTopLeft() const { return PointT<T>(x, y); }

    bool operator==(const RectT& other) const
    {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }

    bool operator!=(const RectT& other) const { return !(*this == other); }

    // Whole pixels for a clip (floating-point rectangles): a negative width or
    // height first becomes positive by moving x or y; then left, top, right and
    // bottom are floored, a value within a relative 2^-52 of an integer counting
    // as that integer, and width and height are recomputed from the edges.
    void SnapToPixelGrid()
    {
        if (width < 0) {
            x += width;
            width = -width;
        }
        if (height < 0) {
            y += height;
            height = -height;
        }
        const T left = FloorToGrid(x);
        const T top = FloorToGrid(y);
        const T right = FloorToGrid(x + width);
        const T bottom = FloorToGrid(y + height);
        x = left;
        y = top;
        width = right - left;
        height = bottom - top;
    }

    // Grows this rectangle to the bounding box of itself and the other one
    // (an empty rectangle counts as its corner point). True when the result
    // is wider and taller than 1.1920929e-7.
    bool Union(const RectT& other)
    {
        const T left = std::min(x, other.x);
        const T top = std::min(y, other.y);
        const T right = std::max(x + width, other.x + other.width);
        const T bottom = std::max(y + height, other.y + other.height);
        x = left;
        y = top;
        width = right - left;
        height = bottom - top;
        return width > static_cast<T>(1.1920929e-7) && height > static_cast<T>(1.1920929e-7);
    }

private:
    static T FloorToGrid(T value)
    {
        const T nearest = std::round(value);
        if (std::fabs(value - nearest) <= std::fabs(value) * static_cast<T>(2.220446049250313e-16))
            return nearest;
        return std::floor(value);
    }
};

// The intersection of two integer rectangles into `out`; true when it is at
// least 1 x 1. Without such an intersection `out` becomes {0, 0, 0, 0}.
inline bool IntersectRects(RectT<long>& out, const RectT<long>& a, const RectT<long>& b)
{
    const long long left = std::max<long long>(a.x, b.x);
    const long long top = std::max<long long>(a.y, b.y);
    const long long right = std::min<long long>(static_cast<long long>(a.x) + a.width, static_cast<long long>(b.x) + b.width);
    const long long bottom = std::min<long long>(static_cast<long long>(a.y) + a.height, static_cast<long long>(b.y) + b.height);
    if (right - left < 1 || bottom - top < 1 || right - left > INT32_MAX || bottom - top > INT32_MAX) {
        out = RectT<long>();
        return false;
    }
    out = RectT<long>(static_cast<long>(left), static_cast<long>(top), static_cast<long>(right - left),
                      static_cast<long>(bottom - top));
    return true;
}

} // namespace KX
