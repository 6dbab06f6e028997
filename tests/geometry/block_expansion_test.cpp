#include <gtest/gtest.h>

#include "geometry/block_expansion.h"
#include "point_matchers.h"

using namespace velmora;
using velmora::testing::pt;

namespace {

TBlockBlk block(const std::u16string& name, TAcadPoint base = pt(0, 0)) {
    TBlockBlk b;
    b.name = name;
    b.base = base;
    b.layer = u"BLKLAYER";
    b.ltype = u"BLKTYPE";
    return b;
}

TInsertBlk reference(const std::u16string& name, TAcadPoint base, TAcadPoint scale = pt(1, 1, 1),
                     double rotate = 0) {
    TInsertBlk r;
    r.name = name;
    r.base = base;
    r.scale = scale;
    r.rotate = rotate;
    r.layer = u"WALL";
    r.ltype = u"REFTYPE";
    r.color = 4;
    r.code67 = 1;
    r.code210 = pt(0, 0, 1);
    return r;
}

TAcadLineBlk line(const std::u16string& bname, TAcadPoint st, TAcadPoint ed,
                  const std::u16string& layer = u"A", SmallInt color = 1) {
    TAcadLineBlk l;
    l.bname = bname;
    l.st = st;
    l.ed = ed;
    l.layer = layer;
    l.ltype = u"OWN";
    l.color = color;
    return l;
}

// The worked block: base (10, 0), a line, a circle, an arc and a text.
DrawingStore placedBlockDrawing() {
    DrawingStore s;
    s.blocks = {block(u"B", pt(10, 0))};
    s.blockLines = {line(u"B", pt(10, 0), pt(20, 0))};
    TCircleBlk c;
    c.bname = u"B";
    c.center = pt(10, 0);
    c.hankei = 1;
    c.layer = u"A";
    c.color = 1;
    s.blockCircles = {c};
    TArcBlk a;
    a.bname = u"B";
    a.center = pt(10, 0);
    a.hankei = 1;
    a.st = 0;
    a.ed = 90;
    a.layer = u"A";
    a.color = 1;
    s.blockArcs = {a};
    TTextBlk t;
    t.bname = u"B";
    t.pt10 = pt(20, 0);
    t.pt11 = pt(20, 0);
    t.code40 = 2.5;
    t.code50 = 15;
    t.layer = u"A";
    t.color = 1;
    s.blockTexts = {t};
    t.mtflag = true;
    s.blockTexts.push_back(t);
    s.modelInserts = {reference(u"B", pt(100, 100), pt(2, 2, 1), 90)};
    return s;
}

}  // namespace

TEST(ExpandModelInserts, PlacesLineCircleArcAndText) {
    DrawingStore s = placedBlockDrawing();
    expandModelInserts(s);

    ASSERT_EQ(s.modelLines.size(), 1u);
    EXPECT_POINT_NEAR(s.modelLines[0].st, pt(100, 100), 1e-12L);
    EXPECT_POINT_NEAR(s.modelLines[0].ed, pt(100, 120), 1e-12L);
    EXPECT_EQ(s.modelLines[0].bname, u"B");  // copied whole
    EXPECT_EQ(s.modelLines[0].code67, 1);    // from the reference

    ASSERT_EQ(s.modelCircles.size(), 1u);
    EXPECT_POINT_NEAR(s.modelCircles[0].center, pt(100, 100), 1e-12L);
    EXPECT_EQ(s.modelCircles[0].hankei, 2);

    ASSERT_EQ(s.modelArcs.size(), 1u);
    EXPECT_EQ(s.modelArcs[0].hankei, 2);
    EXPECT_EQ(s.modelArcs[0].st, 90);
    EXPECT_EQ(s.modelArcs[0].ed, 180);

    ASSERT_EQ(s.modelTexts.size(), 2u);
    EXPECT_POINT_NEAR(s.modelTexts[0].pt10, pt(100, 120), 1e-12L);
    EXPECT_POINT_NEAR(s.modelTexts[0].pt11, pt(100, 120), 1e-12L);
    EXPECT_EQ(s.modelTexts[0].code40, 5);
    EXPECT_EQ(s.modelTexts[0].code50, 15);
    EXPECT_EQ(s.modelTexts[1].pt11, pt(20, 0));  // a multi-line text keeps its direction
}

