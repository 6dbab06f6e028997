// The DXF reader on files of every section and entity kind it knows, and on
// files it must refuse or stop in.
#include <gtest/gtest.h>

#include "dxf/dxf_reader.h"
#include "platform/locale_numbers.h"
#include "tests/dxf/dxf_text.h"
#include "tests/support/temp_dir.h"

namespace velmora::test {
namespace {

struct RecordedMessages : DxfMessages {
    std::vector<std::u16string> shown;
    void show(const std::u16string& text) override { shown.push_back(text); }
};

struct RecordedProgress : DxfProgress {
    int maximum = 0, value = 0, moves = 0;
    void setMaximum(int m) override { maximum = m; }
    void setPosition(int p) override {
        value = p;
        ++moves;
    }
    int position() const override { return value; }
};

class DxfReaderTest : public ::testing::Test {
protected:
    void read(const std::string& bytes, DxfEncoding encoding = DxfEncoding::Ansi) {
        file = dir.write("drawing.dxf", bytes);
        readDxfFile(store, file, &progress, &messages, status, encoding, version);
    }
    void SetUp() override { setDecimalSeparator(u'.'); }
    testsupport::TempDir dir;
    std::filesystem::path file;
    DrawingStore store;
    RecordedMessages messages;
    RecordedProgress progress;
    std::u16string status, version;
};

const char* kSections = R"(
  0 SECTION
  2 HEADER
  9 $acadver
  1 AC1009
  9 $ACADVER
  1 AC1021
  9 $DWGCODEPAGE
  3 ANSI_932
  0 ENDSEC
  0 SECTION
  2 TABLES
  0 TABLE
  2 LAYER
 70 4
  0 LAYER
  2 Off
 62 -7
  6 dashed
  0 LAYER
  2 Frozen
 62 3
 70 1
  0 LAYER
  2 Locked
 62 7
 70 4
  0 LAYER
  2 FrozenLocked
 62 7
 70 5
  0 ENDTAB
  0 TABLE
  2 VIEW
  0 VIEW
  2 V1
 10 5.5
 20 6.5
 40 10
 41 20
 70 1
  0 ENDTAB
  0 ENDSEC
  0 SECTION
  2 BLOCKS
  0 BLOCK
  2 B1
  8 Off
  6 hidden
 10 1
 20 2
 30 3
  0 LINE
  8 0
 10 0
 11 1
  0 INSERT
  2 INNER
  8 Off
  0 ENDBLK
  0 ENDSEC
  0 LINE
  8 between
  2 ENTITIES
  0 INSERT
  2 B1
 41 2
  0 TEXT
  8 Locked
 10 1
  0 TEXT
  8 Frozen
  1 kept
  0 CIRCLE
  8 new
 62 256
 40 2
  0 ENDSEC
  0 EOF
)";

// Header, the two tables, a block with an entity and a nested reference,
// entities outside any section and the last entity's completion.
TEST_F(DxfReaderTest, SectionsTablesBlocksAndEntities) {
    read(dxfText(kSections));
    EXPECT_EQ(status, u"");
    EXPECT_EQ(version, u"AC1021");  // the lower-case name is not the variable
    EXPECT_EQ(store.dwgCodePage, u"ANSI_932");

    ASSERT_GE(store.layers.size(), 5u);
    struct { const char16_t* name; SmallInt color; bool visible; } layers[] = {
        {u"Off", -7, false}, {u"Frozen", 3, false}, {u"Locked", 7, true}, {u"FrozenLocked", 7, false}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(store.layers[i].Name, layers[i].name);
        EXPECT_EQ(store.layers[i].color, layers[i].color) << i;
        EXPECT_EQ(store.layers[i].visible, layers[i].visible) << i;
    }
    EXPECT_EQ(store.layers[0].ltype, u"DASHED");
    EXPECT_EQ(store.layers.back().Name, u"new");  // asked for at completion, colour 7
    EXPECT_EQ(store.layers.back().color, 7);

    ASSERT_EQ(store.views.size(), 1u);
    EXPECT_EQ(store.views[0].name, u"V1");
    EXPECT_EQ(store.views[0].center, makeAcadPoint(5.5, 6.5, 0));
    EXPECT_EQ(store.views[0].width, 20);

    ASSERT_EQ(store.blocks.size(), 1u);
    EXPECT_EQ(store.blocks[0].name, u"B1");
    EXPECT_EQ(store.blocks[0].ltype, u"HIDDEN");
    EXPECT_EQ(store.blocks[0].base, makeAcadPoint(1, 2, 3));
    ASSERT_EQ(store.blocks[0].InsertAry.size(), 1u);
    EXPECT_EQ(store.blocks[0].InsertAry[0].name, u"INNER");
    EXPECT_EQ(store.blocks[0].InsertAry[0].color, -7);  // BYLAYER from layer Off
    ASSERT_EQ(store.blockLines.size(), 1u);
    EXPECT_EQ(store.blockLines[0].bname, u"B1");
    EXPECT_EQ(store.blockLines[0].color, 7);  // layer 0 in a block: its layer's colour

    EXPECT_EQ(store.modelLines.size(), 0u);  // between the sections: ignored
    ASSERT_EQ(store.modelInserts.size(), 1u);
    EXPECT_EQ(store.modelInserts[0].dimBlkName, u"B1");
    EXPECT_EQ(store.modelInserts[0].scale, makeAcadPoint(2, 1, 1));
    ASSERT_EQ(store.modelTexts.size(), 1u);  // the text without text is dropped
    EXPECT_EQ(store.modelTexts[0].str, u"kept");
    EXPECT_EQ(store.modelTexts[0].color, 3);
    ASSERT_EQ(store.modelCircles.size(), 1u);
    EXPECT_EQ(store.modelCircles[0].color, 7);  // the last entity is completed too
    EXPECT_EQ(progress.maximum, 50);

    DrawingStore again;
    std::u16string s, v;
    readDxfFile(again, file, nullptr, nullptr, s, DxfEncoding::Ansi, v);
    EXPECT_EQ(again.layers.size(), store.layers.size());  // every table is emptied first
    readDxfFile(store, file, nullptr, nullptr, s, DxfEncoding::Ansi, v);
    EXPECT_EQ(store.modelTexts.size(), 1u);
}

const char* kEntities = R"(
  0 SECTION
  2 ENTITIES
  0 LINE
 67 1
 62 1
 10 1
 20 2
 30 3
 11 4
 21 5
 31 6
210 0
220 0
230 -1
  0 CIRCLE
 67 1
 62 2
 40 7
210 0
220 1
230 0
  0 ATTRIB
  1 a
 73 1
 74 2
 62 1
  0 TEXT
  1 t
 73 1
 74 2
 62 1
  0 MTEXT
  3 first  
  1   second
 71 7
 62 1
  0 3DFACE
 10 0
 11 1
 12 2
 62 1
  0 3DFACE
 13 3
 23 4
 62 1
  0 LEADER
 10 9
 76 5
 10 1
 20 1
 30 0
 10 2
 20 2
 30 0
 10 3
 20 3
 30 0
 10 4
 20 4
 30 0
  0 SPLINE
 70 8
 20 9
 10 1
 10 2
 20 2
 30 2
 10 3
 10 4
 40 0.5
 41 1.5
  0 DIMENSION
  2 *D1
 40 1.5
 50 30
 51 45
 16 1
 26 2
 36 3
 70 32
  0 LWPOLYLINE
 62 256
 38 2.5
 20 99
 10 1
 20 2
 42 0.5
 10 3
 20 4
 70 1
  0 POLYLINE
 62 5
 70 1
  0 VERTEX
 10 1
 20 2
 30 3
 42 1
  0 VERTEX
 10 4
  0 SEQEND
  0 ELLIPSE
 10 1
 11 2
 40 0.5
 41 0
 42 3.14
  0 SOLID
 62 1
 10 1
 13 4
  0 ENDSEC
)";

