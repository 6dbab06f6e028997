#include <gtest/gtest.h>

#include <cmath>

#include "geometry/curve_conversion.h"
#include "geometry/plane_geometry.h"
#include "platform/errors.h"
#include "point_matchers.h"

using namespace velmora;
using velmora::testing::pt;

namespace {

TCircleBlk circle(TAcadPoint extrusion) {
    TCircleBlk c;
    c.center = pt(0, 0, 4);
    c.hankei = 1;
    c.code210 = extrusion;
    c.layer = u"C";
    c.ltype = u"HIDDEN";
    c.color = 5;
    c.code67 = 0;
    return c;
}

TArcBlk arc(double st, double ed) {
    TArcBlk a;
    a.hankei = 2;
    a.st = st;
    a.ed = ed;
    a.code210 = pt(0, 0, -1);
    return a;
}

TAcadPoint onArc(double degrees, double radius = 2) {
    return polarPoint(pt(0, 0), degrees * kDegToRad, radius);
}

}  // namespace

TEST(ConvertCircles, NonPlusZCircleBecomes37LinesAndIsMarked) {
    DrawingStore s;
    s.modelCircles = {circle(pt(0, 0, 1)), circle(pt(0, 0, -1)), circle(pt(0, 0, 1.000005L)),
                      circle(pt(0, 0.00002L, 1))};
    s.modelCircles[1].bname = u"ignored";
    convertCircles(s, false, 10);

    EXPECT_EQ(s.modelCircles[0].code67, 0);
    EXPECT_EQ(s.modelCircles[1].code67, -1);
    EXPECT_EQ(s.modelCircles[2].code67, 0);  // within 0.00001 of +Z
    EXPECT_EQ(s.modelCircles[3].code67, -1);
    ASSERT_EQ(s.modelLines.size(), 74u);

    for (int k = 0; k < 36; ++k) {
        const TAcadLineBlk& line = s.modelLines[k];
        EXPECT_POINT_NEAR(line.st, polarPoint(pt(0, 0, 4), k * 10 * kDegToRad, 1), 1e-12L);
        EXPECT_POINT_NEAR(line.ed, polarPoint(pt(0, 0, 4), (k + 1) * 10 * kDegToRad, 1), 1e-12L);
    }
    const TAcadLineBlk& closing = s.modelLines[36];
    EXPECT_POINT_NEAR(closing.st, closing.ed, 1e-12L);
    EXPECT_EQ(closing.ed, pt(1, 0, 4));
    EXPECT_EQ(closing.code210, pt(0, 0, -1));
    EXPECT_EQ(closing.layer, u"C");
    EXPECT_EQ(closing.ltype, u"HIDDEN");
    EXPECT_EQ(closing.color, 5);
    EXPECT_TRUE(closing.bname.empty());
}

TEST(ConvertCircles, ConvertAllTakesPlusZButNeverInvisible) {
    DrawingStore s;
    s.modelCircles = {circle(pt(0, 0, 1)), circle(pt(0, 0, -1))};
    s.modelCircles[1].code60 = 1;
    convertCircles(s, true, 10);
    EXPECT_EQ(s.modelCircles[0].code67, -1);
    EXPECT_EQ(s.modelCircles[1].code67, 0);
    EXPECT_EQ(s.modelLines.size(), 37u);
}

TEST(ConvertArcs, LineCountsFollowTheRoundedStepCount) {
    struct Case {
        double st, ed;
        std::size_t lines;
        double lastIntermediate;  // degrees of the point before the final line
    };
    const Case cases[] = {{0, 90, 10, 90}, {0, 27, 4, 30}, {350, 10, 3, 370}, {45, 45, 1, 45},
                          {0, 4, 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.st << " to " << c.ed);
        DrawingStore s;
        s.modelArcs = {arc(c.st, c.ed)};
        convertArcs(s, false, 10);
        EXPECT_EQ(s.modelArcs[0].code67, -1);
        ASSERT_EQ(s.modelLines.size(), c.lines);
        EXPECT_POINT_NEAR(s.modelLines.front().st, onArc(c.st), 1e-12L);
        EXPECT_POINT_NEAR(s.modelLines.back().st, onArc(c.lastIntermediate), 1e-12L);
        EXPECT_POINT_NEAR(s.modelLines.back().ed, onArc(c.ed), 1e-12L);
        EXPECT_EQ(s.modelLines.back().code210, pt(0, 0, -1));
    }
}

