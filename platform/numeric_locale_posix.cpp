// The C library's locales.
#include "platform/numeric_locale.h"

#include <clocale>
#include <cstdlib>
#include <string>

#include <locale.h>

namespace velmora {

// A toolkit may switch the process's numeric locale to the environment's;
// the "C" locale object keeps strtold on '.'.
long double strtoldC(const char* text, char** end) {
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    if (cLocale == static_cast<locale_t>(nullptr)) return std::strtold(text, end);
    return strtold_l(text, end, cLocale);
}

std::optional<char16_t> environmentDecimalSeparator() {
    std::optional<char16_t> separator;
    std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "")) {
        const std::lconv* conv = std::localeconv();
        if (conv && conv->decimal_point && conv->decimal_point[0] &&
            static_cast<unsigned char>(conv->decimal_point[0]) < 0x80 && !conv->decimal_point[1])
            separator = static_cast<char16_t>(conv->decimal_point[0]);
    }
    std::setlocale(LC_NUMERIC, previous.c_str());
    return separator;
}

}  // namespace velmora
