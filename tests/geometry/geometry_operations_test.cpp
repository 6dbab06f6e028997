#include <gtest/gtest.h>

#include <cmath>

#include "geometry/arbitrary_axis.h"
#include "geometry/plane_geometry.h"
#include "geometry/point_ops.h"
#include "point_matchers.h"

using namespace velmora;
using velmora::testing::pt;

TEST(DirectionAngle, QuadrantsAxesAndTolerance) {
    const TAcadPoint o = pt(0, 0);
    EXPECT_NEAR(directionAngle(o, pt(1, 1)), kPi / 4, 1e-15);
    EXPECT_NEAR(directionAngle(o, pt(-1, 1)), 3 * kPi / 4, 1e-15);
    EXPECT_NEAR(directionAngle(o, pt(-1, -1)), 5 * kPi / 4, 1e-15);
    EXPECT_NEAR(directionAngle(o, pt(1, -1)), 7 * kPi / 4, 1e-15);
    EXPECT_EQ(directionAngle(o, pt(0, 5)), kPi / 2);
    EXPECT_EQ(directionAngle(o, pt(0, -5)), 3 * kPi / 2);
    EXPECT_EQ(directionAngle(o, pt(5, 0)), 0);
    EXPECT_EQ(directionAngle(o, pt(-5, 0)), kPi);
    // Differences below 0.00001 count as zero; coincident points point down.
    EXPECT_EQ(directionAngle(o, o), 3 * kPi / 2);
    EXPECT_EQ(directionAngle(o, pt(0.000009L, 1)), kPi / 2);
    EXPECT_EQ(directionAngle(o, pt(-1, 0.000009L)), kPi);
}

TEST(PlanarGeometry, DistanceIgnoresZAndPolarCarriesZ) {
    EXPECT_EQ(planarDistance(pt(0, 0, 5), pt(3, 4, -7)), 5);
    TAcadPoint p = polarPoint(pt(1, 1, 9), kPi / 2, -2);
    EXPECT_POINT_NEAR(p, pt(1, -1, 9), 1e-15L);
}

TEST(BulgeToArc, HalfCirclesBothWays) {
    BulgeArc ccw = bulgeToArc(pt(0, 0), pt(2, 0), 1);
    EXPECT_POINT_NEAR(ccw.center, pt(1, 0), 1e-12L);
    EXPECT_NEAR(ccw.radius, 1, 1e-15);
    EXPECT_NEAR(ccw.startAngle * kRadToDeg, 180, 1e-9);
    EXPECT_NEAR(ccw.endAngle * kRadToDeg, 0, 1e-9);

    BulgeArc cw = bulgeToArc(pt(0, 0), pt(2, 0), -1);
    EXPECT_POINT_NEAR(cw.center, pt(1, 0), 1e-12L);
    EXPECT_NEAR(cw.radius, 1, 1e-15);
    EXPECT_NEAR(cw.startAngle * kRadToDeg, 0, 1e-9);
    EXPECT_NEAR(cw.endAngle * kRadToDeg, 180, 1e-9);
}

TEST(BulgeToArc, QuarterArcAndCoincidentEnds) {
    // Bulge tan(22.5 deg): a quarter circle from (1, 0) to (0, 1) about the origin.
    BulgeArc q = bulgeToArc(pt(1, 0, 3), pt(0, 1, 3), std::tan(kPi / 8));
    EXPECT_POINT_NEAR(q.center, pt(0, 0, 3), 1e-12L);
    EXPECT_NEAR(q.radius, 1, 1e-12);
    EXPECT_NEAR(q.startAngle, 0, 1e-9);
    EXPECT_NEAR(q.endAngle, kPi / 2, 1e-9);

    BulgeArc zero = bulgeToArc(pt(4, 5, 6), pt(4, 5, 6), 0.5);
    EXPECT_POINT_NEAR(zero.center, pt(4, 5, 6), 0);
    EXPECT_EQ(zero.radius, 0);
    EXPECT_NEAR(zero.startAngle * kRadToDeg, 270, 1e-12);
    EXPECT_NEAR(zero.endAngle * kRadToDeg, 270, 1e-12);
}

