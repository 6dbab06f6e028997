// Text files read as lines, the way the platform's string lists load them:
// the encoding comes from a byte order mark when there is one, otherwise it
// is the one the caller names; lines end with CR LF, LF or CR.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/text_encoding.h"

namespace velmora {

// Detect: a byte order mark picks the encoding and is dropped. Ignore: the
// bytes are text like any other. SkipUtf8: a UTF-8 mark at the start is
// dropped, the encoding stays the given one (DXF files written with a mark).
enum class ByteOrderMarks { Detect, Ignore, SkipUtf8 };

// Lines of `text`. A line end after the last line does not start another
// line, so "a\n" is one line and "" none. NUL characters are kept.
std::vector<std::u16string> splitLines(std::u16string_view text);

// Calls fn(line) for each line of `text`, as splitLines finds them.
template <class Fn>
void forEachLineIn(std::u16string_view text, Fn&& fn) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
        if (end == text.size()) break;
        fn(text.substr(start, end - start));
        start = end + ((text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1);
    }
    if (start < text.size()) fn(text.substr(start));
}

// Decodes file contents: a byte order mark (when detected) picks the
// encoding and is dropped, otherwise `encoding` applies.
std::u16string decodeTextFile(std::string_view bytes, TextEncoding encoding,
                              ByteOrderMarks marks = ByteOrderMarks::Detect);

// Calls fn(line) for each line of the file contents, decoded as
// decodeTextFile does, a block of whole lines at a time, so the text is
// decoded once and never held whole. The view is valid until fn returns.
void forEachTextLine(std::string_view bytes, TextEncoding encoding,
                     const std::function<void(std::u16string_view)>& fn,
                     ByteOrderMarks marks = ByteOrderMarks::Detect);

// As above, but the lines of a block that is pure ASCII, the same code
// units in every encoding read here, are handed over undecoded as bytes.
void forEachTextLine(std::string_view bytes, TextEncoding encoding,
                     const std::function<void(std::string_view)>& asciiLine,
                     const std::function<void(std::u16string_view)>& line,
                     ByteOrderMarks marks = ByteOrderMarks::Detect);

// forEachTextLine over a file read a block at a time, so that a large file
// is never held whole: lines, line ends and decoding are those of the whole
// contents, except that a line is cut after its first MiB (nothing a drawing
// or a list holds is that long), so that a file of one endless line costs no
// more memory than a block. The failure says why the file could not be read
// to its end.
FileReadFailure forEachFileLine(const std::filesystem::path& file, TextEncoding encoding,
                                const std::function<void(std::u16string_view)>& line,
                                ByteOrderMarks marks = ByteOrderMarks::Detect);

// As forEachFileLine, but hands over decoded text a block of whole lines at a
// time (split them with forEachLineIn), which saves a call per line.
FileReadFailure forEachFileText(const std::filesystem::path& file, TextEncoding encoding,
                                const std::function<void(std::u16string_view)>& wholeLines,
                                ByteOrderMarks marks = ByteOrderMarks::Detect);

std::vector<std::u16string> decodeTextLines(std::string_view bytes, TextEncoding encoding,
                                            ByteOrderMarks marks = ByteOrderMarks::Detect);

// nullopt when the file cannot be opened or read.
std::optional<std::vector<std::u16string>> readTextFileLines(const std::filesystem::path& file,
                                                             TextEncoding encoding = TextEncoding::Ansi,
                                                             ByteOrderMarks marks = ByteOrderMarks::Detect);

}  // namespace velmora
