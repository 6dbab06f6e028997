// Code page 932 through iconv.
#include "platform/ansi_code_page.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>

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

std::string toUtf16LeBytes(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

bool isHighSurrogate(unsigned v) { return v >= 0xD800 && v <= 0xDBFF; }
bool isLowSurrogate(unsigned v) { return v >= 0xDC00 && v <= 0xDFFF; }

}  // namespace

std::u16string decodeAnsiCodePage(std::string_view bytes) {
    Iconv cd("UTF-16LE", kAnsiCodePage);
    std::string utf16 = convertAll(cd, bytes, [](const char*& in, std::size_t& inLeft, std::string& out) {
        ++in;
        --inLeft;
        out.push_back(static_cast<char>(kReplacement & 0xFF));
        out.push_back(static_cast<char>(kReplacement >> 8));
    });
    std::u16string out(utf16.size() / 2, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(utf16[2 * i]) | static_cast<unsigned char>(utf16[2 * i + 1]) << 8);
    return out;
}

std::string encodeAnsiCodePage(std::u16string_view text) {
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

}  // namespace velmora
