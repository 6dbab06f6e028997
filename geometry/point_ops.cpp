#include "geometry/point_ops.h"

#include <cmath>

#include "geometry/float_checks.h"
#include "geometry/plane_geometry.h"

namespace velmora {

TAcadPoint addPoints(const TAcadPoint& a, const TAcadPoint& b) {
    return TAcadPoint{a.x + b.x, a.y + b.y, a.z + b.z};
}

TAcadPoint subtractPoints(const TAcadPoint& a, const TAcadPoint& b) {
    return TAcadPoint{a.x - b.x, a.y - b.y, a.z - b.z};
}

TAcadPoint scalePoints(const TAcadPoint& a, const TAcadPoint& b) {
    return TAcadPoint{a.x * b.x, a.y * b.y, a.z * b.z};
}

TAcadPoint rotatePoint(const TAcadPoint& p, Extended angle) {
    Extended c = std::cos(angle);
    Extended s = std::sin(angle);
    return TAcadPoint{p.x * c - p.y * s, p.x * s + p.y * c, p.z};
}

bool pointsNear(const TAcadPoint& a, const TAcadPoint& b, double tolerance) {
    Extended t = tolerance;
    return std::fabs(a.x - b.x) < t && std::fabs(a.y - b.y) < t && std::fabs(a.z - b.z) < t;
}

TAcadPoint localToWorld(const TAcadPoint& p, const TAcadPoint& c, const TAcadPoint& u,
                        const TAcadPoint& v, const TAcadPoint& n) {
    return TAcadPoint{c.x + p.x * u.x + p.y * v.x + p.z * n.x,
                      c.y + p.x * u.y + p.y * v.y + p.z * n.y,
                      c.z + p.x * u.z + p.y * v.z + p.z * n.z};
}

Placement makePlacement(const TAcadPoint& blockBase, const TInsertBlk& reference) {
    return Placement{blockBase, reference.scale, reference.base,
                     roundToDouble(reference.rotate * kDegToRad)};
}

TAcadPoint placePoint(const Placement& pl, const TAcadPoint& p) {
    TAcadPoint local = scalePoints(subtractPoints(p, pl.blockBase), pl.scale);
    return addPoints(pl.insertion, rotatePoint(local, pl.angle));
}

}  // namespace velmora
