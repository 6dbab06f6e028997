#include "geometry/curve_conversion.h"

#include <algorithm>
#include <cmath>

#include "geometry/float_checks.h"
#include "geometry/owned_lines.h"
#include "geometry/plane_geometry.h"
#include "geometry/point_ops.h"
#include "platform/rounding.h"
#include "store/table_growth.h"

namespace velmora {

namespace {

constexpr TAcadPoint kPlusZ{0, 0, 1};
constexpr SmallInt kConvertedMark = -1;

template <class Curve>
bool selected(const Curve& curve, bool convertAll) {
    return curve.code60 == 0 && (convertAll || !isPlusZ(curve.code210));
}

template <class Curve>
void appendChord(TableAppender<TAcadLineBlk>& lines, const Curve& curve, const TAcadPoint& st,
                 const TAcadPoint& ed) {
    appendOwnedLine(lines, curve, st, ed).code210 = curve.code210;
}

double stepRadians(double stepDegrees) { return roundToDouble(stepDegrees * kDegToRad); }

TAcadPoint pointAtDegrees(const TAcadPoint& center, double degrees, double radius) {
    return polarPoint(center, roundToDouble(degrees * kDegToRad), radius);
}

// The angles of a chord chain: first, first + step, ... (degrees, each sum
// rounded to Double), as unit vectors.
class ChainAngles {
public:
    ChainAngles(double first, double stepDegrees) : angle_(first), step_(stepDegrees) {}
    UnitVector next() {
        UnitVector u = unitVector(roundToDouble(angle_ * kDegToRad));
        angle_ = roundToDouble(Extended{angle_} + step_);
        return u;
    }

private:
    double angle_;
    double step_;
};

// Chords from `start` through the points at the first n chain angles to
// `end`: n + 1 lines. `units(k)` is the k-th angle's unit vector.
template <class Curve, class Units>
void appendChordChain(TableAppender<TAcadLineBlk>& lines, const Curve& curve, const TAcadPoint& start,
                      long long n, Units&& units, const TAcadPoint& end) {
    TAcadPoint from = start;
    for (long long k = 0; k < n; ++k) {
        TAcadPoint to = polarPoint(curve.center, units(k), curve.hankei);
        appendChord(lines, curve, from, to);
        from = to;
    }
    appendChord(lines, curve, from, end);
}

struct EllipseFrame {
    TAcadPoint center;
    TAcadPoint u;  // unit major axis
    TAcadPoint v;  // u x extrusion
    TAcadPoint n;  // extrusion as stored
    double major = 0;
    double ratio = 0;
};

EllipseFrame ellipseFrame(const TEllipseBlk& e) {
    EllipseFrame f;
    const TAcadPoint& ep = e.endpoint;
    f.major = roundToDouble(std::sqrt(ep.x * ep.x + ep.y * ep.y + ep.z * ep.z));
    f.u = TAcadPoint{checkedDivide(ep.x, f.major), checkedDivide(ep.y, f.major),
                     checkedDivide(ep.z, f.major)};
    f.n = e.code210;
    f.v = TAcadPoint{f.u.y * f.n.z - f.u.z * f.n.y, f.u.z * f.n.x - f.u.x * f.n.z,
                     f.u.x * f.n.y - f.u.y * f.n.x};
    f.center = e.center;
    f.ratio = e.henpei;
    return f;
}

TAcadPoint ellipsePoint(const EllipseFrame& f, double t) {
    TAcadPoint local = polarPoint(TAcadPoint{}, t, f.major);
    local.y *= -Extended{f.ratio};
    local.z = 0;
    return localToWorld(local, f.center, f.u, f.v, f.n);
}

void convertEllipse(TableAppender<TAcadLineBlk>& lines, const TEllipseBlk& e, double step) {
    // A major axis of length zero (a file cut off mid-save) is no curve: it
    // draws nothing, and the rest of the drawing is drawn as it is.
    const TAcadPoint& axis = e.endpoint;
    if (axis.x == 0 && axis.y == 0 && axis.z == 0) return;
    EllipseFrame frame = ellipseFrame(e);
    double t = e.kaisi;
    double end = e.owari;
    // An elliptical arc across parameter 0 ends past a full turn, as arcs do.
    if (end < t) end = roundToDouble(Extended{end} + kTwoPiDouble);
    // More than one full turn draws nothing new; keeps the line count bounded.
    end = std::min(end, roundToDouble(Extended{t} + kTwoPiDouble));
    TAcadPoint previous = ellipsePoint(frame, t);
    while (end > t) {
        double next = roundToDouble(Extended{t} + step);
        if (next > end || next <= t) next = end;  // no stall where t is too large to move
        t = next;
        TAcadPoint p = ellipsePoint(frame, t);
        if (!pointsNear(previous, p, kPointTolerance)) appendOwnedLine(lines, e, previous, p).code210 = kPlusZ;
        previous = p;
    }
}

// Where an arc's chord chain runs, in radians: from its start angle over
// its span, at most one full turn.
struct ArcSpan {
    double start = 0;
    double span = 0;
    bool fullTurn = false;  // the arc covered more than a turn
};

ArcSpan arcSpan(const TArcBlk& arc) {
    ArcSpan out;
    out.start = roundToDouble(arc.st * kDegToRad);
    double b = roundToDouble(arc.ed * kDegToRad);
    if (b < out.start) b = roundToDouble(Extended{b} + kTwoPiDouble);
    out.span = roundToDouble(Extended{b} - out.start);
    // An arc of more than a full turn is drawn as the full circle it covers.
    if (out.span > kTwoPiDouble) {
        out.span = kTwoPiDouble;
        out.fullTurn = true;
    }
    return out;
}

// Chords a chain over `span` radians takes at step `s`, or 0 when the
// conversion itself would fail on it (it then raises where it always did).
std::size_t plannedChainLength(Extended span, Extended s) {
    if (!(s != 0) || !std::isfinite(span)) return 0;
    Extended n = std::rint(span / s);
    if (!(n >= 0) || n > static_cast<Extended>(kMaxPlannedRows)) return 0;
    return static_cast<std::size_t>(n) + 1;
}

std::size_t capPlan(std::size_t rows) { return std::min(rows, kMaxPlannedRows); }

}  // namespace

std::size_t plannedArcChords(const std::vector<TArcBlk>& arcs, bool convertAll, double stepDegrees) {
    const Extended s = stepRadians(stepDegrees);
    std::size_t rows = 0;
    for (const TArcBlk& arc : arcs) {
        if (!selected(arc, convertAll)) continue;
        if (!std::isfinite(arc.st) || !std::isfinite(arc.ed)) continue;
        rows += plannedChainLength(arcSpan(arc).span, s);
    }
    return capPlan(rows);
}

std::size_t plannedCircleChords(const std::vector<TCircleBlk>& circles, bool convertAll, double stepDegrees) {
    std::size_t count = 0;
    for (const TCircleBlk& circle : circles) count += selected(circle, convertAll);
    const double s = stepRadians(stepDegrees);
    if (count == 0 || s == 0) return 0;
    const Extended n = std::rint(2 * kPi / s - 0.5L);  // as convertCircles counts
    if (!(n >= 0) || n > static_cast<Extended>(kMaxPlannedRows)) return 0;
    return capPlan(count * (static_cast<std::size_t>(n) + 1));
}

std::size_t plannedBulgeChords(double bulge, double stepDegrees) {
    // A bulge's arc turns 4 atan|bulge|; the roundings of its end angles move
    // the chord count by at most one either way, and no arc passes a full turn.
    const Extended s = stepRadians(stepDegrees);
    const Extended turn = 4 * std::atan(std::fabs(static_cast<Extended>(bulge)));
    const std::size_t full = plannedChainLength(2 * kPi, s);
    return std::min(plannedChainLength(turn, s) + 1, full);
}

bool isPlusZ(const TAcadPoint& extrusion) {
    return pointsNear(extrusion, kPlusZ, kPointTolerance);
}

void convertEllipses(DrawingStore& store, double stepDegrees) {
    if (store.modelEllipses.empty()) return;
    double step = roundToDouble(kPi * stepDegrees / 180);
    TableAppender lines(store.modelLines);
    for (const TEllipseBlk& e : store.modelEllipses)
        if (e.code60 == 0) convertEllipse(lines, e, step);
}

void convertArcs(DrawingStore& store, bool convertAll, double stepDegrees) {
    if (store.modelArcs.empty()) return;
    double s = stepRadians(stepDegrees);
    TableAppender lines(store.modelLines);
    lines.reserveMore(plannedArcChords(store.modelArcs, convertAll, stepDegrees));
    for (TArcBlk& arc : store.modelArcs) {
        if (!selected(arc, convertAll)) continue;
        arc.code67 = kConvertedMark;
        ArcSpan span = arcSpan(arc);
        TAcadPoint end = pointAtDegrees(arc.center, arc.ed, arc.hankei);
        if (span.fullTurn) end = polarPoint(arc.center, roundToDouble(Extended{span.start} + kTwoPiDouble), arc.hankei);
        long long n = roundToInt(checkedDivide(span.span, s));
        ChainAngles angles(roundToDouble(Extended{arc.st} + stepDegrees), stepDegrees);
        appendChordChain(lines, arc, polarPoint(arc.center, span.start, arc.hankei), n,
                         [&](long long) { return angles.next(); }, end);
    }
}

void convertCircles(DrawingStore& store, bool convertAll, double stepDegrees) {
    if (store.modelCircles.empty()) return;
    double s = stepRadians(stepDegrees);
    long long n = 0;
    bool counted = false;
    std::vector<UnitVector> units;  // every circle's chain turns through the same angles
    ChainAngles angles(stepDegrees, stepDegrees);
    const UnitVector startUnit = unitVector(0);
    TableAppender lines(store.modelLines);
    lines.reserveMore(plannedCircleChords(store.modelCircles, convertAll, stepDegrees));
    for (TCircleBlk& circle : store.modelCircles) {
        if (!selected(circle, convertAll)) continue;
        circle.code67 = kConvertedMark;
        if (!counted) {  // the chord count depends on the step only
            n = roundToInt(checkedDivide(2 * kPi, s) - 0.5L);
            counted = true;
        }
        TAcadPoint start = polarPoint(circle.center, startUnit, circle.hankei);
        appendChordChain(lines, circle, start, n, [&](long long k) {
            while (units.size() <= static_cast<std::size_t>(k)) units.push_back(angles.next());
            return units[static_cast<std::size_t>(k)];
        }, start);
    }
}

}  // namespace velmora
