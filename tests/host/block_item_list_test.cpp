#include <gtest/gtest.h>

#include <random>

#include "host/block_item_list.h"
#include "platform/errors.h"
#include "platform/locale_numbers.h"
#include "platform/text_encoding.h"
#include "platform/utf.h"
#include "tests/support/temp_dir.h"

using namespace velmora;

namespace {

using Pairs = std::vector<ItemPair>;

// The item list read from `text` (UTF-8 here, written as code page 932).
BlockItemCounts read(DrawingStore& store, const std::string& text) {
    return readBlockItemBytes(store, encodeAnsi(utf8ToUtf16(text)));
}

std::string lines(std::initializer_list<const char*> items, const char* end = "\r\n") {
    std::string out;
    for (const char* item : items) out += std::string(item) + end;
    return out;
}

const std::string kSample = lines({
    "((0 . LINE) (5 . 1F) (8 . \xE5\xA3\x81) (62 . 1) (10 1.0 2.0 3.0) (11 4.0 5.0 6.0) (210 0.0 0.0 1.0))",
    "((0 . ARC) (8 . A) (10 1.5 2.5 0.0) (40 . 3.0) (50 . 0.0) (51 . 1.5707963267948966))",
    "((0 . CIRCLE) (8 . C) (10 -1.0 -2.0 0.0) (40 . 0.5))",
    "((0 . LWPOLYLINE) (8 . P) (62 . 5) (90 . 3) (70 . 1) (10 0.0 0.0) (42 . 0.5) (10 10.0 0.0) (10 10.0 5.0))",
    "((0 . ATTDEF) (8 . 0) (10 0.0 0.0 0.0) (1 . X) (2 . TAG))",
    "((0 . TEXT) (8 . 0) (10 0.0 0.0 0.0) (1 . hello))",
});

void expectSampleRead(const DrawingStore& store, const BlockItemCounts& c) {
    EXPECT_TRUE(c.result);
    EXPECT_EQ(c.lines, 1);
    EXPECT_EQ(c.arcs, 1);
    EXPECT_EQ(c.circles, 1);
    EXPECT_EQ(c.polylines, 1);
    EXPECT_EQ(c.attributes, 1);
    EXPECT_EQ(c.items, 6);
    ASSERT_EQ(store.modelLines.size(), 1u);
    const TAcadLineBlk& line = store.modelLines[0];
    EXPECT_EQ(line.layer, u"\u58C1");  // 壁
    EXPECT_EQ(line.color, 1);
    EXPECT_EQ(line.st, makeAcadPoint(1, 2, 3));
    EXPECT_EQ(line.ed, makeAcadPoint(4, 5, 6));
    ASSERT_EQ(store.modelArcs.size(), 1u);
    EXPECT_EQ(store.modelArcs[0].center, makeAcadPoint(1.5, 2.5, 0));
    EXPECT_EQ(store.modelArcs[0].hankei, 3.0);
    ASSERT_EQ(store.modelCircles.size(), 1u);
    EXPECT_EQ(store.modelCircles[0].layer, u"C");
    EXPECT_EQ(store.modelCircles[0].hankei, 0.5);
    EXPECT_EQ(store.modelCircles[0].color, 0);  // no group 62: stays 0
    ASSERT_EQ(store.modelLwps.size(), 1u);
    EXPECT_EQ(store.modelLwps[0].code70, 1);
    EXPECT_EQ(store.modelLwps[0].color, 5);
    EXPECT_EQ(store.modelLwps[0].ihand, 0);
    ASSERT_EQ(store.modelLwpVertices.size(), 3u);
    EXPECT_EQ(store.modelLwpVertices[0].code42, 0.5);
    EXPECT_EQ(store.modelLwpVertices[1].code10, makeAcadPoint(10, 0, 0));
    EXPECT_EQ(store.modelLwpVertices[2].code10, makeAcadPoint(10, 5, 0));
}

}  // namespace

TEST(NormalizeItemLine, OuterParenthesesAreOptional) {
    EXPECT_EQ(normalizeItemLine(u"((0 . LINE) (8 . 0) (10 1 2 3))"), u"0 . LINE\t8 . 0\t10 1 2 3");
    EXPECT_EQ(normalizeItemLine(u"(0 . LINE) (8 . 0) (10 1 2 3)"), u"0 . LINE\t8 . 0\t10 1 2 3");
    EXPECT_EQ(normalizeItemLine(u"(0 . LINE)"), u"0 . LINE");
    EXPECT_EQ(normalizeItemLine(u"()"), u"");
    EXPECT_EQ(normalizeItemLine(u"("), u"");
    EXPECT_EQ(normalizeItemLine(u""), u"");
    EXPECT_EQ(normalizeItemLine(u"0 . LINE"), u"0 . LINE");
}

