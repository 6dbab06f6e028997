// Drawing 3D faces, leaders, solids and planar splines as lines in modelLines.
#pragma once

#include "store/drawing_store.h"

namespace velmora {

// The closed outline of each visible face, all edges whatever their flags.
void convertFaces(DrawingStore& store);

// The first two segments of each visible leader and its hook of code41 along +X.
void convertLeaders(DrawingStore& store);

// The triangle of the first three corners of each visible model solid.
void convertSolids(DrawingStore& store);

// The control polygon of each visible planar spline.
void convertSplines(DrawingStore& store);

}  // namespace velmora
