// Drawing the normalised drawing onto a canvas: the fit of the extents into
// the bitmap, the row filters and colour rule, lines, circles and arcs.
#pragma once

#include <string>

#include "render/canvas.h"
#include "store/drawing_store.h"

namespace velmora {

// Fills (0, 0)-(width, height) with `color`; the pen is white afterwards.
void clearCanvas(Canvas& canvas, int width, int height, TColor color);

// Parameters in the order of the preview callers. Writes `ed` + 360 back into
// arc rows whose `st` exceeds their `ed`.
void renderDrawing(DrawingStore& store, const std::u16string& onlyLayer,
                   const TAcadPoint& viewCenter, TColor backColor, double drawingWidth,
                   double drawingHeight, int penWidth, Canvas& canvas, PixelPoint pixelCenter,
                   int bitmapWidth, int bitmapHeight, double fillRatio, int colorMode, bool drawAll,
                   bool thinOut);

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
