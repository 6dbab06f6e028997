// How the raster conventions of canvas.h are reproduced:
//
// Lines (cosmetic pens) follow the diamond-exit rule for integer end points,
// which comes down to Bresenham's algorithm: one pixel per step along the
// major axis, the minor coordinate rounded to the nearest pixel. Where the
// ideal line passes exactly half-way between two pixels the smaller minor
// coordinate is taken (the pixel above, or to the left), whatever the
// direction of the line. Only the major-axis steps inside the bitmap are
// visited, so far-away end points cost nothing.
//
// Style patterns of cosmetic pens, in pixels on/off: dash 18/6, dot 3/3,
// dash-dot 9/6/3/6, dash-dot-dot 9/3/3/3/3/3, alternate 1/1. psClear draws
// nothing; psInsideFrame and psUserStyle draw solid.
//
// Wide pens stamp a disc of the pen's diameter on every pixel of the line,
// end point included (round ends).
//
// Arcs: the box's right and bottom edges are excluded, so a box of w x h
// pixels holds an ellipse whose leftmost and rightmost pixels are w - 1
// apart. The curve is rasterised with the midpoint algorithm in doubled
// coordinates (the centre may lie between pixels), ties going outwards; one
// quadrant is traced and mirrored into a closed counter-clockwise path. The
// path pixels whose direction from the ellipse centre lies between the start
// and end rays (both included) are painted in path order. The path is reached
// by index (render/ellipse_path.h), so a huge ellipse costs only the pixels
// that can touch the bitmap. Boxes with a side beyond 2^31 pixels are not
// drawn, as the classic API refuses coordinates beyond its range.
#include "render/canvas.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>

#include "render/ellipse_path.h"
#include "render/pen_resolution.h"

namespace velmora {

namespace {

using Wide = __int128;

struct StylePattern {
    const bool* bits = nullptr;  // nullptr: solid
    int period = 0;
};

constexpr bool kDash[24] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0};
constexpr bool kDot[6] = {1, 1, 1, 0, 0, 0};
constexpr bool kDashDot[24] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0};
constexpr bool kDashDotDot[24] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0,
                                  1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0};
constexpr bool kAlternate[2] = {1, 0};

StylePattern cosmeticPattern(TPenStyle style) {
    switch (style) {
        case psDash: return {kDash, 24};
        case psDot: return {kDot, 6};
        case psDashDot: return {kDashDot, 24};
        case psDashDotDot: return {kDashDotDot, 24};
        case psAlternate: return {kAlternate, 2};
        default: return {};
    }
}

int channelDistance(TColor a, TColor b, int shift) {
    return static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
}

void checkSize(int width, int height) {
    if (width < 1 || height < 1) throw std::invalid_argument("bitmap size must be at least 1 x 1");
}

constexpr double kFullTurn = 2 * std::numbers::pi;

// Direction of (x, y) in [0, 2 pi).
double directionOf(long long x, long long y) {
    double t = std::atan2(static_cast<double>(y), static_cast<double>(x));
    if (t < 0) t += kFullTurn;
    return t;
}

}  // namespace

const Palette& defaultPalette() {
    static const Palette palette = [] {
        Palette p{};
        p[0] = 0x000000;
        for (int n = 1; n < 256; ++n) p[n] = aciToColor(n);
        return p;
    }();
    return palette;
}

struct Canvas::Stroke {
    std::uint8_t penIndex = 0;
    std::uint8_t gapIndex = 0;
    bool paintGaps = false;
    bool clear = false;
    StylePattern pattern;
    std::vector<PixelPoint> disc;  // offsets of a wide pen; empty for cosmetic
    long long step = 0;            // position in the style pattern
};

Canvas::Canvas(int width, int height) : Canvas(width, height, defaultPalette()) {}

Canvas::Canvas(int width, int height, const Palette& palette)
    : width_(width), height_(height), palette_(palette) {
    checkSize(width, height);
    pixels_.assign(static_cast<std::size_t>(width) * height, 0);
    penIndex_ = nearestIndex(penColor_);
    brushIndex_ = nearestIndex(brushColor_);
}

Canvas::Canvas(int width, int height, const Palette& palette, std::vector<std::uint8_t> pixels)
    : width_(width), height_(height), palette_(palette), pixels_(std::move(pixels)) {
    checkSize(width, height);
    if (pixels_.size() != static_cast<std::size_t>(width) * height)
        throw std::invalid_argument("pixel count does not match the bitmap size");
    penIndex_ = nearestIndex(penColor_);
    brushIndex_ = nearestIndex(brushColor_);
}

