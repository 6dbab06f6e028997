#include "platform/text_encoding.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>

#include "platform/utf.h"

namespace velmora {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr const char* kAnsiCodePage = "CP932";

// One conversion descriptor, closed on scope exit.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("text conversion ") + from + " to " + to + " is not available");
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts as much of [in, in + inLeft) as fits into out; returns the
    // iconv result and leaves errno as iconv set it.
    std::size_t convert(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) {
        return iconv(cd_, const_cast<char**>(&in), &inLeft, &out, &outLeft);
    }
    void reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t cd_;
};

// Runs `cd` over the whole input; on each invalid or incomplete sequence
// calls onInvalid(remaining input, out) which must consume input (at least
// one byte) and may append output.
template <class OnInvalid>
std::string convertAll(Iconv& cd, std::string_view input, OnInvalid onInvalid) {
    std::string out;
    std::string chunk(std::min<std::size_t>(64 * 1024, input.size() * 4 + 16), '\0');
    const char* in = input.data();
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char* o = chunk.data();
        std::size_t oLeft = chunk.size();
        std::size_t r = cd.convert(in, inLeft, o, oLeft);
        int err = errno;
        out.append(chunk.data(), chunk.size() - oLeft);
        if (r != static_cast<std::size_t>(-1)) break;
        if (err == E2BIG) continue;
        std::size_t before = inLeft;
        onInvalid(in, inLeft, out);
        if (inLeft == before) break;  // cannot happen; guards against a loop
        cd.reset();
    }
    return out;
}

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

std::string toUtf16LeBytes(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

std::u16string decodeAnsi(std::string_view bytes) {
    Iconv cd("UTF-16LE", kAnsiCodePage);
    std::string utf16 = convertAll(cd, bytes, [](const char*& in, std::size_t& inLeft, std::string& out) {
        ++in;
        --inLeft;
        out.push_back(static_cast<char>(kReplacement & 0xFF));
        out.push_back(static_cast<char>(kReplacement >> 8));
    });
    return fromUtf16Bytes(utf16, false);
}

bool isHighSurrogate(unsigned v) { return v >= 0xD800 && v <= 0xDBFF; }
bool isLowSurrogate(unsigned v) { return v >= 0xDC00 && v <= 0xDFFF; }

}  // namespace

std::optional<ByteOrderMark> detectByteOrderMark(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return ByteOrderMark{TextEncoding::Utf8, 3};
    if (bytes.substr(0, 2) == "\xFF\xFE") return ByteOrderMark{TextEncoding::Utf16LE, 2};
    if (bytes.substr(0, 2) == "\xFE\xFF") return ByteOrderMark{TextEncoding::Utf16BE, 2};
    return std::nullopt;
}

std::u16string decodeText(std::string_view bytes, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Ansi: return decodeAnsi(bytes);
        case TextEncoding::Utf8: return utf8ToUtf16(bytes);
        case TextEncoding::Utf16LE: return fromUtf16Bytes(bytes, false);
        case TextEncoding::Utf16BE: return fromUtf16Bytes(bytes, true);
    }
    return {};
}

std::string encodeAnsi(std::u16string_view text) {
    Iconv cd(kAnsiCodePage, "UTF-16LE");
    return convertAll(cd, toUtf16LeBytes(text), [](const char*& in, std::size_t& inLeft, std::string& out) {
        // Skip one code point: a surrogate pair counts as one.
        std::size_t skip = inLeft >= 2 ? 2 : inLeft;
        if (inLeft >= 4) {
            unsigned first = static_cast<unsigned char>(in[0]) | static_cast<unsigned char>(in[1]) << 8;
            unsigned second = static_cast<unsigned char>(in[2]) | static_cast<unsigned char>(in[3]) << 8;
            if (isHighSurrogate(first) && isLowSurrogate(second)) skip = 4;
        }
        in += skip;
        inLeft -= skip;
        out.push_back('?');
    });
}

std::size_t ansiByteLength(std::u16string_view text) { return encodeAnsi(text).size(); }

}  // namespace velmora