TEST(ExpandModelInserts, LayerAndColourInheritance) {
    DrawingStore s;
    s.layers = {TLayer{u"WALL", 6, 0, u"CONTINUOUS", true, u""}};
    s.blocks = {block(u"B")};
    s.blockLines = {line(u"B", pt(0, 0), pt(1, 0), u"0", 1), line(u"B", pt(0, 0), pt(1, 0), u"A", 0),
                    line(u"B", pt(0, 0), pt(1, 0), u"A", 1)};
    s.modelInserts = {reference(u"B", pt(0, 0))};
    expandModelInserts(s);

    ASSERT_EQ(s.modelLines.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(s.modelLines[i].layer, u"WALL");
        EXPECT_EQ(s.modelLines[i].ltype, u"REFTYPE");
        EXPECT_EQ(s.modelLines[i].color, 6) << "the colour of the reference's layer";
    }
    EXPECT_EQ(s.modelLines[2].layer, u"A");
    EXPECT_EQ(s.modelLines[2].ltype, u"OWN");
    EXPECT_EQ(s.modelLines[2].color, 1);

    // A missing reference layer is created by the colour lookup.
    s.modelLines.clear();
    s.modelInserts[0].layer = u"NEW";
    expandModelInserts(s);
    EXPECT_EQ(s.modelLines[0].color, 7);
    EXPECT_EQ(s.layers.back().Name, u"NEW");
}

TEST(ExpandModelInserts, SkipsInvisibleMissingAndCaseDifferentBlocks) {
    DrawingStore s = placedBlockDrawing();
    s.modelInserts[0].code60 = 1;
    s.modelInserts.push_back(reference(u"b", pt(0, 0)));
    s.modelInserts.push_back(reference(u"NOPE", pt(0, 0)));
    s.blockLines.push_back(line(u"B ", pt(0, 0), pt(1, 1)));  // trailing blank: another block
    expandModelInserts(s);
    EXPECT_TRUE(s.modelLines.empty());
    EXPECT_TRUE(s.modelTexts.empty());
}

TEST(ExpandBlockDefinitions, DimensionBlockCopiedUnplacedWithSolidTriangle) {
    DrawingStore s;
    s.blocks = {block(u"*D1", pt(50, 50))};
    s.blockLines = {line(u"*D1", pt(1, 2), pt(3, 4))};
    TCircleBlk circle;
    circle.bname = u"*D1";
    s.blockCircles = {circle};
    TSolidBlk solid;
    solid.bname = u"*D1";
    solid.layer = u"S";
    solid.color = 2;
    solid.p1 = pt(0, 0);
    solid.p2 = pt(1, 0);
    solid.p3 = pt(0, 1);
    solid.p4 = pt(9, 9);
    s.blockSolids = {solid};
    TTextBlk text;
    text.bname = u"*D1";
    text.pt10 = pt(5, 5);
    s.blockTexts = {text};
    s.dimensions.resize(1);
    s.dimensions[0].dimblkName = u"*D1";
    expandBlockDefinitions(s);

    ASSERT_EQ(s.modelLines.size(), 4u);
    EXPECT_EQ(s.modelLines[0].st, pt(1, 2));
    EXPECT_EQ(s.modelLines[0].ed, pt(3, 4));
    EXPECT_EQ(s.modelLines[1].st, pt(0, 0));
    EXPECT_EQ(s.modelLines[2].st, pt(1, 0));
    EXPECT_EQ(s.modelLines[3].st, pt(0, 1));
    EXPECT_EQ(s.modelLines[3].ed, pt(0, 0));
    EXPECT_EQ(s.modelLines[3].layer, u"S");
    EXPECT_EQ(s.modelLines[3].bname, u"*D1");
    EXPECT_TRUE(s.modelCircles.empty());
    ASSERT_EQ(s.modelTexts.size(), 1u);
    EXPECT_EQ(s.modelTexts[0].pt10, pt(5, 5));
}

