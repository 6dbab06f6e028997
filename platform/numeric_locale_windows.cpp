// The user's regional settings, and mingw-w64's own strtold, which reads the
// 80-bit Extended exactly.
#include "platform/numeric_locale.h"

#include <windows.h>

#include <cstdlib>

namespace velmora {

// The process never leaves the "C" locale here: nothing calls setlocale.
long double strtoldC(const char* text, char** end) { return __mingw_strtold(text, end); }

std::optional<char16_t> environmentDecimalSeparator() {
    wchar_t buffer[8] = {};
    const int n = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8);
    if (n != 2 || buffer[0] == 0 || buffer[0] >= 0x80) return std::nullopt;  // one character and the NUL
    return static_cast<char16_t>(buffer[0]);
}

}  // namespace velmora
