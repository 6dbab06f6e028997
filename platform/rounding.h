// Rounding to integers: nearest, halves to the even neighbour.
#pragma once

#include <cmath>
#include <limits>

#include "platform/errors.h"

namespace velmora {

// Throws FloatingPointError when the value is not finite or does not fit.
template <class Int = long long, class Real>
Int roundToInt(Real v) {
    Real r = std::nearbyint(v);
    if (!std::isfinite(r) || r < static_cast<Real>(std::numeric_limits<Int>::min()) ||
        r > static_cast<Real>(std::numeric_limits<Int>::max()))
        throw FloatingPointError("invalid floating point operation");
    return static_cast<Int>(r);
}

}  // namespace velmora
