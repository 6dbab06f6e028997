// Drawing the normalised drawing onto a canvas: the fit of the extents into
// the bitmap, the row filters and colour rule, lines, circles and arcs.
#pragma once

#include <string>

#include "render/canvas.h"
#include "store/drawing_store.h"

namespace velmora {

// Fills (0, 0)-(width, height) with `color`; the pen is white afterwards.
void clearCanvas(Canvas& canvas, int width, int height, TColor color);

// What one renderDrawing call draws and how: the view's centre and the
// drawing's size to fit, the pixel centre and bitmap size, the fill ratio,
// colour mode, layer restriction and flags.
struct RenderView {
    std::u16string onlyLayer;  // empty: every visible layer
    TAcadPoint viewCenter;
    TColor backColor = 0;
    double drawingWidth = 0;
    double drawingHeight = 0;
    int penWidth = 1;
    PixelPoint pixelCenter;
    int bitmapWidth = 0;
    int bitmapHeight = 0;
    double fillRatio = 0.9;
    int colorMode = 1;
    bool drawAll = true;
    bool thinOut = false;  // every second line, circle and arc, and no text
};

// The previews' view: a drawing of this size and centre fitted into the
// whole canvas, drawn on black.
RenderView fittedView(const TAcadPoint& center, double width, double height, const Canvas& canvas,
                      double fillRatio = 0.9, int colorMode = 1);

// Writes `ed` + 360 back into arc rows whose `st` exceeds their `ed`.
void renderDrawing(DrawingStore& store, Canvas& canvas, const RenderView& view);

TAcadPoint viewOffset(const TAcadPoint& p, const TAcadPoint& center);
// p relative to the view centre -> pixel; rounding halves to even.
PixelPoint toPixel(const TAcadPoint& p, PixelPoint pixelCenter, double unitsPerPixel);
bool layerVisibleByIndex(const DrawingStore& store, int index);
TColor inverseColor(TColor c);

void drawLine(Canvas& canvas, PixelPoint pixelCenter, const TAcadPoint& a, double unitsPerPixel,
              const TAcadPoint& b, TColor color, int penWidth, TPenStyle penStyle);
// Angles in radians; equal angles draw the whole circle.
void drawArc(Canvas& canvas, PixelPoint pixelCenter, const TAcadPoint& c, double unitsPerPixel,
             double radius, double startAngle, double endAngle, TColor color, int penWidth,
             TPenStyle penStyle);

}  // namespace velmora
