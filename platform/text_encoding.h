// Text encodings of the files the tool reads and writes: the ANSI code page
// (code page 932, Japanese), UTF-8 and UTF-16. Decoding never fails: a byte
// sequence that is not valid in its encoding becomes U+FFFD, one per
// offending byte, and the text after it is decoded as usual.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

enum class TextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

struct ByteOrderMark {
    TextEncoding encoding;
    std::size_t length;  // bytes of the mark
};

// The byte order mark at the start of `bytes`: EF BB BF (UTF-8), FF FE
// (UTF-16 LE) or FE FF (UTF-16 BE).
std::optional<ByteOrderMark> detectByteOrderMark(std::string_view bytes);

std::u16string decodeText(std::string_view bytes, TextEncoding encoding);

// Characters that code page 932 cannot represent become "?", one per code
// point, as the platform's conversion does.
std::string encodeAnsi(std::u16string_view text);

// Bytes of `text` in code page 932: one for ASCII and half-width katakana,
// two for other Japanese characters, one for each "?" replacement.
std::size_t ansiByteLength(std::u16string_view text);

}  // namespace velmora
