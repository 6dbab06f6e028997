// The \U+ escape decoder on arbitrary UTF-16 text: it never grows the text,
// and no escape is left, not even one a decoded character forms.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "dxf/text_escapes.h"
#include "fuzz/fuzz_check.h"

using velmora::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Bytes as ASCII where they can be, so that escapes are common.
    std::u16string text;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] < 0x80) {
            text.push_back(static_cast<char16_t>(data[i]));
        } else if (i + 1 < size) {
            text.push_back(static_cast<char16_t>(data[i] << 8 | data[i + 1]));
            ++i;
        }
    }
    const std::size_t before = text.size();
    const bool replaced = velmora::decodeUnicodeEscapes(text);
    check(text.size() <= before);
    check(text.find(u"\\U+") == std::u16string::npos);
    check(replaced || text.size() == before);
    return 0;
}
