// Number conversion as the platform does it: the regional decimal separator is
// one process-wide setting, taken from the environment's numeric locale at
// start-up and changeable by tests and by velmora-tool.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

char16_t decimalSeparator();
void setDecimalSeparator(char16_t separator);
// Reads the separator of the C library's numeric locale of the environment.
void initDecimalSeparatorFromEnvironment();

// Optional sign, digits with at most one separator, optional exponent (e/E,
// optional sign, digits). No blanks, nothing else. nullopt otherwise, and for
// values that overflow long double.
std::optional<long double> tryStrToFloat(std::u16string_view text);
// The same for text of single-byte characters (ASCII).
std::optional<long double> tryStrToFloat(std::string_view text);
// The same conversion done wholly by the C library's correctly rounded
// strtold: what tryStrToFloat falls back to beyond its fast path.
std::optional<long double> tryStrToFloatByCLibrary(std::u16string_view text);

// Optional sign, then decimal digits, or hexadecimal digits after "$" or "0x".
// nullopt when the value is outside 32 bits.
std::optional<std::int32_t> tryStrToInt(std::u16string_view text);

// `value` with `decimals` digits after the separator, as "%.2f" gives it;
// empty for values too large to write.
std::u16string formatFixed(long double value, int decimals);

}  // namespace velmora
