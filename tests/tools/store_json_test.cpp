#include <gtest/gtest.h>

#include <limits>
#include <sstream>

#include "tools/store_json.h"

using namespace velmora;

namespace {

// One row in every table, with nested arrays.
void fillEveryTable(DrawingStore& store) {
    store.blocks.emplace_back().InsertAry.emplace_back().name = u"INNER";
    store.blockLines.emplace_back();
    store.blockCircles.emplace_back();
    store.blockArcs.emplace_back();
    store.blockLwps.emplace_back().verAry.emplace_back().ihand = 3;
    store.blockLwpVertices.emplace_back();
    store.blockTexts.emplace_back();
    store.blockSolids.emplace_back();
    store.blockEllipses.emplace_back();
    store.blockInserts.emplace_back();
    store.modelLines.emplace_back().st = makeAcadPoint(1.5, -2, 3);
    store.modelCircles.emplace_back();
    store.modelArcs.emplace_back();
    store.modelTexts.emplace_back().str = u"\u90E8\u54C1";
    store.modelInserts.emplace_back();
    store.modelLwps.emplace_back();
    store.modelLwpVertices.emplace_back();
    store.modelEllipses.emplace_back();
    store.modelSolids.emplace_back();
    store.faces.emplace_back().pt[3] = makeAcadPoint(4, 4, 4);
    store.leaders.emplace_back();
    store.splines.emplace_back().code10Ary.push_back(makeAcadPoint(1, 2, 3));
    store.dimensions.emplace_back();
    store.layers.push_back(defaultLayer(u"0"));
    store.views.emplace_back();
    store.dwgCodePage = u"ANSI_932";
    store.drawingExtents.max = makeAcadPoint(10, 20, 0);
}

}  // namespace

TEST(StoreJson, EveryTableByNameWithRecordFieldNames) {
    DrawingStore store;
    fillEveryTable(store);
    StoreJson json = storeToJson(store);
    const char* tables[] = {"blocks", "blockLines", "blockCircles", "blockArcs", "blockLwps", "blockLwpVertices",
                            "blockTexts", "blockSolids", "blockEllipses", "blockInserts", "modelLines",
                            "modelCircles", "modelArcs", "modelTexts", "modelInserts", "modelLwps",
                            "modelLwpVertices", "modelEllipses", "modelSolids", "faces", "leaders", "splines",
                            "dimensions", "layers", "views"};
    for (const char* table : tables) {
        ASSERT_TRUE(json.contains(table)) << table;
        EXPECT_EQ(json[table].size(), 1u) << table;
    }
    EXPECT_EQ(json.size(), 27u);
    EXPECT_EQ(json["modelLines"][0]["st"], StoreJson::parse("[1.5, -2.0, 3.0]"));
    EXPECT_EQ(json["modelLines"][0].size(), 16u);
    EXPECT_EQ(json["modelTexts"][0]["str"], "\xE9\x83\xA8\xE5\x93\x81");
    EXPECT_EQ(json["blocks"][0]["InsertAry"][0]["name"], "INNER");
    EXPECT_EQ(json["blockLwps"][0]["verAry"][0]["ihand"], 3);
    EXPECT_EQ(json["faces"][0]["pt"][3], StoreJson::parse("[4.0, 4.0, 4.0]"));
    EXPECT_EQ(json["splines"][0]["code10Ary"][0][2], 3.0);
    EXPECT_EQ(json["dimensions"][0].contains("P6"), true);
    EXPECT_EQ(json["layers"][0]["ltype"], "CONTINUOUS");
    EXPECT_EQ(json["layers"][0]["visible"], true);
    EXPECT_EQ(json["dwgCodePage"], "ANSI_932");
    EXPECT_EQ(json["drawingExtents"], StoreJson::parse("[[0.0, 0.0, 0.0], [10.0, 20.0, 0.0]]"));
}

TEST(StoreJson, ValuesOutsideTheDoubleRangeAndBadTextStayValidJson) {
    DrawingStore store;
    store.modelLines.emplace_back().st.x = 1e400L;
    store.modelLines[0].layer = std::u16string(1, char16_t(0xD800));  // lone surrogate
    std::string text = formatStoreJson(storeToJson(store));
    StoreJson back = StoreJson::parse(text);
    EXPECT_TRUE(back["modelLines"][0]["st"][0].is_null());
    EXPECT_EQ(back["modelLines"][0]["layer"], "\xEF\xBF\xBD");
}

// The streamed text is the document's text, byte for byte, whatever the
// values: escapes, invalid text, numbers beyond the double range, negative
// zero, integers of every record type, and the trailer's members.
TEST(StoreJson, StreamedTextIsTheDocumentsText) {
    DrawingStore store;
    fillEveryTable(store);
    TAcadLineBlk& line = store.modelLines[0];
    line.layer = u"a\"b\\c\t\u0001\u007F\u90E8";
    line.ltype = std::u16string(1, char16_t(0xDC00));
    line.ed = makeAcadPoint(-0.0L, std::numeric_limits<long double>::quiet_NaN(), -1e-320L);
    line.PenColor = 0xFFFFFFFFu;
    line.color = -32768;
    line.atsumi = 1e300;
    store.modelLines.push_back(line);
    store.splines[0].code40Ary = {0.1, -2.5e-7};
    store.blocks.emplace_back();  // a block without nested references
    // Chords share their ends, and values recur, collide and differ only in sign.
    const long double values[] = {0.1L, -0.0L, 0.0L, 1e-320L, 4632.64502947964L, -0.1L, 1e300L, 0.30000000000000004L};
    for (int i = 0; i < 300; ++i) {
        TAcadLineBlk& chord = store.blockLines.emplace_back();
        chord.st = store.blockLines.size() > 1 ? store.blockLines[store.blockLines.size() - 2].ed : TAcadPoint{};
        chord.ed = makeAcadPoint(values[i % 8] * (i % 7), values[(i * 3) % 8], i * 0.37L);
        chord.layer = i % 2 ? std::u16string(1500, u'x') : u"L" + std::u16string(i % 5, u'-');
    }
    const StoreJson trailer = {{"counts", {{"result", true}, {"lines", 2}}}, {"status", "OK"}};

    std::ostringstream streamed;
    writeStoreJson(streamed, store, trailer);
    StoreJson document = storeToJson(store);
    for (const auto& [key, value] : trailer.items()) document[key] = value;
    EXPECT_EQ(streamed.str(), formatStoreJson(document) + "\n");

    std::ostringstream empty;
    writeStoreJson(empty, DrawingStore{}, StoreJson::object());
    EXPECT_EQ(empty.str(), formatStoreJson(storeToJson(DrawingStore{})) + "\n");
}
