// The ANSI code page (932, Japanese) of the platform, for text_encoding:
// decoding gives U+FFFD for each byte that starts no valid character;
// encoding gives "?" for each code point the code page lacks.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

std::u16string decodeAnsiCodePage(std::string_view bytes);
std::string encodeAnsiCodePage(std::u16string_view text);

}  // namespace velmora
