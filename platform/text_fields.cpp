#include "platform/text_fields.h"

namespace velmora {

std::vector<std::u16string> splitDelimited(std::u16string_view text, char16_t delimiter) {
    std::vector<std::u16string> fields;
    std::u16string scratch;
    forEachDelimitedField(text, delimiter, scratch, [&](std::u16string_view field) { fields.emplace_back(field); });
    return fields;
}

std::u16string_view trimmedBlanks(std::u16string_view text) {
    while (!text.empty() && text.front() <= u' ') text.remove_prefix(1);
    while (!text.empty() && text.back() <= u' ') text.remove_suffix(1);
    return text;
}

void replaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to) {
    std::size_t pos = text.find(from);
    if (from.empty() || pos == std::u16string::npos) return;
    std::u16string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (; pos != std::u16string::npos; start = pos + from.size(), pos = text.find(from, start)) {
        out.append(text, start, pos - start);
        out.append(to);
    }
    out.append(text, start);
    text = std::move(out);
}

namespace {

// Characters that move or reorder what a terminal shows after them: the
// bidirectional marks, embeddings, overrides and isolates, and the line and
// paragraph separators.
bool reordersText(char16_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
           c == 0x2028 || c == 0x2029;
}

}  // namespace

std::u16string escapeControlCharacters(std::u16string_view text) {
    constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c == u'\\') {
            out += u"\\\\";
        } else if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            out += u"\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else if (reordersText(c)) {
            out += u"\\u";
            for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace velmora
