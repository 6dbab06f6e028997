#include <gtest/gtest.h>

#include <cmath>

#include "geometry/normalization_sequence.h"
#include "platform/errors.h"
#include "point_matchers.h"

using namespace velmora;
using velmora::testing::pt;

namespace {

void expectConsumedTablesEmpty(const DrawingStore& s) {
    EXPECT_TRUE(s.blockLwps.empty());
    EXPECT_TRUE(s.blockLwpVertices.empty());
    EXPECT_TRUE(s.modelLwps.empty());
    EXPECT_TRUE(s.modelLwpVertices.empty());
    EXPECT_TRUE(s.modelEllipses.empty());
    EXPECT_TRUE(s.blocks.empty());
    EXPECT_TRUE(s.modelInserts.empty());
    EXPECT_TRUE(s.blockInserts.empty());
    EXPECT_TRUE(s.faces.empty());
    EXPECT_TRUE(s.leaders.empty());
    EXPECT_TRUE(s.modelSolids.empty());
    EXPECT_TRUE(s.splines.empty());
}

TEllipseBlk unitEllipse() {
    TEllipseBlk e;
    e.endpoint = pt(1, 0, 0);
    e.henpei = 1;
    e.owari = 6.283185307179586;
    e.code210 = pt(0, 0, 1);
    return e;
}

// A block with a polyline half circle, referenced once, plus one of every
// other kind of entity in the model.
DrawingStore mixedDrawing() {
    DrawingStore s;
    TBlockBlk b;
    b.name = u"B";
    s.blocks = {b};
    s.blockLwps.resize(1);
    s.blockLwps[0].bname = u"B";
    s.blockLwpVertices = {{0, pt(0, 0), 1}, {0, pt(2, 0), 0}};
    TInsertBlk r;
    r.name = u"B";
    r.scale = pt(1, 1, 1);
    r.code210 = pt(0, 0, -1);
    s.modelInserts = {r};
    s.modelLwps.resize(1);
    s.modelLwps[0].code210 = pt(0, 0, -1);
    s.modelLwpVertices = {{0, pt(0, 0), 0}, {0, pt(1, 0), 1}, {0, pt(3, 0), 0}};
    s.modelEllipses = {unitEllipse()};
    s.faces.resize(1);
    s.faces[0].count = 3;
    s.leaders.resize(1);
    s.leaders[0].code76 = 2;
    s.modelSolids.resize(1);
    s.splines.resize(1);
    s.splines[0].code70 = 8;
    s.splines[0].code10Ary = {pt(0, 0), pt(1, 0)};
    return s;
}

}  // namespace

TEST(NormalizeDrawing, RunsThePassesInOrderAndEmptiesWhatTheyConsume) {
    DrawingStore s = mixedDrawing();
    normalizeDrawing(s);
    expectConsumedTablesEmpty(s);

    // Model polyline: one line and one half-circle arc, the arc then turned
    // into 10 chords (its extrusion is not +Z). The ellipse: 36 lines.
    ASSERT_EQ(s.modelArcs.size(), 2u);
    EXPECT_EQ(s.modelArcs[0].code67, -1);
    // The block's arc is copied after the curve passes ran, so it stays an arc.
    EXPECT_EQ(s.modelArcs[1].code67, 0);
    EXPECT_EQ(s.modelArcs[1].code210, pt(0, 0, -1));
    EXPECT_EQ(s.modelLines.size(), 1u + 36u + 19u + 3u + 1u + 3u + 1u);
    EXPECT_EQ(s.blockArcs.size(), 1u);  // block tables stay
}

TEST(NormalizeDrawing, ItemListStoreAndRepeatedCalls) {
    DrawingStore s;
    s.modelLines.resize(1);
    TCircleBlk c;
    c.hankei = 1;
    c.code210 = pt(0, 0, -1);
    s.modelCircles = {c};
    s.modelLwps.resize(1);
    s.modelLwpVertices = {{0, pt(0, 0), 0}, {0, pt(1, 0), 0}};
    normalizeDrawing(s);
    EXPECT_EQ(s.modelLines.size(), 1u + 1u + 37u);
    EXPECT_EQ(s.modelCircles[0].code67, -1);

    // The curve steps run again: the selection looks at visibility and
    // extrusion only, so the circle's chords are appended once more.
    normalizeDrawing(s);
    EXPECT_EQ(s.modelLines.size(), 39u + 37u);

    DrawingStore empty;
    normalizeDrawing(empty);
    EXPECT_TRUE(empty.modelLines.empty());
    EXPECT_TRUE(empty.layers.empty());
}

