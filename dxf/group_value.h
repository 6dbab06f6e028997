// The value line of a DXF group pair and the conversions the group tables
// apply to it.
#pragma once

#include <string>
#include <string_view>

#include "store/records.h"

namespace velmora {

struct GroupValue {
    std::u16string_view text;  // without leading and trailing blanks and control characters

    // A signed integer stored in a SmallInt (wider values wrap); text that
    // is no integer raises ConvertError.
    SmallInt toSmallInt() const;
    // A real number with the regional decimal separator; text that does not
    // convert raises ConvertError.
    Extended toExtended() const;
    // toExtended stored in a Double (overflow raises FloatingPointError).
    double toDouble() const;
    // ASCII letters in upper case, everything else kept.
    std::u16string toUpper() const;
};

}  // namespace velmora
