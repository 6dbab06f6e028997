// Text made safe for a terminal.
#include <gtest/gtest.h>

#include "platform/text_fields.h"
#include "platform/utf.h"

namespace velmora {
namespace {

TEST(EscapeControlCharacters, ControlsBecomeHexAndBackslashesDouble) {
    struct Case {
        std::u16string in;
        const char* out;
    };
    for (const Case& c : {Case{u"ボルト M10 (2)", "ボルト M10 (2)"}, Case{u"a\rb", "a\\x0Db"},
                          Case{u"\x1b[31mred", "\\x1B[31mred"}, Case{u"del\x7f", "del\\x7F"},
                          Case{u"c1\x9b" u"2J", "c1\\x9B2J"}, Case{u"a\\x0D", "a\\\\x0D"},
                          Case{std::u16string(1, u'\0'), "\\x00"}, Case{u"", ""},
                          Case{u"door\u202Etxt.exe", "door\\u202Etxt.exe"}, Case{u"a\u2028b\u2029", "a\\u2028b\\u2029"},
                          Case{u"\u200F\u2066x\u2069\u061C", "\\u200F\\u2066x\\u2069\\u061C"},
                          Case{u"\u2027\u202F\u2065", "\u2027\u202F\u2065"}})
        EXPECT_EQ(utf16ToUtf8(escapeControlCharacters(c.in)), c.out) << c.out;
}

}  // namespace
}  // namespace velmora
