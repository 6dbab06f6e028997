#include <gtest/gtest.h>

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