TEST(SplitItem, DottedPairsAndCoordinateLists) {
    EXPECT_EQ(splitItem(u"1 . a b . c"), (Pairs{{u"1", u"a b . c"}}));
    EXPECT_EQ(splitItem(u"10 1.0 2.0 3.0"), (Pairs{{u"10", u"1.0"}, {u"20", u"2.0"}, {u"30", u"3.0"}}));
    EXPECT_EQ(splitItem(u"11 4 5"), (Pairs{{u"11", u"4"}, {u"21", u"5"}}));
    EXPECT_EQ(splitItem(u"LINE"), Pairs{});
    EXPECT_EQ(expandCoordinateList(u"x", u"1 2"), (Pairs{{u"10", u"1"}, {u"20", u"2"}}));  // not an integer: 10
    EXPECT_EQ(expandCoordinateList(u"10", u"1  2"), (Pairs{{u"10", u"1"}, {u"20", u""}, {u"30", u"2"}}));
    EXPECT_EQ(expandCoordinateList(u"10", u"1 "), (Pairs{{u"10", u"1"}, {u"20", u""}}));
    EXPECT_EQ(expandCoordinateList(u"10", u""), Pairs{});
    EXPECT_EQ(expandCoordinateList(u"2147483647", u"a b").back().first, u"2147483657");  // no overflow
}

TEST(ReadBlockItemList, ReadsEveryKindIntoTheModelTables) {
    DrawingStore store;
    store.layers.push_back(defaultLayer(u"KEEP"));
    store.modelTexts.emplace_back();
    store.modelArcs.resize(4);
    store.modelLwpVertices.resize(9);
    expectSampleRead(store, read(store, kSample));
    // Tables the reader does not fill are left alone.
    EXPECT_EQ(store.layers.size(), 1u);
    EXPECT_EQ(store.modelTexts.size(), 1u);
}

TEST(ReadBlockItemList, LinesWithoutOuterParenthesesReadTheSame) {
    DrawingStore store;
    BlockItemCounts c = read(store, lines({
        "(0 . LINE) (8 . \xE5\xA3\x81) (62 . 1) (10 1.0 2.0 3.0) (11 4.0 5.0 6.0)",
        "(0 . ARC) (8 . A) (10 1.5 2.5 0.0) (40 . 3.0) (50 . 0.0) (51 . 1.5707963267948966)",
        "(0 . CIRCLE) (8 . C) (10 -1.0 -2.0 0.0) (40 . 0.5)",
        "(0 . LWPOLYLINE) (8 . P) (62 . 5) (90 . 3) (70 . 1) (10 0.0 0.0) (42 . 0.5) (10 10.0 0.0) (10 10.0 5.0)",
        "(0 . ATTDEF) (8 . 0)",
        "(0 . TEXT) (8 . 0)",
    }));
    expectSampleRead(store, c);
}

TEST(ReadBlockItemList, ArcAnglesInRadiansBecomeDegrees) {
    DrawingStore store;
    read(store, lines({"((0 . ARC) (10 0 0 0) (40 . 1) (50 . 0) (51 . 1.5707963267948966))",
                       "((0 . ARC) (50 . 3.141592653589793) (51 . -0.7853981633974483))"}));
    ASSERT_EQ(store.modelArcs.size(), 2u);
    EXPECT_EQ(store.modelArcs[0].st, 0.0);
    EXPECT_EQ(store.modelArcs[0].ed, 90.0);
    EXPECT_EQ(store.modelArcs[1].st, 180.0);
    EXPECT_EQ(store.modelArcs[1].ed, -45.0);
}

TEST(ReadBlockItemList, TwoValueCoordinatesAndBadValues) {
    DrawingStore store;
    read(store, lines({"((0 . LINE) (10 7.5 8.5) (11 x 2 3) (62 . red))",
                       "((0 . LWPOLYLINE) (90 . 1) (70 . closed) (10 1 2 99))",
                       "((0 . CIRCLE) (62 . 70000) (40 . abc) (xx . 5) (10 1,5 2))"}));
    ASSERT_EQ(store.modelLines.size(), 1u);
    EXPECT_EQ(store.modelLines[0].st, makeAcadPoint(7.5, 8.5, 0));  // z stays 0
    EXPECT_EQ(store.modelLines[0].ed, makeAcadPoint(0, 2, 3));      // not a number: 0
    EXPECT_EQ(store.modelLines[0].color, 7);                        // not an integer: 7
    EXPECT_EQ(store.modelLwps[0].code70, 0);
    EXPECT_EQ(store.modelLwpVertices[0].code10, makeAcadPoint(1, 2, 0));  // group 30 of a vertex: passed over
    EXPECT_EQ(store.modelCircles[0].color, static_cast<SmallInt>(70000));  // wraps like the SmallInt store
    EXPECT_EQ(store.modelCircles[0].hankei, 0.0);
    EXPECT_EQ(store.modelCircles[0].center, makeAcadPoint(0, 2, 0));
}

