// An off-screen 8-bit palette bitmap with the raster operations the previews
// draw with: filled rectangle, styled pen lines, elliptical arcs, single
// pixels. Colours are TColor values (0x00BBGGRR); every drawn colour is matched
// to the nearest palette entry. Everything outside the bitmap is clipped.
//
// Raster conventions (those of the classic desktop raster API the drawings
// were made for; render/canvas.cpp explains how each one is reproduced):
// - lineTo paints from the current position up to, but not including, the end
//   point; the current position then moves to the end point.
// - A cosmetic pen (width 0 or 1) draws its style pattern pixel by pixel,
//   starting afresh with every line and arc. While the brush is solid the
//   gaps of a styled pen are painted in the brush colour (opaque background);
//   with a clear brush they are left alone.
// - Pens wider than one pixel are always solid and have round ends.
// - Rectangles and arcs exclude the right and bottom edge of their box.
// - arc runs counter-clockwise as seen on the bitmap.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "store/records.h"

namespace velmora {

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

using Palette = std::array<TColor, 256>;

// Entry 0 black, entries 1 to 255 the colour index colours (7 and 255 white).
const Palette& defaultPalette();

class Canvas {
public:
    // All pixels index 0 (black with the default palette).
    Canvas(int width, int height);
    Canvas(int width, int height, const Palette& palette);
    // Pixels row by row from the top, width bytes per row; the size must match.
    Canvas(int width, int height, const Palette& palette, std::vector<std::uint8_t> pixels);

    int width() const { return width_; }
    int height() const { return height_; }
    const Palette& palette() const { return palette_; }
    // Row by row from the top, width bytes per row.
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }
    std::uint8_t pixelIndex(int x, int y) const;
    // The palette colour of a pixel; 0 outside the bitmap.
    TColor pixel(int x, int y) const;
    // Index of the palette entry nearest to `color` (the first of equals).
    std::uint8_t nearestIndex(TColor color) const;

    TColor penColor() const { return penColor_; }
    int penWidth() const { return penWidth_; }
    TPenStyle penStyle() const { return penStyle_; }
    void setPenColor(TColor color);
    void setPenWidth(int width);
    void setPenStyle(TPenStyle style);

    enum class BrushStyle { solid, clear };
    TColor brushColor() const { return brushColor_; }
    BrushStyle brushStyle() const { return brushStyle_; }
    void setBrushColor(TColor color);
    void setBrushStyle(BrushStyle style);

    // Fills [left, right) x [top, bottom) with the brush and draws its border
    // with the pen. The pen position is not changed.
    void rectangle(int left, int top, int right, int bottom);
    void moveTo(int x, int y);
    void lineTo(int x, int y);
    PixelPoint penPosition() const { return position_; }
    // The ellipse inscribed in the box, counter-clockwise from the ray through
    // (startX, startY) to the ray through (endX, endY), both rays from the
    // ellipse centre; the whole ellipse when the rays coincide. The pen
    // position is not changed. Boxes with a side beyond 2^31 pixels are not
    // drawn; below that the cost is that of the pixels inside the bitmap.
    void arc(int left, int top, int right, int bottom, int startX, int startY, int endX, int endY);
    void setPixel(int x, int y, TColor color);
    // Sets a pixel to a palette entry (nearestIndex of a colour); clipped.
    void setPixelIndex(int x, int y, std::uint8_t index) { plot(x, y, index); }

private:
    struct Stroke;
    Stroke beginStroke() const;
    void strokePixel(Stroke& stroke, long long x, long long y);
    void plot(long long x, long long y, std::uint8_t index);

    int width_;
    int height_;
    Palette palette_;
    std::vector<std::uint8_t> pixels_;

    TColor penColor_ = 0;
    std::uint8_t penIndex_ = 0;
    int penWidth_ = 1;
    TPenStyle penStyle_ = psSolid;
    TColor brushColor_ = 0xFFFFFF;
    std::uint8_t brushIndex_ = 0;
    BrushStyle brushStyle_ = BrushStyle::solid;
    PixelPoint position_;

    mutable TColor cachedColor_ = 0;
    mutable std::uint8_t cachedIndex_ = 0;
    mutable bool cacheValid_ = false;
};

}  // namespace velmora
