#include "geometry/plane_geometry.h"

#include <cmath>

#include "geometry/float_checks.h"

namespace velmora {

namespace {
constexpr Extended kTolerance = 0.00001L;
}

Extended planarDistance(const TAcadPoint& a, const TAcadPoint& b) {
    Extended dy = a.y - b.y;
    Extended dx = a.x - b.x;
    return std::sqrt(dy * dy + dx * dx);
}

Extended directionAngle(const TAcadPoint& a, const TAcadPoint& b) {
    Extended dx = b.x - a.x;
    Extended dy = b.y - a.y;
    if (std::fabs(dx) < kTolerance) return b.y > a.y ? kPi / 2 : 3 * kPi / 2;
    if (std::fabs(dy) < kTolerance) return b.x > a.x ? 0 : kPi;
    Extended t = std::fabs(std::atan(dy / dx));
    if (dx >= 0 && dy >= 0) return t;
    if (dx < 0 && dy >= 0) return kPi - t;
    if (dx >= 0) return 2 * kPi - t;
    return kPi + t;
}

UnitVector unitVector(double angle) {
    const Extended a = angle;
    return UnitVector{std::cos(a), std::sin(a)};
}

TAcadPoint polarPoint(const TAcadPoint& p, const UnitVector& u, double distance) {
    const Extended d = distance;
    return TAcadPoint{p.x + d * u.cos, p.y + d * u.sin, p.z};
}

TAcadPoint polarPoint(const TAcadPoint& p, double angle, double distance) {
    return polarPoint(p, unitVector(angle), distance);
}

BulgeArc bulgeToArc(const TAcadPoint& p1, const TAcadPoint& p2, double bulge) {
    double theta = roundToDouble(4 * std::atan(static_cast<Extended>(bulge)));
    double h = roundToDouble(planarDistance(p1, p2) / 2);
    double s = roundToDouble(checkedDivide(h, std::sin(static_cast<Extended>(theta) / 2)));
    double turn = roundToDouble(kPi / 2 - static_cast<Extended>(theta) / 2);
    double toCenter = roundToDouble(directionAngle(p1, p2) + turn);

    BulgeArc arc;
    arc.center = polarPoint(p1, toCenter, s);
    arc.radius = std::fabs(s);
    const TAcadPoint& from = bulge >= 0 ? p1 : p2;
    const TAcadPoint& to = bulge >= 0 ? p2 : p1;
    arc.startAngle = roundToDouble(directionAngle(arc.center, from));
    arc.endAngle = roundToDouble(directionAngle(arc.center, to));
    return arc;
}

}  // namespace velmora