TEST(ReadBlockItemList, DecimalSeparatorIsTheProcessSetting) {
    char16_t saved = decimalSeparator();
    setDecimalSeparator(u',');
    DrawingStore store;
    read(store, lines({"((0 . LINE) (10 1,5 2.5 0))"}));
    setDecimalSeparator(saved);
    EXPECT_EQ(store.modelLines[0].st, makeAcadPoint(1.5, 0, 0));
}

TEST(ReadBlockItemList, LineTableGrowsBy500AndIsCutBack) {
    std::string text;
    for (int i = 0; i < 501; ++i) text += "((0 . LINE) (10 " + std::to_string(i) + " 0 0))\r\n";
    DrawingStore store;
    BlockItemCounts c = read(store, text);
    EXPECT_EQ(c.lines, 501);
    EXPECT_EQ(c.items, 501);
    ASSERT_EQ(store.modelLines.size(), 501u);
    EXPECT_EQ(store.modelLines[499].st.x, 499);
    EXPECT_EQ(store.modelLines[500].st.x, 500);
}

TEST(ReadBlockItemList, QuotedKindIsPassedOverButAQuotedFieldLosesItsMarks) {
    DrawingStore store;
    BlockItemCounts c = read(store, lines({"((0 . \"LINE\") (10 1 2 3))", "(\"0 . LINE\") (10 4 5 6)",
                                           "((0 . line) (10 7 8 9))"}));
    EXPECT_EQ(c.items, 3);
    EXPECT_EQ(c.lines, 1);
    ASSERT_EQ(store.modelLines.size(), 1u);
    EXPECT_EQ(store.modelLines[0].st, makeAcadPoint(4, 5, 6));
}

TEST(ReadBlockItemList, OnlyAttributeDefinitionsAndTexts) {
    DrawingStore store;
    BlockItemCounts c = read(store, lines({"((0 . ATTDEF) (8 . 0) (10 0 0 0))", "((0 . ATTDEF) (8 . 0))",
                                           "((0 . TEXT) (10 0 0 0))"}));
    EXPECT_TRUE(c.result);
    EXPECT_EQ(c.attributes, 2);
    EXPECT_EQ(c.items, 3);
    EXPECT_TRUE(store.modelLines.empty());
    EXPECT_TRUE(store.modelArcs.empty());
    EXPECT_TRUE(store.modelCircles.empty());
    EXPECT_TRUE(store.modelLwps.empty());
}

TEST(ReadBlockItemList, MissingEmptyAndMarkOnlyFilesGiveFalse) {
    testsupport::TempDir dir;
    DrawingStore store;
    store.modelLines.resize(3);
    store.modelCircles.resize(2);
    BlockItemCounts c = readBlockItemList(store, dir / kBlockItemListName);
    EXPECT_FALSE(c.result);
    EXPECT_EQ(c.items, 0);
    EXPECT_TRUE(store.modelLines.empty());
    EXPECT_TRUE(store.modelCircles.empty());
    EXPECT_FALSE(readBlockItemList(store, dir.path()).result);  // a folder is no file
    EXPECT_FALSE(readBlockItemList(store, dir.write("empty.txt", "")).result);
    for (const char* bom : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
        c = readBlockItemList(store, dir.write("bom.txt", bom));
        EXPECT_FALSE(c.result);
        EXPECT_EQ(c.items, 0);
        EXPECT_TRUE(store.modelLines.empty());
    }
    // A single empty line is one item.
    EXPECT_TRUE(readBlockItemList(store, dir.write("one.txt", "\r\n")).result);
}

