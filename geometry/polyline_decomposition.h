// Breaking polylines into line and arc records the renderer can draw.
#pragma once

#include "store/drawing_store.h"

namespace velmora {

// Polylines of block definitions -> blockLines and blockArcs.
void convertBlockLwps(DrawingStore& store);

// Model polylines -> modelLines and modelArcs; these also take the polyline's
// extrusion, turn arcs of at most one degree into chords and draw the M edges
// of polygon meshes.
void convertModelLwps(DrawingStore& store);

}  // namespace velmora
