#include "platform/text_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/files.h"

namespace velmora {
namespace {

constexpr std::size_t kDecodeBlockBytes = std::size_t{1} << 20;
// A line of a file read in blocks is cut here: no field of a drawing or a
// list is this long, and a line lying inside one block is never longer.
constexpr std::size_t kLongestLine = kDecodeBlockBytes;

// Index of the first CR or LF at or after `from`, or the text's size. Short
// lines (most of a DXF file) are scanned directly, long ones with memchr.
std::size_t nextLineEnd(std::string_view text, std::size_t from) {
    constexpr std::size_t kShortLine = 32;
    const std::size_t shortEnd = std::min(text.size(), from + kShortLine);
    for (std::size_t i = from; i < shortEnd; ++i)
        if (text[i] == '\n' || text[i] == '\r') return i;
    if (shortEnd == text.size()) return shortEnd;
    from = shortEnd;
    const char* begin = text.data() + from;
    const std::size_t left = text.size() - from;
    const void* lf = std::memchr(begin, '\n', left);
    const std::size_t lfAt = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - begin) : left;
    const void* cr = std::memchr(begin, '\r', lfAt);
    return from + (cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - begin) : lfAt);
}

template <class CharT, class Fn>
void forEachLineOf(std::basic_string_view<CharT> text, Fn&& fn) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = nextLineEnd(text, start);
        if (end == text.size()) break;
        fn(text.substr(start, end - start));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
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

// Eight bytes at a time: ASCII has no byte with its top bit set.
bool isAscii(std::string_view bytes) {
    std::uint64_t any = 0;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        any |= word;
    }
    for (; i < bytes.size(); ++i) any |= static_cast<unsigned char>(bytes[i]);
    return (any & 0x8080808080808080ULL) == 0;
}

// ASCII bytes as UTF-16 code units into `out`.
void widenAscii(std::string_view bytes, std::u16string& out) {
    out.resize(bytes.size());
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    char16_t* to = out.data();
    for (std::size_t i = 0; i < bytes.size(); ++i) to[i] = in[i];
}

}  // namespace

std::vector<std::u16string> splitLines(std::u16string_view text) {
    std::vector<std::u16string> lines;
    forEachLineIn(text, [&](std::u16string_view line) { lines.emplace_back(line); });
    return lines;
}

namespace {

// The length of the byte order mark at the start of `bytes` that `marks`
// drops; a detected mark also sets `encoding`.
std::size_t markLength(std::string_view bytes, TextEncoding& encoding, ByteOrderMarks marks) {
    if (marks == ByteOrderMarks::SkipUtf8) return bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    if (marks != ByteOrderMarks::Detect) return 0;
    const auto bom = detectByteOrderMark(bytes);
    if (!bom) return 0;
    encoding = bom->encoding;
    return bom->length;
}

// The frame of both line walks: the byte order mark, UTF-16 read whole, and
// blocks of whole lines, each pure ASCII (given to onAscii) or decoded.
// Line end bytes never occur inside a multi-byte character of code page 932
// or UTF-8, so blocks of whole lines decode as the whole would.
template <class OnAscii, class OnDecoded>
void forEachLineBlock(std::string_view bytes, TextEncoding encoding, ByteOrderMarks marks, OnAscii onAscii,
                      OnDecoded onDecoded) {
    bytes.remove_prefix(markLength(bytes, encoding, marks));
    if (encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE) {
        onDecoded(std::u16string_view(decodeText(bytes, encoding)));
        return;
    }
    std::u16string block;
    for (std::size_t from = 0; from < bytes.size();) {
        const std::size_t end = blockEnd(bytes, from);
        const std::string_view part = bytes.substr(from, end - from);
        if (isAscii(part)) {
            onAscii(part, block);
        } else {
            block = decodeText(part, encoding);
            onDecoded(std::u16string_view(block));
        }
        from = end;
    }
}

// Decoded blocks of whole lines; ASCII is widened in one pass.
void forEachTextBlock(std::string_view bytes, TextEncoding encoding, ByteOrderMarks marks,
                      const std::function<void(std::u16string_view)>& wholeLines) {
    forEachLineBlock(
        bytes, encoding, marks,
        [&](std::string_view part, std::u16string& block) {
            widenAscii(part, block);
            wholeLines(block);
        },
        wholeLines);
}

}  // namespace

void forEachTextLine(std::string_view bytes, TextEncoding encoding,
                     const std::function<void(std::string_view)>& asciiLine,
                     const std::function<void(std::u16string_view)>& line, ByteOrderMarks marks) {
    forEachLineBlock(
        bytes, encoding, marks, [&](std::string_view part, std::u16string&) { forEachLineOf(part, asciiLine); },
        [&](std::u16string_view text) { forEachLineIn(text, line); });
}

