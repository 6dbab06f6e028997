// What the number conversions need from the platform's locales.
#pragma once

#include <optional>

namespace velmora {

// strtold with '.' as the separator, whatever locale the process runs in.
long double strtoldC(const char* text, char** end);

// The decimal separator of the user's regional settings; nullopt when it is
// not one ASCII character.
std::optional<char16_t> environmentDecimalSeparator();

}  // namespace velmora
