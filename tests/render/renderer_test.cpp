#include "render/renderer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "geometry/plane_geometry.h"
#include "platform/errors.h"
#include "platform/rounding.h"
#include "render/extents.h"
#include "render/pen_resolution.h"
#include "render/render_pass.h"
#include "tests/render/canvas_test_support.h"

namespace velmora {
namespace {

using testsupport::litPixels;
using testsupport::picture;

TAcadPoint pt(Extended x, Extended y) { return TAcadPoint{x, y, 0}; }
double radians(double degrees) { return roundToDouble(degrees * kDegToRad); }

TAcadLineBlk line(TAcadPoint a, TAcadPoint b, TColor pen = 0xFFFFFF) {
    TAcadLineBlk l;
    l.st = a;
    l.ed = b;
    l.PenColor = pen;
    l.layindex = -1;
    return l;
}

TArcBlk arc(TAcadPoint c, double r, double st, double ed) {
    TArcBlk a;
    a.center = c;
    a.hankei = r;
    a.st = st;
    a.ed = ed;
    a.layindex = -1;
    return a;
}

TCircleBlk circle(TAcadPoint c, double r) {
    TCircleBlk k;
    k.center = c;
    k.hankei = r;
    k.layindex = -1;
    return k;
}

struct View {
    TAcadPoint center;
    double width = 0;
    double height = 0;
    int colorMode = 1;
    std::u16string onlyLayer;
    bool drawAll = true;
    bool thinOut = false;
    TColor back = 0;
};

// The window's call on a 120 x 100 bitmap cleared to the background.
Canvas render(DrawingStore& store, const View& v) {
    Canvas c(120, 100);
    clearCanvas(c, 120, 100, v.back);
    RenderView view = fittedView(v.center, v.width, v.height, c, 0.9, v.colorMode);
    view.onlyLayer = v.onlyLayer;
    view.backColor = v.back;
    view.drawAll = v.drawAll;
    view.thinOut = v.thinOut;
    renderDrawing(store, c, view);
    return c;
}

// The window's road from the store's own extents.
Canvas renderFitted(DrawingStore& store, View v = {}) {
    computeExtents(store);
    const DrawingExtents& e = store.drawingExtents;
    v.width = static_cast<double>(e.max.x - e.min.x);
    v.height = static_cast<double>(e.max.y - e.min.y);
    v.center = pt((e.min.x + e.max.x) / 2, (e.min.y + e.max.y) / 2);
    return render(store, v);
}

// A view at exactly one drawing unit per pixel, centred on the origin.
View unitView() {
    View v;
    v.width = 108;
    v.height = 1;
    return v;
}

TEST(ToPixel, RoundsHalvesToEven) {
    EXPECT_EQ(toPixel(pt(2.5, -4.5), {60, 50}, 1), (PixelPoint{62, 54}));
    EXPECT_EQ(toPixel(pt(3.5, 2.5), {60, 50}, 1), (PixelPoint{64, 48}));
    EXPECT_EQ(toPixel(pt(-2.5, 0), {0, 0}, 1), (PixelPoint{-2, 0}));
    EXPECT_EQ(toPixel(pt(1e12, -1e12), {0, 0}, 1).x, 1 << 30);  // held far outside
    EXPECT_EQ(toPixel(pt(-1e12, 1e12), {0, 0}, 1).y, -(1 << 30));
    EXPECT_THROW(toPixel(pt(1e300, 0), {0, 0}, 1e-300), FloatingPointError);
    EXPECT_THROW(toPixel(pt(1, 0), {0, 0}, 0), FloatingPointError);
}

TEST(RenderDrawing, FitsTheExtentsIntoNineTenthsOfTheBitmap) {
    DrawingStore store;
    store.modelLines = {line(pt(0, 0), pt(100, 50)), line(pt(100, 50), pt(0, 0))};
    const Canvas c = renderFitted(store);
    // 50/100 is not above 100/120: 0.925926 units per pixel from the width.
    const double upp = (100.0 / 120) / 0.9;
    EXPECT_EQ(toPixel(viewOffset(pt(0, 0), pt(50, 25)), {60, 50}, upp), (PixelPoint{6, 77}));
    EXPECT_EQ(toPixel(viewOffset(pt(100, 50), pt(50, 25)), {60, 50}, upp), (PixelPoint{114, 23}));
    EXPECT_EQ(c.pixel(6, 77), 0xFFFFFFu);
    EXPECT_EQ(c.pixel(114, 23), 0xFFFFFFu);
    const auto lit = litPixels(c);
    const auto [minX, maxX] = std::minmax_element(lit.begin(), lit.end(), [](auto a, auto b) { return a.x < b.x; });
    const auto [minY, maxY] = std::minmax_element(lit.begin(), lit.end(), [](auto a, auto b) { return a.y < b.y; });
    EXPECT_EQ(minX->x, 6);
    EXPECT_EQ(maxX->x, 114);
    EXPECT_EQ(minY->y, 23);
    EXPECT_EQ(maxY->y, 77);
}

TEST(RenderDrawing, TallDrawingsFitByTheirHeight) {
    DrawingStore store;
    store.modelLines = {line(pt(0, 0), pt(10, 90)), line(pt(10, 90), pt(0, 0))};
    const Canvas c = renderFitted(store);
    // upp = 90/100/0.9 = 1: the ends land 45 pixels above and below the centre.
    EXPECT_EQ(c.pixel(55, 95), 0xFFFFFFu);
    EXPECT_EQ(c.pixel(65, 5), 0xFFFFFFu);
}

TEST(RenderDrawing, SingleHorizontalLineAtOneOverFillRatio) {
    DrawingStore store;
    store.modelLines = {line(pt(0, 0), pt(10, 0))};
    const Canvas c = renderFitted(store);
    std::vector<PixelPoint> expected;
    for (int x = 56; x < 64; ++x) expected.push_back({x, 50});  // x = 64 is the left-out end
    EXPECT_EQ(litPixels(c), expected);
}

TEST(RenderDrawing, EmptyOrPointDrawingsKeepTheBackground) {
    DrawingStore empty;
    View green;
    green.back = 0x00FF00;
    Canvas c = renderFitted(empty, green);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 120; ++x) ASSERT_EQ(c.pixel(x, y), 0x00FF00u);