void forEachTextLine(std::string_view bytes, TextEncoding encoding,
                     const std::function<void(std::u16string_view)>& fn, ByteOrderMarks marks) {
    forEachTextBlock(bytes, encoding, marks, [&](std::u16string_view text) { forEachLineIn(text, fn); });
}

namespace {

// Bytes at the start of `bytes` that are whole lines: up to the last LF, or
// the last CR that is not the final byte (an LF may follow it).
std::size_t wholeLinesEnd(std::string_view bytes) {
    std::size_t cut = bytes.find_last_of("\r\n");
    if (cut != std::string_view::npos && bytes[cut] == '\r' && cut + 1 == bytes.size())
        cut = cut == 0 ? std::string_view::npos : bytes.find_last_of("\r\n", cut - 1);
    return cut == std::string_view::npos ? 0 : cut + 1;
}

// Feeds blocks of a file to `lines` as whole lines: lines are read where
// they lie in a block; only a line that runs into the next block is carried.
class BlockLines {
public:
    explicit BlockLines(std::function<void(std::string_view)> lines) : lines_(std::move(lines)) {}

    void add(std::string_view block) {
        if (!carried_.empty() && !completeCarried(block)) return;
        const std::size_t end = wholeLinesEnd(block);
        if (end > 0) lines_(block.substr(0, end));
        carried_.clear();
        carry(block.substr(end));
    }
    void finish() {
        if (!carried_.empty()) lines_(carried_);
        carried_.clear();
    }

private:
    // Appends the end of the carried line from `block` and reads it; false
    // while the block does not end it.
    bool completeCarried(std::string_view& block) {
        std::size_t take = 0;
        if (carried_.back() == '\r') {
            take = !block.empty() && block[0] == '\n' ? 1 : 0;
        } else {
            const std::size_t e = block.find_first_of("\r\n");
            if (e == std::string_view::npos || (block[e] == '\r' && e + 1 == block.size())) {
                carry(block);
                return false;
            }
            take = e + 1 + (block[e] == '\r' && block[e + 1] == '\n' ? 1 : 0);
        }
        carry(block.substr(0, take));
        lines_(carried_);
        carried_.clear();
        block.remove_prefix(take);
        return true;
    }

    // Appends to the carried line, its text cut at kLongestLine bytes; a
    // line end is always kept. Memory stays bounded on a file of one line.
    void carry(std::string_view bytes) {
        const std::size_t end = std::min(bytes.find_first_of("\r\n"), bytes.size());
        const std::size_t room = carried_.size() < kLongestLine ? kLongestLine - carried_.size() : 0;
        carried_.append(bytes.substr(0, std::min(end, room)));
        carried_.append(bytes.substr(end));
    }

    std::function<void(std::string_view)> lines_;
    std::string carried_;
};

}  // namespace

FileReadFailure forEachFileLine(const std::filesystem::path& file, TextEncoding encoding,
                                const std::function<void(std::u16string_view)>& line, ByteOrderMarks marks) {
    return forEachFileText(file, encoding, [&](std::u16string_view text) { forEachLineIn(text, line); }, marks);
}

FileReadFailure forEachFileText(const std::filesystem::path& file, TextEncoding encoding,
                                const std::function<void(std::u16string_view)>& wholeLines, ByteOrderMarks marks) {
    BlockLines blocks(
        [&](std::string_view bytes) { forEachTextBlock(bytes, encoding, ByteOrderMarks::Ignore, wholeLines); });
    // The first bytes settle the encoding (a byte order mark); UTF-16 text,
    // whose line ends are two bytes wide, is read whole.
    std::string head;
    bool settled = false;
    auto settle = [&] {
        head.erase(0, markLength(head, encoding, marks));
        settled = true;
    };
    auto wholeText = [&] { return encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE; };
    const FileReadFailure failure = readFileBlocks(file, kDecodeBlockBytes, [&](std::string_view block) {
        if (!settled || wholeText()) {
            head.append(block);
            if (head.size() < 4 || settled) return true;
            settle();
            if (!wholeText()) {
                blocks.add(head);
                head = std::string();
            }
            return true;
        }
        blocks.add(block);
        return true;
    });
    if (failure != FileReadFailure::None) return failure;
    if (!settled) {
        settle();
        if (!wholeText()) blocks.add(head);
    }
    if (wholeText()) forEachTextBlock(head, encoding, ByteOrderMarks::Ignore, wholeLines);
    blocks.finish();
    return FileReadFailure::None;
}

std::u16string decodeTextFile(std::string_view bytes, TextEncoding encoding, ByteOrderMarks marks) {
    bytes.remove_prefix(markLength(bytes, encoding, marks));
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
