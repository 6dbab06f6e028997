#include "platform/text_encoding.h"

#include "platform/ansi_code_page.h"
#include "platform/utf.h"

namespace velmora {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

std::u16string fromUtf16Bytes(std::string_view bytes, bool bigEndian) {
    std::u16string out;
    out.reserve(bytes.size() / 2 + 1);
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        auto a = static_cast<unsigned char>(bytes[i]);
        auto b = static_cast<unsigned char>(bytes[i + 1]);
        out.push_back(static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a));
    }
    if (i < bytes.size()) out.push_back(kReplacement);  // odd trailing byte
    return out;
}

}  // namespace

std::optional<ByteOrderMark> detectByteOrderMark(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return ByteOrderMark{TextEncoding::Utf8, 3};
    if (bytes.substr(0, 2) == "\xFF\xFE") return ByteOrderMark{TextEncoding::Utf16LE, 2};
    if (bytes.substr(0, 2) == "\xFE\xFF") return ByteOrderMark{TextEncoding::Utf16BE, 2};
    return std::nullopt;
}

std::u16string decodeText(std::string_view bytes, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Ansi: return decodeAnsiCodePage(bytes);
        case TextEncoding::Utf8: return utf8ToUtf16(bytes);
        case TextEncoding::Utf16LE: return fromUtf16Bytes(bytes, false);
        case TextEncoding::Utf16BE: return fromUtf16Bytes(bytes, true);
    }
    return {};
}

std::string encodeAnsi(std::u16string_view text) { return encodeAnsiCodePage(text); }

std::size_t ansiByteLength(std::u16string_view text) { return encodeAnsi(text).size(); }

}  // namespace velmora