    DrawingStore point;
    point.modelLines = {line(pt(3, 3), pt(3, 3))};
    point.modelCircles = {circle(pt(3, 3), 0)};
    EXPECT_TRUE(litPixels(renderFitted(point)).empty());

    DrawingStore noFill;
    noFill.modelLines = {line(pt(0, 0), pt(10, 10))};
    Canvas d(120, 100);
    renderDrawing(noFill, d, fittedView(pt(5, 5), 10, 10, d, 0));
    EXPECT_TRUE(litPixels(d).empty());
}

// A 10-unit drawing centred on (5, 5) on a bitmap that claims these sides.
RenderView zeroSided(int width, int height, double drawingHeight) {
    RenderView view;
    view.viewCenter = pt(5, 5);
    view.drawingWidth = 10;
    view.drawingHeight = drawingHeight;
    view.pixelCenter = {60, 50};
    view.bitmapWidth = width;
    view.bitmapHeight = height;
    return view;
}

TEST(RenderDrawing, ZeroBitmapSidesRaiseWhenTheScaleDividesByThem) {
    DrawingStore store;
    store.modelLines = {line(pt(0, 0), pt(10, 10))};
    Canvas c(120, 100);
    for (auto [w, h] : {std::pair{0, 100}, {120, 0}, {0, 0}})
        EXPECT_THROW(renderDrawing(store, c, zeroSided(w, h, 10)), FloatingPointError)
            << w << " x " << h;
    // A single run does not divide by the bitmap: drawn at 1/fillRatio.
    renderDrawing(store, c, zeroSided(0, 0, 0));
    EXPECT_FALSE(litPixels(c).empty());
}

TEST(RenderDrawing, ArcThroughZeroIsWrittenBackAndDrawnCounterClockwise) {
    DrawingStore store;
    store.modelArcs = {arc(pt(0, 0), 40, 350, 10)};
    const Canvas c = render(store, unitView());
    EXPECT_EQ(store.modelArcs[0].ed, 370);
    EXPECT_EQ(store.modelArcs[0].st, 350);
    const auto lit = litPixels(c);
    ASSERT_FALSE(lit.empty());
    for (PixelPoint p : lit) {
        EXPECT_GE(p.x, 60 + 38);  // only the short piece through angle 0
        EXPECT_LE(std::abs(p.y - 50), 8);
    }
    // The box's right edge is left out: angle 0 lies on the column left of it.
    EXPECT_EQ(c.pixel(99, 49), 0xFFFFFFu);
    EXPECT_EQ(c.pixel(99, 50), 0xFFFFFFu);
    render(store, unitView());
    EXPECT_EQ(store.modelArcs[0].ed, 370);  // already above the start
}

TEST(RenderDrawing, ArcsOfAtMostOneDegreeAreChords) {
    DrawingStore arcs, chord;
    arcs.modelArcs = {arc(pt(-30, -20), 80, 10, 10.5), arc(pt(30, 20), 50, 359.5, 0.5)};
    const double s = 10 * std::numbers::pi / 180, e = 10.5 * std::numbers::pi / 180;
    chord.modelLines = {line(polarPoint(pt(-30, -20), s, 80), polarPoint(pt(-30, -20), e, 80))};
    const double s2 = 359.5 * std::numbers::pi / 180, e2 = 360.5 * std::numbers::pi / 180;
    chord.modelLines.push_back(line(polarPoint(pt(30, 20), s2, 50), polarPoint(pt(30, 20), e2, 50)));
    const Canvas a = render(arcs, unitView());
    EXPECT_EQ(picture(a), picture(render(chord, unitView())));
    EXPECT_FALSE(litPixels(a).empty());
}

TEST(RenderDrawing, ArcEndsAreComparedAndRaisedInExtendedPrecision) {
    // 1.1 - 0.1 is 1 in doubles but a little more in extended precision: an
    // arc, not a chord (the chord would also leave out its end pixel).
    DrawingStore store, chord;
    store.modelArcs = {arc(pt(-40, 0), 99, 0.1, 1.1)};
    const double s = radians(0.1), e = radians(1.1);
    chord.modelLines = {line(polarPoint(pt(-40, 0), s, 99), polarPoint(pt(-40, 0), e, 99))};
    Canvas expected(120, 100);
    clearCanvas(expected, 120, 100, 0);
    drawArc(expected, {60, 50}, pt(-40, 0), 1, 99, s, e, 0xFFFFFF, 1, psSolid);
    const Canvas drawn = render(store, unitView());
    EXPECT_EQ(picture(drawn), picture(expected));
    EXPECT_NE(picture(drawn), picture(render(chord, unitView())));

    // ed + 360 rounded once from extended precision: the exact sum lies just
    // above a halfway point that extended precision rounds onto, which then
    // goes to the even Double, 360.
    DrawingStore raised;
    raised.modelArcs = {arc(pt(0, 0), 10, 10, std::ldexp(1.0, -45) + std::ldexp(1.0, -97))};
    render(raised, unitView());
    EXPECT_EQ(raised.modelArcs[0].ed, 360.0);
}

TEST(RenderDrawing, TinyCirclesAndArcsBecomeOnePixel) {
    DrawingStore store;
    store.modelCircles = {circle(pt(3, 4), 0.5)};  // 0.5 pixel rounds to 0
    EXPECT_EQ(litPixels(render(store, unitView())), (std::vector<PixelPoint>{{63, 46}}));
    store.modelCircles[0].PenColor = 0x0000FF;
    store.modelCircles[0].PenStyle = psDot;
    View red = unitView();
    red.colorMode = 0;
    const Canvas dot = render(store, red);
    EXPECT_EQ(dot.pixel(63, 46), 0x0000FFu);
    EXPECT_EQ(dot.penColor(), 0xFFFFFFu);  // the pen is not touched for a single pixel
    EXPECT_EQ(dot.penStyle(), psSolid);

    store.modelCircles = {circle(pt(3, 4), 1.5)};
    EXPECT_GT(litPixels(render(store, unitView())).size(), 1u);

    DrawingStore arcs;
    arcs.modelArcs = {arc(pt(-5, 7), 2, 10, 11.5)};  // both ends on one pixel
    EXPECT_EQ(litPixels(render(arcs, unitView())), (std::vector<PixelPoint>{{55, 43}}));
}

TEST(RenderDrawing, ColourModes) {
    DrawingStore store;
    store.modelLines = {line(pt(-10, 0), pt(10, 0), 0x0000FF), line(pt(-10, 5), pt(10, 5), 0x000000)};
    View v = unitView();
    EXPECT_EQ(render(store, v).pixel(60, 50), 0xFFFFFFu);
    v.colorMode = 0;
    EXPECT_EQ(render(store, v).pixel(60, 50), 0x0000FFu);
    EXPECT_EQ(render(store, v).pixel(60, 45), 0xFFFFFFu);  // the background colour turns over
    v.colorMode = 7;
    EXPECT_EQ(render(store, v).pixel(60, 50), 0x0000FFu);
    v.colorMode = 2;
    EXPECT_EQ(render(store, v).pixel(60, 50), 0xFFFF00u);
    v.colorMode = 1;
    v.back = 0xFFFFFF;
    EXPECT_EQ(render(store, v).pixel(60, 50), 0x000000u);
    EXPECT_EQ(inverseColor(0xFF0000FF), 0xFFFF00u);
}

TEST(RenderDrawing, LayerRestrictionAndVisibility) {
    DrawingStore store;
    store.layers = {TLayer{u"0", 7, 0, u"CONTINUOUS", true, u""},
                    TLayer{u"off", 7, 0, u"CONTINUOUS", false, u""}};
    store.modelLines = {line(pt(-10, 0), pt(10, 0)), line(pt(-10, 10), pt(10, 10)),
                        line(pt(-10, -10), pt(10, -10))};
    store.modelLines[0].layindex = 0;
    store.modelLines[1].layindex = 1;
    store.modelLines[2].layindex = 5;  // beyond the table: visible
    View v = unitView();
    Canvas all = render(store, v);
    EXPECT_EQ(all.pixel(60, 50), 0xFFFFFFu);
    EXPECT_EQ(all.pixel(60, 40), 0u);
    EXPECT_EQ(all.pixel(60, 60), 0xFFFFFFu);

    v.onlyLayer = u"off";
    Canvas only = render(store, v);
    EXPECT_EQ(only.pixel(60, 50), 0u);
    EXPECT_EQ(only.pixel(60, 40), 0xFFFFFFu);
    EXPECT_EQ(only.pixel(60, 60), 0u);

    v.onlyLayer = u"unknown";  // like no restriction
    EXPECT_EQ(picture(render(store, v)), picture(all));
}

TEST(RenderDrawing, HiddenAndPaperSpaceRowsAreSkipped) {
    DrawingStore store;
    store.modelLines = {line(pt(-10, 0), pt(10, 0)), line(pt(-10, 10), pt(10, 10)),
                        line(pt(-10, -10), pt(10, -10))};
    store.modelLines[0].code60 = 1;
    store.modelLines[1].code67 = -1;
    store.modelArcs = {arc(pt(0, 0), 20, 90, 10)};
    store.modelArcs[0].code67 = 1;
    const Canvas c = render(store, unitView());
    EXPECT_EQ(c.pixel(60, 50), 0u);
    EXPECT_EQ(c.pixel(60, 40), 0u);
    EXPECT_EQ(c.pixel(60, 60), 0xFFFFFFu);
    EXPECT_EQ(store.modelArcs[0].ed, 10);  // not drawn, not raised
}

TEST(RenderDrawing, ThinOutDrawsEveryOtherRowOfEachTable) {
    DrawingStore store;
    for (int i = 0; i < 5; ++i) {
        store.modelLines.push_back(line(pt(-40, 40 - 4 * i), pt(-20, 40 - 4 * i)));
        store.modelCircles.push_back(circle(pt(0, 40 - 10 * i), 3));
        store.modelArcs.push_back(arc(pt(30, 40 - 10 * i), 3, 300, 200));
    }
    View v = unitView();
    v.thinOut = true;
    const Canvas c = render(store, v);
    for (int i = 0; i < 5; ++i) {
        const bool drawn = i % 2 == 0;
        EXPECT_EQ(c.pixel(30, 10 + 4 * i) != 0, drawn) << "line " << i;
        EXPECT_EQ(c.pixel(60 - 3, 10 + 10 * i) != 0, drawn) << "circle " << i;
        EXPECT_EQ(store.modelArcs[i].ed == 560, drawn) << "arc " << i;
    }
}

TEST(RenderDrawing, DrawAllOffSkipsRowsOutsideTheWindow) {
    DrawingStore store;
    store.modelArcs = {arc(pt(0, 0), 5, 90, 10), arc(pt(1000, 0), 5, 90, 10)};
    store.modelLines = {line(pt(-1000, 0), pt(1000, 1)), line(pt(200, 200), pt(300, 300))};
    View v = unitView();
    v.drawAll = false;
    const Canvas c = render(store, v);
    EXPECT_EQ(store.modelArcs[0].ed, 370);
    EXPECT_EQ(store.modelArcs[1].ed, 10);
    EXPECT_NE(c.pixel(60, 49), 0u);  // the long line crosses the window
}

TEST(WindowTests, SegmentsBoxesAndPoints) {
    const Box w{pt(0, 0), pt(10, 10)};
    EXPECT_TRUE(segmentMeetsWindow(pt(-5, 5), pt(15, 5), w));
    EXPECT_TRUE(segmentMeetsWindow(pt(2, 2), pt(3, 3), w));
    EXPECT_TRUE(segmentMeetsWindow(pt(-5, 5), pt(5, -5), w));  // touches the corner
    EXPECT_FALSE(segmentMeetsWindow(pt(-5, 4), pt(4, -5), w));
    EXPECT_FALSE(segmentMeetsWindow(pt(11, 0), pt(11, 10), w));
    EXPECT_TRUE(boxMeetsWindow(Box{pt(-3, -3), pt(0, 0)}, w));
    EXPECT_FALSE(boxMeetsWindow(Box{pt(-3, -3), pt(-1, 20)}, w));
    EXPECT_TRUE(pointInWindow(pt(10, 0), w));
    EXPECT_FALSE(pointInWindow(pt(10.5, 0), w));
}

TEST(ClearCanvas, FillsEverythingAndLeavesAWhitePen) {
    Canvas c(7, 5);
    c.setPenWidth(3);
    c.setPenStyle(psDot);
    clearCanvas(c, 7, 5, 0x0000FF);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(c.pixel(x, y), 0x0000FFu);
    EXPECT_EQ(c.penColor(), 0xFFFFFFu);
    EXPECT_EQ(c.penWidth(), 3);
    EXPECT_EQ(c.penStyle(), psDot);
    EXPECT_EQ(c.brushColor(), 0x0000FFu);
}

TEST(LayerVisibleByIndex, InsideAndOutsideTheTable) {
    DrawingStore store;
    store.layers = {TLayer{u"a", 7, 0, u"", false, u""}};
    EXPECT_FALSE(layerVisibleByIndex(store, 0));
    EXPECT_TRUE(layerVisibleByIndex(store, -1));
    EXPECT_TRUE(layerVisibleByIndex(store, 1));
}

}  // namespace
}  // namespace velmora
