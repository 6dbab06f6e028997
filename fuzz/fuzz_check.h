// The one assertion of the fuzz targets: a broken invariant stops the run
// the way a crash does, so libFuzzer keeps the input.
#pragma once

namespace velmora::fuzz {

inline void check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace velmora::fuzz
