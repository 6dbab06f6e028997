#include <gtest/gtest.h>

#include <cmath>

#include "geometry/plane_geometry.h"
#include "geometry/polyline_decomposition.h"
#include "point_matchers.h"

using namespace velmora;
using velmora::testing::pt;

namespace {

struct PolylineBuilder {
    std::vector<TLwpBlk>& lwps;
    std::vector<TLwpVer>& vertices;

    TLwpBlk& add(std::vector<std::pair<TAcadPoint, double>> points, SmallInt flags = 0) {
        TLwpBlk& lwp = lwps.emplace_back();
        lwp.ihand = static_cast<Integer>(lwps.size() - 1);
        lwp.code70 = flags;
        lwp.layer = u"L1";
        lwp.ltype = u"DASHED";
        lwp.color = 3;
        lwp.code67 = 1;
        lwp.code210 = pt(0, 0, -1);
        for (auto& [p, bulge] : points) vertices.push_back(TLwpVer{lwp.ihand, p, bulge});
        return lwp;
    }
};

PolylineBuilder blockPolylines(DrawingStore& s) { return {s.blockLwps, s.blockLwpVertices}; }
PolylineBuilder modelPolylines(DrawingStore& s) { return {s.modelLwps, s.modelLwpVertices}; }

}  // namespace

TEST(ConvertBlockLwps, SegmentsBecomeLinesAndArcsWithPolylineAttributes) {
    DrawingStore s;
    s.blockLines.resize(1);  // existing rows stay in front
    blockPolylines(s).add({{pt(0, 0, 2), 0}, {pt(2, 0, 2), 1}, {pt(4, 0, 2), 0}}).bname = u"B";
    convertBlockLwps(s);

    ASSERT_EQ(s.blockLines.size(), 2u);
    const TAcadLineBlk& line = s.blockLines[1];
    EXPECT_EQ(line.st, pt(0, 0, 2));
    EXPECT_EQ(line.ed, pt(2, 0, 2));
    EXPECT_EQ(line.bname, u"B");
    EXPECT_EQ(line.layer, u"L1");
    EXPECT_EQ(line.ltype, u"DASHED");
    EXPECT_EQ(line.color, 3);
    EXPECT_EQ(line.code67, 1);
    EXPECT_EQ(line.code210, pt(0, 0, 0));  // block pass keeps no extrusion

    ASSERT_EQ(s.blockArcs.size(), 1u);
    const TArcBlk& arc = s.blockArcs[0];
    EXPECT_POINT_NEAR(arc.center, pt(3, 0, 2), 1e-12L);
    EXPECT_NEAR(arc.hankei, 1, 1e-15);
    EXPECT_NEAR(arc.st, 180, 1e-9);
    EXPECT_NEAR(arc.ed, 0, 1e-9);
    EXPECT_EQ(arc.code210, pt(0, 0, 0));
    EXPECT_EQ(arc.bname, u"B");
    EXPECT_EQ(s.blockLwps.size(), 1u);  // the pass does not consume its input
}

TEST(ConvertModelLwps, CarriesExtrusionAndKeepsHalfCircleArcs) {
    DrawingStore s;
    modelPolylines(s).add({{pt(0, 0), -1}, {pt(2, 0), 0}});
    convertModelLwps(s);
    ASSERT_EQ(s.modelArcs.size(), 1u);
    EXPECT_NEAR(s.modelArcs[0].st, 0, 1e-9);
    EXPECT_NEAR(s.modelArcs[0].ed, 180, 1e-9);
    EXPECT_EQ(s.modelArcs[0].code210, pt(0, 0, -1));
    EXPECT_TRUE(s.modelLines.empty());  // one vertex after the arc: no further segment
}

TEST(PolylinePasses, ClosedSingleVertexGivesZeroLengthSegmentInEachPass) {
    DrawingStore s;
    blockPolylines(s).add({{pt(5, 6, 7), 0}}, 1);
    blockPolylines(s).add({{pt(5, 6, 7), 0.5}}, 1);
    modelPolylines(s).add({{pt(5, 6, 7), 0}}, 1);
    modelPolylines(s).add({{pt(5, 6, 7), 0.5}}, 1);
    convertBlockLwps(s);
    convertModelLwps(s);

    ASSERT_EQ(s.blockLines.size(), 1u);
    EXPECT_EQ(s.blockLines[0].st, pt(5, 6, 7));
    EXPECT_EQ(s.blockLines[0].ed, pt(5, 6, 7));
    ASSERT_EQ(s.blockArcs.size(), 1u);
    EXPECT_EQ(s.blockArcs[0].hankei, 0);
    EXPECT_POINT_NEAR(s.blockArcs[0].center, pt(5, 6, 7), 0);
    EXPECT_NEAR(s.blockArcs[0].st, 270, 1e-12);
    EXPECT_NEAR(s.blockArcs[0].ed, 270, 1e-12);

    // The model pass draws the zero-span arc as a zero-length chord.
    ASSERT_EQ(s.modelLines.size(), 2u);
    EXPECT_TRUE(s.modelArcs.empty());
    for (const TAcadLineBlk& line : s.modelLines) {
        EXPECT_POINT_NEAR(line.st, pt(5, 6, 7), 0);
        EXPECT_POINT_NEAR(line.ed, pt(5, 6, 7), 0);
    }
}

