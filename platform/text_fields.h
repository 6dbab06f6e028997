// Small text helpers shared by the readers: the platform's delimited-text
// split, trimming of blanks and replacement of every occurrence.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace velmora {

// Calls fn(field) for each field of `text` split at `delimiter`, as the
// platform's delimited text does: only `delimiter` separates, a delimiter at
// the end adds an empty field, empty text gives no field, and a field that
// begins with a double quotation mark is read up to its closing mark (""
// inside stands for one mark) and loses the marks. A quoted field is built in
// `scratch`; the view fn gets is valid until fn returns.
template <class CharT, class Fn>
void forEachDelimitedField(std::type_identity_t<std::basic_string_view<CharT>> text, CharT delimiter,
                           std::basic_string<CharT>& scratch, Fn&& fn) {
    using View = std::basic_string_view<CharT>;
    constexpr CharT kQuote = '"';
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == kQuote) {
            scratch.clear();
            for (++i; i < text.size(); ++i) {
                if (text[i] != kQuote) {
                    scratch.push_back(text[i]);
                } else if (i + 1 < text.size() && text[i + 1] == kQuote) {
                    scratch.push_back(kQuote);
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
            fn(View(scratch));
        } else {
            std::size_t end = i;
            while (end < text.size() && text[end] != delimiter) ++end;
            fn(text.substr(i, end - i));
            i = end;
        }
        if (i < text.size() && text[i] == delimiter && ++i == text.size()) fn(View());
    }
}

std::vector<std::u16string> splitDelimited(std::u16string_view text, char16_t delimiter);

// Without leading and trailing characters up to the blank (U+0020), as the
// platform's trim does.
std::u16string_view trimmedBlanks(std::u16string_view text);

// Every occurrence of `from` (not empty) replaced by `to`, left to right;
// replaced text is not searched again.
void replaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to);

// `text` safe to print on a terminal: a backslash is doubled, a control
// character (below 32, DEL, or U+0080 to U+009F) becomes \xHH, and a
// character that reorders or breaks the text after it (the bidirectional
// controls U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069; the
// line and paragraph separators U+2028, U+2029) becomes \uHHHH.
std::u16string escapeControlCharacters(std::u16string_view text);

}  // namespace velmora
