#include <gtest/gtest.h>

#include "geometry/extrusion_conversion.h"
#include "geometry/outline_conversion.h"
#include "point_matchers.h"

using namespace velmora;
using velmora::testing::pt;

TEST(ConvertLineExtrusion, MapsNonPlusZLinesVisibleOrNot) {
    DrawingStore s;
    s.modelLines.resize(3);
    s.modelLines[0].st = pt(1, 2, 0);
    s.modelLines[0].ed = pt(3, 4, 0);
    s.modelLines[0].code210 = pt(0, 0, -1);
    s.modelLines[1] = s.modelLines[0];
    s.modelLines[1].code60 = 1;
    s.modelLines[2] = s.modelLines[0];
    s.modelLines[2].code210 = pt(0, 0, 1);
    convertLineExtrusion(s);
    for (int i = 0; i < 2; ++i) {
        EXPECT_POINT_NEAR(s.modelLines[i].st, pt(-1, 2, 0), 1e-15L);
        EXPECT_POINT_NEAR(s.modelLines[i].ed, pt(-3, 4, 0), 1e-15L);
        EXPECT_EQ(s.modelLines[i].code210, pt(0, 0, -1));
    }
    EXPECT_EQ(s.modelLines[2].st, pt(1, 2, 0));
}

TEST(ConvertTextExtrusion, MirroredTextTurnsTo180) {
    DrawingStore s;
    TTextBlk& t = s.modelTexts.emplace_back();
    t.pt10 = pt(5, 2, 0);
    t.pt11 = pt(6, 2, 0);
    t.code50 = 0;
    t.code210 = pt(0, 0, -1);
    t.code60 = 1;
    convertTextExtrusion(s);
    EXPECT_POINT_NEAR(s.modelTexts[0].pt10, pt(-5, 2, 0), 1e-15L);
    EXPECT_POINT_NEAR(s.modelTexts[0].pt11, pt(-6, 2, 0), 1e-15L);
    EXPECT_DOUBLE_EQ(s.modelTexts[0].code50, 180);
}

TEST(ConvertFaces, ClosedOutlineOfTheGivenCorners) {
    DrawingStore s;
    TFaceBlk face;
    face.pt[0] = pt(0, 0, 1);
    face.pt[1] = pt(1, 0, 1);
    face.pt[2] = pt(1, 1, 1);
    face.pt[3] = pt(0, 1, 1);
    face.count = 3;
    face.code67 = 1;
    face.code70 = 15;  // invisible-edge flags do not hide edges
    face.layer = u"F";
    face.bname = u"X";
    s.faces = {face};
    face.count = 4;
    s.faces.push_back(face);
    face.count = 0;
    s.faces.push_back(face);
    face.count = 9;  // more corners than the record holds: the four it has
    s.faces.push_back(face);
    face.code60 = 1;
    s.faces.push_back(face);
    convertFaces(s);
    ASSERT_EQ(s.modelLines.size(), 3u + 4u + 4u);
    EXPECT_EQ(s.modelLines[2].st, pt(1, 1, 1));
    EXPECT_EQ(s.modelLines[2].ed, pt(0, 0, 1));
    EXPECT_EQ(s.modelLines[6].ed, pt(0, 0, 1));
    EXPECT_EQ(s.modelLines[0].code67, 1);
    EXPECT_EQ(s.modelLines[0].layer, u"F");
    EXPECT_TRUE(s.modelLines[0].bname.empty());
}

TEST(ConvertLeaders, SegmentsAndHook) {
    DrawingStore s;
    TLeaderBlk l;
    l.p1 = pt(0, 0);
    l.p2 = pt(10, 10);
    l.p3 = pt(20, 10);
    l.code76 = 3;
    l.code41 = 5;
    l.bname = u"LB";
    l.layer = u"LL";
    s.leaders = {l};
    l.code76 = 2;
    l.code41 = 0;
    s.leaders.push_back(l);
    l.code41 = -3;
    s.leaders.push_back(l);
    l.code76 = 1;
    s.leaders.push_back(l);
    convertLeaders(s);

    ASSERT_EQ(s.modelLines.size(), 3u + 1u + 2u);
    EXPECT_EQ(s.modelLines[0].ed, pt(10, 10));
    EXPECT_EQ(s.modelLines[1].st, pt(10, 10));
    EXPECT_EQ(s.modelLines[1].ed, pt(20, 10));
    EXPECT_EQ(s.modelLines[2].st, pt(20, 10));
    EXPECT_POINT_NEAR(s.modelLines[2].ed, pt(25, 10), 0);
    EXPECT_EQ(s.modelLines[2].bname, u"LB");
    EXPECT_EQ(s.modelLines[2].layer, u"LL");
    EXPECT_POINT_NEAR(s.modelLines[5].ed, pt(7, 10), 0);  // negative hook to the left
}

TEST(ConvertSolidsAndSplines, TriangleAndControlPolygon) {
    DrawingStore s;
    TSolidBlk solid;
    solid.p1 = pt(0, 0);
    solid.p2 = pt(4, 0);
    solid.p3 = pt(0, 3);
    solid.p4 = pt(4, 3);
    s.modelSolids = {solid};
    solid.code60 = 1;
    s.modelSolids.push_back(solid);
    convertSolids(s);
    ASSERT_EQ(s.modelLines.size(), 3u);
    EXPECT_EQ(s.modelLines[2].st, pt(0, 3));
    EXPECT_EQ(s.modelLines[2].ed, pt(0, 0));

    DrawingStore t;
    TSplineBlk spline;
    spline.code70 = 8 | 2;
    spline.code10Ary = {pt(0, 0), pt(1, 1), pt(2, 0), pt(3, 1)};
    t.splines = {spline};
    spline.code70 = 2;
    t.splines.push_back(spline);
    spline.code70 = 8;
    spline.code10Ary.resize(1);
    t.splines.push_back(spline);
    convertSplines(t);
    ASSERT_EQ(t.modelLines.size(), 3u);
    EXPECT_EQ(t.modelLines[2].st, pt(2, 0));
    EXPECT_EQ(t.modelLines[2].ed, pt(3, 1));
}
