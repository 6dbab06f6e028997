#include "render/extents.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "geometry/float_checks.h"
#include "geometry/plane_geometry.h"
#include "geometry/point_ops.h"
#include "platform/text_fields.h"
#include "render/layer_index.h"

namespace velmora {

namespace {

// The Doubles nearest to the quarter turns.
constexpr double kHalfPi = static_cast<double>(kPi / 2);
constexpr double kPiDouble = static_cast<double>(kPi);
constexpr double kThreeHalfPi = static_cast<double>(3 * kPi / 2);

// Text layout fractions of the text height.
constexpr Extended kCharWidthRatio = 0.855L;
constexpr Extended kBottomOffset = 0.994L;
constexpr Extended kTopOffset = 0.086L;
constexpr Extended kMtextLinePitch = 1.86L;

Extended middleOffset(Extended h) { return 0.5L * h - 0.03L * h; }

TAcadPoint planar(Extended x, Extended y) { return TAcadPoint{x, y, 0}; }

void widen(Box& box, const TAcadPoint& p) {
    box.min.x = std::min(box.min.x, p.x);
    box.min.y = std::min(box.min.y, p.y);
    box.max.x = std::max(box.max.x, p.x);
    box.max.y = std::max(box.max.y, p.y);
}

// The running box of computeExtents; empty until the first merge.
class ExtentsAccumulator {
public:
    void merge(const Box& box) {
        if (!box_) {
            box_ = box;
            return;
        }
        box_->min.x = std::min(box_->min.x, box.min.x);
        box_->min.y = std::min(box_->min.y, box.min.y);
        box_->max.x = std::max(box_->max.x, box.max.x);
        box_->max.y = std::max(box_->max.y, box.max.y);
    }
    bool empty() const { return !box_; }
    const std::optional<Box>& box() const { return box_; }

private:
    std::optional<Box> box_;
};

template <class Row>
bool counts(const LayerIndex& layers, const Row& row) {
    if (row.code60 != 0 || row.code67 != 0) return false;
    const TLayer* layer = layers.find(row.layer);
    return !layer || layer->visible;
}

double degreesToRadians(double degrees) { return roundToDouble(degrees * kDegToRad); }

Box textLineBounds(const TAcadPoint& pt10, const TAcadPoint& pt11, double h, double code41,
                   double theta, SmallInt code72, SmallInt code73, std::size_t units) {
    const TAcadPoint& base = (code72 == 0 && code73 == 0) ? pt10 : pt11;
    Box box{planar(base.x, base.y), planar(base.x, base.y)};
    const Extended w = h * static_cast<Extended>(code41) * kCharWidthRatio * units;
    Extended dx = 0;
    if (code72 == 1 || code72 == 4) dx = -w / 2;
    else if (code72 == 2 || code72 == 3 || code72 == 5) dx = -w;
    Extended dy = h;
    switch (code73) {
        case 0: dy = code72 == 4 ? middleOffset(h) : kCharWidthRatio * h; break;
        case 1: dy = kBottomOffset * h; break;
        case 2: dy = middleOffset(h); break;
        case 3: dy = kTopOffset * h; break;
        default: break;
    }
    const TAcadPoint d = rotateAboutOrigin(planar(dx, dy), theta);
    const TAcadPoint c2 = planar(base.x + d.x + d.x, base.y + d.y + d.y);
    const double width = roundToDouble(w);
    const TAcadPoint c3 = polarPoint(c2, theta, width);
    // The upper corners lie h away at 45 degrees below the text direction.
    const TAcadPoint c0 = polarPoint(c2, roundToDouble(theta - kPi / 4), h);
    const TAcadPoint c1 = polarPoint(c0, theta, width);
    for (const TAcadPoint& c : {c0, c1, c2, c3}) widen(box, c);
    return box;
}

Box mtextBounds(const TAcadPoint& pt10, SmallInt code71, double h, double code41, double theta,
                double code44, const std::u16string& str) {
    Box box{planar(pt10.x, pt10.y), planar(pt10.x, pt10.y)};
    std::vector<std::u16string> paragraphs;
    const Extended n = splitParagraphs(str, paragraphs);
    const Extended w = code41;
    const Extended l = h * static_cast<Extended>(code44) * kMtextLinePitch;
    Extended xa = 0, xb = w;
    if (code71 == 2 || code71 == 5 || code71 == 8) xa = w / 2, xb = -w / 2;
    else if (code71 == 3 || code71 == 6 || code71 == 9) xa = 0, xb = -w;
    Extended ya = 0, yb = -l * n;
    if (code71 >= 4 && code71 <= 6) ya = l * n / 2, yb = -l * n / 2;
    else if (code71 >= 7 && code71 <= 9) ya = l * n, yb = 0;
    const TAcadPoint base = planar(pt10.x, pt10.y);
    for (const TAcadPoint& corner : {planar(xa, ya), planar(xb, yb), planar(xb, ya), planar(xa, yb)})
        widen(box, addPoints(rotateAboutOrigin(corner, theta), base));
    return box;
}

}  // namespace

Box lineBounds(const TAcadPoint& a, const TAcadPoint& b) {
    return Box{planar(std::min(a.x, b.x), std::min(a.y, b.y)),
               planar(std::max(a.x, b.x), std::max(a.y, b.y))};
}

Box circleBounds(const TAcadPoint& center, double radius) {
    return Box{planar(center.x - radius, center.y - radius),
               planar(center.x + radius, center.y + radius)};
}

Box arcBounds(const TAcadPoint& center, double radius, double start, double end) {
    Box box = lineBounds(polarPoint(center, start, radius), polarPoint(center, end, radius));
    const Extended right = center.x + radius, top = center.y + radius;
    const Extended left = center.x - radius, bottom = center.y - radius;
    if (end > start) {
        if (start == 0 || end == kTwoPiDouble) box.max.x = right;
        if (start <= kHalfPi && kHalfPi <= end) box.max.y = top;
        if (start <= kPiDouble && kPiDouble <= end) box.min.x = left;
        if (start <= kThreeHalfPi && kThreeHalfPi <= end) box.min.y = bottom;
    } else {
        // Passes through angle 0 (a full turn when start equals end).
        box.max.x = right;
        if (start <= kHalfPi || end >= kHalfPi) box.max.y = top;
        if (start <= kPiDouble || end >= kPiDouble) box.min.x = left;
        if (start <= kThreeHalfPi || end >= kThreeHalfPi) box.min.y = bottom;
    }
    return box;
}

Box textBounds(const TAcadPoint& pt10, const TAcadPoint& pt11, SmallInt code71, double code40,
               double code41, double code50, double code44, SmallInt code72, SmallInt code73,
               const std::u16string& str, bool mtflag) {
    const double theta = degreesToRadians(code50);
    if (mtflag) return mtextBounds(pt10, code71, code40, code41, theta, code44, str);
    return textLineBounds(pt10, pt11, code40, code41, theta, code72, code73, str.size());
}

Box textBounds(const TTextBlk& t) {
    return textBounds(t.pt10, t.pt11, t.code71, t.code40, t.code41, t.code50, t.code44, t.code72,
                      t.code73, t.str, t.mtflag);
}

void computeExtents(DrawingStore& store) {
    store.drawingExtents = DrawingExtents{};
    ExtentsAccumulator extents;
    const LayerIndex layers(store);
    for (const TAcadLineBlk& line : store.modelLines)
        if (counts(layers, line)) extents.merge(lineBounds(line.st, line.ed));
    for (const TCircleBlk& circle : store.modelCircles)
        if (counts(layers, circle)) extents.merge(circleBounds(circle.center, circle.hankei));
    for (const TArcBlk& arc : store.modelArcs)
        if (counts(layers, arc))
            extents.merge(arcBounds(arc.center, arc.hankei, degreesToRadians(arc.st),
                                    degreesToRadians(arc.ed)));
    if (extents.empty())
        for (const TTextBlk& text : store.modelTexts)
            if (counts(layers, text)) extents.merge(textBounds(text));
    if (const auto& box = extents.box()) {
        store.drawingExtents.min = planar(box->min.x, box->min.y);
        store.drawingExtents.max = planar(box->max.x, box->max.y);
    }
}

TAcadPoint rotateAboutOrigin(const TAcadPoint& p, double angle) {
    if (angle == 0) return p;
    const double x = roundToDouble(p.x), y = roundToDouble(p.y);
    const double r = roundToDouble(std::sqrt(static_cast<Extended>(x) * x + static_cast<Extended>(y) * y));
    double phi = x != 0 ? roundToDouble(std::atan(std::fabs(static_cast<Extended>(y) / x)))
                        : static_cast<double>(kPi / 2);
    if (x < 0 && y >= 0) phi = roundToDouble(kPi - phi);
    else if (x >= 0 && y < 0) phi = roundToDouble(2 * kPi - phi);
    else if (x < 0 && y < 0) phi = roundToDouble(kPi + phi);
    const Extended turned = static_cast<Extended>(phi) + angle;
    return TAcadPoint{r * std::cos(turned), r * std::sin(turned), p.z};
}

int splitParagraphs(const std::u16string& text, std::vector<std::u16string>& list) {
    constexpr char16_t kCr = 13;
    std::u16string s = text;
    replaceAll(s, u"^J", u"\r");
    replaceAll(s, u"\\P", u"\r");
    replaceAll(s, u"\\p", u"\r");
    list.clear();
    std::size_t i = 0;
    while (i < s.size()) {
        std::u16string piece;
        if (s[i] == u'"') {
            for (++i; i < s.size(); ++i) {
                if (s[i] != u'"') {
                    piece += s[i];
                } else if (i + 1 < s.size() && s[i + 1] == u'"') {
                    piece += u'"';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        } else {
            const std::size_t end = std::min(s.find(kCr, i), s.size());
            piece.assign(s, i, end - i);
            i = end;
        }
        list.push_back(std::move(piece));
        if (i < s.size() && s[i] == kCr) {
            ++i;
            if (i == s.size()) list.emplace_back();
        }
    }
    if (!list.empty() && trimmedBlanks(list.back()).empty()) list.pop_back();
    for (std::size_t k = list.size(); k-- > 0;)
        if (trimmedBlanks(list[k]) == u"}") list.erase(list.begin() + static_cast<std::ptrdiff_t>(k));
    return static_cast<int>(list.size());
}

}  // namespace velmora