TEST_F(DxfReaderTest, GroupCodesOfEveryEntityKind) {
    read(dxfText(kEntities));
    ASSERT_EQ(status, u"");
    const TAcadLineBlk& line = store.modelLines.at(0);
    EXPECT_EQ(line.code67, 0);  // a LINE reads neither 67 nor the extrusion
    EXPECT_EQ(line.code210, makeAcadPoint(0, 0, 1));
    EXPECT_EQ(line.st, makeAcadPoint(1, 2, 3));
    EXPECT_EQ(line.ed, makeAcadPoint(4, 5, 6));
    EXPECT_EQ(line.layer, u"0");
    EXPECT_EQ(line.ltype, u"BYLAYER");
    EXPECT_EQ(store.modelCircles.at(0).code67, 1);
    EXPECT_EQ(store.modelCircles.at(0).code210, makeAcadPoint(0, 1, 0));

    ASSERT_EQ(store.modelTexts.size(), 3u);
    EXPECT_EQ(store.modelTexts[0].code73, 2);  // ATTRIB: group 74
    EXPECT_TRUE(store.modelTexts[0].atflag);
    EXPECT_EQ(store.modelTexts[1].code73, 1);  // TEXT: group 73
    EXPECT_EQ(store.modelTexts[2].str, u"firstsecond");  // pieces trimmed, in file order
    EXPECT_TRUE(store.modelTexts[2].mtflag);
    EXPECT_EQ(store.modelTexts[2].code71, 7);
    EXPECT_EQ(store.modelTexts[2].code41, 1.0);
    EXPECT_EQ(store.modelTexts[2].layer, u"");
    EXPECT_EQ(store.modelTexts[2].color, 1);

    ASSERT_EQ(store.faces.size(), 2u);
    EXPECT_EQ(store.faces[0].count, 3);
    EXPECT_EQ(store.faces[1].count, 4);
    EXPECT_EQ(store.faces[1].pt[3], makeAcadPoint(3, 4, 0));

    const TLeaderBlk& leader = store.leaders.at(0);
    EXPECT_EQ(leader.code76, 5);
    EXPECT_EQ(leader.p1, makeAcadPoint(1, 1, 0));  // the vertex before 76 is not kept
    EXPECT_EQ(leader.p3, makeAcadPoint(3, 3, 0));
    EXPECT_EQ(leader.color, 7);  // no 62: the layer's colour


    const TSplineBlk& spline = store.splines.at(0);
    ASSERT_EQ(spline.code10Ary.size(), 4u);
    EXPECT_EQ(spline.code10Ary[0], makeAcadPoint(1, 0, 0));  // 20 before the first 10 ignored
    EXPECT_EQ(spline.code10Ary[1], makeAcadPoint(2, 2, 2));
    EXPECT_EQ(spline.code40Ary, std::vector<double>{0.5});
    EXPECT_EQ(spline.code41Ary, std::vector<double>{1.5});

    const TDimensionBlk& dim = store.dimensions.at(0);
    EXPECT_EQ(dim.dimblkName, u"*D1");
    EXPECT_EQ(dim.code40, 1.5);
    EXPECT_EQ(dim.code50, 30);
    EXPECT_EQ(dim.code51, 45);
    EXPECT_EQ(dim.P6, makeAcadPoint(1, 2, 3));
    EXPECT_EQ(dim.dimtype, 32);

    ASSERT_EQ(store.modelLwps.size(), 2u);
    EXPECT_EQ(store.modelLwps[0].color, 7);  // settled at its first vertex
    EXPECT_EQ(store.modelLwps[0].code70, 1);
    EXPECT_EQ(store.modelLwps[1].ihand, 1);
    ASSERT_EQ(store.modelLwpVertices.size(), 4u);
    EXPECT_EQ(store.modelLwpVertices[0].code10, makeAcadPoint(1, 2, 2.5));
    EXPECT_EQ(store.modelLwpVertices[0].code42, 0.5);
    EXPECT_EQ(store.modelLwpVertices[1].code10, makeAcadPoint(3, 4, 2.5));
    EXPECT_EQ(store.modelLwpVertices[2].code10, makeAcadPoint(1, 2, 3));
    EXPECT_EQ(store.modelLwpVertices[2].code42, 1);
    EXPECT_EQ(store.modelLwpVertices[2].ihand, 1);
    EXPECT_EQ(store.modelLwpVertices[3].code10, makeAcadPoint(4, 0, 0));

    EXPECT_EQ(store.modelEllipses.at(0).owari, 3.14);
    EXPECT_EQ(store.modelSolids.at(0).color, 7);  // no 62 for a SOLID
    EXPECT_EQ(store.modelSolids.at(0).p4, makeAcadPoint(4, 0, 0));

    // 2-D leaders leave 30 out: each vertex still ends where the next 10 comes.
    const std::string flat = "0\nSECTION\n2\nENTITIES\n0\nLEADER\n8\n0\n76\n3\n10\n1\n20\n2\n10\n3\n20\n4\n"
                             "10\n5\n20\n6\n0\nLEADER\n8\n0\n76\n2\n10\n1\n20\n2\n30\n0\n10\n3\n20\n4\n0\nENDSEC\n0\nEOF\n";
    read(flat);
    ASSERT_EQ(store.leaders.size(), 2u);
    EXPECT_EQ(store.leaders[0].p1, makeAcadPoint(1, 2, 0));
    EXPECT_EQ(store.leaders[0].p2, makeAcadPoint(3, 4, 0));
    EXPECT_EQ(store.leaders[0].p3, makeAcadPoint(5, 6, 0));
    EXPECT_EQ(store.leaders[1].p1, makeAcadPoint(1, 2, 0));  // with and without 30 in one leader
    EXPECT_EQ(store.leaders[1].p2, makeAcadPoint(3, 4, 0));
}

