// Point comparison for the geometry tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "store/records.h"

namespace velmora::testing {

inline ::testing::AssertionResult near(const TAcadPoint& actual, const TAcadPoint& expected,
                                       long double tolerance = 1e-9L) {
    if (std::fabs(actual.x - expected.x) <= tolerance &&
        std::fabs(actual.y - expected.y) <= tolerance &&
        std::fabs(actual.z - expected.z) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << static_cast<double>(actual.x) << ", " << static_cast<double>(actual.y) << ", "
           << static_cast<double>(actual.z) << ") is not near (" << static_cast<double>(expected.x)
           << ", " << static_cast<double>(expected.y) << ", " << static_cast<double>(expected.z)
           << ")";
}

inline TAcadPoint pt(long double x, long double y, long double z = 0) { return TAcadPoint{x, y, z}; }

}  // namespace velmora::testing

#define EXPECT_POINT_NEAR(actual, ...) EXPECT_TRUE(::velmora::testing::near((actual), __VA_ARGS__))