std::uint8_t Canvas::pixelIndex(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

TColor Canvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return palette_[pixelIndex(x, y)];
}

std::uint8_t Canvas::nearestIndex(TColor color) const {
    color &= 0xFFFFFF;
    if (cacheValid_ && cachedColor_ == color) return cachedIndex_;
    int best = 0;
    long bestDistance = std::numeric_limits<long>::max();
    for (int i = 0; i < 256; ++i) {
        long d = 0;
        for (int shift : {0, 8, 16}) {
            const int c = channelDistance(color, palette_[i], shift);
            d += static_cast<long>(c) * c;
        }
        if (d < bestDistance) bestDistance = d, best = i;
        if (d == 0) break;
    }
    cachedColor_ = color;
    cachedIndex_ = static_cast<std::uint8_t>(best);
    cacheValid_ = true;
    return cachedIndex_;
}

void Canvas::setPenColor(TColor color) {
    penColor_ = color;
    penIndex_ = nearestIndex(color);
}
void Canvas::setPenWidth(int width) { penWidth_ = width; }
void Canvas::setPenStyle(TPenStyle style) { penStyle_ = style; }
void Canvas::setBrushColor(TColor color) {
    brushColor_ = color;
    brushIndex_ = nearestIndex(color);
}
void Canvas::setBrushStyle(BrushStyle style) { brushStyle_ = style; }

void Canvas::plot(long long x, long long y, std::uint8_t index) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<std::size_t>(y) * width_ + static_cast<std::size_t>(x)] = index;
}

void Canvas::setPixel(int x, int y, TColor color) { plot(x, y, nearestIndex(color)); }

Canvas::Stroke Canvas::beginStroke() const {
    Stroke s;
    s.clear = penStyle_ == psClear;
    s.penIndex = penIndex_;
    if (penWidth_ > 1) {
        const double r = penWidth_ / 2.0, c = penWidth_ % 2 == 0 ? 0.5 : 0.0;
        const int reach = penWidth_ / 2 + 1;
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx)
                if ((dx - c) * (dx - c) + (dy - c) * (dy - c) <= r * r) s.disc.push_back({dx, dy});
        return s;
    }
    s.pattern = cosmeticPattern(penStyle_);
    if (s.pattern.bits && brushStyle_ == BrushStyle::solid) {
        s.paintGaps = true;
        s.gapIndex = brushIndex_;
    }
    return s;
}

void Canvas::strokePixel(Stroke& s, long long x, long long y) {
    if (!s.disc.empty()) {
        for (const PixelPoint& d : s.disc) plot(x + d.x, y + d.y, s.penIndex);
        return;
    }
    if (!s.pattern.bits) {
        plot(x, y, s.penIndex);
        return;
    }
    const bool on = s.pattern.bits[s.step % s.pattern.period];
    ++s.step;
    if (on) plot(x, y, s.penIndex);
    else if (s.paintGaps) plot(x, y, s.gapIndex);
}

void Canvas::moveTo(int x, int y) { position_ = {x, y}; }

void Canvas::lineTo(int x, int y) {
    const PixelPoint from = position_;
    position_ = {x, y};
    const long long dx = static_cast<long long>(x) - from.x, dy = static_cast<long long>(y) - from.y;
    if (dx == 0 && dy == 0) return;
    Stroke s = beginStroke();
    if (s.clear) return;

    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long d = xMajor ? std::llabs(dx) : std::llabs(dy);  // steps along the major axis
    const long long m = xMajor ? std::llabs(dy) : std::llabs(dx);
    const long long majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const long long minorStep = (xMajor ? dy : dx) >= 0 ? 1 : -1;
    const long long major0 = xMajor ? from.x : from.y, minor0 = xMajor ? from.y : from.x;
    const long long size = xMajor ? width_ : height_;
    const bool tiesOutward = minorStep < 0;  // ties go to the smaller coordinate

    // Steps 0 .. last are painted (a cosmetic line leaves out its end point).
    const long long last = s.disc.empty() ? d - 1 : d;
    const long long reach = s.disc.empty() ? 0 : penWidth_ / 2 + 1;
    long long first = 0, stop = last;
    if (majorStep > 0) {
        first = std::max(first, -reach - major0);
        stop = std::min(stop, size - 1 + reach - major0);
    } else {
        first = std::max(first, major0 - (size - 1) - reach);
        stop = std::min(stop, major0 + reach);
    }
    if (first > stop) return;

    // Minor offset at `first`, rounded, and the error term that carries it on.
    const Wide twiceM = Wide(2) * m, twiceD = Wide(2) * d;
    const Wide num = twiceM * first + (tiesOutward ? d : d - 1);
    long long k = static_cast<long long>(num / twiceD);
    long long e = static_cast<long long>(twiceM * first - (Wide(2) * k + 1) * d);
    s.step = first;
    for (long long i = first; i <= stop; ++i) {
        const long long ma = major0 + majorStep * i, mi = minor0 + minorStep * k;
        if (xMajor) strokePixel(s, ma, mi);
        else strokePixel(s, mi, ma);
        e += 2 * m;
        if (e > 0 || (tiesOutward && e == 0)) {
            ++k;
            e -= 2 * d;
        }
    }
}

