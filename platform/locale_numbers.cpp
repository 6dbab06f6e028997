#include "platform/locale_numbers.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <type_traits>

#include "platform/numeric_locale.h"

namespace velmora {
namespace {

char16_t g_separator = u'.';

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int hexValue(char16_t c) {
    if (isDigit(c)) return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

}  // namespace

char16_t decimalSeparator() { return g_separator; }
void setDecimalSeparator(char16_t separator) { g_separator = separator; }

void initDecimalSeparatorFromEnvironment() {
    if (auto separator = environmentDecimalSeparator()) g_separator = *separator;
}

std::optional<long double> tryStrToFloatByCLibrary(std::u16string_view text) {
    // Validate the form, and build the C-locale text strtold understands.
    std::string plain;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) plain.push_back(static_cast<char>(text[i++]));
    std::size_t digits = 0;
    bool separatorSeen = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i])) {
            plain.push_back(static_cast<char>(text[i]));
            ++digits;
        } else if (text[i] == g_separator && !separatorSeen) {
            plain.push_back('.');
            separatorSeen = true;
        } else {
            break;
        }
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        plain.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) plain.push_back(static_cast<char>(text[i++]));
        std::size_t expDigits = 0;
        for (; i < text.size() && isDigit(text[i]); ++i, ++expDigits) plain.push_back(static_cast<char>(text[i]));
        if (expDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    char* end = nullptr;
    long double value = strtoldC(plain.c_str(), &end);
    if (end != plain.c_str() + plain.size() || std::isinf(value)) return std::nullopt;
    return value;
}

namespace {

// Powers of ten that a long double holds exactly (5^27 < 2^64).
constexpr int kMaxExactPower = 27;
constexpr int kMaxFastDigits = 19;  // below 2^64, so exact in a long double

constexpr std::array<long double, kMaxExactPower + 1> kExactPowersOfTen = [] {
    std::array<long double, kMaxExactPower + 1> powers{};
    long double p = 1;
    for (long double& power : powers) {
        power = p;
        p *= 10;
    }
    return powers;
}();

enum class FastResult { Value, NotANumber, Fallback };

// The common case: at most 19 significant digits and a small exponent. The
// digits form an exact integer and one multiply or divide by an exact power
// of ten rounds once, so the result is the correctly rounded one the C
// library gives. Anything else is left to the C library.
template <class CharT>
FastResult fastStrToFloat(std::basic_string_view<CharT> text, long double& value) {
    using Unit = std::make_unsigned_t<CharT>;
    const char16_t separator = g_separator;
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    std::uint64_t mantissa = 0;
    int significant = 0, digits = 0, fractionDigits = 0;
    // One run of digits (before or after the separator) into the mantissa;
    // false when the digits are too many for the fast path.
    auto digitRun = [&](bool fraction) {
        const std::size_t first = i;
        for (; i < text.size(); ++i) {
            const unsigned d = static_cast<unsigned>(static_cast<Unit>(text[i])) - u'0';
            if (d > 9) break;
            if (mantissa == 0 && d == 0) continue;
            if (++significant > kMaxFastDigits) return false;
            mantissa = mantissa * 10 + d;
        }
        digits += static_cast<int>(i - first);
        if (fraction) fractionDigits = static_cast<int>(i - first);
        return true;
    };
    if (!digitRun(false)) return FastResult::Fallback;
    if (i < text.size() && static_cast<char16_t>(static_cast<Unit>(text[i])) == separator) {
        ++i;
        if (!digitRun(true)) return FastResult::Fallback;
    }
    if (digits == 0) return FastResult::NotANumber;
    int exponent = 0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negativeExponent = text[i++] == u'-';
        const std::size_t first = i;
        for (; i < text.size() && isDigit(text[i]); ++i) {
            if (i - first >= 5) return FastResult::Fallback;
            exponent = exponent * 10 + (text[i] - u'0');
        }
        if (i == first) return FastResult::NotANumber;
        if (negativeExponent) exponent = -exponent;
    }
    if (i != text.size()) return FastResult::NotANumber;
    exponent -= fractionDigits;
    long double result = static_cast<long double>(mantissa);
    if (mantissa != 0) {
        if (exponent < -kMaxExactPower || exponent > kMaxExactPower) return FastResult::Fallback;
        result = exponent < 0 ? result / kExactPowersOfTen[static_cast<std::size_t>(-exponent)]
                              : result * kExactPowersOfTen[static_cast<std::size_t>(exponent)];
    }
    value = negative ? -result : result;
    return FastResult::Value;
}

template <class CharT>
std::optional<long double> strToFloat(std::basic_string_view<CharT> text) {
    long double value = 0;
    switch (fastStrToFloat(text, value)) {
        case FastResult::Value: return value;
        case FastResult::NotANumber: return std::nullopt;
        case FastResult::Fallback: break;
    }
    return tryStrToFloatByCLibrary(std::u16string(text.begin(), text.end()));
}

}  // namespace

std::optional<long double> tryStrToFloat(std::u16string_view text) { return strToFloat(text); }
std::optional<long double> tryStrToFloat(std::string_view text) { return strToFloat(text); }

std::optional<std::int32_t> tryStrToInt(std::u16string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    int base = 10;
    if (i < text.size() && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        int d = base == 16 ? hexValue(text[i]) : (isDigit(text[i]) ? text[i] - u'0' : -1);
        if (d < 0) return std::nullopt;
        value = value * base + d;
        if (value > 0xFFFFFFFFLL) return std::nullopt;
    }
    if (base == 16 && value > 0x7FFFFFFFLL && !negative) {
        // A hexadecimal literal fills the 32 bits: $FFFFFFFF is -1.
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::u16string formatFixed(long double value, int decimals) {
    std::string buffer(6000, '\0');  // room for the largest long double
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed,
                                   decimals);
    std::u16string out;
    if (ec != std::errc()) return out;
    for (const char* p = buffer.data(); p != end; ++p)
        out.push_back(*p == '.' ? g_separator : static_cast<char16_t>(*p));
    return out;
}

}  // namespace velmora
