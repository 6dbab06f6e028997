#include "dxf/text_escapes.h"

#include <algorithm>

namespace velmora {
namespace {

constexpr std::u16string_view kEscape = u"\\U+";
constexpr std::size_t kPieceLength = 7;  // \U+ and four digits

bool isHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

int hexValue(char16_t c) {
    if (c <= u'9') return c - u'0';
    return (c | 0x20) - u'a' + 10;
}

void decodeTable(std::vector<TTextBlk>& texts) {
    for (TTextBlk& row : texts) decodeUnicodeEscapes(row.str);
}

}  // namespace

// One pass from left to right. A decoded character goes back in front of the
// unread text with up to two characters written before it, so that an escape
// it forms ("\\" then "U+0041", or "\\U" then "+0041") is decoded next, as a
// search from the start of the text would find it.
bool decodeUnicodeEscapes(std::u16string& text) {
    if (text.find(kEscape) == std::u16string::npos) return false;
    std::u16string in = std::move(text);
    std::u16string out;
    out.reserve(in.size());
    std::size_t at = 0;
    while (at < in.size()) {
        if (std::u16string_view(in).substr(at, kEscape.size()) != kEscape) {
            out.push_back(in[at++]);
            continue;
        }
        // The piece is the whole seven characters even where fewer are digits,
        // as the search-and-replace of the escape takes it.
        const std::size_t pieceEnd = std::min(in.size(), at + kPieceLength);
        char16_t code = 0;
        for (std::size_t i = at + kEscape.size(); i < pieceEnd && isHexDigit(in[i]); ++i)
            code = static_cast<char16_t>(code * 16 + hexValue(in[i]));
        at = pieceEnd - 1;
        in[at] = code;
        // The piece had at least three characters, so there is room for two more.
        for (int back = 0; back < 2 && !out.empty(); ++back) {
            in[--at] = out.back();
            out.pop_back();
        }
    }
    text = std::move(out);
    return true;
}

void decodeModelTexts(DrawingStore& store) { decodeTable(store.modelTexts); }
void decodeBlockTexts(DrawingStore& store) { decodeTable(store.blockTexts); }

}  // namespace velmora