void Canvas::rectangle(int left, int top, int right, int bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (right <= left || bottom <= top) return;
    if (brushStyle_ == BrushStyle::solid) {
        const std::uint8_t index = brushIndex_;
        const int x0 = std::max(left, 0), x1 = std::min(right, width_);
        for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y)
            for (int x = x0; x < x1; ++x) plot(x, y, index);
    }
    const PixelPoint saved = position_;
    moveTo(left, top);
    lineTo(right - 1, top);
    lineTo(right - 1, bottom - 1);
    lineTo(left, bottom - 1);
    lineTo(left, top);
    position_ = saved;
}

void Canvas::arc(int left, int top, int right, int bottom, int startX, int startY, int endX,
                 int endY) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (right <= left || bottom <= top) return;
    Stroke s = beginStroke();
    if (s.clear) return;

    // Doubled coordinates: centre sums and semi-axes of the pixel span.
    const long long cx2 = static_cast<long long>(left) + right - 1;
    const long long cy2 = static_cast<long long>(top) + bottom - 1;
    const long long a = static_cast<long long>(right) - 1 - left;
    const long long b = static_cast<long long>(bottom) - 1 - top;
    if (a > kMaxEllipseAxis || b > kMaxEllipseAxis) return;
    const EllipsePath path(a, b);

    // Rays from the ellipse centre, in the same doubled coordinates.
    const long long sx = 2LL * startX - cx2, sy = cy2 - 2LL * startY;
    const long long ex = 2LL * endX - cx2, ey = cy2 - 2LL * endY;
    const bool sameRay =
        Wide(sx) * ey - Wide(sy) * ex == 0 && Wide(sx) * ex + Wide(sy) * ey >= 0;
    const double startAngle = directionOf(sx, sy);
    double sweep = directionOf(ex, ey) - startAngle;
    if (sweep < 0) sweep += kFullTurn;

    const std::size_t n = path.size();
    auto angle = [&](std::size_t i) {
        const HalfPoint p = path.at(i);
        return directionOf(p.x, p.y);
    };
    // Angles along the path rise from 0 towards 2 pi.
    std::size_t begin = partitionPoint(n, [&](std::size_t i) { return angle(i) < startAngle; });
    if (begin == n) begin = 0;
    auto offset = [&](std::size_t k) {
        const double t = angle((begin + k) % n) - startAngle;
        return t < 0 ? t + kFullTurn : t;
    };
    const std::size_t count =
        sameRay || n == 1 ? n : partitionPoint(n, [&](std::size_t k) { return offset(k) <= sweep; });

    // Only the path points that can touch the bitmap are visited, in drawing
    // order, each with its place in the style pattern.
    const long long reach = s.disc.empty() ? 0 : penWidth_ / 2 + 1;
    const bool inside = left - reach >= 0 && top - reach >= 0 && right - 1 + reach < width_ &&
                        bottom - 1 + reach < height_;
    const auto visible = inside ? std::vector<std::pair<std::size_t, std::size_t>>{{0, n}}
                                : path.within(-2 * reach - cx2, 2 * (width_ - 1 + reach) - cx2,
                                              cy2 - 2 * (height_ - 1 + reach), cy2 + 2 * reach);
    auto paint = [&](std::size_t from, std::size_t to, std::size_t firstStep) {
        for (const auto& [shownFrom, shownTo] : visible) {
            for (std::size_t k = std::max(from, shownFrom); k < std::min(to, shownTo); ++k) {
                const HalfPoint p = path.at(k);
                s.step = static_cast<long long>(firstStep + (k - from));
                strokePixel(s, (p.x + cx2) / 2, (cy2 - p.y) / 2);
            }
        }
    };
    const std::size_t untilWrap = std::min(count, n - begin);
    paint(begin, begin + untilWrap, 0);
    paint(0, count - untilWrap, untilWrap);
}

}  // namespace velmora
