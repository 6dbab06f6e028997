// Plane geometry on drawing points: distances, directions, polar offsets and
// the arc of a bulged polyline segment. Only x and y take part; z is carried.
// Angles are radians, counter-clockwise from +X.
#pragma once

#include "store/records.h"

namespace velmora {

inline constexpr Extended kPi = 3.141592653589793238462643383279502884L;
inline constexpr Extended kRadToDeg = 57.295779513082320877L;  // 180 / pi
inline constexpr Extended kDegToRad = kPi / 180;
inline constexpr double kTwoPiDouble = 6.283185307179586;

// Distance in the XY plane.
Extended planarDistance(const TAcadPoint& a, const TAcadPoint& b);

// Direction from a to b in [0, 2pi). Differences below 0.00001 count as zero;
// two coincident points give 3pi/2.
Extended directionAngle(const TAcadPoint& a, const TAcadPoint& b);

// p moved by `distance` along `angle`; z stays p's z.
TAcadPoint polarPoint(const TAcadPoint& p, double angle, double distance);

// The cosine and sine of an angle, for moving many points along the same
// angles (the chords of circles) with one evaluation of each.
struct UnitVector {
    Extended cos = 1;
    Extended sin = 0;
};
UnitVector unitVector(double angle);
// polarPoint(p, angle, distance) with u = unitVector(angle), bit for bit.
TAcadPoint polarPoint(const TAcadPoint& p, const UnitVector& u, double distance);

struct BulgeArc {
    TAcadPoint center;  // takes the start point's z
    double radius = 0;
    double startAngle = 0;  // the arc runs counter-clockwise from start to end
    double endAngle = 0;
};

// The arc of the segment p1 -> p2 with a non-zero bulge (negative: clockwise).
BulgeArc bulgeToArc(const TAcadPoint& p1, const TAcadPoint& p2, double bulge);

}  // namespace velmora
