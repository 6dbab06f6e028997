// The last step of renderDrawing: the rows of modelTexts, drawn over the
// lines, circles and arcs with the values of the same call.
#pragma once

#include <optional>
#include <string>

#include "render/render_pass.h"
#include "render/text_font.h"

namespace velmora {

void drawTextRows(const RenderPass& pass);

// The font record of a row: cell height Hpx, average width Wpx (0: the
// face's own), escapement E in tenths of a degree. None when the row is too
// small to read (Hpx at most 1) or is a fit text without text. Values that do
// not convert raise FloatingPointError.
struct TextFontRecord {
    long long cellHeight = 0;
    long long averageWidth = 0;
    long long escapement = 0;
};
std::optional<TextFontRecord> textFontRecord(const std::u16string& s, double unitsPerPixel, const TAcadPoint& a10,
                                              const TAcadPoint& a11, SmallInt code72, double code40, double code41,
                                              bool mtflag, double theta);

// One TEXT, ATTRIB or MTEXT row, written with `font`: A10 and A11 are its
// points relative to the view centre, P11 its second point as stored.
// Rows too small to read (cell height of at most one pixel), larger than the
// canvas, or whose values do not convert are skipped.
void drawText(Canvas& canvas, TextFont& font, PixelPoint pixelCenter, const std::u16string& s, double unitsPerPixel,
              const TAcadPoint& a10, const TAcadPoint& a11, SmallInt code72, SmallInt code73, double code40,
              double code41, double code50, double code44, TColor color, SmallInt code71, bool mtflag,
              const TAcadPoint& p11);

}  // namespace velmora