TEST(PolylinePasses, ClosingSegmentUsesLastVertexBulgeAndShortSegmentsStay) {
    DrawingStore s;
    // Square closed with a half circle from (0, 2) back to (0, 0); one duplicate vertex.
    blockPolylines(s).add({{pt(0, 0), 0}, {pt(2, 0), 0}, {pt(2, 0), 0}, {pt(2, 2), 0},
                           {pt(0, 2), 1}},
                          1);
    convertBlockLwps(s);
    ASSERT_EQ(s.blockLines.size(), 4u);
    EXPECT_EQ(s.blockLines[1].st, s.blockLines[1].ed);  // zero-length line kept
    ASSERT_EQ(s.blockArcs.size(), 1u);
    EXPECT_POINT_NEAR(s.blockArcs[0].center, pt(0, 1), 1e-12L);
    EXPECT_NEAR(s.blockArcs[0].st, 90, 1e-9);
    EXPECT_NEAR(s.blockArcs[0].ed, 270, 1e-9);
}

TEST(ConvertModelLwps, ArcsOfAtMostOneDegreeBecomeChordsAcrossZero) {
    auto arcFromTo = [](double startDeg, double endDeg) {
        // A unit-radius segment whose arc runs counter-clockwise from start to end.
        TAcadPoint a = polarPoint(pt(0, 0), startDeg * kDegToRad, 1);
        TAcadPoint b = polarPoint(pt(0, 0), endDeg * kDegToRad, 1);
        double span = std::fmod(endDeg - startDeg + 360.0, 360.0);
        return std::pair{std::pair{a, static_cast<double>(std::tan(span * kDegToRad / 4))}, b};
    };
    DrawingStore s;
    auto [first, firstEnd] = arcFromTo(359.8, 0.3);
    auto [second, secondEnd] = arcFromTo(0.5, 0.2);
    modelPolylines(s).add({first, {firstEnd, 0}});
    modelPolylines(s).add({second, {secondEnd, 0}});
    convertModelLwps(s);

    // The chord joins the ends of the computed arc; the direction of so short
    // a chord is taken as vertical (|dx| < 0.00001), which moves the centre a little.
    ASSERT_EQ(s.modelLines.size(), 1u);
    EXPECT_POINT_NEAR(s.modelLines[0].st, first.first, 2e-3L);
    EXPECT_POINT_NEAR(s.modelLines[0].ed, firstEnd, 2e-3L);
    ASSERT_EQ(s.modelArcs.size(), 1u);
    EXPECT_NEAR(s.modelArcs[0].st, 0.5, 1e-6);
    EXPECT_NEAR(s.modelArcs[0].ed, 0.2, 1e-6);
}

TEST(PolylinePasses, VertexCursorSkipsInvisibleAndLosesOutOfOrderGroups) {
    DrawingStore s;
    auto model = modelPolylines(s);
    model.add({{pt(0, 0), 0}, {pt(1, 0), 0}}).code60 = 1;  // invisible: nothing, cursor stays
    model.add({{pt(0, 1), 0}, {pt(1, 1), 0}});
    convertModelLwps(s);
    ASSERT_EQ(s.modelLines.size(), 1u);
    EXPECT_EQ(s.modelLines[0].st, pt(0, 1));

    // Vertex groups stored in the reverse order of their polylines: the second
    // polyline's group lies behind the cursor and is not found.
    DrawingStore r;
    r.modelLwps.resize(2);
    r.modelLwps[0].ihand = 10;
    r.modelLwps[1].ihand = 20;
    r.modelLwpVertices = {{20, pt(5, 5), 0}, {20, pt(6, 5), 0}, {10, pt(0, 0), 0},
                          {10, pt(1, 0), 0}, {30, pt(9, 9), 0}};
    convertModelLwps(r);
    ASSERT_EQ(r.modelLines.size(), 1u);
    EXPECT_EQ(r.modelLines[0].st, pt(0, 0));
}

TEST(PolylinePasses, MeshesAndPolyfaces) {
    std::vector<std::pair<TAcadPoint, double>> grid;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 2; ++col) grid.push_back({pt(col, row), 0});

    DrawingStore s;
    modelPolylines(s).add(grid, 16 | 1).code71 = 3;
    s.modelLwps[0].code72 = 2;
    modelPolylines(s).add(grid, 64);
    convertModelLwps(s);
    ASSERT_EQ(s.modelLines.size(), 6u);
    for (const TAcadLineBlk& line : s.modelLines) {
        EXPECT_EQ(line.st.x, line.ed.x) << "no edge runs along a row";
        EXPECT_EQ(line.code210, pt(0, 0, -1));
    }
    EXPECT_EQ(s.modelLines[2].st, pt(0, 2));  // column 0 closes back to its first vertex
    EXPECT_EQ(s.modelLines[2].ed, pt(0, 0));

    // A column count larger than the vertices has nothing to draw for the missing columns.
    DrawingStore wide;
    modelPolylines(wide).add({{pt(0, 0), 0}}, 16).code71 = 2;
    wide.modelLwps[0].code72 = 50;
    convertModelLwps(wide);
    EXPECT_TRUE(wide.modelLines.empty());

    DrawingStore block;
    blockPolylines(block).add(grid, 16);
    blockPolylines(block).add(grid, 64);
    convertBlockLwps(block);
    EXPECT_TRUE(block.blockLines.empty());
    EXPECT_TRUE(block.blockArcs.empty());
}
