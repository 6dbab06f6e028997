#include "platform/wildcard.h"

namespace velmora {
namespace {

// Simple case folding: ASCII, Latin-1, Greek, Cyrillic and the full-width
// Latin letters file names use.
char16_t foldCase(char16_t c) {
    if (c >= u'A' && c <= u'Z') return c + 32;
    if (c < 0x80) return c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 32;
    return c;
}

// The rest of the mask from `m` is "." and then only "*".
bool optionalExtensionTail(std::u16string_view mask, std::size_t m) {
    if (m >= mask.size() || mask[m] != u'.') return false;
    for (std::size_t k = m + 1; k < mask.size(); ++k)
        if (mask[k] != u'*') return false;
    return true;
}

}  // namespace

bool matchesWildcard(std::u16string_view name, std::u16string_view mask) {
    // Greedy match with one backtrack point at the last star: linear in
    // practice, never exponential.
    std::size_t n = 0, m = 0;
    std::size_t starMask = std::u16string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == u'*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == u'?' || foldCase(mask[m]) == foldCase(name[n]))) {
            ++m;
            ++n;
        } else if (starMask != std::u16string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*') ++m;
    return m == mask.size() || optionalExtensionTail(mask, m);
}

}  // namespace velmora
