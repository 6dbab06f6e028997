#include "render/extents.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

namespace velmora {
namespace {

constexpr double kPi = std::numbers::pi;

TAcadPoint pt(Extended x, Extended y, Extended z = 0) { return TAcadPoint{x, y, z}; }

TAcadLineBlk line(TAcadPoint a, TAcadPoint b, std::u16string layer = u"0") {
    TAcadLineBlk l;
    l.st = a;
    l.ed = b;
    l.layer = std::move(layer);
    return l;
}

TTextBlk text(std::u16string s, double height) {
    TTextBlk t;
    t.str = std::move(s);
    t.code40 = height;
    t.code41 = 1;
    t.code44 = 1;
    return t;
}

void expectBox(const DrawingExtents& e, double x0, double y0, double x1, double y1) {
    EXPECT_NEAR(static_cast<double>(e.min.x), x0, 1e-9);
    EXPECT_NEAR(static_cast<double>(e.min.y), y0, 1e-9);
    EXPECT_NEAR(static_cast<double>(e.max.x), x1, 1e-9);
    EXPECT_NEAR(static_cast<double>(e.max.y), y1, 1e-9);
    EXPECT_EQ(e.min.z, 0);
    EXPECT_EQ(e.max.z, 0);
}

TEST(ComputeExtents, OneLineGivesItsBoxWithZeroZ) {
    DrawingStore store;
    store.modelLines.push_back(line(pt(5, 1, 3), pt(2, 7, -4)));
    computeExtents(store);
    expectBox(store.drawingExtents, 2, 1, 5, 7);
}

TEST(ComputeExtents, HiddenPaperSpaceAndInvisibleRowsDoNotCount) {
    DrawingStore store;
    store.layers.push_back(TLayer{u"off", 7, 0, u"CONTINUOUS", false, u""});
    store.layers.push_back(TLayer{u"on", 7, 0, u"CONTINUOUS", true, u""});
    store.modelLines.push_back(line(pt(0, 0), pt(1, 1), u"on"));
    store.modelLines.push_back(line(pt(-50, -50), pt(0, 0), u"off"));
    TAcadLineBlk paper = line(pt(90, 90), pt(0, 0), u"on");
    paper.code67 = 1;
    store.modelLines.push_back(paper);
    TAcadLineBlk hidden = line(pt(80, 0), pt(0, 0), u"on");
    hidden.code60 = 1;
    store.modelLines.push_back(hidden);
    TAcadLineBlk converted = line(pt(70, 0), pt(0, 0), u"on");
    converted.code67 = -1;
    store.modelLines.push_back(converted);
    store.modelLines.push_back(line(pt(0, 0), pt(3, -2), u"not in the table"));
    computeExtents(store);
    expectBox(store.drawingExtents, 0, -2, 3, 1);
}

TEST(ComputeExtents, TextsCountOnlyWhenNothingElseDoes) {
    DrawingStore store;
    store.modelTexts.push_back(text(u"AB", 10));
    store.modelTexts.back().pt10 = pt(1000, 1000);
    store.modelLines.push_back(line(pt(0, 0), pt(1, 1)));
    computeExtents(store);
    expectBox(store.drawingExtents, 0, 0, 1, 1);

    store.modelLines.clear();
    store.modelTexts.back().code70 = 1;  // invisible attributes still count here
    computeExtents(store);
    expectBox(store.drawingExtents, 1000, 1000, 1000 + 24.17106781186548, 1017.1);
}

TEST(ComputeExtents, EmptyDrawingResetsToZero) {
    DrawingStore store;
    store.drawingExtents.min = pt(1, 2, 3);
    store.drawingExtents.max = pt(4, 5, 6);
    computeExtents(store);
    expectBox(store.drawingExtents, 0, 0, 0, 0);
}

TEST(ComputeExtents, CirclesAndArcsUseTheirBoxes) {
    DrawingStore store;
    TCircleBlk c;
    c.center = pt(10, 10);
    c.hankei = 2;
    store.modelCircles.push_back(c);
    TArcBlk a;
    a.center = pt(0, 0);
    a.hankei = 1;
    a.st = 0;
    a.ed = 90;
    store.modelArcs.push_back(a);
    computeExtents(store);
    expectBox(store.drawingExtents, std::cos(kPi / 2), 0, 12, 12);
}

TEST(ArcBounds, ArcThroughAngleZero) {
    const Box b = arcBounds(pt(0, 0), 1, 350 * kPi / 180, 10 * kPi / 180);
    EXPECT_NEAR(static_cast<double>(b.min.x), std::cos(10 * kPi / 180), 1e-12);
    EXPECT_EQ(b.max.x, 1);
    EXPECT_NEAR(static_cast<double>(b.min.y), -std::sin(10 * kPi / 180), 1e-12);
    EXPECT_NEAR(static_cast<double>(b.max.y), std::sin(10 * kPi / 180), 1e-12);
}

TEST(ArcBounds, QuarterFromZeroAndFullTurns) {
    Box b = arcBounds(pt(0, 0), 1, 0, kPi / 2);
    EXPECT_EQ(b.max.x, 1);  // the start is exactly 0
    EXPECT_EQ(b.max.y, 1);
    EXPECT_NEAR(static_cast<double>(b.min.x), 0, 1e-15);
    EXPECT_NEAR(static_cast<double>(b.min.y), 0, 1e-15);

    b = arcBounds(pt(5, 5), 2, 1, 1);  // equal angles: a full turn
    EXPECT_EQ(b.min.x, 3);
    EXPECT_EQ(b.min.y, 3);
    EXPECT_EQ(b.max.x, 7);
    EXPECT_EQ(b.max.y, 7);

    b = arcBounds(pt(0, 0), 1, kPi / 4, 3 * kPi / 4);  // over the top only
    EXPECT_EQ(b.max.y, 1);
    EXPECT_NEAR(static_cast<double>(b.min.y), std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(static_cast<double>(b.max.x), std::sqrt(0.5), 1e-12);
}

TEST(TextBounds, LeftTextOnItsBaseline) {
    const Box b = textBounds(text(u"AB", 10));
    EXPECT_EQ(b.min.x, 0);
    EXPECT_EQ(b.min.y, 0);
    EXPECT_NEAR(static_cast<double>(b.max.x), 24.171067811865476, 1e-9);
    EXPECT_NEAR(static_cast<double>(b.max.y), 17.1, 1e-9);
}

TEST(TextBounds, JustifiedTextUsesTheSecondPoint) {
    TTextBlk t = text(u"AB", 10);
    t.pt10 = pt(100, 100);
    t.pt11 = pt(0, 0);
    t.code72 = 2;  // right: shifted by the whole width
    t.code73 = 3;  // top
    const Box b = textBounds(t);
    // c2 = B + 2 * (-17.1, 0.86); c0 is h away at -45 degrees from c2.
    EXPECT_NEAR(static_cast<double>(b.min.x), -34.2, 1e-9);
    EXPECT_NEAR(static_cast<double>(b.max.x), 0, 1e-9);
    EXPECT_NEAR(static_cast<double>(b.min.y), 1.72 - 10 * std::sqrt(0.5), 1e-9);
    EXPECT_NEAR(static_cast<double>(b.max.y), 1.72, 1e-9);
}

TEST(TextBounds, TwoParagraphMtext) {
    TTextBlk t = text(u"A\\PB", 2.5);
    t.mtflag = true;
    t.code41 = 40;
    t.code71 = 1;
    const Box b = textBounds(t);
    EXPECT_NEAR(static_cast<double>(b.min.x), 0, 1e-12);
    EXPECT_NEAR(static_cast<double>(b.max.x), 40, 1e-12);
    EXPECT_NEAR(static_cast<double>(b.min.y), -9.3, 1e-12);
    EXPECT_NEAR(static_cast<double>(b.max.y), 0, 1e-12);
}

TEST(RotateAboutOrigin, QuarterTurnAndZero) {
    const TAcadPoint r = rotateAboutOrigin(pt(1, 0, 5), kPi / 2);
    EXPECT_NEAR(static_cast<double>(r.x), 0, 1e-15);
    EXPECT_NEAR(static_cast<double>(r.y), 1, 1e-15);
    EXPECT_EQ(r.z, 5);
    const TAcadPoint p = pt(0.1L, 1e-300L, 7);
    EXPECT_EQ(rotateAboutOrigin(p, 0), p);
    for (TAcadPoint q : {pt(-2, 3), pt(-2, -3), pt(2, -3), pt(0, -3)}) {
        const TAcadPoint turned = rotateAboutOrigin(q, kPi);
        EXPECT_NEAR(static_cast<double>(turned.x), static_cast<double>(-q.x), 1e-12);
        EXPECT_NEAR(static_cast<double>(turned.y), static_cast<double>(-q.y), 1e-12);
    }
}

TEST(SplitParagraphs, SeparatorsTrailingEmptyAndBraces) {
    std::vector<std::u16string> list{u"stale"};
    EXPECT_EQ(splitParagraphs(u"A\\PB\\P", list), 2);
    EXPECT_EQ(list, (std::vector<std::u16string>{u"A", u"B"}));
    EXPECT_EQ(splitParagraphs(u"{\\fArial;A}\\P}", list), 1);
    EXPECT_EQ(list, (std::vector<std::u16string>{u"{\\fArial;A}"}));
    EXPECT_EQ(splitParagraphs(u"a^Jb\\pc d", list), 3);
    EXPECT_EQ(list, (std::vector<std::u16string>{u"a", u"b", u"c d"}));
    EXPECT_EQ(splitParagraphs(u"", list), 0);
    EXPECT_EQ(splitParagraphs(u"\\P\\Px", list), 3);
    EXPECT_EQ(list, (std::vector<std::u16string>{u"", u"", u"x"}));
}

TEST(SplitParagraphs, QuotedPieces) {
    std::vector<std::u16string> list;
    EXPECT_EQ(splitParagraphs(u"\"a\\Pb\"\\Pc", list), 2);  // a break inside quotes does not split
    EXPECT_EQ(list, (std::vector<std::u16string>{u"a\rb", u"c"}));
    EXPECT_EQ(splitParagraphs(u"\"say \"\"hi\"\"\"rest", list), 2);
    EXPECT_EQ(list, (std::vector<std::u16string>{u"say \"hi\"", u"rest"}));
    EXPECT_EQ(splitParagraphs(u"\"open", list), 1);
    EXPECT_EQ(list, (std::vector<std::u16string>{u"open"}));
}

}  // namespace
}  // namespace velmora
