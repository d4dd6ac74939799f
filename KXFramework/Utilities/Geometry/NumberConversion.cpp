#include "Utilities/Geometry/NumberConversion.h"

#include <climits>

namespace KX {

namespace {

// Adds or subtracts one half (negative zero counts as positive) and truncates
// toward zero; the caller has checked that the result fits.
int32_t RoundHalfAwayFromZero(double value)
{
    const double shifted = value >= 0.0 ? value + 0.5 : value - 0.5;
    return static_cast<int32_t>(shifted);
}

} // namespace

int32_t RoundDoubleToInt(double value)
{
    if (!(value >= -2147483648.0)) // NaN fails every comparison
        return INT32_MIN;
    if (value > 2147483647.0)
        return INT32_MAX;
    return RoundHalfAwayFromZero(value);
}

int32_t RoundFloatToInt(float value)
{
    if (!(value >= -2147483648.0f))
        return INT32_MIN;
    if (value >= 2147483648.0f)
        return INT32_MAX;
    return RoundHalfAwayFromZero(static_cast<double>(value));
}

double IntToDouble(int32_t value)
{
    return ClampToIntegerLimit(static_cast<double>(value));
}

float DoubleToFloat(double value)
{
    constexpr double limit = 8388608.0; // 2^23
    if (!(value >= -limit))
        return static_cast<float>(-limit);
    if (value > limit)
        return static_cast<float>(limit);
    return static_cast<float>(value);
}

} // namespace KX
