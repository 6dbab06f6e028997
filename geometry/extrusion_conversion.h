// Mapping model lines and texts whose extrusion is not +Z from their own
// coordinate system into world coordinates (arbitrary axis rule).
#pragma once

#include "store/drawing_store.h"

namespace velmora {

// Rewrites st and ed of every such row of modelLines, visible or not.
void convertLineExtrusion(DrawingStore& store);

// Rewrites pt10, pt11 and turns code50 by the direction of the mapped X axis.
void convertTextExtrusion(DrawingStore& store);

}  // namespace velmora
