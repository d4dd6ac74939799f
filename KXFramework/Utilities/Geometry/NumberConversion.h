// The conversions between the framework's three number kinds: doubles for
// control geometry, floats for drawing coordinates and 32-bit integers for
// pixels. Every point and rectangle conversion goes through these four rules,
// so rounding and limits are the same everywhere.
#pragma once

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace KX {

// The limit of doubles read from integer sources: within +/-2^52 a double
// still holds every integer and every half, so rounding stays exact.
constexpr double kIntegerLimit = 4503599627370496.0; // 2^52

// A double limited to +/-kIntegerLimit (NaN gives the upper limit).
inline double ClampToIntegerLimit(double value)
{
    return std::max(-kIntegerLimit, std::min(kIntegerLimit, value));
}

// Rule 1, double to integer: round half away from zero; NaN and values below
// -2^31 give INT_MIN, values above 2^31 - 1 give INT_MAX.
int32_t RoundDoubleToInt(double value);

// Rule 2, float to integer: the limits of rule 1 tested on the float
// (2^31 and above gives INT_MAX), the rounding made after widening to double.
int32_t RoundFloatToInt(float value);

// Rule 3, integer to double: exact, clamped to +/-2^52 (never reached by a
// 32-bit integer).
double IntToDouble(int32_t value);

// Rule 4, double to float: the nearest float, clamped to +/-2^23; NaN gives
// the lower limit.
float DoubleToFloat(double value);

// The conversion from one number kind to another as the point and rectangle
// templates apply it field by field. Only the pairs with a rule exist.
template <class From, class To> struct NumberConverter;
template <> struct NumberConverter<double, long> {
    static long Convert(double value) { return RoundDoubleToInt(value); }
};
template <> struct NumberConverter<float, long> {
    static long Convert(float value) { return RoundFloatToInt(value); }
};
template <> struct NumberConverter<long, double> {
    static double Convert(long value) { return IntToDouble(value); }
};
template <> struct NumberConverter<double, float> {
    static float Convert(double value) { return DoubleToFloat(value); }
};

// True when a rule converts From to To.
template <class From, class To, class = void>
struct HasNumberConverter : std::false_type {};
template <class From, class To>
struct HasNumberConverter<From, To, std::void_t<decltype(NumberConverter<From, To>::Convert(std::declval<From>()))>>
    : std::true_type {};

} // namespace KX