TEST(ConvertArcs, PlusZArcsStayAndMoreThanAFullTurnIsOneCircle) {
    DrawingStore s;
    s.modelArcs = {arc(0, 90), arc(0, 1e12)};
    s.modelArcs[0].code210 = pt(0, 0, 1);
    convertArcs(s, false, 10);
    EXPECT_EQ(s.modelArcs[0].code67, 0);
    ASSERT_EQ(s.modelLines.size(), 37u);
    EXPECT_POINT_NEAR(s.modelLines.back().ed, onArc(0), 1e-9L);
}

TEST(ConvertEllipses, PassesThroughItsAxisPointsCounterClockwise) {
    DrawingStore s;
    TEllipseBlk& e = s.modelEllipses.emplace_back();
    e.center = pt(10, 20, 3);
    e.endpoint = pt(2, 0, 0);
    e.henpei = 0.5;
    e.kaisi = 0;
    e.owari = kTwoPiDouble;
    e.code210 = pt(0, 0, 1);
    e.layer = u"E";
    e.color = 2;
    convertEllipses(s, 10);

    ASSERT_EQ(s.modelLines.size(), 36u);  // the final clamped step adds no line
    EXPECT_POINT_NEAR(s.modelLines[0].st, pt(12, 20, 3), 1e-12L);
    EXPECT_POINT_NEAR(s.modelLines[8].ed, pt(10, 21, 3), 1e-12L);
    EXPECT_POINT_NEAR(s.modelLines[17].ed, pt(8, 20, 3), 1e-12L);
    EXPECT_POINT_NEAR(s.modelLines[26].ed, pt(10, 19, 3), 1e-12L);
    EXPECT_POINT_NEAR(s.modelLines[35].ed, pt(12, 20, 3), 1e-12L);
    EXPECT_EQ(s.modelLines[0].code210, pt(0, 0, 1));
    EXPECT_EQ(s.modelLines[0].layer, u"E");
    EXPECT_EQ(s.modelLines[0].color, 2);
    EXPECT_EQ(s.modelEllipses.size(), 1u);
}

TEST(ConvertEllipses, ArcAcrossParameterZeroAndHugeParametersTerminate) {
    DrawingStore s;
    TEllipseBlk e;
    e.endpoint = pt(1, 0, 0);
    e.henpei = 1;
    e.code210 = pt(0, 0, 1);
    e.kaisi = 3 * kPi / 2;
    e.owari = kPi / 2;  // a half ellipse through parameter 0
    s.modelEllipses.push_back(e);
    e.kaisi = 1e17;  // a step cannot move t here
    e.owari = 1e17 + 64;
    s.modelEllipses.push_back(e);
    e.kaisi = 0;  // far past one turn
    e.owari = 1e12;
    s.modelEllipses.push_back(e);
    convertEllipses(s, 10);

    ASSERT_GE(s.modelLines.size(), 18u + 36u);
    EXPECT_POINT_NEAR(s.modelLines[0].st, pt(0, -1), 1e-12L);
    EXPECT_POINT_NEAR(s.modelLines[17].ed, pt(0, 1), 1e-12L);
    EXPECT_LE(s.modelLines.size(), 18u + 1u + 37u);
}

// A major axis of length zero draws nothing; the ellipses around it are drawn.
TEST(ConvertEllipses, ZeroMajorAxisDrawsNothingAndTheRestIsDrawn) {
    DrawingStore s;
    TEllipseBlk good;
    good.endpoint = pt(1, 0, 0);
    good.henpei = 1;
    good.owari = kTwoPiDouble;
    good.code210 = pt(0, 0, 1);
    TEllipseBlk invisible;  // skipped before its zero axis is looked at
    invisible.code60 = 1;
    TEllipseBlk bad = good;
    bad.endpoint = pt(0, 0, 0);
    s.modelEllipses = {good, invisible, bad, good};
    EXPECT_NO_THROW(convertEllipses(s, 10));
    EXPECT_EQ(s.modelLines.size(), 72u);
}
