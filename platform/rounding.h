// Rounding to integers: nearest, halves to the even neighbour.
#pragma once

#include <cmath>
#include <limits>

#include "platform/errors.h"

namespace velmora {

// Throws FloatingPointError when the value is not finite or does not fit.
template <class Int = long long, class Real>
Int roundToInt(Real v) {
    // rint rounds like nearbyint under the default mode and is much faster.
    Real r = std::rint(v);
    if (!std::isfinite(r) || r < static_cast<Real>(std::numeric_limits<Int>::min()) ||
        r > static_cast<Real>(std::numeric_limits<Int>::max()))
        throw FloatingPointError("invalid floating point operation");
    return static_cast<Int>(r);
}

// Stores an extended value in a Double, rounding to nearest; a finite value
// whose rounding leaves the Double range overflows, as the FPU's store does.
inline double roundToDouble(long double v) {
    // Smallest magnitude that rounds to infinity: DBL_MAX plus half an ulp.
    static const long double kOverflow = std::ldexp(2.0L - std::ldexp(1.0L, -53), 1023);
    if (std::isfinite(v) && std::fabs(v) >= kOverflow) throw FloatingPointError("floating point overflow");
    return static_cast<double>(v);
}

}  // namespace velmora
