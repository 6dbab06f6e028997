#include "platform/text_file.h"

#include "platform/files.h"

namespace velmora {

std::vector<std::u16string> splitLines(std::u16string_view text) {
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        char16_t c = text[i];
        if (c != u'\r' && c != u'\n') {
            ++i;
            continue;
        }
        lines.emplace_back(text.substr(start, i - start));
        i += (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::u16string decodeTextFile(std::string_view bytes, TextEncoding encoding, ByteOrderMarks marks) {
    if (marks == ByteOrderMarks::Detect) {
        if (auto bom = detectByteOrderMark(bytes)) {
            bytes.remove_prefix(bom->length);
            encoding = bom->encoding;
        }
    }
    return decodeText(bytes, encoding);
}

std::vector<std::u16string> decodeTextLines(std::string_view bytes, TextEncoding encoding, ByteOrderMarks marks) {
    return splitLines(decodeTextFile(bytes, encoding, marks));
}

std::optional<std::vector<std::u16string>> readTextFileLines(const std::filesystem::path& file,
                                                             TextEncoding encoding, ByteOrderMarks marks) {
    std::optional<std::string> bytes = readWholeFile(file);
    if (!bytes) return std::nullopt;
    return decodeTextLines(*bytes, encoding, marks);
}

}  // namespace velmora
