#include "render/pen_resolution.h"

#include <limits>

#include <gtest/gtest.h>

namespace velmora {
namespace {

TLayer layer(std::u16string name, std::u16string ltype) {
    return TLayer{std::move(name), 7, 0, std::move(ltype), true, u""};
}

TEST(AciToColor, FixedRowsAndTheHueWheel) {
    const std::pair<int, TColor> rows[] = {
        {1, 0x0000FF},   {2, 0x00FFFF},   {3, 0x00FF00},   {4, 0xFFFF00},   {5, 0xFF0000},
        {6, 0xFF00FF},   {7, 0xFFFFFF},   {8, 0x808080},   {9, 0xC0C0C0},   {250, 0x333333},
        {251, 0x5B5B5B}, {252, 0x848484}, {253, 0xADADAD}, {254, 0xD6D6D6}, {255, 0xFFFFFF},
        {0, 0xFFFFFF},   {256, 0xFFFFFF}, {1000, 0xFFFFFF}, {10, 0x0000FF},  {11, 0x7F7FFF},
        {12, 0x0000CC},  {13, 0x6666CC},  {18, 0x00004C},  {19, 0x26264C},  {20, 0x003FFF},
        {21, 0x7F9FFF},  {30, 0x007FFF},  {40, 0x00BFFF},  {50, 0x00FFFF},  {60, 0x00FFBF},
        {100, 0x3FFF00}, {130, 0xFFFF00}, {170, 0xFF0000}, {200, 0xFF00BF}, {210, 0xFF00FF},
        {240, 0x3F00FF}, {249, 0x2F264C},
    };
    for (auto [n, color] : rows) EXPECT_EQ(aciToColor(n), color) << "colour number " << n;
}

TEST(AciToColor, NegativeNumbersAreSwitchedOffLayers) {
    EXPECT_EQ(aciToColor(-3), 0x00FF00u);
    EXPECT_EQ(aciToColor(-249), aciToColor(249));
    EXPECT_EQ(aciToColor(-32768), 0xFFFFFFu);
    EXPECT_EQ(aciToColor(std::numeric_limits<int>::min()), 0xFFFFFFu);
}

TEST(PenStyleForLinetype, PrefixesInOrder) {
    const std::pair<std::u16string, TPenStyle> rows[] = {
        {u"CONTINUOUS", psSolid},  {u"HIDDEN", psDot},          {u"HIDDEN2", psDot},
        {u"DASHED", psDot},        {u"dashdot", psDashDot},     {u"DASHDOTX2", psDashDot},
        {u"CENTER", psDashDot},    {u"BORDER", psDashDot},      {u"PHANTOM2", psDashDotDot},
        {u"DEVIDE", psDashDotDot}, {u"DIVIDE2", psSolid},       {u"DOT", psDot},
        {u"BYBLOCK", psSolid},     {u"", psSolid},              {u"DASH", psSolid},
        {u"ｃｏｎ", psSolid},        {u"Hid", psDot},
    };
    for (const auto& [name, style] : rows)
        EXPECT_EQ(penStyleForLinetype(name), style) << std::string(name.begin(), name.end());
}

TEST(LinetypePenStyle, ByLayerAndEmptyTakeTheLayersLinetype) {
    DrawingStore store;
    store.layers = {layer(u"A", u"HIDDEN2"), layer(u"A", u"CENTER"), layer(u"B", u"BYLAYER")};
    EXPECT_EQ(linetypePenStyle(store, u"BYLAYER", u"A"), psDot);  // the first layer A
    EXPECT_EQ(linetypePenStyle(store, u"", u"A"), psDot);
    EXPECT_EQ(linetypePenStyle(store, u"bylayer", u"A"), psSolid);  // case-sensitive
    EXPECT_EQ(linetypePenStyle(store, u"PHANTOM", u"A"), psDashDotDot);
    EXPECT_EQ(linetypePenStyle(store, u"BYLAYER", u"missing"), psSolid);
    EXPECT_EQ(linetypePenStyle(store, u"BYLAYER", u"B"), psSolid);
}

TEST(ResolvePens, FillsTheThreeFieldsOfEveryTable) {
    DrawingStore store;
    store.layers = {layer(u"0", u"CONTINUOUS"), layer(u"A", u"HIDDEN2"), layer(u"A", u"DOT")};
    TAcadLineBlk line;
    line.color = 1;
    line.ltype = u"BYLAYER";
    line.layer = u"A";
    line.code60 = 1;  // hidden rows are resolved too
    store.modelLines = {line, line};
    store.modelLines[1].layer = u"gone";
    TArcBlk arc;
    arc.color = -3;
    arc.ltype = u"CENTER";
    arc.layer = u"0";
    store.modelArcs = {arc};
    TCircleBlk circle;
    circle.color = 256;
    circle.ltype = u"";
    circle.layer = u"A";
    store.modelCircles = {circle};
    TTextBlk text;
    text.color = 5;
    text.layer = u"A";
    text.str = u"kept";
    store.modelTexts = {text};

    resolvePens(store);
    EXPECT_EQ(store.modelLines[0].PenColor, 0x0000FFu);
    EXPECT_EQ(store.modelLines[0].PenStyle, psDot);
    EXPECT_EQ(store.modelLines[0].layindex, 1);
    EXPECT_EQ(store.modelLines[1].PenStyle, psSolid);
    EXPECT_EQ(store.modelLines[1].layindex, -1);
    EXPECT_EQ(store.modelArcs[0].PenColor, 0x00FF00u);
    EXPECT_EQ(store.modelArcs[0].PenStyle, psDashDot);
    EXPECT_EQ(store.modelArcs[0].layindex, 0);
    EXPECT_EQ(store.modelCircles[0].PenColor, 0xFFFFFFu);
    EXPECT_EQ(store.modelCircles[0].PenStyle, psDot);
    EXPECT_EQ(store.modelTexts[0].PenColor, 0xFF0000u);
    EXPECT_EQ(store.modelTexts[0].layindex, 1);
    EXPECT_EQ(store.modelTexts[0].str, u"kept");
}

}  // namespace
}  // namespace velmora
