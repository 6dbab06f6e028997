// The text of a drawing's TEXT and MTEXT rows as it is written: special
// character codes replaced, and MTEXT formatting codes removed.
#pragma once

#include <string>

namespace velmora {

// %%C / %%c diameter Φ, %%D / %%d degree °, %%P / %%p plus-minus ±, %%% a
// percent sign, and the escapes \U+25A1 (□) and \U+2205 (shown as Φ); all
// case-sensitive, in that order, every occurrence from the left.
std::u16string replaceTextSymbols(const std::u16string& text);

// One MTEXT paragraph without its braces and formatting codes.
std::u16string stripMtextCodes(const std::u16string& paragraph);

}  // namespace velmora
