#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "platform/rounding.h"

using namespace velmora;

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundToInt(2.5L), 2);
    EXPECT_EQ(roundToInt(3.5L), 4);
    EXPECT_EQ(roundToInt(-2.5L), -2);
    EXPECT_EQ(roundToInt(2.4999L), 2);
    EXPECT_THROW(roundToInt<int>(3e9L), FloatingPointError);
    EXPECT_THROW(roundToInt(std::nanl("")), FloatingPointError);
}

TEST(Rounding, StoringInADoubleOverflowsLikeTheFpu) {
    EXPECT_EQ(roundToDouble(0.1L), 0.1);
    EXPECT_EQ(roundToDouble(static_cast<long double>(DBL_MAX)), DBL_MAX);
    EXPECT_EQ(roundToDouble(-static_cast<long double>(DBL_MAX)), -DBL_MAX);
    EXPECT_EQ(roundToDouble(1e-400L), 0.0);  // underflow is no error
    EXPECT_THROW(roundToDouble(1e400L), FloatingPointError);
    EXPECT_THROW(roundToDouble(-1e309L), FloatingPointError);
    // Just below half an ulp above DBL_MAX still rounds down to DBL_MAX.
    long double justBelow = std::nextafter(std::ldexp(2.0L - std::ldexp(1.0L, -53), 1023), 0.0L);
    EXPECT_EQ(roundToDouble(justBelow), DBL_MAX);
    EXPECT_THROW(roundToDouble(std::ldexp(2.0L - std::ldexp(1.0L, -53), 1023)), FloatingPointError);
}
