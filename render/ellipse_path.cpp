#include "render/ellipse_path.h"

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

using Wide = __int128;

// floor(sqrt(v)) for 0 <= v < 2^126.
long long isqrt(Wide v) {
    if (v <= 0) return 0;
    long long r = static_cast<long long>(std::sqrt(static_cast<long double>(v)));
    while (r > 0 && Wide(r) * r > v) --r;
    while (Wide(r + 1) * (r + 1) <= v) ++r;
    return r;
}

// The largest value not above v with the parity of `like`.
long long parityFloor(long long v, long long like) { return (v - like) % 2 == 0 ? v : v - 1; }

long long asLong(std::size_t i) { return static_cast<long long>(i); }

}  // namespace

// The step-by-step trace, from (a mod 2, b):
//   along x while x + 2 <= a and b^2 x < a^2 y: x += 2, and y -= 2 when
//     y - 2 >= b mod 2 and the midpoint (x, y - 1) lies outside;
//   then along y down to b mod 2: y -= 2, and x += 2 when x + 2 <= a and the
//     midpoint (x + 1, y) lies inside or on the curve;
//   then along x to a.
// While the curve is no steeper than 45 degrees (x^2 (a^2 + b^2) <= a^4) it
// falls at most one pixel per column, so the first part stays on columnY(x)
// once it starts there. Once it is at least that steep (y^2 (a^2 + b^2) <=
// b^4) it moves at most one pixel per row, so the second part stays on
// rowX(y) once it has caught up with it. Only the points in between are
// traced one by one: a few around the 45-degree turn.
QuadrantTrace::QuadrantTrace(long long a, long long b, long long steppedPoints)
    : a_(a), b_(b), x0_(a % 2), yEnd_(b % 2) {
    const Wide a2 = Wide(a) * a, b2 = Wide(b) * b;
    auto f = [&](long long x, long long y) { return Wide(x) * x * b2 + Wide(y) * y * a2 - a2 * b2; };
    auto stepsAlongX = [&](long long x, long long y) { return x + 2 <= a && b2 * x < a2 * y; };
    const bool workOut = a / 2 + b / 2 >= steppedPoints;  // at most a / 2 + b / 2 + 1 points

    if (workOut && columnY(x0_) == b) {
        const long long flatTo = a > 0 ? parityFloor(std::min(a, isqrt(a2 * a2 / (a2 + b2))), x0_) : x0_;
        const std::size_t flatColumns = flatTo > x0_ ? static_cast<std::size_t>((flatTo - x0_) / 2) : 0;
        // The ratio b^2 x / (a^2 y) only grows along the trace, so the columns
        // the first part steps past are a prefix.
        columns_ = 1 + partitionPoint(flatColumns, [&](std::size_t i) {
                       const long long x = x0_ + 2 * asLong(i);
                       return stepsAlongX(x, columnY(x));
                   });
    }
    long long x = x0_, y = b;
    if (columns_ > 0) {
        x = x0_ + 2 * asLong(columns_ - 1);
        y = columnY(x);
    } else {
        traced_.push_back({x, y});
    }
    while (stepsAlongX(x, y)) {
        x += 2;
        if (y - 2 >= yEnd_ && f(x, y - 1) > 0) y -= 2;
        traced_.push_back({x, y});
    }
    bool caughtUp = false;
    while (!caughtUp && y - 2 >= yEnd_) {
        y -= 2;
        if (x + 2 <= a && f(x + 1, y) <= 0) x += 2;
        traced_.push_back({x, y});
        caughtUp = workOut && Wide(y) * y * (a2 + b2) <= b2 * b2 && x == rowX(y);
    }
    if (caughtUp) {
        rowsFrom_ = y;
        rows_ = static_cast<std::size_t>((y - yEnd_) / 2);
        if (rows_ > 0) x = rowX(yEnd_);
    }
    bottomFrom_ = x;
    bottom_ = static_cast<std::size_t>((a - x) / 2);
    size_ = columns_ + traced_.size() + rows_ + bottom_;
}

// The highest y of column x (parity of b, from b mod 2 to b) whose lower
// midpoint (x, y - 1) lies inside or on the curve: (y - 1)^2 a^2 <= a^2 b^2 - x^2 b^2.
long long QuadrantTrace::columnY(long long x) const {
    if (a_ == 0) return b_;
    const Wide a2 = Wide(a_) * a_, b2 = Wide(b_) * b_;
    const Wide room = a2 * b2 - Wide(x) * x * b2;
    if (room < 0) return yEnd_;
    return std::max(yEnd_, parityFloor(std::min(b_, isqrt(room / a2) + 1), b_));
}