TEST(NormalizeDrawing, BlockExpansionFailureIsSwallowedAndLaterPassesRun) {
    DrawingStore s;
    TBlockBlk b;
    b.name = u"B";
    s.blocks = {b};
    TCircleBlk huge;
    huge.bname = u"B";
    huge.hankei = 1e300;
    s.blockCircles = {huge};
    s.blockLines.resize(1);
    s.blockLines[0].bname = u"B";
    TInsertBlk outer;
    outer.name = u"OUTER";
    outer.scale = pt(1, 1, 1);
    TInsertBlk nested;
    nested.name = u"B";
    nested.scale = pt(1e300, 1, 1);  // the radius overflows a Double
    TBlockBlk o;
    o.name = u"OUTER";
    o.InsertAry = {nested};
    s.blocks.push_back(o);
    s.modelInserts = {outer};
    s.modelSolids.resize(1);
    normalizeDrawing(s);

    expectConsumedTablesEmpty(s);
    EXPECT_EQ(s.modelLines.size(), 1u + 3u);  // the nested block's line, then the solid
    EXPECT_TRUE(s.modelCircles.empty());
}

TEST(NormalizeDrawing, OtherFailuresReachTheCallerAndLaterTablesStay) {
    DrawingStore s;
    s.modelEllipses = {unitEllipse()};
    TArcBlk bad;  // a start angle that is no number: its chord count cannot be rounded
    bad.st = NAN;
    bad.hankei = 1;
    s.modelArcs = {bad};
    s.modelSolids.resize(1);
    s.blocks.resize(1);
    EXPECT_THROW(normalizeDrawing(s), FloatingPointError);
    EXPECT_EQ(s.modelLines.size(), 36u);  // the ellipse before it
    EXPECT_EQ(s.modelArcs.size(), 1u);
    EXPECT_EQ(s.modelSolids.size(), 1u);
    EXPECT_EQ(s.blocks.size(), 1u);
}

TEST(NormalizeDrawingForPreview, MapsExtrusionBeforeExpansionAndReportsProgress) {
    DrawingStore s;
    TCircleBlk c;
    c.center = pt(5, 0);
    c.hankei = 1;
    c.code210 = pt(0, 0, -1);
    s.modelCircles = {c};
    TTextBlk t;
    t.pt10 = pt(5, 2);
    t.code210 = pt(0, 0, -1);
    s.modelTexts = {t};
    TBlockBlk b;
    b.name = u"B";
    s.blocks = {b};
    TAcadLineBlk blockLine;
    blockLine.bname = u"B";
    blockLine.st = pt(1, 0);
    blockLine.ed = pt(2, 0);
    s.blockLines = {blockLine};
    TInsertBlk r;
    r.name = u"B";
    r.scale = pt(1, 1, 1);
    r.code210 = pt(0, 0, -1);
    s.modelInserts = {r};

    std::vector<int> positions;
    normalizeDrawingForPreview(s, [&](int p) { positions.push_back(p); });
    EXPECT_EQ(positions, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90}));
    expectConsumedTablesEmpty(s);

    ASSERT_EQ(s.modelLines.size(), 37u + 1u);
    EXPECT_POINT_NEAR(s.modelLines[0].st, pt(-6, 0), 1e-12L);  // chord mapped to world
    EXPECT_EQ(s.modelLines[37].st, pt(1, 0));  // the expanded copy is not mapped
    EXPECT_POINT_NEAR(s.modelTexts[0].pt10, pt(-5, 2), 1e-12L);
    EXPECT_DOUBLE_EQ(s.modelTexts[0].code50, 180);
}