TEST(ExpandBlockDefinitions, NestedBlockPlacedByBothReferences) {
    DrawingStore s;
    TBlockBlk outer = block(u"OUTER");
    outer.InsertAry = {reference(u"INNER", pt(10, 0), pt(1, 1, 1), 90)};
    outer.InsertAry[0].dimBlkName = u"OUTER";
    s.blocks = {outer, block(u"INNER")};
    s.blockLines = {line(u"INNER", pt(0, 0), pt(1, 0))};
    s.modelInserts = {reference(u"OUTER", pt(100, 0))};
    s.modelInserts[0].code60 = 1;  // not expanded itself, but still places the nested reference
    expandBlockDefinitions(s);

    ASSERT_EQ(s.blockInserts.size(), 1u);
    EXPECT_POINT_NEAR(s.blockInserts[0].base, pt(110, 0), 1e-12L);
    EXPECT_EQ(s.blockInserts[0].rotate, 90);
    EXPECT_EQ(s.blockInserts[0].code67, 1);
    ASSERT_EQ(s.modelLines.size(), 1u);
    EXPECT_POINT_NEAR(s.modelLines[0].st, pt(110, 0), 1e-12L);
    EXPECT_POINT_NEAR(s.modelLines[0].ed, pt(110, 1), 1e-12L);
}

TEST(ExpandBlockDefinitions, UnreferencedAndAnonymousBlocksGiveUnplacedCopies) {
    DrawingStore s;
    TBlockBlk anon = block(u"*U1");
    TInsertBlk nested = reference(u"INNER", pt(5, 5));
    nested.layer = u"0";
    nested.dimBlkName = u"*U1";
    anon.InsertAry = {nested};
    s.blocks = {anon, block(u"INNER")};
    s.blockLines = {line(u"INNER", pt(0, 0), pt(1, 0))};
    expandBlockDefinitions(s);
    ASSERT_EQ(s.blockInserts.size(), 1u);
    EXPECT_EQ(s.blockInserts[0].layer, u"BLKLAYER");  // inherits from the owning block
    EXPECT_EQ(s.blockInserts[0].ltype, u"BLKTYPE");
    ASSERT_EQ(s.modelLines.size(), 1u);
    EXPECT_POINT_NEAR(s.modelLines[0].st, pt(5, 5), 1e-12L);

    // With dimensions in the drawing, a reference nested in an anonymous
    // block that is no dimension block is not drawn.
    DrawingStore d = s;
    d.modelLines.clear();
    d.blockInserts.clear();
    d.dimensions.resize(1);
    d.dimensions[0].dimblkName = u"*D9";
    expandBlockDefinitions(d);
    EXPECT_EQ(d.blockInserts.size(), 1u);
    EXPECT_TRUE(d.modelLines.empty());
}

TEST(ExpandBlockDefinitions, SelfAndMutualReferencesStopAfterOneNestedLevel) {
    DrawingStore s;
    TBlockBlk self = block(u"SELF");
    self.InsertAry = {reference(u"SELF", pt(1, 0))};
    TBlockBlk ping = block(u"PING");
    ping.InsertAry = {reference(u"PONG", pt(0, 1))};
    TBlockBlk pong = block(u"PONG");
    pong.InsertAry = {reference(u"PING", pt(0, 1))};
    s.blocks = {self, ping, pong};
    s.blockLines = {line(u"SELF", pt(0, 0), pt(1, 0)), line(u"PING", pt(0, 0), pt(0, 1)),
                    line(u"PONG", pt(0, 0), pt(2, 2))};
    s.modelInserts = {reference(u"SELF", pt(0, 0)), reference(u"PING", pt(0, 0))};
    expandModelInserts(s);
    expandBlockDefinitions(s);

    // Each model reference draws its block once and the nested block once
    // more; PONG is not referenced from the model, yet "referenced" is set,
    // so its nested PING is not copied unplaced.
    EXPECT_EQ(s.blockInserts.size(), 2u);
    EXPECT_EQ(s.modelLines.size(), 4u);
}
