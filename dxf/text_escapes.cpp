#include "dxf/text_escapes.h"

#include <algorithm>

#include "platform/locale_numbers.h"
#include "platform/text_fields.h"

namespace velmora {
namespace {

constexpr std::u16string_view kEscape = u"\\U+";
constexpr std::size_t kPieceLength = 7;  // \U+ and four digits

bool isHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

void decodeTable(std::vector<TTextBlk>& texts) {
    for (TTextBlk& row : texts) decodeUnicodeEscapes(row.str);
}

}  // namespace

bool decodeUnicodeEscapes(std::u16string& text) {
    bool replaced = false;
    for (std::size_t at = text.find(kEscape); at != std::u16string::npos; at = text.find(kEscape)) {
        const std::u16string piece = text.substr(at, kPieceLength);
        const std::u16string_view tail = std::u16string_view(piece).substr(kEscape.size());
        const std::size_t digits =
            static_cast<std::size_t>(std::find_if_not(tail.begin(), tail.end(), isHexDigit) - tail.begin());
        const std::int32_t code = tryStrToInt(u"$" + std::u16string(tail.substr(0, digits))).value_or(0);
        // The piece is the whole seven characters even where fewer are digits,
        // as the search-and-replace of the escape takes it.
        replaceAll(text, piece, std::u16string(1, static_cast<char16_t>(code)));
        replaced = true;
    }
    return replaced;
}

void decodeModelTexts(DrawingStore& store) { decodeTable(store.modelTexts); }
void decodeBlockTexts(DrawingStore& store) { decodeTable(store.blockTexts); }

}  // namespace velmora
