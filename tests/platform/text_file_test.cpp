#include <gtest/gtest.h>

#include <algorithm>

#include "platform/text_file.h"
#include "tests/support/temp_dir.h"

using namespace velmora;
using Lines = std::vector<std::u16string>;

TEST(SplitLines, LineEndsAsTheStringListReadsThem) {
    EXPECT_EQ(splitLines(u""), Lines{});
    EXPECT_EQ(splitLines(u"a"), Lines{u"a"});
    EXPECT_EQ(splitLines(u"a\n"), Lines{u"a"});
    EXPECT_EQ(splitLines(u"\n"), Lines{u""});
    EXPECT_EQ(splitLines(u"a\n\n"), (Lines{u"a", u""}));
    EXPECT_EQ(splitLines(u"a\r\nb\rc\nd"), (Lines{u"a", u"b", u"c", u"d"}));
    EXPECT_EQ(splitLines(u"a\r\rb"), (Lines{u"a", u"", u"b"}));
    EXPECT_EQ(splitLines(u"a\n\rb"), (Lines{u"a", u"", u"b"}));  // LF CR is two line ends
    EXPECT_EQ(splitLines(std::u16string(u"a\0b\n", 4)), Lines{std::u16string(u"a\0b", 3)});
}

TEST(ReadTextFileLines, ReadsByMarkOrInTheNamedEncoding) {
    testsupport::TempDir dir;
    auto ansi = dir.write("ansi.txt", "\x82\xA0\r\nx");
    auto utf8 = dir.write("utf8.txt", "\xEF\xBB\xBF\xE3\x81\x82\nx\n");
    EXPECT_EQ(*readTextFileLines(ansi), (Lines{u"\u3042", u"x"}));
    EXPECT_EQ(*readTextFileLines(utf8), (Lines{u"\u3042", u"x"}));
    EXPECT_EQ(*readTextFileLines(utf8, TextEncoding::Utf8, ByteOrderMarks::Ignore), (Lines{u"\uFEFF\u3042", u"x"}));
    EXPECT_FALSE(readTextFileLines(dir / "missing.txt"));
    EXPECT_FALSE(readTextFileLines(dir.path()));  // a folder is no file
}

// Lines decoded a block at a time, from memory or read from a file, are the
// lines of the whole text decoded at once, whatever falls on a block's edge:
// CR LF, a lone CR, a Japanese or an invalid byte pair, a last line without
// its end, a byte order mark. Only a file's lines longer than a block are cut.
TEST(ForEachTextLine, BlocksDecodeAsTheWholeText) {
    const std::string filler(1 << 20, 'x');  // one block's worth
    const struct {
        std::string bytes;
        TextEncoding encoding;
    } cases[] = {
        {filler.substr(1) + "\r\nab\r\n", TextEncoding::Ansi},
        {filler.substr(1) + "\r" + "\nab", TextEncoding::Ansi},
        {filler + "\rab\r\rc", TextEncoding::Ansi},
        {filler.substr(2) + "\x82\xA0\n\x82\n\x81", TextEncoding::Ansi},
        {filler.substr(3) + "\xE3\x81\x82\r\n\xE3\x81\n" + filler + "\xFF", TextEncoding::Utf8},
        {"\xEF\xBB\xBF" + filler + "\n\xE3\x81\x82", TextEncoding::Ansi},
        {std::string("\xFF\xFEz\0\r\0\n\0y\0", 10), TextEncoding::Ansi},
        {"", TextEncoding::Ansi},
        {filler + filler.substr(1) + "\r" + "\n" + filler + "\r", TextEncoding::Ansi},
        {"ab", TextEncoding::Ansi},
        {filler + filler + filler + "\nok", TextEncoding::Ansi},
        {"\xEF\xBB", TextEncoding::Utf8},
    };
    testsupport::TempDir dir;
    for (const auto& c : cases) {
        const Lines whole = decodeTextLines(c.bytes, c.encoding);
        Lines lines, fileLines;
        forEachTextLine(c.bytes, c.encoding, [&](std::u16string_view line) { lines.emplace_back(line); });
        EXPECT_EQ(lines, whole) << c.bytes.size();
        const auto file = dir.write("lines.txt", c.bytes);
        EXPECT_EQ(forEachFileLine(file, c.encoding, [&](std::u16string_view line) { fileLines.emplace_back(line); }),
                  FileReadFailure::None);
        // A file's line is cut after its first MiB (these long lines are ASCII).
        Lines cut = whole;
        for (std::u16string& line : cut) line.resize(std::min(line.size(), filler.size()));
        EXPECT_EQ(fileLines, cut) << c.bytes.size();
    }
    EXPECT_EQ(forEachFileLine(dir / "missing.txt", TextEncoding::Ansi, [](std::u16string_view) {}),
              FileReadFailure::CannotOpen);
}
