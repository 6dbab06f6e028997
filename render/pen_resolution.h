// Pen resolution: the colour, dash style and layer row of every drawable
// model row, worked out once before drawing so the renderer reads only these.
#pragma once

#include <string>

#include "store/drawing_store.h"

namespace velmora {

// Fills PenColor, PenStyle and layindex of modelLines, modelArcs and
// modelCircles, and PenColor and layindex of modelTexts.
void resolvePens(DrawingStore& store);

// Row of the first layer called `name` (case-sensitive); -1 when none.
int layerIndexOf(const DrawingStore& store, const std::u16string& name);
// A BYLAYER or empty linetype takes the linetype of the named layer.
TPenStyle linetypePenStyle(const DrawingStore& store, const std::u16string& ltype,
                           const std::u16string& layerName);
// By the prefix of the upper-cased name; anything unknown is solid.
TPenStyle penStyleForLinetype(const std::u16string& name);
// Colour index number (its absolute value) to TColor; unknown numbers white.
TColor aciToColor(int n);

}  // namespace velmora
