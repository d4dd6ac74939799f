// KX::RectT<T>: a rectangle {x, y, width, height} whose top-left corner is
// (x, y); its right edge is x + width and its bottom edge y + height.
// A conversion to another number kind converts the four fields independently
// (width and height are not derived from converted corners).
#pragma once

#include "Utilities/Geometry/NumberConversion.h"
#include "Utilities/Geometry/PointT.h"

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
};

} // namespace KX