TEST(ReadBlockItemList, EveryEncodingAndLineEndFromAFile) {
    testsupport::TempDir dir;
    for (const char* end : {"\r\n", "\n", "\r"}) {
        std::u16string body = utf8ToUtf16(std::string("((0 . LINE) (8 . \xE5\xA3\x81) (10 1.0 2.0 3.0) (11 4.0 5.0 6.0))") +
                                          end + "((0 . CIRCLE) (10 0 0 0) (40 . 2))" + end);
        std::string le = "\xFF\xFE", be = "\xFE\xFF";
        for (char16_t ch : body) {
            le += std::string{static_cast<char>(ch & 0xFF), static_cast<char>(ch >> 8)};
            be += std::string{static_cast<char>(ch >> 8), static_cast<char>(ch & 0xFF)};
        }
        for (const std::string& bytes : {encodeAnsi(body), "\xEF\xBB\xBF" + utf16ToUtf8(body), le, be}) {
            DrawingStore store;
            BlockItemCounts c = readBlockItemList(store, dir.write(kBlockItemListName, bytes));
            EXPECT_EQ(c.items, 2);
            EXPECT_EQ(c.lines, 1);
            EXPECT_EQ(c.circles, 1);
            ASSERT_EQ(store.modelLines.size(), 1u);
            EXPECT_EQ(store.modelLines[0].layer, u"\u58C1");
            EXPECT_EQ(store.modelLines[0].ed, makeAcadPoint(4, 5, 6));
            EXPECT_EQ(store.modelCircles[0].hankei, 2.0);
        }
    }
}

TEST(ReadBlockItemList, VertexGroupsWithoutARowAreDropped) {
    DrawingStore store;
    read(store, lines({
        // 10 before the 90, then one more vertex than announced.
        "((0 . LWPOLYLINE) (10 9 9) (42 . 9) (90 . 2) (10 1 1) (10 2 2) (10 3 3) (42 . 7))",
        // No 90 at all: must not reach the rows of the polyline before.
        "((0 . LWPOLYLINE) (10 8 8) (20 . 8) (42 . 8))",
        // 20 and 42 right after the 90, before any 10: no row yet.
        "((0 . LWPOLYLINE) (90 . 1) (20 . 6) (42 . 6) (10 5 5))",
    }));
    ASSERT_EQ(store.modelLwps.size(), 3u);
    ASSERT_EQ(store.modelLwpVertices.size(), 3u);
    EXPECT_EQ(store.modelLwpVertices[0].code10, makeAcadPoint(1, 1, 0));
    EXPECT_EQ(store.modelLwpVertices[0].code42, 0.0);
    EXPECT_EQ(store.modelLwpVertices[1].code10, makeAcadPoint(2, 2, 0));
    EXPECT_EQ(store.modelLwpVertices[1].code42, 0.0);
    EXPECT_EQ(store.modelLwpVertices[1].ihand, 0);
    EXPECT_EQ(store.modelLwpVertices[2].code10, makeAcadPoint(5, 5, 0));
    EXPECT_EQ(store.modelLwpVertices[2].code42, 0.0);
    EXPECT_EQ(store.modelLwpVertices[2].ihand, 2);
}

TEST(ReadBlockItemList, NegativeAndHugeVertexCounts) {
    DrawingStore store;
    const std::string counts = lines({"((0 . LWPOLYLINE) (90 . 2) (10 1 1) (10 2 2))",
                                      "((0 . LWPOLYLINE) (90 . -5) (10 3 3))",
                                      "((0 . LWPOLYLINE) (90 . 2000000000) (10 4 4) (10 5 5))"});
    read(store, counts);
    // The negative count reserves nothing and removes nothing.
    ASSERT_GE(store.modelLwpVertices.size(), 4u);
    EXPECT_EQ(store.modelLwpVertices[0].code10, makeAcadPoint(1, 1, 0));
    EXPECT_EQ(store.modelLwpVertices[1].code10, makeAcadPoint(2, 2, 0));
    EXPECT_EQ(store.modelLwpVertices[2].code10, makeAcadPoint(4, 4, 0));
    EXPECT_EQ(store.modelLwpVertices[3].code10, makeAcadPoint(5, 5, 0));
    EXPECT_EQ(store.modelLwpVertices[3].ihand, 2);
    // The huge count's unfilled rows are zeroed rows within the file's budget.
    EXPECT_LE(store.modelLwpVertices.size(), 4 + counts.size() / 4);
    EXPECT_EQ(store.modelLwpVertices.back().code10, makeAcadPoint(0, 0, 0));
    EXPECT_EQ(store.modelLwpVertices.back().ihand, 2);

    // Many huge counts together stay within the file's size: the budget,
    // then one zeroed row for each further count.
    std::string text = "((0 . LWPOLYLINE)";
    for (int i = 0; i < 20000; ++i) text += " (90 . 2000000000)";
    text += ")\r\n";
    DrawingStore big;
    read(big, text);
    EXPECT_LE(big.modelLwpVertices.size(), text.size() / 4 + 20000);
}