// What ends a read early, and what is no failure at all.
TEST_F(DxfReaderTest, FailuresAndFilesWithoutContent) {
    const std::string head = dxfText("0 SECTION\n2 ENTITIES\n0 LINE\n10 1\n20 1\n30 0");
    struct Case {
        std::string bytes;
        std::u16string status;
    } cases[] = {
        {head + dxfText("10 1,5"), u"13:10/14:1,5"},
        {head + dxfText("62 red"), u"13:62/14:red"},
        {head + dxfText("10 1e99999"), u"13:10/14:1e99999"},
        {head + dxfText("10 nan"), u"13:10/14:nan"},
        {head + dxfText("40 1e400\n"), u""},  // a LINE has no group 40
        {head + "  10\r\n", u"13:10/14:"},    // the missing value line reads as empty
        {head + dxfText("0 EOF") + "trash after the end\r\n\x01\x02", u""},
        {std::string("AutoCAD Binary DXF\r\n\x1a\0", 22), u""},
        // A long value is quoted by its start; a line longer than any field is cut as read.
        {head + "  10\r\n" + std::string(300, 'z') + "\r\n", u"13:10/14:" + std::u16string(200, u'z') + u"…"},
        {head + "  10\r\n" + std::string(3 << 20, 'z'), u"13:10/14:" + std::u16string(200, u'z') + u"…"},
        {"", u""},
    };
    for (const Case& c : cases) {
        messages.shown.clear();
        read(c.bytes);
        EXPECT_EQ(status, c.status) << c.bytes.substr(0, 80);
        EXPECT_EQ(messages.shown.size(), c.status.empty() ? 0u : 1u);
        EXPECT_FALSE(store.layers.empty());
    }
    read(head + dxfText("10 1,5"));
    EXPECT_EQ(messages.shown.back(), u"drawing.dxf\n13 行=10\n14 行=1,5");
    EXPECT_EQ(store.modelLines.size(), 1u);  // what was read before stays

    DrawingStore missing;
    readDxfFile(missing, dir / "none.dxf", nullptr, nullptr, status, DxfEncoding::Ansi, version);
    EXPECT_EQ(status, u"");
    ASSERT_EQ(missing.layers.size(), 1u);
    EXPECT_EQ(missing.layers[0].Name, u"0");
    EXPECT_TRUE(missing.layers[0].visible);
}

