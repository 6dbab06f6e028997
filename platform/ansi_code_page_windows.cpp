// Code page 932 through the platform's own conversion functions.
#include "platform/ansi_code_page.h"

#include <windows.h>

namespace velmora {
namespace {

constexpr UINT kAnsiCodePage = 932;
constexpr char16_t kReplacement = 0xFFFD;

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// One character of `bytes` at `i`: its length in bytes and UTF-16, or 0 when
// the bytes there start no valid character.
int decodeOne(std::string_view bytes, std::size_t i, wchar_t (&out)[2], std::size_t& length) {
    const auto lead = static_cast<BYTE>(bytes[i]);
    length = ::IsDBCSLeadByteEx(kAnsiCodePage, lead) && i + 1 < bytes.size() ? 2 : 1;
    return ::MultiByteToWideChar(kAnsiCodePage, MB_ERR_INVALID_CHARS, bytes.data() + i, static_cast<int>(length), out, 2);
}

}  // namespace

std::u16string decodeAnsiCodePage(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        wchar_t wide[2];
        std::size_t length = 1;
        const int n = decodeOne(bytes, i, wide, length);
        if (n <= 0) {
            out.push_back(kReplacement);  // this byte, then go on with the next
            ++i;
            continue;
        }
        out.append(wide, wide + n);
        i += length;
    }
    return out;
}

std::string encodeAnsiCodePage(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1]) ? 2 : 1;
        if (text[i] < 0x80) {
            out.push_back(static_cast<char>(text[i]));
            ++i;
            continue;
        }
        char bytes[8];
        BOOL usedDefault = FALSE;
        const int n = ::WideCharToMultiByte(kAnsiCodePage, WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t*>(text.data() + i),
                                            static_cast<int>(length), bytes, sizeof bytes, "?", &usedDefault);
        if (n <= 0 || usedDefault)
            out.push_back('?');
        else
            out.append(bytes, static_cast<std::size_t>(n));
        i += length;
    }
    return out;
}

}  // namespace velmora
