// Conversions between the UTF-16 strings of the store and UTF-8 text.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velmora {

// Invalid sequences become U+FFFD; nothing is dropped silently.
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

// A file name given as UTF-8 (a command-line argument): on Windows the path
// would otherwise read it in the ANSI code page.
std::filesystem::path pathFromUtf8(std::string_view text);

}  // namespace velmora
