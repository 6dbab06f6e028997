// File-name wildcard matching as the platform's file lists do it: "*" any run
// of characters, "?" any one character, letter case ignored. A mask that ends
// in "." followed only by "*" also matches names without that dot, so "*.*"
// matches every name.
#pragma once

#include <string_view>

namespace velmora {

bool matchesWildcard(std::u16string_view name, std::u16string_view mask);

}  // namespace velmora
