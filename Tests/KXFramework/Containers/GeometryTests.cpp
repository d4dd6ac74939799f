#include "Utilities/Geometry/PointT.h"
#include "Utilities/Geometry/RectT.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

using namespace KX;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct DoubleCase { double in; long out; };
struct FloatCase { float in; long out; };

TEST(NumberConversion, Rule1DoubleToIntRoundsHalfAwayAndClamps)
{
    const DoubleCase cases[] = {
        {2.5, 3}, {-2.5, -3}, {2.4999, 2}, {-0.5, -1}, {-0.0, 0}, {0.0, 0},
        {0.49999999999999994, 1}, // the sum rounds to 1.0 before truncation
        {2147483647.0, 2147483647}, {2147483647.4, INT_MAX}, {-2147483648.0, INT_MIN},
        {-2147483648.4, INT_MIN}, {kNaN, INT_MIN}, {1e300, INT_MAX}, {-1e300, INT_MIN},
        {std::numeric_limits<double>::infinity(), INT_MAX},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.out, RoundDoubleToInt(c.in)) << "value " << c.in;
}

TEST(NumberConversion, Rule2FloatToInt)
{
    const FloatCase cases[] = {
        {2147483648.0f, INT_MAX}, {2147483520.0f, 2147483520}, {-1.5f, -2}, {1.5f, 2},
        {std::numeric_limits<float>::quiet_NaN(), INT_MIN}, {-2147483648.0f, INT_MIN}, {-3e9f, INT_MIN},
        {0.49999997f, 0}, // widened to double first, so no rounding-up in float
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.out, RoundFloatToInt(c.in)) << "value " << c.in;
}

TEST(NumberConversion, Rule3And4)
{
    EXPECT_EQ(-2147483648.0, IntToDouble(INT_MIN));
    EXPECT_EQ(2147483647.0, IntToDouble(INT_MAX));

    EXPECT_EQ(8388608.0f, DoubleToFloat(1e9));
    EXPECT_EQ(-8388608.0f, DoubleToFloat(-1e9));
    EXPECT_EQ(-8388608.0f, DoubleToFloat(kNaN));
    EXPECT_EQ(0.1f, DoubleToFloat(0.1));
    EXPECT_EQ(8388608.0f, DoubleToFloat(8388608.0));
}

TEST(PointAndRect, ConversionsUseTheRules)
{
    const PointT<long> fromDouble = PointT<double>(2.5, -2.5);
    EXPECT_EQ(PointT<long>(3, -3), fromDouble);

    const PointT<long> fromFloat = PointT<float>(-1.5f, 2147483648.0f);
    EXPECT_EQ(PointT<long>(-2, INT_MAX), fromFloat);

    const PointT<double> fromLong = PointT<long>(INT_MIN, 7);
    EXPECT_EQ(-2147483648.0, fromLong.x);
    EXPECT_EQ(7.0, fromLong.y);

    const PointT<float> toFloat = PointT<double>(1e9, 0.1);
    EXPECT_EQ(8388608.0f, toFloat.x);
    EXPECT_EQ(0.1f, toFloat.y);

    const RectT<double> back = RectT<long>(-1, 2, 3, INT_MAX);
    EXPECT_EQ(RectT<double>(-1.0, 2.0, 3.0, 2147483647.0), back);
}

TEST(PointAndRect, RectFieldsConvertIndependently)
{
    // The true right edge is 0.8, yet each field rounds on its own to 0.
    const RectT<long> small = RectT<double>(0.4, 0.4, 0.4, 0.4);
    EXPECT_EQ(RectT<long>(0, 0, 0, 0), small);
    EXPECT_EQ(0, small.GetRight());

    const RectT<long> mixed = RectT<double>(-0.5, 2.5, kNaN, 1e300);
    EXPECT_EQ(RectT<long>(-1, 3, INT_MIN, INT_MAX), mixed);
}

TEST(PointAndRect, IntegerPointPlusDoublePointRoundsTheOffsetFirst)
{
    EXPECT_EQ(PointT<long>(13, 17), PointT<long>(10, 20) + PointT<double>(2.5, -2.5));
    EXPECT_EQ(PointT<long>(10, 19), PointT<long>(10, 20) + PointT<double>(0.4999, -0.5));
    // The sum wraps as a 32-bit addition instead of being undefined.
    EXPECT_EQ(PointT<long>(INT_MIN, 0), PointT<long>(INT_MAX, 0) + PointT<double>(1.0, 0.0));
}

TEST(PointAndRect, IntersectRects)
{
    RectT<long> out(9, 9, 9, 9);
    EXPECT_TRUE(IntersectRects(out, RectT<long>(0, 0, 10, 10), RectT<long>(5, -5, 10, 10)));
    EXPECT_EQ(RectT<long>(5, 0, 5, 5), out);
    EXPECT_FALSE(IntersectRects(out, RectT<long>(0, 0, 10, 10), RectT<long>(10, 0, 5, 5))); // touching
    EXPECT_EQ(RectT<long>(), out);
    EXPECT_FALSE(IntersectRects(out, RectT<long>(0, 0, 10, 10), RectT<long>(2, 2, 0, 5)));
    EXPECT_TRUE(IntersectRects(out, RectT<long>(INT_MAX - 5, 0, INT_MAX, 1), RectT<long>(0, 0, INT_MAX, 1)));
    EXPECT_EQ(RectT<long>(INT_MAX - 5, 0, 5, 1), out);
}

} // namespace
