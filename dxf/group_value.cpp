#include "dxf/group_value.h"

#include <optional>

#include "platform/errors.h"
#include "platform/locale_numbers.h"
#include "platform/rounding.h"
#include "platform/utf.h"

namespace velmora {
namespace {

[[noreturn]] void notConvertible(std::u16string_view text, const char* what) {
    throw ConvertError("'" + utf16ToUtf8(std::u16string(text.substr(0, 64))) + "' is not " + what);
}

}  // namespace

SmallInt GroupValue::toSmallInt() const {
    // Plain decimal digits, the common case, without the general conversion.
    if (!text.empty() && text.size() <= 9) {
        const bool negative = text.front() == u'-';
        std::int32_t value = 0;
        bool digits = text.size() > (negative ? 1u : 0u);
        for (std::size_t i = negative ? 1 : 0; i < text.size() && digits; ++i) {
            digits = text[i] >= u'0' && text[i] <= u'9';
            if (digits) value = value * 10 + (text[i] - u'0');
        }
        if (digits) return static_cast<SmallInt>(negative ? -value : value);
    }
    const std::optional<std::int32_t> value = tryStrToInt(text);
    if (!value) notConvertible(text, "an integer");
    return static_cast<SmallInt>(*value);
}

Extended GroupValue::toExtended() const {
    const std::optional<long double> value = tryStrToFloat(text);
    if (!value) notConvertible(text, "a number");
    return *value;
}

double GroupValue::toDouble() const { return roundToDouble(toExtended()); }

std::u16string GroupValue::toUpper() const {
    std::u16string out(text);
    for (char16_t& c : out)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return out;
}

}  // namespace velmora
