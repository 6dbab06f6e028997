// Large block item lists in the simulated host's notation, for benchmarks:
// a quarter each of lines, arcs, circles and bulged polylines.
#pragma once

#include <cstddef>
#include <string>

namespace velmora::bench {

// `entities` lines of CR LF separated entity lists, UTF-8 with a byte order
// mark as the simulated host writes them; about 230 bytes an entity.
std::string makeItemList(std::size_t entities);

}  // namespace velmora::bench
