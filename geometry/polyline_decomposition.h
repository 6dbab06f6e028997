// Breaking polylines into line and arc records the renderer can draw.
#pragma once

#include <cstddef>

#include "store/drawing_store.h"

namespace velmora {

// Polylines of block definitions -> blockLines and blockArcs.
void convertBlockLwps(DrawingStore& store);

// Model polylines -> modelLines and modelArcs; these also take the polyline's
// extrusion, turn arcs of at most one degree into chords and draw the M edges
// of polygon meshes.
void convertModelLwps(DrawingStore& store);

// Rows convertModelLwps will append: at most `lines` lines and `arcs` arcs,
// and at most `arcChords` lines when convertArcs later turns those arcs into
// chords of `chordStepDegrees` (0 plans no chords).
struct PolylinePlan {
    std::size_t lines = 0;
    std::size_t arcs = 0;
    std::size_t arcChords = 0;
};
PolylinePlan planModelLwps(const DrawingStore& store, double chordStepDegrees);

}  // namespace velmora