// The largest x of row y (parity of a, from a mod 2 to a) whose left midpoint
// (x - 1, y) lies inside or on the curve: (x - 1)^2 b^2 <= a^2 b^2 - y^2 a^2.
long long QuadrantTrace::rowX(long long y) const {
    if (b_ == 0) return a_;
    const Wide a2 = Wide(a_) * a_, b2 = Wide(b_) * b_;
    const Wide room = a2 * b2 - Wide(y) * y * a2;
    if (room < 0) return x0_;
    return std::max(x0_, parityFloor(std::min(a_, isqrt(room / b2) + 1), a_));
}

HalfPoint QuadrantTrace::at(std::size_t i) const {
    if (i < columns_) {
        const long long x = x0_ + 2 * asLong(i);
        return {x, columnY(x)};
    }
    i -= columns_;
    if (i < traced_.size()) return traced_[i];
    i -= traced_.size();
    if (i < rows_) {
        const long long y = rowsFrom_ - 2 * (asLong(i) + 1);
        return {rowX(y), y};
    }
    i -= rows_;
    return {bottomFrom_ + 2 * (asLong(i) + 1), yEnd_};
}

std::pair<std::size_t, std::size_t> QuadrantTrace::within(long long xLo, long long xHi, long long yLo,
                                                          long long yHi) const {
    const std::size_t first = std::max(partitionPoint(size_, [&](std::size_t i) { return at(i).x < xLo; }),
                                       partitionPoint(size_, [&](std::size_t i) { return at(i).y > yHi; }));
    const std::size_t last = std::min(partitionPoint(size_, [&](std::size_t i) { return at(i).x <= xHi; }),
                                      partitionPoint(size_, [&](std::size_t i) { return at(i).y >= yLo; }));
    return {first, std::max(first, last)};
}

EllipsePath::EllipsePath(long long a, long long b, long long steppedPoints)
    : single_(a == 0 && b == 0), trace_(a, b, steppedPoints) {
    if (single_) return;
    const std::size_t m = trace_.size();
    reversedLength_ = m - (a % 2 == 0 ? 1 : 0);
    forwardLength_ = m - (b % 2 == 0 ? 1 : 0);
    size_ = 2 * (reversedLength_ + forwardLength_);
}

HalfPoint EllipsePath::at(std::size_t k) const {
    if (single_) return {0, 0};
    const std::size_t m = trace_.size();
    if (k < reversedLength_) return trace_.at(m - 1 - k);
    k -= reversedLength_;
    if (k < forwardLength_) {
        const HalfPoint p = trace_.at(k);
        return {-p.x, p.y};
    }
    k -= forwardLength_;
    if (k < reversedLength_) {
        const HalfPoint p = trace_.at(m - 1 - k);
        return {-p.x, -p.y};
    }
    k -= reversedLength_;
    const HalfPoint p = trace_.at(k);
    return {p.x, -p.y};
}

std::vector<std::pair<std::size_t, std::size_t>> EllipsePath::within(long long xLo, long long xHi, long long yLo,
                                                                     long long yHi) const {
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    if (single_) {
        if (xLo <= 0 && 0 <= xHi && yLo <= 0 && 0 <= yHi) ranges.push_back({0, 1});
        return ranges;
    }
    const std::size_t m = trace_.size();
    // Quadrants 1 and 3 run through trace indexes m - 1 down to m - reversedLength_.
    auto reversed = [&](std::size_t offset, std::pair<std::size_t, std::size_t> r) {
        const std::size_t from = std::max(r.first, m - reversedLength_);
        if (from < r.second) ranges.push_back({offset + m - r.second, offset + m - from});
    };
    auto forward = [&](std::size_t offset, std::pair<std::size_t, std::size_t> r) {
        const std::size_t to = std::min(r.second, forwardLength_);
        if (r.first < to) ranges.push_back({offset + r.first, offset + to});
    };
    reversed(0, trace_.within(xLo, xHi, yLo, yHi));
    forward(reversedLength_, trace_.within(-xHi, -xLo, yLo, yHi));
    reversed(reversedLength_ + forwardLength_, trace_.within(-xHi, -xLo, -yHi, -yLo));
    forward(2 * reversedLength_ + forwardLength_, trace_.within(xLo, xHi, -yHi, -yLo));
    return ranges;
}

}  // namespace velmora
