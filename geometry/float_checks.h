// Explicit checks for the floating-point faults the drawing module reports:
// the arithmetic runs without hardware traps, so each operation that can
// divide by zero or overflow a Double checks for it and raises instead.
#pragma once

#include <cmath>

#include "platform/errors.h"
#include "platform/rounding.h"
#include "store/records.h"

namespace velmora {

// a / b; a zero divisor raises (0 / 0 is an invalid operation).
inline Extended checkedDivide(Extended a, Extended b) {
    if (b == 0) {
        if (a == 0 || std::isnan(a)) throw FloatingPointError("invalid floating point operation");
        throw FloatingPointError("floating point division by zero");
    }
    return a / b;
}

}  // namespace velmora
