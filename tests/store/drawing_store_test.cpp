#include <gtest/gtest.h>

#include "store/drawing_store.h"
#include "store/table_growth.h"

using namespace velmora;

TEST(LayerColor, AppendsMissingLayerOnceAndMatchesExactly) {
    DrawingStore store;
    EXPECT_EQ(layerColor(store, u"WALL"), 7);
    ASSERT_EQ(store.layers.size(), 1u);
    EXPECT_EQ(store.layers[0].ltype, u"CONTINUOUS");
    EXPECT_TRUE(store.layers[0].visible);

    store.layers[0].color = 3;
    EXPECT_EQ(layerColor(store, u"WALL"), 3);
    EXPECT_EQ(store.layers.size(), 1u);

    // Letter case and trailing blanks make a different layer.
    EXPECT_EQ(layerColor(store, u"wall"), 7);
    EXPECT_EQ(layerColor(store, u"WALL "), 7);
    ASSERT_EQ(store.layers.size(), 3u);
    EXPECT_EQ(store.layers[1].Name, u"wall");
    EXPECT_EQ(store.layers[2].Name, u"WALL ");
}

TEST(LayerColor, FirstOfDuplicateNamesWins) {
    DrawingStore store;
    store.layers.push_back(defaultLayer(u"A"));
    store.layers.push_back(defaultLayer(u"A"));
    store.layers[0].color = -5;
    store.layers[1].color = 2;
    EXPECT_EQ(layerColor(store, u"A"), -5);
}

TEST(DrawingStore, NewRowsStartZeroed) {
    TInsertBlk insert;
    EXPECT_EQ(insert.scale, makeAcadPoint(0, 0, 0));
    TAcadLineBlk line;
    EXPECT_TRUE(line.ltype.empty());
    EXPECT_EQ(line.code210, makeAcadPoint(0, 0, 0));
    EXPECT_EQ(line.PenStyle, psSolid);
}

TEST(DrawingStore, ClearTablesKeepsExtents) {
    DrawingStore store;
    store.modelLines.resize(3);
    store.layers.push_back(defaultLayer(u"0"));
    store.dwgCodePage = u"ANSI_932";
    store.drawingExtents.max = makeAcadPoint(5, 6, 0);
    clearTables(store);
    EXPECT_TRUE(store.modelLines.empty());
    EXPECT_TRUE(store.layers.empty());
    EXPECT_TRUE(store.dwgCodePage.empty());
    EXPECT_EQ(store.drawingExtents.max, makeAcadPoint(5, 6, 0));
}

TEST(DrawingStore, ClearTablesEmptiesAll25Tables) {
    DrawingStore store;
    store.blocks.resize(1);
    store.blockLines.resize(1);
    store.blockCircles.resize(1);
    store.blockArcs.resize(1);
    store.blockLwps.resize(1);
    store.blockLwpVertices.resize(1);
    store.blockTexts.resize(1);
    store.blockSolids.resize(1);
    store.blockEllipses.resize(1);
    store.blockInserts.resize(1);
    store.modelLines.resize(1);
    store.modelCircles.resize(1);
    store.modelArcs.resize(1);
    store.modelTexts.resize(1);
    store.modelInserts.resize(1);
    store.modelLwps.resize(1);
    store.modelLwpVertices.resize(1);
    store.modelEllipses.resize(1);
    store.modelSolids.resize(1);
    store.faces.resize(1);
    store.leaders.resize(1);
    store.splines.resize(1);
    store.dimensions.resize(1);
    store.layers.resize(1);
    store.views.resize(1);
    clearTables(store);
    EXPECT_TRUE(store.blocks.empty() && store.blockLines.empty() && store.blockCircles.empty() &&
                store.blockArcs.empty() && store.blockLwps.empty() && store.blockLwpVertices.empty() &&
                store.blockTexts.empty() && store.blockSolids.empty() && store.blockEllipses.empty() &&
                store.blockInserts.empty());
    EXPECT_TRUE(store.modelLines.empty() && store.modelCircles.empty() && store.modelArcs.empty() &&
                store.modelTexts.empty() && store.modelInserts.empty() && store.modelLwps.empty() &&
                store.modelLwpVertices.empty() && store.modelEllipses.empty() && store.modelSolids.empty());
    EXPECT_TRUE(store.faces.empty() && store.leaders.empty() && store.splines.empty() && store.dimensions.empty() &&
                store.layers.empty() && store.views.empty());
}

TEST(TableAppender, AppendsZeroedRowsAndNeverMovesReservedRows) {
    std::vector<TAcadLineBlk> lines(2);
    lines[0].color = 9;
    {
        TableAppender<TAcadLineBlk> out(lines);
        out.reserveMore(1011);
        const TAcadLineBlk* first = lines.data();
        out.append().color = 1;
        for (int i = 0; i < 1000; ++i) out.append();
        EXPECT_EQ(lines.data(), first);  // reserved rows are built in place
        out.reserveMore(10);             // room already there: nothing moves
        EXPECT_EQ(lines.data(), first);
    }
    ASSERT_EQ(lines.size(), 1003u);  // the final length is the rows filled
    EXPECT_EQ(lines[0].color, 9);
    EXPECT_EQ(lines[2].color, 1);
    EXPECT_EQ(lines[3].color, 0);
}

TEST(TableAppender, KeepsRowsAppendedBeforeAnException) {
    std::vector<TArcBlk> arcs;
    try {
        TableAppender<TArcBlk> out(arcs);
        out.append().hankei = 2;
        throw std::runtime_error("fault");
    } catch (const std::runtime_error&) {
    }
    ASSERT_EQ(arcs.size(), 1u);
    EXPECT_EQ(arcs[0].hankei, 2);
}
