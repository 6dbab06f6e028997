#include "render/renderer.h"

#include <algorithm>
#include <cmath>

#include "geometry/float_checks.h"
#include "geometry/plane_geometry.h"
#include "platform/errors.h"
#include "render/pen_resolution.h"
#include "render/render_pass.h"
#include "render/text_step.h"

namespace velmora {

namespace {

// 0.01 degree: an arc whose end pixels coincide but that sweeps more than
// this is a dot, not a full circle.
constexpr double kDotSweep = 0.00017453292519943296;

// Pixel offsets beyond this are held at it, far outside any bitmap but safe
// to add and subtract.
constexpr long long kPixelReach = 1LL << 30;

// roundToInt's rounding (nearest, halves to even; FloatingPointError when the
// value is not finite or beyond 64 bits), by llrint: nearbyint saves and
// restores the floating-point environment on every call, which took more
// than half of the time of drawing a line.
long long roundPixels(Extended v) {
    constexpr Extended kLimit = 9223372036854775807.0L;
    if (!(v > -kLimit && v < kLimit)) throw FloatingPointError("invalid floating point operation");
    return std::llrint(v);
}

int pixelOffset(Extended quotient) {
    return static_cast<int>(std::clamp(roundPixels(quotient), -kPixelReach, kPixelReach));
}

void applyPen(Canvas& canvas, TColor color, int width, TPenStyle style) {
    if (canvas.penWidth() != width) canvas.setPenWidth(width);
    if (canvas.penColor() != color) canvas.setPenColor(color);
    if (canvas.penStyle() != style) canvas.setPenStyle(style);
}

double radians(double degrees) { return roundToDouble(degrees * kDegToRad); }

double unitsPerPixelFor(double drawingWidth, double drawingHeight, int bitmapWidth,
                        int bitmapHeight, double fillRatio) {
    double upp = 1;
    if (drawingWidth > 0 && drawingHeight > 0) {
        // A zero bitmap side divides by zero and raises, like every other division.
        const Extended drawingShape = static_cast<Extended>(drawingHeight) / drawingWidth;
        const Extended bitmapShape = checkedDivide(bitmapHeight, bitmapWidth);
        upp = drawingShape > bitmapShape ? roundToDouble(checkedDivide(drawingHeight, bitmapHeight))
                                         : roundToDouble(checkedDivide(drawingWidth, bitmapWidth));
    }
    return roundToDouble(checkedDivide(upp, fillRatio));
}

Box viewWindowOf(const TAcadPoint& c, int bitmapWidth, int bitmapHeight, double upp) {
    const Extended halfW = bitmapWidth * static_cast<Extended>(upp) / 2;
    const Extended halfH = bitmapHeight * static_cast<Extended>(upp) / 2;
    return Box{TAcadPoint{c.x - halfW, c.y - halfH, 0}, TAcadPoint{c.x + halfW, c.y + halfH, 0}};
}

template <class Row>
bool shown(const Row& row) {
    return row.code60 == 0 && row.code67 == 0;
}

bool thinnedOut(const RenderPass& pass, std::size_t index) { return pass.thinOut && index % 2 != 0; }

void drawLines(const RenderPass& pass) {
    const auto& lines = pass.store.modelLines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TAcadLineBlk& line = lines[i];
        if (thinnedOut(pass, i) || !shown(line)) continue;
        if (!pass.layerRulesAllow(line.layindex,
                                  [&] { return segmentMeetsWindow(line.st, line.ed, pass.viewWindow); }))
            continue;
        drawLine(pass.canvas, pass.pixelCenter, viewOffset(line.st, pass.viewCenter), pass.unitsPerPixel,
                 viewOffset(line.ed, pass.viewCenter), pass.rowColor(line.PenColor), pass.penWidth,
                 line.PenStyle);
    }
}

void drawCircles(const RenderPass& pass) {
    const auto& circles = pass.store.modelCircles;
    for (std::size_t i = 0; i < circles.size(); ++i) {
        const TCircleBlk& circle = circles[i];
        if (thinnedOut(pass, i) || !shown(circle)) continue;
        auto canShow = [&] {
            return pointInWindow(circle.center, pass.viewWindow) ||
                   boxMeetsWindow(circleBounds(circle.center, circle.hankei), pass.viewWindow);
        };
        if (!pass.layerRulesAllow(circle.layindex, canShow)) continue;
        drawArc(pass.canvas, pass.pixelCenter, viewOffset(circle.center, pass.viewCenter),
                pass.unitsPerPixel, circle.hankei, 0, 0, pass.rowColor(circle.PenColor), pass.penWidth,
                circle.PenStyle);
    }
}

void drawArcs(const RenderPass& pass) {
    auto& arcs = pass.store.modelArcs;
    for (std::size_t i = 0; i < arcs.size(); ++i) {
        TArcBlk& arc = arcs[i];
        if (thinnedOut(pass, i) || !shown(arc)) continue;
        auto canShow = [&] {
            return pointInWindow(arc.center, pass.viewWindow) ||
                   boxMeetsWindow(arcBounds(arc.center, arc.hankei, radians(arc.st), radians(arc.ed)),
                                  pass.viewWindow);
        };
        if (!pass.layerRulesAllow(arc.layindex, canShow)) continue;
        if (arc.st > arc.ed) arc.ed = roundToDouble(static_cast<Extended>(arc.ed) + 360);
        const TAcadPoint c = viewOffset(arc.center, pass.viewCenter);
        const double s = radians(arc.st), e = radians(arc.ed);
        const TColor color = pass.rowColor(arc.PenColor);
        if (std::fabs(static_cast<Extended>(arc.ed) - arc.st) <= 1) {
            // An arc of at most a degree is drawn as its chord.
            drawLine(pass.canvas, pass.pixelCenter, polarPoint(c, s, arc.hankei), pass.unitsPerPixel,
                     polarPoint(c, e, arc.hankei), color, pass.penWidth, arc.PenStyle);
        } else {
            drawArc(pass.canvas, pass.pixelCenter, c, pass.unitsPerPixel, arc.hankei, s, e, color,
                    pass.penWidth, arc.PenStyle);
        }
    }
}

}  // namespace

