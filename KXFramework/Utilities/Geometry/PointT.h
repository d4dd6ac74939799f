// KX::PointT<T>: a position {x, y} in one of the framework's number kinds
// (double for controls and layout, float for drawing, long for pixels).
// Conversions between kinds use the rules of NumberConversion.h field by field.
#pragma once

#include "Utilities/Geometry/NumberConversion.h"

#include <cstdint>

namespace KX {

template <class T>
struct PointT
{
    T x{};
    T y{};

    constexpr PointT() = default;
    constexpr PointT(T px, T py) : x(px), y(py) {}

    // Implicit, as the framework converts freely; only the pairs with a rule exist.
    template <class U, class = std::enable_if_t<HasNumberConverter<T, U>::value>>
    operator PointT<U>() const
    {
        return PointT<U>(NumberConverter<T, U>::Convert(x), NumberConverter<T, U>::Convert(y));
    }

    bool operator==(const PointT& other) const { return x == other.x && y == other.y; }
    bool operator!=(const PointT& other) const { return !(*this == other); }
};

// An integer point moved by a double offset: the offset is rounded by rule 1
// first, then added in 32-bit integers (wrapping, as the machine adds).
inline PointT<long> operator+(const PointT<long>& point, const PointT<double>& offset)
{
    const auto add = [](long a, long b) {
        return static_cast<long>(static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)));
    };
    return PointT<long>(add(point.x, RoundDoubleToInt(offset.x)), add(point.y, RoundDoubleToInt(offset.y)));
}

} // namespace KX
