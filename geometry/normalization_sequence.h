// The fixed order of the normalisation passes over the drawing store.
#pragma once

#include "store/drawing_store.h"

namespace velmora {

void normalizeDrawing(DrawingStore& store);

}  // namespace velmora