TEST(PointOps, ArithmeticNearnessAndLocalToWorld) {
    EXPECT_EQ(addPoints(pt(1, 2, 3), pt(4, 5, 6)), pt(5, 7, 9));
    EXPECT_EQ(subtractPoints(pt(1, 2, 3), pt(4, 5, 6)), pt(-3, -3, -3));
    EXPECT_EQ(scalePoints(pt(1, 2, 3), pt(-2, 5, 0)), pt(-2, 10, 0));
    EXPECT_POINT_NEAR(rotatePoint(pt(1, 0, 7), kPi / 2), pt(0, 1, 7), 1e-15L);

    EXPECT_TRUE(pointsNear(pt(0, 0, 1.000005L), pt(0, 0, 1), 0.00001));
    EXPECT_FALSE(pointsNear(pt(0, 0.00002L, 1), pt(0, 0, 1), 0.00001));
    EXPECT_FALSE(pointsNear(pt(0, 0, 2), pt(0, 0, 1), 1));  // strict in each coordinate

    TAcadPoint w = localToWorld(pt(2, 3, 4), pt(10, 20, 30), pt(1, 0, 0), pt(0, 0, 1), pt(0, -1, 0));
    EXPECT_EQ(w, pt(12, 16, 33));
}

TEST(PointOps, PlacementSubtractsScalesTurnsAndAdds) {
    TInsertBlk ref;
    ref.base = pt(100, 100);
    ref.scale = pt(2, 2, 1);
    ref.rotate = 90;
    Placement pl = makePlacement(pt(10, 0), ref);
    EXPECT_POINT_NEAR(placePoint(pl, pt(10, 0)), pt(100, 100), 1e-12L);
    EXPECT_POINT_NEAR(placePoint(pl, pt(20, 0)), pt(100, 120), 1e-12L);

    ref.scale = pt(-1, 1, 1);  // mirrored: component-wise product
    ref.rotate = 0;
    EXPECT_POINT_NEAR(placePoint(makePlacement(pt(0, 0), ref), pt(3, 4, 5)), pt(97, 104, 5), 1e-12L);
}

TEST(ArbitraryAxis, DocumentedMappings) {
    EXPECT_EQ(crossProduct(pt(1, 0, 0), pt(0, 1, 0)), pt(0, 0, 1));
    EXPECT_EQ(normalizeVector(pt(0, 3, 4)), pt(0, 0.6L, 0.8L));
    EXPECT_EQ(normalizeVector(pt(0, 0, 0)), pt(0, 0, 0));

    EXPECT_POINT_NEAR(arbitraryAxisToWorld(pt(1, 2, 0), pt(0, 0, -1)), pt(-1, 2, 0), 1e-15L);
    EXPECT_POINT_NEAR(arbitraryAxisToWorld(pt(2, 3, 4), pt(1, 0, 0)), pt(4, 2, 3), 1e-15L);
    EXPECT_POINT_NEAR(arbitraryAxisToWorld(pt(1, 2, 3), pt(0, 0, 1)), pt(1, 2, 3), 1e-15L);
    // A zero extrusion maps everything to the origin.
    EXPECT_EQ(arbitraryAxisToWorld(pt(7, 8, 9), pt(0, 0, 0)), pt(0, 0, 0));
}

TEST(ArbitraryAxis, ThresholdChoosesTheHelperAxis) {
    // Below 1/64 in x and y the helper axis is +Y: the X axis stays near +X.
    TAcadPoint small = arbitraryAxisToWorld(pt(1, 0, 0), pt(0.01L, 0, 1));
    EXPECT_NEAR(small.x, 1, 1e-3);
    EXPECT_NEAR(small.y, 0, 1e-12);
    // At 0.02 the helper axis is +Z: the X axis becomes Z x n, along +Y.
    TAcadPoint large = arbitraryAxisToWorld(pt(1, 0, 0), pt(0.02L, 0, 1));
    EXPECT_NEAR(large.x, 0, 1e-12);
    EXPECT_NEAR(large.y, 1, 1e-12);
}
