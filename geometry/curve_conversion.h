// Replacing curves the renderer cannot draw natively by chains of lines in
// modelLines: ellipses (in world coordinates), and arcs and circles whose
// extrusion is not +Z (in their own plane; the line extrusion pass maps them).
#pragma once

#include "store/drawing_store.h"

namespace velmora {

inline constexpr double kPointTolerance = 0.00001;

// True when an extrusion direction counts as +Z.
bool isPlusZ(const TAcadPoint& extrusion);

// Every visible ellipse of modelEllipses; its rows are left unchanged. A zero
// major axis raises FloatingPointError, keeping the lines appended so far.
void convertEllipses(DrawingStore& store, double stepDegrees);

// Visible arcs (all of them with convertAll, else only those not on +Z) become
// lines with the arc's extrusion; each converted arc is marked code67 = -1.
void convertArcs(DrawingStore& store, bool convertAll, double stepDegrees);

// As convertArcs, for modelCircles.
void convertCircles(DrawingStore& store, bool convertAll, double stepDegrees);

}  // namespace velmora
