#include "platform/ini_file.h"

#include <algorithm>

#include "platform/text_fields.h"
#include "platform/utf.h"

namespace velmora {
namespace {

char16_t folded(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool sameName(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return folded(x) == folded(y); });
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        out.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        const std::size_t next = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
        text.remove_prefix(next);
    }
    return out;
}

// The section a "[name]" line opens; nullopt for any other line.
std::optional<std::u16string> sectionOf(std::string_view line) {
    const std::u16string text(trimmedBlanks(utf8ToUtf16(line)));
    if (text.size() < 2 || text.front() != u'[' || text.back() != u']') return std::nullopt;
    return std::u16string(trimmedBlanks(std::u16string_view(text).substr(1, text.size() - 2)));
}

struct KeyLine {
    std::u16string key;
    std::u16string value;
};

std::optional<KeyLine> keyLineOf(std::string_view line) {
    const std::u16string text = utf8ToUtf16(line);
    const std::size_t equals = text.find(u'=');
    if (equals == std::u16string::npos) return std::nullopt;
    std::u16string_view value = trimmedBlanks(std::u16string_view(text).substr(equals + 1));
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') value = value.substr(1, value.size() - 2);
    return KeyLine{std::u16string(trimmedBlanks(std::u16string_view(text).substr(0, equals))), std::u16string(value)};
}

}  // namespace

std::vector<IniValue> parseIniText(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<IniValue> values;
    std::optional<std::u16string> section;
    for (std::string_view line : lines(text)) {
        if (auto opened = sectionOf(line)) {
            section = std::move(opened);
        } else if (section && !line.starts_with(';')) {
            if (auto entry = keyLineOf(line)) values.push_back({*section, std::move(entry->key), std::move(entry->value)});
        }
    }
    return values;
}

std::string setIniValues(std::string_view text, const std::vector<IniValue>& values) {
    std::vector<std::string> out;
    for (std::string_view line : lines(text)) out.emplace_back(line);
    for (const IniValue& v : values) {
        const std::string entry = utf16ToUtf8(v.key) + "=" + utf16ToUtf8(v.value);
        std::optional<std::size_t> sectionEnd;  // where a new key of the section goes
        bool inSection = false, done = false;
        for (std::size_t i = 0; i < out.size() && !done; ++i) {
            if (auto opened = sectionOf(out[i])) {
                if (inSection) break;
                inSection = sameName(*opened, v.section);
                if (inSection) sectionEnd = i + 1;
            } else if (inSection) {
                const auto key = keyLineOf(out[i]);
                if (key && sameName(key->key, v.key)) {
                    out[i] = entry;
                    done = true;
                } else if (!std::u16string_view(trimmedBlanks(utf8ToUtf16(out[i]))).empty()) {
                    sectionEnd = i + 1;
                }
            }
        }
        if (done) continue;
        if (sectionEnd) {
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(*sectionEnd), entry);
        } else {
            if (!out.empty() && !out.back().empty()) out.emplace_back();
            out.push_back("[" + utf16ToUtf8(v.section) + "]");
            out.push_back(entry);
        }
    }
    std::string result;
    for (const std::string& line : out) result += line + "\n";
    return result;
}

std::optional<std::u16string> findIniValue(const std::vector<IniValue>& values, std::u16string_view section,
                                           std::u16string_view key) {
    for (const IniValue& v : values)
        if (sameName(v.section, section) && sameName(v.key, key)) return v.value;
    return std::nullopt;
}

}  // namespace velmora
