// The pixel path of an ellipse for Canvas::arc, with random access, so that
// drawing a huge ellipse costs only its visible pixels: the columns and rows
// of the midpoint trace are worked out directly (integer square roots) where
// the step-by-step trace provably gives the same pixel, and only the few
// points around the 45-degree turn are traced one by one.
//
// Coordinates are doubled and relative to the ellipse centre, y up, so that a
// centre between two pixels stays integral; a and b are the doubled
// semi-axes, the distance between the outermost pixel centres.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace velmora {

// The number of leading elements of [0, n) for which `before` holds, for a
// predicate that holds on a prefix.
template <class Pred>
std::size_t partitionPoint(std::size_t n, Pred before) {
    std::size_t lo = 0, hi = n;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (before(mid)) lo = mid + 1;
        else hi = mid;
    }
    return lo;
}


struct HalfPoint {
    long long x = 0;
    long long y = 0;
    friend bool operator==(const HalfPoint&, const HalfPoint&) = default;
};

// Largest doubled semi-axis handled (the products of the trace then fit in
// 128 bits).
inline constexpr long long kMaxEllipseAxis = 1LL << 31;
// Quadrants of up to about this many points are traced step by step and
// kept whole, which is quicker to read than the worked-out columns and rows.
inline constexpr long long kSteppedQuadrantPoints = 1 << 16;

// The first quadrant of the midpoint trace, from the top (a mod 2, b) to the
// side (a, b mod 2): one pixel per step along x while the curve is flatter
// than 45 degrees, then one per step along y, ties going outwards.
class QuadrantTrace {
public:
    // 0 <= a, b <= kMaxEllipseAxis. `steppedPoints` is for tests that want
    // the worked-out columns and rows on small ellipses too.
    QuadrantTrace(long long a, long long b, long long steppedPoints = kSteppedQuadrantPoints);
    std::size_t size() const { return size_; }
    HalfPoint at(std::size_t i) const;
    // The indexes [first, last) of the points with x in [xLo, xHi] and y in
    // [yLo, yHi]; along the trace x never falls and y never rises, so they
    // are consecutive.
    std::pair<std::size_t, std::size_t> within(long long xLo, long long xHi, long long yLo,
                                               long long yHi) const;

private:
    long long columnY(long long x) const;
    long long rowX(long long y) const;

    long long a_, b_, x0_, yEnd_;
    std::size_t columns_ = 0;  // points 0 .. columns_ - 1: x = x0 + 2i, y = columnY(x)
    std::vector<HalfPoint> traced_;  // the next points, traced step by step
    long long rowsFrom_ = 0;         // then rows below rowsFrom_: x = rowX(y)
    std::size_t rows_ = 0;
    long long bottomFrom_ = 0;  // then the bottom row right of bottomFrom_
    std::size_t bottom_ = 0;
    std::size_t size_ = 0;
};

// The closed counter-clockwise path of the whole ellipse, starting at angle
// 0: the quadrant trace reversed, then mirrored into the other three
// quadrants, points shared between quadrants taken once.
class EllipsePath {
public:
    EllipsePath(long long a, long long b, long long steppedPoints = kSteppedQuadrantPoints);
    std::size_t size() const { return size_; }
    HalfPoint at(std::size_t k) const;
    // Ranges [first, last) of path indexes, in increasing order, that hold
    // every point with x in [xLo, xHi] and y in [yLo, yHi] (and no other).
    std::vector<std::pair<std::size_t, std::size_t>> within(long long xLo, long long xHi,
                                                            long long yLo, long long yHi) const;

private:
    bool single_;
    QuadrantTrace trace_;
    std::size_t reversedLength_ = 0;  // quadrants 1 and 3 (trace reversed), without a shared top
    std::size_t forwardLength_ = 0;   // quadrants 2 and 4 (trace order), without a shared side
    std::size_t size_ = 1;
};

}  // namespace velmora
