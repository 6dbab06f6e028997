// Point arithmetic in extended precision: component-wise sums and products,
// turns about Z, closeness, local-to-world mapping and the placement of a
// block definition's point by a block reference.
#pragma once

#include "store/records.h"

namespace velmora {

TAcadPoint addPoints(const TAcadPoint& a, const TAcadPoint& b);
TAcadPoint subtractPoints(const TAcadPoint& a, const TAcadPoint& b);
// Component-wise product.
TAcadPoint scalePoints(const TAcadPoint& a, const TAcadPoint& b);
// Counter-clockwise turn by `angle` radians about the Z axis; z stays.
TAcadPoint rotatePoint(const TAcadPoint& p, Extended angle);

// True when every coordinate differs by less than `tolerance` (strictly).
bool pointsNear(const TAcadPoint& a, const TAcadPoint& b, double tolerance);

// c + p.x*u + p.y*v + p.z*n.
TAcadPoint localToWorld(const TAcadPoint& p, const TAcadPoint& c, const TAcadPoint& u,
                        const TAcadPoint& v, const TAcadPoint& n);

// Where a reference puts point p of its block: subtract the block's base
// point, scale by the reference's factors, turn by its rotation (degrees),
// add its insertion point.
struct Placement {
    TAcadPoint blockBase;
    TAcadPoint scale;
    TAcadPoint insertion;
    double angle = 0;  // radians, rotation * pi / 180 rounded to Double
};

Placement makePlacement(const TAcadPoint& blockBase, const TInsertBlk& reference);
TAcadPoint placePoint(const Placement& placement, const TAcadPoint& p);

}  // namespace velmora
