#include "render/canvas.h"

#include <algorithm>
#include <climits>

#include <gtest/gtest.h>

#include "tests/render/canvas_test_support.h"

namespace velmora {
namespace {

using testsupport::litPixels;
using testsupport::picture;
using Rows = std::vector<std::string>;

Canvas whitePen(int w, int h) {
    Canvas c(w, h);
    c.setPenColor(0xFFFFFF);
    return c;
}

void line(Canvas& c, int x0, int y0, int x1, int y1) {
    c.moveTo(x0, y0);
    c.lineTo(x1, y1);
}

TEST(CanvasPalette, BlackWhiteAndTheColourIndexColours) {
    const Canvas c(4, 4);
    EXPECT_EQ(c.palette()[0], 0x000000u);
    EXPECT_EQ(c.palette()[7], 0xFFFFFFu);
    EXPECT_EQ(c.palette()[1], 0x0000FFu);
    EXPECT_EQ(c.palette()[249], 0x2F264Cu);
    EXPECT_EQ(c.nearestIndex(0x000000), 0);
    EXPECT_EQ(c.nearestIndex(0xFFFFFF), 7);  // the first of the two whites
    EXPECT_EQ(c.nearestIndex(0x0000FF), 1);
    EXPECT_EQ(c.nearestIndex(0x0101FE), 1);    // near red
    EXPECT_EQ(c.nearestIndex(0xFF0000FF), 1);  // the top byte is not a colour
    EXPECT_EQ(c.pixel(0, 0), 0u);
}

TEST(CanvasPixels, SetPixelMatchesTheNearestColourAndClips) {
    Canvas c(3, 2);
    c.setPixel(2, 1, 0xFEFEFE);
    c.setPixel(-1, 0, 0xFFFFFF);
    c.setPixel(3, 0, 0xFFFFFF);
    c.setPixel(0, 2, 0xFFFFFF);
    EXPECT_EQ(picture(c), (Rows{"...", "..#"}));
    EXPECT_EQ(c.pixel(2, 1), 0xFFFFFFu);
    EXPECT_EQ(c.pixel(5, 5), 0u);
}

TEST(CanvasLine, LeavesOutTheEndPixelAndMovesThePen) {
    Canvas c = whitePen(6, 3);
    line(c, 0, 1, 5, 1);
    EXPECT_EQ(picture(c), (Rows{"......", "#####.", "......"}));
    EXPECT_EQ(c.penPosition(), (PixelPoint{5, 1}));
    c.lineTo(5, 1);  // zero length: nothing
    EXPECT_EQ(c.pixelIndex(5, 1), 0);
}

TEST(CanvasLine, BresenhamStepsWithTiesToTheSmallerCoordinate) {
    Canvas c = whitePen(6, 3);
    line(c, 0, 0, 5, 2);
    EXPECT_EQ(picture(c), (Rows{"##....", "..##..", "....#."}));

    // Half-way cases take the upper pixel in either direction.
    Canvas forward = whitePen(5, 3), backward = whitePen(5, 3);
    line(forward, 0, 0, 4, 2);
    line(backward, 4, 2, 0, 0);
    EXPECT_EQ(picture(forward), (Rows{"##...", "..##.", "....."}));
    EXPECT_EQ(picture(backward), (Rows{".#...", "..##.", "....#"}));

    Canvas steep = whitePen(3, 5);
    line(steep, 0, 4, 2, 0);
    EXPECT_EQ(picture(steep), (Rows{"...", ".#.", ".#.", "#..", "#.."}));
}

TEST(CanvasLine, FarEndPointsAreClippedWithoutChangingThePixels) {
    Canvas near = whitePen(20, 20), far = whitePen(20, 20);
    line(near, -7, -3, 27, 14);
    // The same line, extended a long way: the visible pixels are the same.
    line(far, -7 - 2000000, -3 - 1000000, 27 + 2000000, 14 + 1000000);
    EXPECT_EQ(picture(far), picture(near));

    Canvas c = whitePen(8, 2);
    line(c, INT_MIN, 0, INT_MAX, 1);
    line(c, INT_MAX, INT_MIN, INT_MIN, INT_MAX);
    EXPECT_FALSE(litPixels(c).empty());
}

TEST(CanvasPenStyles, CosmeticPatternsWithOpaqueAndClearGaps) {
    struct Case {
        TPenStyle style;
        const char* row;
    };
    const Case cases[] = {
        {psSolid, "##############################"},
        {psDot, "###ooo###ooo###ooo###ooo###ooo"},
        {psDash, "##################oooooo######"},
        {psDashDot, "#########oooooo###oooooo######"},
        {psDashDotDot, "#########ooo###ooo###ooo######"},
        {psAlternate, "#o#o#o#o#o#o#o#o#o#o#o#o#o#o#o"},
        {psClear, ".............................."},
    };
    for (const Case& k : cases) {
        Canvas c = whitePen(30, 1);
        c.setBrushColor(0x0000FF);
        c.setPenStyle(k.style);
        line(c, 0, 0, 30, 0);
        EXPECT_EQ(picture(c)[0], k.row) << "style " << int(k.style);
    }
    Canvas clear = whitePen(12, 1);
    clear.setBrushStyle(Canvas::BrushStyle::clear);
    clear.setPenStyle(psDot);
    line(clear, 0, 0, 12, 0);
    EXPECT_EQ(picture(clear)[0], "###...###...");
}

TEST(CanvasPenStyles, EveryLineStartsThePatternAfresh) {
    Canvas c = whitePen(12, 1);
    c.setBrushStyle(Canvas::BrushStyle::clear);
    c.setPenStyle(psDot);
    line(c, 0, 0, 4, 0);
    c.lineTo(8, 0);
    EXPECT_EQ(picture(c)[0], "###.###.....");
}

TEST(CanvasPenStyles, ClippedStartKeepsThePatternPhase) {
    Canvas c = whitePen(6, 1);
    c.setBrushStyle(Canvas::BrushStyle::clear);
    c.setPenStyle(psDot);
    line(c, -4, 0, 6, 0);  // pattern positions 4..9 are visible
    EXPECT_EQ(picture(c)[0], "..###.");
}

TEST(CanvasPenStyles, WidePensAreSolidWithRoundEnds) {
    Canvas c = whitePen(9, 5);
    c.setPenWidth(3);
    c.setPenStyle(psDot);
    line(c, 2, 2, 6, 2);
    EXPECT_EQ(picture(c), (Rows{".........", ".#######.", ".#######.", ".#######.", "........."}));
    Canvas two = whitePen(5, 4);
    two.setPenWidth(2);
    line(two, 1, 1, 3, 1);
    // An even width reaches one pixel further right and down than left and up.
    EXPECT_EQ(picture(two), (Rows{".....", ".####", ".####", "....."}));
}

TEST(CanvasRectangle, FillsWithTheBrushAndLeavesOutRightAndBottom) {
    Canvas c = whitePen(6, 5);
    c.setBrushColor(0x0000FF);
    c.moveTo(0, 0);
    c.rectangle(4, 3, 1, 0);  // corners in any order
    EXPECT_EQ(picture(c), (Rows{".###..", ".#o#..", ".###..", "......", "......"}));
    EXPECT_EQ(c.penPosition(), (PixelPoint{0, 0}));
    c.rectangle(-5, -5, 50, 50);  // clipped
    EXPECT_EQ(litPixels(c).size(), 30u);
    Canvas all = whitePen(3, 2);
    all.rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(litPixels(all).size(), 6u);
}

TEST(CanvasArc, CirclesInTheirBoxes) {
    Canvas c = whitePen(10, 10);
    c.arc(1, 1, 9, 9, 0, 0, 0, 0);
    const Rows circle{"..........", "...####...", "..#....#..", ".#......#.", ".#......#.",
                      ".#......#.", ".#......#.", "..#....#..", "...####...", ".........."};
    EXPECT_EQ(picture(c), circle);

    Canvas odd = whitePen(7, 7);
    odd.arc(1, 1, 6, 6, 3, 0, 3, 0);
    EXPECT_EQ(picture(odd), (Rows{".......", "..###..", ".#...#.", ".#...#.", ".#...#.", "..###..", "......."}));

    Canvas dot = whitePen(3, 3);
    dot.arc(1, 1, 2, 2, 0, 0, 2, 2);  // a box of one pixel
    EXPECT_EQ(picture(dot), (Rows{"...", ".#.", "..."}));

    Canvas flat = whitePen(6, 3);
    flat.arc(1, 1, 5, 2, 0, 0, 0, 0);  // one row high
    EXPECT_EQ(picture(flat), (Rows{"......", ".####.", "......"}));
    Canvas empty = whitePen(4, 4);
    empty.arc(1, 1, 1, 3, 0, 0, 0, 0);  // no width
    EXPECT_TRUE(litPixels(empty).empty());
}

TEST(CanvasArc, CounterClockwiseFromStartRayToEndRay) {
    Canvas upper = whitePen(14, 14), lower = whitePen(14, 14), full = whitePen(14, 14);
    upper.arc(1, 1, 13, 13, 13, 6, 0, 6);
    lower.arc(1, 1, 13, 13, 0, 6, 13, 6);
    full.arc(1, 1, 13, 13, 0, 0, 0, 0);
    for (PixelPoint p : litPixels(upper)) EXPECT_LE(p.y, 6);
    for (PixelPoint p : litPixels(lower)) EXPECT_GE(p.y, 7);
    EXPECT_EQ(litPixels(upper).size() + litPixels(lower).size(), litPixels(full).size());

    // From up-right round the left side to down-right: the right side stays empty.
    Canvas left = whitePen(14, 14);
    left.arc(1, 1, 13, 13, 13, 0, 13, 13);
    for (PixelPoint p : litPixels(left)) EXPECT_LT(p.x, 11);
    EXPECT_EQ(left.pixelIndex(12, 6), 0);
    EXPECT_EQ(left.pixelIndex(1, 6), 7);

    // Start and end points on the same ray (at different distances): whole.
    Canvas sameRay = whitePen(14, 14);
    sameRay.arc(1, 1, 13, 13, 13, 0, 100, -87);
    EXPECT_EQ(picture(sameRay), picture(full));
}

TEST(CanvasArc, StyledArcsRunThePatternAlongThePath) {
    Canvas c = whitePen(40, 40);
    c.setBrushStyle(Canvas::BrushStyle::clear);
    c.setPenStyle(psDot);
    c.arc(0, 0, 40, 40, 0, 0, 0, 0);
    Canvas solid = whitePen(40, 40);
    solid.arc(0, 0, 40, 40, 0, 0, 0, 0);
    const std::size_t dotted = litPixels(c).size(), all = litPixels(solid).size();
    EXPECT_GT(dotted, all * 2 / 5);
    EXPECT_LT(dotted, all * 3 / 5);
}

TEST(CanvasArc, HugeBoxesAreClipped) {
    Canvas c = whitePen(20, 20);
    c.arc(-200000, 10, 200000, 400010, 0, 0, 0, 0);  // only the top passes through
    const auto lit = litPixels(c);
    ASSERT_FALSE(lit.empty());
    for (PixelPoint p : lit) EXPECT_LE(p.y, 11);
}

TEST(CanvasArc, ImmenseBoxesCostOnlyTheVisiblePixels) {
    // A circle of radius 2^29 pixels whose top runs along row 10: the row is
    // all there is to draw, not billions of pixels.
    constexpr int r = 1 << 29;
    Canvas c = whitePen(20, 20);
    c.arc(10 - r, 10, 10 + r, 10 + 2 * r, 10, 0, 10, 0);
    std::vector<PixelPoint> row;
    for (int x = 0; x < 20; ++x) row.push_back({x, 10});
    EXPECT_EQ(litPixels(c), row);

    // Styled, only the top half: the dots keep their places along the path.
    Canvas dotted = whitePen(20, 20);
    dotted.setBrushStyle(Canvas::BrushStyle::clear);
    dotted.setPenStyle(psDot);
    dotted.arc(10 - r, 10, 10 + r, 10 + 2 * r, 100, 11, -100, 11);
    EXPECT_FALSE(litPixels(dotted).empty());
    EXPECT_LT(litPixels(dotted).size(), 20u);

    Canvas beyond = whitePen(20, 20);
    beyond.arc(INT_MIN, 10, INT_MAX, INT_MAX, 0, 0, 0, 0);  // wider than 2^31: not drawn
    EXPECT_TRUE(litPixels(beyond).empty());
}

TEST(CanvasConstruction, RejectsBadSizes) {
    EXPECT_THROW(Canvas(0, 5), std::invalid_argument);
    EXPECT_THROW(Canvas(5, -1), std::invalid_argument);
    EXPECT_THROW(Canvas(2, 2, defaultPalette(), std::vector<std::uint8_t>(3)), std::invalid_argument);
}

}  // namespace
}  // namespace velmora