TColor RenderPass::rowColor(TColor penColor) const {
    if (colorMode == 1) return inverseColor(backColor);
    if (colorMode == 2) return inverseColor(penColor);
    return penColor == backColor ? inverseColor(backColor) : penColor;
}

bool pointInWindow(const TAcadPoint& p, const Box& w) {
    return p.x >= w.min.x && p.x <= w.max.x && p.y >= w.min.y && p.y <= w.max.y;
}

bool boxMeetsWindow(const Box& b, const Box& w) {
    return b.min.x <= w.max.x && b.max.x >= w.min.x && b.min.y <= w.max.y && b.max.y >= w.min.y;
}

bool segmentMeetsWindow(const TAcadPoint& a, const TAcadPoint& b, const Box& w) {
    // Liang-Barsky: clip the parameter range [0, 1] against the four edges.
    Extended t0 = 0, t1 = 1;
    const Extended dx = b.x - a.x, dy = b.y - a.y;
    const Extended p[4] = {-dx, dx, -dy, dy};
    const Extended q[4] = {a.x - w.min.x, w.max.x - a.x, a.y - w.min.y, w.max.y - a.y};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return false;
            continue;
        }
        const Extended t = q[k] / p[k];
        if (p[k] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

void clearCanvas(Canvas& canvas, int width, int height, TColor color) {
    canvas.setBrushStyle(Canvas::BrushStyle::solid);
    canvas.setBrushColor(color);
    canvas.setPenColor(color);
    canvas.rectangle(0, 0, width, height);
    canvas.setPenColor(0xFFFFFF);
}

RenderView fittedView(const TAcadPoint& center, double width, double height, const Canvas& canvas, double fillRatio,
                      int colorMode) {
    RenderView view;
    view.viewCenter = center;
    view.drawingWidth = width;
    view.drawingHeight = height;
    view.pixelCenter = PixelPoint{canvas.width() / 2, canvas.height() / 2};
    view.bitmapWidth = canvas.width();
    view.bitmapHeight = canvas.height();
    view.fillRatio = fillRatio;
    view.colorMode = colorMode;
    return view;
}

void renderDrawing(DrawingStore& store, Canvas& canvas, const RenderView& v) {
    const int onlyLayerIndex = v.onlyLayer.empty() ? -1 : layerIndexOf(store, v.onlyLayer);
    if ((v.drawingWidth == 0 && v.drawingHeight == 0) || v.fillRatio == 0) return;
    const double upp = unitsPerPixelFor(v.drawingWidth, v.drawingHeight, v.bitmapWidth, v.bitmapHeight, v.fillRatio);
    const RenderPass pass{store,          canvas,
                          v.viewCenter,   v.pixelCenter,
                          upp,            viewWindowOf(v.viewCenter, v.bitmapWidth, v.bitmapHeight, upp),
                          onlyLayerIndex, v.backColor,
                          v.colorMode,    v.penWidth,
                          v.drawAll,      v.thinOut};
    drawLines(pass);
    drawCircles(pass);
    drawArcs(pass);
    if (!v.thinOut) drawTextRows(pass);
}

TAcadPoint viewOffset(const TAcadPoint& p, const TAcadPoint& center) {
    return TAcadPoint{p.x - center.x, p.y - center.y, p.z};
}

PixelPoint toPixel(const TAcadPoint& p, PixelPoint pixelCenter, double unitsPerPixel) {
    return PixelPoint{pixelCenter.x + pixelOffset(checkedDivide(p.x, unitsPerPixel)),
                      pixelCenter.y + pixelOffset(checkedDivide(-p.y, unitsPerPixel))};
}

bool layerVisibleByIndex(const DrawingStore& store, int index) {
    if (index >= 0 && index < static_cast<int>(store.layers.size())) return store.layers[index].visible;
    return true;
}

TColor inverseColor(TColor c) { return 0xFFFFFF - (c & 0xFFFFFF); }

void drawLine(Canvas& canvas, PixelPoint pixelCenter, const TAcadPoint& a, double unitsPerPixel,
              const TAcadPoint& b, TColor color, int penWidth, TPenStyle penStyle) {
    const PixelPoint pa = toPixel(a, pixelCenter, unitsPerPixel);
    const PixelPoint pb = toPixel(b, pixelCenter, unitsPerPixel);
    applyPen(canvas, color, penWidth, penStyle);
    canvas.moveTo(pa.x, pa.y);
    canvas.lineTo(pb.x, pb.y);
}

void drawArc(Canvas& canvas, PixelPoint pixelCenter, const TAcadPoint& c, double unitsPerPixel,
             double radius, double startAngle, double endAngle, TColor color, int penWidth,
             TPenStyle penStyle) {
    const PixelPoint center = toPixel(c, pixelCenter, unitsPerPixel);
    if (roundPixels(checkedDivide(radius, unitsPerPixel)) < 1) {
        canvas.setPixel(center.x, center.y, color);
        return;
    }
    const PixelPoint ps = toPixel(polarPoint(c, startAngle, radius), pixelCenter, unitsPerPixel);
    const PixelPoint pe = toPixel(polarPoint(c, endAngle, radius), pixelCenter, unitsPerPixel);
    if (startAngle > endAngle) endAngle = roundToDouble(endAngle + 2 * kPi);
    const double sweep = std::fabs(endAngle - startAngle);
    if (ps == pe && sweep > kDotSweep) {
        canvas.setPixel(center.x, center.y, color);
        return;
    }
    const PixelPoint tl = toPixel(TAcadPoint{c.x - radius, c.y + radius, 0}, pixelCenter, unitsPerPixel);
    const PixelPoint br = toPixel(TAcadPoint{c.x + radius, c.y - radius, 0}, pixelCenter, unitsPerPixel);
    applyPen(canvas, color, penWidth, penStyle);
    canvas.arc(tl.x, tl.y, br.x, br.y, ps.x, ps.y, pe.x, pe.y);
}

}  // namespace velmora
