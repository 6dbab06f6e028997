// The \U+XXXX escapes DXF files use for characters their code page lacks.
#pragma once

#include <string>

#include "store/drawing_store.h"

namespace velmora {

// Every \U+ escape of `text` (up to four hexadecimal digits, case-sensitive
// U) replaced by the UTF-16 character it names; digits that do not convert
// give U+0000. True when anything was replaced.
bool decodeUnicodeEscapes(std::u16string& text);

// decodeUnicodeEscapes on the str of every row of modelTexts / blockTexts.
void decodeModelTexts(DrawingStore& store);
void decodeBlockTexts(DrawingStore& store);

}  // namespace velmora
