#include <gtest/gtest.h>

#include "platform/text_encoding.h"
#include "platform/text_file.h"
#include "platform/utf.h"

using namespace velmora;

namespace {

// "ABCあ漢" / "" / "12.5 ｶﾅ" in each encoding, without line ends.
const std::u16string kLine1 = u"ABC\u3042\u6F22";
const std::u16string kLine3 = u"12.5 \uFF76\uFF85";

std::string encodeLine(const std::u16string& line, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Ansi: return encodeAnsi(line);
        case TextEncoding::Utf8: return utf16ToUtf8(line);
        case TextEncoding::Utf16LE:
        case TextEncoding::Utf16BE: {
            std::string out;
            for (char16_t c : line) {
                char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
                out += encoding == TextEncoding::Utf16LE ? std::string{lo, hi} : std::string{hi, lo};
            }
            return out;
        }
    }
    return {};
}

std::string bom(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Ansi: return "";
        case TextEncoding::Utf8: return "\xEF\xBB\xBF";
        case TextEncoding::Utf16LE: return "\xFF\xFE";
        case TextEncoding::Utf16BE: return "\xFE\xFF";
    }
    return {};
}

struct EncodingCase {
    TextEncoding encoding;
    std::u16string lineEnd;
};

class DecodeEveryEncoding : public ::testing::TestWithParam<EncodingCase> {};

}  // namespace

TEST(AnsiCodePage, KnownBytesOfCodePage932) {
    EXPECT_EQ(encodeAnsi(u"A\u3042\u6F22\uFF76"), "A\x82\xA0\x8A\xBF\xB6");
    EXPECT_EQ(decodeText("A\x82\xA0\x8A\xBF\xB6", TextEncoding::Ansi), u"A\u3042\u6F22\uFF76");
    // Backslash and tilde stay ASCII, as on the platform.
    EXPECT_EQ(decodeText("\\~", TextEncoding::Ansi), u"\\~");
}

TEST(AnsiCodePage, ByteLengthCountsDoubleByteCharacters) {
    EXPECT_EQ(ansiByteLength(u"ABCD"), 4u);
    EXPECT_EQ(ansiByteLength(u"\u3042\u3044"), 4u);  // あい
    EXPECT_EQ(ansiByteLength(u"\uFF76\uFF85"), 2u);  // half-width katakana
    EXPECT_EQ(ansiByteLength(u""), 0u);
    // Not representable: one "?" per code point, a surrogate pair included.
    EXPECT_EQ(encodeAnsi(u"a\u20AC\U0001F600b"), "a??b");
    EXPECT_EQ(encodeAnsi(std::u16string(u"x") + char16_t(0xD800)), "x?");
    EXPECT_EQ(encodeAnsi(std::u16string(1, char16_t(0xDC00)) + u"y"), "?y");
}

TEST(AnsiCodePage, InvalidSequencesBecomeReplacementCharacters) {
    EXPECT_EQ(decodeText("A\x82", TextEncoding::Ansi), u"A\uFFFD");           // lead byte at the end
    EXPECT_EQ(decodeText("\x82 B", TextEncoding::Ansi), u"\uFFFD B");         // lead byte, bad trail
    EXPECT_EQ(decodeText(std::string("a\0b", 3), TextEncoding::Ansi), std::u16string(u"a\0b", 3));
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_FALSE(decodeText(all, TextEncoding::Ansi).empty());
}

TEST(Utf, InvalidSequencesBecomeReplacementCharacters) {
    EXPECT_EQ(decodeText("a\xC3(", TextEncoding::Utf8), u"a\uFFFD(");
    EXPECT_EQ(decodeText("\xC0\xAF", TextEncoding::Utf8), u"\uFFFD\uFFFD");  // overlong
    EXPECT_EQ(decodeText("\xED\xA0\x80", TextEncoding::Utf8), u"\uFFFD\uFFFD\uFFFD");  // surrogate
    EXPECT_EQ(decodeText("\xF0\x9F\x98\x80", TextEncoding::Utf8), u"\U0001F600");
    EXPECT_EQ(decodeText(std::string("A\0B", 3), TextEncoding::Utf16LE), u"A\uFFFD");  // odd trailing byte
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(ByteOrderMark, DetectsTheThreeMarks) {
    EXPECT_EQ(detectByteOrderMark("\xEF\xBB\xBFx")->encoding, TextEncoding::Utf8);
    EXPECT_EQ(detectByteOrderMark("\xFF\xFE")->encoding, TextEncoding::Utf16LE);
    EXPECT_EQ(detectByteOrderMark("\xFE\xFF")->length, 2u);
    EXPECT_FALSE(detectByteOrderMark("\xEF\xBB"));
    EXPECT_FALSE(detectByteOrderMark(""));
    // Without detection the mark is text.
    EXPECT_EQ(decodeTextFile("\xEF\xBB\xBFx", TextEncoding::Utf8, ByteOrderMarks::Ignore), u"\uFEFFx");
    // A lone mark is an empty file.
    EXPECT_TRUE(decodeTextLines("\xFF\xFE", TextEncoding::Ansi).empty());
}

TEST_P(DecodeEveryEncoding, ThreeLinesWithAnEmptyOne) {
    const auto& [encoding, lineEnd] = GetParam();
    std::string bytes = bom(encoding);
    for (const std::u16string& line : {kLine1, std::u16string(), kLine3})
        bytes += encodeLine(line + lineEnd, encoding);
    std::vector<std::u16string> lines = decodeTextLines(bytes, TextEncoding::Ansi);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], kLine1);
    EXPECT_EQ(lines[1], u"");
    EXPECT_EQ(lines[2], kLine3);
}

INSTANTIATE_TEST_SUITE_P(
    EncodingsAndLineEnds, DecodeEveryEncoding,
    ::testing::Values(EncodingCase{TextEncoding::Ansi, u"\r\n"}, EncodingCase{TextEncoding::Ansi, u"\n"},
                      EncodingCase{TextEncoding::Ansi, u"\r"}, EncodingCase{TextEncoding::Utf8, u"\r\n"},
                      EncodingCase{TextEncoding::Utf8, u"\n"}, EncodingCase{TextEncoding::Utf8, u"\r"},
                      EncodingCase{TextEncoding::Utf16LE, u"\r\n"}, EncodingCase{TextEncoding::Utf16LE, u"\n"},
                      EncodingCase{TextEncoding::Utf16LE, u"\r"}, EncodingCase{TextEncoding::Utf16BE, u"\r\n"},
                      EncodingCase{TextEncoding::Utf16BE, u"\n"}, EncodingCase{TextEncoding::Utf16BE, u"\r"}));
