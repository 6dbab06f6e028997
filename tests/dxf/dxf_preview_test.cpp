// The probes before a read, the escape decoder, and the preview from the file
// to the bitmap or the cross.
#include <gtest/gtest.h>

#include <chrono>

#include "dxf/dxf_preview.h"
#include "dxf/dxf_probes.h"
#include "dxf/text_escapes.h"
#include "geometry/block_expansion.h"
#include "tests/dxf/dxf_text.h"
#include "tests/support/temp_dir.h"

namespace velmora::test {
namespace {

TEST(DxfProbes, SignatureAndVersion) {
    testsupport::TempDir dir;
    struct { std::string bytes; std::u16string signature; } signatures[] = {
        {"AC103", u""}, {"AC1032rest", u"AC1032"}, {std::string("AC\0DEFG", 7), u"AC"}, {"AutoCAD Binary", u"AutoCA"}};
    for (const auto& c : signatures) {
        std::u16string signature = u"x";
        EXPECT_TRUE(readFileSignature(dir.write("s.dxf", c.bytes), signature));
        EXPECT_EQ(signature, c.signature);
    }
    std::u16string value = u"x";
    EXPECT_TRUE(readFileSignature(dir / "missing.dxf", value));
    EXPECT_EQ(value, u"");

    struct { std::string pairs; std::u16string version; } versions[] = {
        {"0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1021\n0 ENDSEC", u"AC1021"},
        {"0 SECTION\n2 HEADER\n9 $ACADVER\n3 AC1021\n9 $ACADVER\n1 AC1015", u""},  // a pair other than 1 stops
        {"0 SECTION\n2 ENTITIES\n9 $ACADVER\n1 AC1021", u""},
        {"0 SECTION\n2 HEADER\nx $ACADVER\n1 AC1021", u""},  // a code that is no integer stops
        {"9 $ACADVER\n1 AC1021", u""},                        // outside the header
    };
    for (const auto& c : versions) {
        EXPECT_TRUE(readAcadVersion(dir.write("v.dxf", dxfText(c.pairs)), value));
        EXPECT_EQ(value, c.version) << c.pairs;
        // A UTF-8 byte order mark before the first line changes nothing.
        EXPECT_TRUE(readAcadVersion(dir.write("m.dxf", "\xEF\xBB\xBF" + dxfText(c.pairs)), value));
        EXPECT_EQ(value, c.version) << c.pairs;
    }
}

TEST(TextEscapes, DecodesUpToFourHexDigits) {
    struct { std::u16string in, out; } cases[] = {
        {u"A\\U+0042C", u"ABC"},
        {u"\\U+3042", u"あ"},
        {u"x\\U+00", std::u16string(u"x\0", 2)},
        {u"\\U+0041\\U+0041", u"AA"},
        {u"\\u+0041", u"\\u+0041"},
        {u"\\U+zz", std::u16string(1, u'\0')},
        {u"\\U+005C\\U+0055+0041", u"A"},  // a formed escape is decoded by a later search
        {u"\\U+005CU+0041", u"A"},
        {u"\\\\U+0055+0041x", u"Ax"},
        {u"\\U+005C\\U+005C", u"\\\\"},
        {u"\\U+0041\\U+0042\\U+0041\\U+30", u"ABA0"},
        {u"\\U+", std::u16string(1, u'\0')},
        {u"ab\\U+4", u"ab\u0004"},
    };
    for (const auto& c : cases) {
        std::u16string text = c.in;
        decodeUnicodeEscapes(text);
        EXPECT_EQ(text, c.out);
    }
}

class DxfPreviewTest : public ::testing::Test {
protected:
    bool preview(const std::string& name, const std::string& bytes, int w = 120, int h = 100) {
        image = Canvas(w, h);
        return drawDxfPreview(store, dir.write(name, bytes), image, hooks, view);
    }
    int inked() const {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) != 0;
        return n;
    }
    testsupport::TempDir dir;
    DrawingStore store;
    Canvas image{120, 100};
    DxfPreviewHooks hooks;
    DxfPreviewView view;
};

const std::string kLine = dxfText("0 SECTION\n2 ENTITIES\n0 LINE\n10 0\n20 0\n11 10\n21 5\n0 ENDSEC\n0 EOF");

TEST_F(DxfPreviewTest, ProbesDecideWhetherTheFileIsRead) {
    EXPECT_TRUE(preview("a.dxf", kLine));  // the extension in lower case passes
    EXPECT_EQ(view.previewWidth, 10);
    EXPECT_GE(inked(), 100);
    const int crossPixels = [&] {
        preview("a.txt", kLine);
        return inked();
    }();
    EXPECT_EQ(image.pixel(40, 33), 0x00FFFF00u);  // the cross
    struct { const char* name; std::string bytes; bool drawn; } cases[] = {
        {"b.DXF", "AC1015" + kLine, false},
        {"c.dxf", std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + kLine, false},
        {"d.dxf", dxfText("0 SECTION\n2 ENTITIES\n0 LINE\n10 x"), false},  // the reader's line error
        {"e.dxf", dxfText("0 SECTION\n2 ENTITIES\n0 ENDSEC"), true},  // empty: drawn, zero extents
    };
    for (const auto& c : cases) {
        EXPECT_EQ(preview(c.name, c.bytes), c.drawn) << c.name;
        if (!c.drawn) {
            EXPECT_EQ(inked(), crossPixels) << c.name;
        }
    }
    EXPECT_EQ(view.previewWidth, 0);
    EXPECT_EQ(view.previewCenter, makeAcadPoint(0, 0, 0));
}

TEST_F(DxfPreviewTest, VersionChoosesTheEncoding) {
    EXPECT_FALSE(dxfVersionIsUtf8(u""));
    EXPECT_FALSE(dxfVersionIsUtf8(u"AC1018"));
    EXPECT_TRUE(dxfVersionIsUtf8(u"AC1021"));
    EXPECT_TRUE(dxfVersionIsUtf8(u"AC1032"));
    const std::string text = "0 SECTION\n2 HEADER\n9 $ACADVER\n1 %s\n0 ENDSEC\n0 SECTION\n2 ENTITIES\n0 LINE\n8 ";
    auto layerOf = [&](const std::string& version, const std::string& name, const std::string& mark = "") {
        std::string pairs = text;
        pairs.replace(pairs.find("%s"), 2, version);
        preview("v.dxf", mark + dxfText(pairs + name + "\n11 1\n0 ENDSEC"));
        return store.modelLines.at(0).layer;
    };
    EXPECT_EQ(layerOf("AC1018", "\x95\x94"), u"部");
    EXPECT_EQ(layerOf("AC1021", "\xE9\x83\xA8"), u"部");
    // Written with a UTF-8 byte order mark: the mark is skipped, the version still chooses.
    EXPECT_EQ(layerOf("AC1021", "\xE9\x83\xA8", "\xEF\xBB\xBF"), u"部");
    EXPECT_EQ(layerOf("AC1018", "\x95\x94", "\xEF\xBB\xBF"), u"部");
}

// A small file whose references multiply into billions of rows stops at the
// expansion budget: nested ones (block definitions) are left out and the
// rest drawn; model ones give the cross. Neither runs long.
TEST_F(DxfPreviewTest, ExpansionBombsStopAtTheBudget) {
    auto block = [](const std::string& name, const std::string& body) {
        return "0 BLOCK\n2 " + name + "\n" + body + "0 ENDBLK\n";
    };
    std::string lines, inners, outers;
    for (int i = 0; i < 1000; ++i) lines += "0 LINE\n10 " + std::to_string(i) + "\n11 1\n";
    for (int i = 0; i < 1000; ++i) inners += "0 INSERT\n2 L\n10 " + std::to_string(i) + "\n";
    for (int i = 0; i < 1000; ++i) outers += "0 INSERT\n2 N\n20 " + std::to_string(i) + "\n";
    const std::string blocks = "0 SECTION\n2 BLOCKS\n" + block("L", lines) + block("N", inners) + "0 ENDSEC\n";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(preview("nested.dxf", dxfText(blocks + "0 SECTION\n2 ENTITIES\n" + outers + "0 LINE\n11 5\n0 ENDSEC")));
    EXPECT_LT(store.modelLines.size(), 3'000'000u);
    std::string direct;
    for (int i = 0; i < 3000; ++i) direct += "0 INSERT\n2 L\n";
    EXPECT_FALSE(preview("model.dxf", dxfText(blocks + "0 SECTION\n2 ENTITIES\n" + direct + "0 ENDSEC")));

    // One budget for all expansions: model references that use most of it
    // leave too little for the nested ones, which are left out.
    constexpr std::size_t kBudgetLines = kMinExpansionBytes / sizeof(TAcadLineBlk);
    std::string most;
    for (int i = 0; i < 1900; ++i) most += "0 INSERT\n2 L\n";
    EXPECT_TRUE(preview("most.dxf", dxfText(blocks + "0 SECTION\n2 ENTITIES\n" + most + "0 INSERT\n2 N\n0 ENDSEC")));
    EXPECT_LE(store.modelLines.size(), kBudgetLines);
    EXPECT_GE(store.modelLines.size(), 1'900'000u);
    // The budget counts bytes: long texts in a block reach it with few rows.
    std::string texts, textRefs;
    for (int i = 0; i < 1000; ++i) texts += "0 TEXT\n1 " + std::string(500, 'w') + "\n";
    for (int i = 0; i < 1000; ++i) textRefs += "0 INSERT\n2 T\n";
    EXPECT_FALSE(preview("texts.dxf", dxfText("0 SECTION\n2 BLOCKS\n" + block("T", texts) +
                                              "0 ENDSEC\n0 SECTION\n2 ENTITIES\n" + textRefs + "0 ENDSEC")));
    EXPECT_TRUE(store.modelTexts.empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::minutes(2));  // a hang guard, not a timing
}

// Both strokes of a 3 x 3 cross run from (1, 1) to (1, 1); a line leaves out
// its end point, so nothing is painted and the image is only cleared.
TEST_F(DxfPreviewTest, TinyImageCrossStrokesHaveNoLength) {
    image = Canvas(3, 3);
    image.setPixel(0, 0, 0xFFFFFF);
    drawFailureCross(image);
    EXPECT_EQ(image.penPosition(), (PixelPoint{1, 1}));
    EXPECT_EQ(inked(), 0);
}

}  // namespace
}  // namespace velmora::test