TEST(ReadBlockItemList, OverAnnouncedVertexCountKeepsZeroRowsAndSparesLaterPolylines) {
    std::string full = "((0 . LWPOLYLINE) (90 . 10)";
    for (int k = 0; k < 10; ++k) full += " (10 " + std::to_string(k) + " 7)";
    full += ")";
    DrawingStore store;
    read(store, lines({"((0 . LWPOLYLINE) (90 . 4) (10 1 1) (10 2 2))",
                       "((0 . LWPOLYLINE) (90 . 1000) (10 3 3))", full.c_str()}));
    const auto& v = store.modelLwpVertices;
    auto rowsOf = [&](Integer ihand) {
        std::vector<TLwpVer> rows;
        for (const TLwpVer& row : v)
            if (row.ihand == ihand) rows.push_back(row);
        return rows;
    };
    // Rows a group 90 announced but no group 10 filled stay as zeroed vertices.
    auto first = rowsOf(0);
    ASSERT_EQ(first.size(), 4u);
    EXPECT_EQ(first[1].code10, makeAcadPoint(2, 2, 0));
    EXPECT_EQ(first[3].code10, makeAcadPoint(0, 0, 0));
    auto second = rowsOf(1);
    ASSERT_GE(second.size(), 2u);
    EXPECT_EQ(second[0].code10, makeAcadPoint(3, 3, 0));
    EXPECT_EQ(second.back().code10, makeAcadPoint(0, 0, 0));
    // The over-announced polyline takes nothing from the one after it.
    auto third = rowsOf(2);
    ASSERT_EQ(third.size(), 10u);
    for (int k = 0; k < 10; ++k) EXPECT_EQ(third[k].code10, makeAcadPoint(k, 7, 0));
}

TEST(ReadBlockItemList, OverflowingDoubleRaisesAndKeepsTablesTrimmed) {
    DrawingStore store;
    EXPECT_THROW(read(store, lines({"((0 . LINE) (10 1e400 0 0))", "((0 . LINE))", "((0 . CIRCLE) (40 . 1e400))"})),
                 FloatingPointError);
    EXPECT_EQ(store.modelLines.size(), 2u);  // the extended start point held 1e400
    EXPECT_EQ(store.modelLines[0].st.x, 1e400L);
    EXPECT_THROW(read(store, lines({"((0 . ARC) (50 . 1e4931))"})), FloatingPointError);
    EXPECT_THROW(read(store, lines({"((0 . LWPOLYLINE) (90 . 1) (10 0 0) (42 . -1e309))"})), FloatingPointError);
}

TEST(ReadBlockItemList, GarbageNulsHugeLinesAndInvalidText) {
    DrawingStore store;
    // NUL bytes are characters like any other.
    const char kNul[] = "((0 . LINE) (8 . A\0B) (10 1 2 3))\r\n";
    std::string nul(kNul, sizeof kNul - 1);
    BlockItemCounts c = readBlockItemBytes(store, nul);
    EXPECT_EQ(c.items, 1);
    ASSERT_EQ(store.modelLines.size(), 1u);
    EXPECT_EQ(store.modelLines[0].layer, std::u16string(u"A\0B", 3));
    EXPECT_EQ(store.modelLines[0].st, makeAcadPoint(1, 2, 3));

    // Invalid code page 932 and UTF-8 sequences become U+FFFD.
    readBlockItemBytes(store, "((0 . LINE) (8 . \x82) (10 1 2 3))");
    EXPECT_EQ(store.modelLines[0].layer, u"\uFFFD");
    readBlockItemBytes(store, "\xEF\xBB\xBF((0 . LINE) (8 . \xC3(x) (10 1 2 3))");
    EXPECT_EQ(store.modelLines[0].layer, u"\uFFFD(x");

    // One huge line is one item.
    std::string huge = "((0 . LWPOLYLINE) (90 . 100000)";
    for (int i = 0; i < 100000; ++i) huge += " (10 1 2)";
    huge += ")";
    c = readBlockItemBytes(store, huge);
    EXPECT_EQ(c.items, 1);
    EXPECT_EQ(store.modelLwpVertices.size(), 100000u);

    // Random bytes: any result, but consistent tables.
    std::mt19937 random(42);
    for (int round = 0; round < 50; ++round) {
        std::string bytes(4000, '\0');
        for (char& b : bytes) b = static_cast<char>(random() % 256);
        c = readBlockItemBytes(store, bytes);
        EXPECT_EQ(store.modelLines.size(), static_cast<std::size_t>(c.lines));
        EXPECT_EQ(store.modelArcs.size(), static_cast<std::size_t>(c.arcs));
        EXPECT_EQ(store.modelLwps.size(), static_cast<std::size_t>(c.polylines));
    }
}
