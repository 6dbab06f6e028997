#include "render/ellipse_path.h"

#include <random>

#include <gtest/gtest.h>

namespace velmora {
namespace {

using Wide = __int128;

// The midpoint trace stepped one point at a time, from the top to the side.
std::vector<HalfPoint> steppedQuadrant(long long a, long long b) {
    const Wide a2 = Wide(a) * a, b2 = Wide(b) * b;
    auto f = [&](long long x, long long y) { return Wide(x) * x * b2 + Wide(y) * y * a2 - a2 * b2; };
    const long long yEnd = b % 2;
    long long x = a % 2, y = b;
    std::vector<HalfPoint> path{{x, y}};
    while (x + 2 <= a && b2 * x < a2 * y) {
        x += 2;
        if (y - 2 >= yEnd && f(x, y - 1) > 0) y -= 2;
        path.push_back({x, y});
    }
    while (y - 2 >= yEnd) {
        y -= 2;
        if (x + 2 <= a && f(x + 1, y) <= 0) x += 2;
        path.push_back({x, y});
    }
    while (x + 2 <= a) {
        x += 2;
        path.push_back({x, y});
    }
    return path;
}

// The whole path built from the stepped quadrant.
std::vector<HalfPoint> steppedEllipse(long long a, long long b) {
    if (a == 0 && b == 0) return {{0, 0}};
    const std::vector<HalfPoint> t = steppedQuadrant(a, b);
    const std::size_t m = t.size(), reversed = m - (a % 2 == 0), forward = m - (b % 2 == 0);
    std::vector<HalfPoint> path;
    for (std::size_t k = 0; k < reversed; ++k) path.push_back(t[m - 1 - k]);
    for (std::size_t k = 0; k < forward; ++k) path.push_back({-t[k].x, t[k].y});
    for (std::size_t k = 0; k < reversed; ++k) path.push_back({-t[m - 1 - k].x, -t[m - 1 - k].y});
    for (std::size_t k = 0; k < forward; ++k) path.push_back({t[k].x, -t[k].y});
    return path;
}

// Worked out (columns and rows from square roots) and traced step by step.
void expectSamePath(long long a, long long b) {
    const std::vector<HalfPoint> expected = steppedEllipse(a, b);
    for (long long stepped : {0LL, kSteppedQuadrantPoints}) {
        const EllipsePath path(a, b, stepped);
        ASSERT_EQ(path.size(), expected.size()) << a << " x " << b;
        for (std::size_t k = 0; k < expected.size(); ++k)
            ASSERT_EQ(path.at(k), expected[k]) << a << " x " << b << ", point " << k << ", " << stepped;
    }
}

TEST(EllipsePath, SameAsTheSteppedTraceForEverySmallBox) {
    for (long long a = 0; a <= 130; ++a)
        for (long long b = 0; b <= 130; ++b) expectSamePath(a, b);
}

TEST(EllipsePath, SameAsTheSteppedTraceForLargeAndFlatBoxes) {
    const std::pair<long long, long long> sizes[] = {
        {1000, 999}, {999, 1000}, {4095, 17}, {17, 4095}, {65536, 65536}, {100001, 100000},
        {300000, 3}, {3, 300000}, {262143, 1}, {1, 262143}, {200000, 150001}, {2, 200000}};
    for (auto [a, b] : sizes) expectSamePath(a, b);
    std::mt19937_64 random(7);
    std::uniform_int_distribution<long long> side(0, 200000);
    for (int i = 0; i < 40; ++i) expectSamePath(side(random), side(random));
}

TEST(EllipsePath, WithinFindsExactlyThePointsInABox) {
    std::mt19937_64 random(11);
    for (auto [a, b] : {std::pair{40LL, 40LL}, {41, 40}, {40, 41}, {9, 60}, {1, 1}, {0, 5}, {0, 0}}) {
        const std::vector<HalfPoint> all = steppedEllipse(a, b);
        const EllipsePath path(a, b, 0);
        std::uniform_int_distribution<long long> coord(-a - b - 4, a + b + 4);
        for (int i = 0; i < 200; ++i) {
            long long x0 = coord(random), x1 = coord(random), y0 = coord(random), y1 = coord(random);
            if (x0 > x1) std::swap(x0, x1);
            if (y0 > y1) std::swap(y0, y1);
            std::vector<bool> inside(all.size(), false);
            for (const auto& [from, to] : path.within(x0, x1, y0, y1))
                for (std::size_t k = from; k < to; ++k) inside[k] = true;
            for (std::size_t k = 0; k < all.size(); ++k) {
                const bool expected = all[k].x >= x0 && all[k].x <= x1 && all[k].y >= y0 && all[k].y <= y1;
                ASSERT_EQ(inside[k], expected) << a << " x " << b << ", point " << k;
            }
        }
    }
}

TEST(EllipsePath, HugeEllipsesAreReachedByIndexAndStayConnected) {
    const EllipsePath path(kMaxEllipseAxis, kMaxEllipseAxis - 1);
    EXPECT_GT(path.size(), std::size_t{1} << 32);  // about 4 sqrt(2) x 2^30
    std::mt19937_64 random(3);
    std::uniform_int_distribution<std::size_t> index(0, path.size() - 2);
    for (int i = 0; i < 2000; ++i) {
        const std::size_t k = index(random);
        const HalfPoint p = path.at(k), q = path.at(k + 1);
        ASSERT_LE(std::llabs(q.x - p.x), 2) << k;
        ASSERT_LE(std::llabs(q.y - p.y), 2) << k;
        ASSERT_FALSE(p == q) << k;
    }
    EXPECT_EQ(path.at(0), (HalfPoint{kMaxEllipseAxis, 1}));

    // Around the 45-degree turn, where the columns give way to the rows.
    std::size_t lo = 0, hi = path.size() / 4;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        const HalfPoint p = path.at(mid);
        if (p.x > p.y) lo = mid + 1;
        else hi = mid;
    }
    for (std::size_t k = lo - 100000; k < lo + 100000; ++k) {
        const HalfPoint p = path.at(k), q = path.at(k + 1);
        ASSERT_TRUE(q.x <= p.x && q.y >= p.y && q.x >= p.x - 2 && q.y <= p.y + 2 && !(p == q)) << k;
    }
}

}  // namespace
}  // namespace velmora