// A LAYER table met after entities: entities take the colour of the first
// row of their layer's name, as a walk of the layer table gives.
TEST_F(DxfReaderTest, LayerColoursFollowTheTableAsItIsRead) {
    read(dxfText(R"(
  0 SECTION
  2 ENTITIES
  0 LINE
  8 A
  0 LINE
  8 A
  0 ENDSEC
  0 TABLE
  2 LAYER
  0 LAYER
  2 A
 62 5
  0 LAYER
  2 A
 62 6
  0 ENDTAB
  2 ENTITIES
  0 LINE
  8 A
  0 ENDSEC
)"));
    ASSERT_EQ(store.modelLines.size(), 3u);
    EXPECT_EQ(store.modelLines[0].color, 7);  // A made by the first completion
    EXPECT_EQ(store.modelLines[1].color, 7);
    EXPECT_EQ(store.modelLines[2].color, 7);  // the first row named A is still the one made first
    EXPECT_EQ(store.layers.size(), 3u);
    EXPECT_EQ(store.layers[2].color, 6);
}

// Texts in the two encodings, with \U+ escapes decoded at the end.
TEST_F(DxfReaderTest, EncodingsAndEscapes) {
    const std::string utf8 = "\xE9\x83\xA8\xE5\x93\x81";  // 部品
    const std::string cp932 = "\x95\x94\x95\x69";
    const std::string body = "0 SECTION\n2 ENTITIES\n0 TEXT\n1 A\\U+0042C\\U+3042\n8 ";
    read(dxfText(body + utf8), DxfEncoding::Utf8);
    EXPECT_EQ(store.modelTexts.at(0).layer, u"部品");
    EXPECT_EQ(store.modelTexts.at(0).str, u"ABCあ");
    read(dxfText(body + cp932), DxfEncoding::Ansi);
    EXPECT_EQ(store.modelTexts.at(0).layer, u"部品");
}

}  // namespace
}  // namespace velmora::test
