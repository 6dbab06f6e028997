#include "platform/text_file.h"

#include "platform/files.h"

namespace velmora {
namespace {

constexpr std::size_t kDecodeBlockBytes = std::size_t{1} << 20;

template <class Fn>
void forEachLineOf(std::u16string_view text, Fn&& fn) {
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        char16_t c = text[i];
        if (c != u'\r' && c != u'\n') {
            ++i;
            continue;
        }
        fn(text.substr(start, i - start));
        i += (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size()) fn(text.substr(start));
}

// End of the block of whole lines that starts at `from`: just after the
// first line end at or beyond from + kDecodeBlockBytes (a CR LF is not cut).
std::size_t blockEnd(std::string_view bytes, std::size_t from) {
    std::size_t i = from + kDecodeBlockBytes;
    if (i >= bytes.size()) return bytes.size();
    while (i < bytes.size() && bytes[i] != '\n' && bytes[i] != '\r') ++i;
    if (i == bytes.size()) return i;
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    return i + 1;
}

bool isAscii(std::string_view bytes) {
    unsigned char any = 0;
    for (char c : bytes) any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

// ASCII is the same in code page 932 and UTF-8: widened without a converter.
void decodeBlock(std::string_view bytes, TextEncoding encoding, std::u16string& out) {
    if (isAscii(bytes)) {
        out.assign(bytes.begin(), bytes.end());
        return;
    }
    out = decodeText(bytes, encoding);
}

}  // namespace

std::vector<std::u16string> splitLines(std::u16string_view text) {
    std::vector<std::u16string> lines;
    forEachLineOf(text, [&](std::u16string_view line) { lines.emplace_back(line); });
    return lines;
}

void forEachTextLine(std::string_view bytes, TextEncoding encoding,
                     const std::function<void(std::u16string_view)>& fn, ByteOrderMarks marks) {
    if (marks == ByteOrderMarks::Detect) {
        if (auto bom = detectByteOrderMark(bytes)) {
            bytes.remove_prefix(bom->length);
            encoding = bom->encoding;
        }
    }
    if (encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE) {
        // Line ends are two bytes wide here; such files are small.
        forEachLineOf(decodeText(bytes, encoding), fn);
        return;
    }
    // Line end bytes never occur inside a multi-byte character of code
    // page 932 or UTF-8, so blocks of whole lines decode as the whole would.
    std::u16string block;
    for (std::size_t from = 0; from < bytes.size();) {
        const std::size_t end = blockEnd(bytes, from);
        decodeBlock(bytes.substr(from, end - from), encoding, block);
        forEachLineOf(block, fn);
        from = end;
    }
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
