// Replacing curves the renderer cannot draw natively by chains of lines in
// modelLines: ellipses (in world coordinates), and arcs and circles whose
// extrusion is not +Z (in their own plane; the line extrusion pass maps them).
#pragma once

#include <cstddef>
#include <vector>

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

// Row plans: how many lines the conversions above will append, so that a
// table can be sized once. Exact for arcs and circles, an upper bound for the
// arc a polyline bulge becomes; a plan never exceeds kMaxPlannedRows (a
// larger table is grown as it fills).
inline constexpr std::size_t kMaxPlannedRows = std::size_t{1} << 26;
std::size_t plannedArcChords(const std::vector<TArcBlk>& arcs, bool convertAll, double stepDegrees);
std::size_t plannedCircleChords(const std::vector<TCircleBlk>& circles, bool convertAll, double stepDegrees);
std::size_t plannedBulgeChords(double bulge, double stepDegrees);

}  // namespace velmora
