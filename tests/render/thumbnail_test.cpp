#include "render/thumbnail.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "host/block_item_list.h"
#include "platform/locale_numbers.h"
#include "render/renderer.h"
#include "tests/render/canvas_test_support.h"
#include "tests/render/golden_image.h"

namespace velmora {
namespace {

using testsupport::expectMatchesGolden;
using testsupport::litPixels;

const std::filesystem::path kFlange = std::filesystem::path(VELMORA_SOURCE_DIR) / "samples/items/flange.txt";

class SeparatorGuard {
public:
    SeparatorGuard() : saved_(decimalSeparator()) {}
    ~SeparatorGuard() { setDecimalSeparator(saved_); }

private:
    char16_t saved_;
};

TAcadPoint pt(Extended x, Extended y) { return TAcadPoint{x, y, 0}; }
const TAcadPoint kPlusZ{0, 0, 1};

TLayer layer(std::u16string name, std::u16string ltype, bool visible = true) {
    return TLayer{std::move(name), 7, 0, std::move(ltype), visible, u""};
}

void addLine(DrawingStore& s, TAcadPoint a, TAcadPoint b, std::u16string layerName, std::u16string ltype = u"BYLAYER") {
    TAcadLineBlk l;
    l.st = a;
    l.ed = b;
    l.layer = std::move(layerName);
    l.ltype = std::move(ltype);
    l.color = 7;
    l.code210 = kPlusZ;
    s.modelLines.push_back(l);
}

// A small plan: a frame, hidden and centre lines, +Z circles and arcs (which
// the normalisation leaves as curves), a row on a switched-off layer and a
// text (not drawn).
DrawingStore planDrawing() {
    DrawingStore s;
    s.layers = {layer(u"0", u"CONTINUOUS"), layer(u"hidden", u"HIDDEN"), layer(u"axis", u"CENTER"),
                layer(u"off", u"CONTINUOUS", false)};
    addLine(s, pt(0, 0), pt(200, 0), u"0");
    addLine(s, pt(200, 0), pt(200, 120), u"0");
    addLine(s, pt(200, 120), pt(0, 120), u"0");
    addLine(s, pt(0, 120), pt(0, 0), u"0");
    addLine(s, pt(20, 20), pt(180, 100), u"hidden");
    addLine(s, pt(100, -10), pt(100, 130), u"axis");
    addLine(s, pt(-10, 60), pt(210, 60), u"0", u"PHANTOM");
    addLine(s, pt(-500, -500), pt(500, 500), u"off");
    for (int i = 0; i < 3; ++i) {
        TCircleBlk c;
        c.center = pt(40 + 60 * i, 90);
        c.hankei = 8 + 4 * i;
        c.layer = u"0";
        c.ltype = u"BYLAYER";
        c.code210 = kPlusZ;
        s.modelCircles.push_back(c);
    }
    const double arcs[][4] = {{50, 30, 15, 0}, {150, 30, 20, 135}, {100, 60, 45, 300}};
    for (const auto& a : arcs) {
        TArcBlk r;
        r.center = pt(a[0], a[1]);
        r.hankei = a[2];
        r.st = a[3];
        r.ed = a[3] + 210;
        r.layer = u"0";
        r.ltype = u"BYLAYER";
        r.code210 = kPlusZ;
        s.modelArcs.push_back(r);
    }
    TTextBlk t;
    t.pt10 = pt(10, 10);
    t.code40 = 10;
    t.code41 = 1;
    t.str = u"PLAN";
    s.modelTexts.push_back(t);
    return s;
}

TEST(ThumbnailTexts, SizeAndCount) {
    SeparatorGuard guard;
    setDecimalSeparator(u'.');
    EXPECT_EQ(sizeText(120, 120), u"120.00 x 120.00");
    EXPECT_EQ(sizeText(0.005, 1234567.125), u"0.01 x 1234567.12");  // from the binary value
    EXPECT_EQ(sizeText(0, 2.675), u"0.00 x 2.67");
    setDecimalSeparator(u',');
    EXPECT_EQ(sizeText(1.5, 0.25), u"1,50 x 0,25");
    EXPECT_EQ(countText(1, 12), u"属性 = 1 / 12");
    EXPECT_EQ(countText(0, 0), u"属性 = 0 / 0");
}

TEST(Thumbnail, FlangeItemList) {
    SeparatorGuard guard;
    setDecimalSeparator(u'.');
    DrawingStore store;
    const BlockItemCounts counts = readBlockItemList(store, kFlange);
    ASSERT_TRUE(counts.result);
    const Thumbnail t = makeThumbnail(store);
    EXPECT_EQ(t.sizeText, u"120.00 x 120.00");
    EXPECT_EQ(countText(counts.attributes, counts.items), u"属性 = 1 / 12");
    EXPECT_EQ(t.previewWidth, 120);
    EXPECT_EQ(t.previewCenter, pt(0, 0));
    EXPECT_EQ(t.bitmap.width(), 120);
    EXPECT_EQ(t.bitmap.height(), 100);
    for (PixelPoint p : litPixels(t.bitmap)) ASSERT_EQ(t.bitmap.pixel(p.x, p.y), 0xFFFFFFu);
    expectMatchesGolden(t.bitmap, "flange_items");
    // The drawing stays in the store, normalised.
    EXPECT_TRUE(store.modelLwps.empty());
    EXPECT_FALSE(store.modelLines.empty());
}

// The pixels of the text "PLAN" (drawing box x 5 to 60, y 2 to 30) in a
// thumbnail of the plan, when the text is drawn by the Windows font calls:
// their glyphs are not FreeType's. Everything else must match exactly.
testsupport::PixelBox planTextPixels([[maybe_unused]] const Thumbnail& t) {
#if defined(_WIN32)
    const double scale = std::min(t.bitmap.width() / double(t.previewWidth), t.bitmap.height() / double(t.previewHeight));
    auto px = [&](double x) { return int(t.bitmap.width() / 2.0 + (x - t.previewCenter.x) * scale); };
    auto py = [&](double y) { return int(t.bitmap.height() / 2.0 - (y - t.previewCenter.y) * scale); };
    return {px(5), py(30), px(60) + 1, py(2) + 1};
#else
    return {};
#endif
}

TEST(Thumbnail, PlanAtTwoSizes) {
    DrawingStore small = planDrawing(), large = planDrawing();
    const Thumbnail t = makeThumbnail(small);
    EXPECT_EQ(t.previewWidth, 220);
    EXPECT_EQ(t.previewHeight, 140);
    EXPECT_EQ(t.previewCenter, pt(100, 60));
    expectMatchesGolden(t.bitmap, "plan_120x100", planTextPixels(t));
    const Thumbnail l = makeThumbnail(large, 400, 300);
    expectMatchesGolden(l.bitmap, "plan_400x300", planTextPixels(l));
}

TEST(Thumbnail, EmptyStoreGivesABlackBitmap) {
    DrawingStore store;
    const Thumbnail t = makeThumbnail(store, 30, 20);
    EXPECT_EQ(t.sizeText, sizeText(0, 0));
    EXPECT_TRUE(litPixels(t.bitmap).empty());
}

// The canvas rasteriser on its own: circles and arcs of many sizes, every pen
// style, wide pens and colours matched to the palette.
TEST(CanvasGolden, ShapesAndStyles) {
    Canvas c(160, 120);
    clearCanvas(c, 160, 120, 0);
    int x = 2;
    for (int size = 1; size <= 16; ++size) {
        c.arc(x, 2, x + size, 2 + size, 0, 0, 0, 0);
        x += size + 2;
    }
    c.setPenColor(0x00FFFF);
    for (int i = 0; i < 8; ++i) {
        const int cx = 20 + 40 * (i % 4), cy = 45 + 35 * (i / 4);
        const double a0 = i * 0.7, a1 = a0 + 1 + i * 0.6;
        c.arc(cx - 15, cy - 12, cx + 15, cy + 12, cx + int(100 * std::cos(a0)), cy - int(100 * std::sin(a0)),
              cx + int(100 * std::cos(a1)), cy - int(100 * std::sin(a1)));
    }
    const TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot, psAlternate};
    c.setPenColor(0x123456);  // matched to the nearest entry
    for (int i = 0; i < 6; ++i) {
        c.setPenStyle(styles[i]);
        c.moveTo(3, 30 + 15 * i);
        c.lineTo(157, 36 + 15 * i + (i % 2) * 10);
    }
    c.setPenStyle(psDot);
    c.setPenWidth(3);
    c.setPenColor(0xFF00FF);
    c.moveTo(150, 110);
    c.lineTo(120, 70);
    c.arc(60, 60, 100, 100, 100, 80, 60, 80);
    expectMatchesGolden(c, "canvas_shapes");
}

}  // namespace
}  // namespace velmora
