// The arbitrary axis rule of the DXF format: the world point of a point given
// in the coordinate system of an extrusion direction.
#pragma once

#include "store/records.h"

namespace velmora {

inline constexpr double kArbitraryAxisThreshold = 1.0 / 64;

TAcadPoint crossProduct(const TAcadPoint& a, const TAcadPoint& b);

// v divided by its length (rounded to Double); a zero vector comes back as is.
TAcadPoint normalizeVector(const TAcadPoint& v);

// p.x*Ax + p.y*Ay + p.z*n with the axes the rule derives from n; n is used
// as stored, not normalised.
TAcadPoint arbitraryAxisToWorld(const TAcadPoint& p, const TAcadPoint& n);

}  // namespace velmora
