#include "render/text_symbols.h"

#include <string_view>

#include "platform/text_fields.h"

namespace velmora {
namespace {

struct Replacement {
    std::u16string_view from;
    std::u16string_view to;
};

constexpr Replacement kPercentCodes[] = {
    {u"%%C", u"\u03A6"}, {u"%%c", u"\u03A6"}, {u"%%D", u"\u00B0"}, {u"%%d", u"\u00B0"},
    {u"%%P", u"\u00B1"}, {u"%%p", u"\u00B1"}, {u"%%%", u"%"},
};
constexpr Replacement kEscapes[] = {{u"\\U+25A1", u"\u25A1"}, {u"\\U+2205", u"\u03A6"}};

// Codes whose argument runs to the next semicolon: \A1; \C7; \Farial|b1; ...
bool codeWithArgument(char16_t c) {
    constexpr std::u16string_view kLetters = u"ACFHQTWacfhqtw";
    return kLetters.find(c) != std::u16string_view::npos;
}

}  // namespace

std::u16string replaceTextSymbols(const std::u16string& text) {
    std::u16string s = text;
    if (s.find(u"%%") != std::u16string::npos)
        for (const Replacement& r : kPercentCodes) replaceAll(s, r.from, r.to);
    if (s.find(u"\\U+") != std::u16string::npos)
        for (const Replacement& r : kEscapes) replaceAll(s, r.from, r.to);
    return s;
}

std::u16string stripMtextCodes(const std::u16string& paragraph) {
    // 1. Braces go, but the first character stays and an escaped brace stays.
    std::u16string s;
    for (std::size_t i = 0; i < paragraph.size(); ++i) {
        const char16_t c = paragraph[i];
        if (i == 0 || (c != u'{' && c != u'}') || paragraph[i - 1] == u'\\') s.push_back(c);
    }
    // 2. Escaped braces and the codes without arguments.
    for (std::u16string_view code : {u"\\{", u"\\}"}) replaceAll(s, code, code.substr(1));
    for (std::u16string_view code : {u"\\O", u"\\o", u"\\L", u"\\l", u"\\~", u"\\S", u"\\s", u"^ ", u"^I"})
        replaceAll(s, code, u"");
    // 3. Codes with an argument up to their semicolon.
    std::u16string plain;
    bool inCode = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'\\' && !inCode && i + 1 < s.size() && codeWithArgument(s[i + 1])) inCode = true;
        if (!inCode) plain.push_back(s[i]);
        if (s[i] == u';' && inCode) inCode = false;
    }
    // 4. Escaped backslashes, then every opening brace left.
    replaceAll(plain, u"\\\\", u"\\");
    std::u16string out;
    for (char16_t c : plain)
        if (c != u'{') out.push_back(c);
    return out;
}

}  // namespace velmora
