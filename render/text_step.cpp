#include "render/text_step.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "geometry/float_checks.h"
#include "geometry/plane_geometry.h"
#include "platform/errors.h"
#include "platform/rounding.h"
#include "platform/text_encoding.h"
#include "render/text_symbols.h"

namespace velmora {
namespace {

// Layout of the cell, in shares of its height Hpx.
constexpr Extended kFontHeightFactor = 1.3L;
constexpr Extended kAverageWidthFactor = 0.51L;
constexpr Extended kTextWidthFactor = 0.75L;
constexpr Extended kMtextWidthFactor = 0.8L;
constexpr Extended kFitWidthFactor = 0.8L;
constexpr Extended kBaselineTop = 0.855L;
constexpr Extended kBottomTop = 0.994L;
constexpr Extended kMiddleTop = 0.5L - 0.03L;
constexpr Extended kTopTop = 0.086L;
constexpr Extended kLinePitch = 1.7L;

// How far above its reference point the top of a TEXT cell lies.
Extended textTop(SmallInt code72, SmallInt code73) {
    switch (code73) {
        case 0: return code72 == 4 ? kMiddleTop : kBaselineTop;
        case 1: return kBottomTop;
        case 2: return kMiddleTop;
        case 3: return kTopTop;
        default: return 1;
    }
}

// The same for an MTEXT paragraph by its attachment point.
Extended mtextTop(SmallInt code71) {
    if (code71 >= 4 && code71 <= 6) return kMiddleTop;
    if (code71 >= 7 && code71 <= 9) return kBaselineTop;
    return kTopTop;
}

// Share of the width a line is moved left.
Extended textShift(SmallInt code72) { return code72 == 1 || code72 == 4 ? 0.5L : code72 == 2 ? 1 : 0; }
Extended mtextShift(SmallInt code71) {
    if (code71 == 2 || code71 == 5 || code71 == 8) return 0.5L;
    if (code71 == 3 || code71 == 6 || code71 == 9) return 1;
    return 0;
}

// Writes one line whose reference point is `anchor`, moved by (dx, dy)
// pixels turned by theta degrees.
void writeLine(Canvas& canvas, TextFont& font, PixelPoint pixelCenter, double unitsPerPixel, const TAcadPoint& anchor,
               Extended dx, Extended dy, double theta, std::u16string_view text, TColor color) {
    const TAcadPoint d = rotateAboutOrigin(TAcadPoint{dx, dy, 0}, roundToDouble(theta * kDegToRad));
    const TAcadPoint t{anchor.x + d.x * unitsPerPixel, anchor.y + d.y * unitsPerPixel, 0};
    font.write(canvas, toPixel(t, pixelCenter, unitsPerPixel), text, color);
}

}  // namespace

std::optional<TextFontRecord> textFontRecord(const std::u16string& s, double unitsPerPixel, const TAcadPoint& a10,
                                              const TAcadPoint& a11, SmallInt code72, double code40, double code41,
                                              bool mtflag, double theta) {
    TextFontRecord record;
    record.cellHeight = roundToInt(checkedDivide(code40, unitsPerPixel) * kFontHeightFactor);
    if (record.cellHeight <= 1) return std::nullopt;
    if (!mtflag && code72 == 5) {
        const std::size_t bytes = ansiByteLength(s);
        if (bytes == 0) return std::nullopt;  // a fit text without text has nothing to fit
        record.averageWidth =
            roundToInt(checkedDivide(planarDistance(a10, a11), unitsPerPixel) * kFitWidthFactor / bytes);
    } else {
        // TEXT: its own width factor; MTEXT: 0.8. Both then take 0.75.
        const Extended widthFactor = (mtflag ? kMtextWidthFactor : Extended{code41}) * kTextWidthFactor;
        record.averageWidth =
            roundToInt(checkedDivide(code40, unitsPerPixel) * kFontHeightFactor * kAverageWidthFactor * widthFactor);
    }
    record.averageWidth = std::llabs(record.averageWidth);
    record.escapement = roundToInt(Extended{theta} * 10);
    return record;
}

void drawText(Canvas& canvas, TextFont& font, PixelPoint pixelCenter, const std::u16string& s, double unitsPerPixel,
              const TAcadPoint& a10, const TAcadPoint& a11, SmallInt code72, SmallInt code73, double code40,
              double code41, double code50, double code44, TColor color, SmallInt code71, bool mtflag,
              const TAcadPoint& p11) {
    // 1. Anchor and angle.
    TAcadPoint anchor = a10;
    double theta = code50;
    if (mtflag) {
        theta = p11.x == 0 && p11.y == 0 ? 0 : roundToDouble(directionAngle(TAcadPoint{}, p11) * kRadToDeg);
    } else if (!((code72 == 0 || code72 == 3 || code72 == 5) && code73 == 0)) {
        anchor = a11;
    }
    const std::optional<TextFontRecord> record = textFontRecord(s, unitsPerPixel, a10, a11, code72, code40, code41,
                                                                  mtflag, theta);
    // A cell larger than the canvas shows no readable character; it is not made.
    const long long largest = std::max(canvas.width(), canvas.height());
    if (!record || record->cellHeight > largest || record->averageWidth > largest / 2) return;
    const long long hpx = record->cellHeight;
    // 5. The font: an average width of 0 keeps the face's own proportions.
    const long long averageWidth =
        record->averageWidth > 0 ? record->averageWidth : std::max(1LL, std::llround(hpx * kAverageWidthFactor));
    font.select(static_cast<int>(hpx), static_cast<int>(averageWidth), static_cast<int>(record->escapement % 3600));
    const Extended cell = static_cast<Extended>(hpx);
    if (!mtflag) {  // 6. One line.
        const Extended w = font.textWidth(s);
        writeLine(canvas, font, pixelCenter, unitsPerPixel, anchor, -w * textShift(code72),
                  cell * textTop(code72, code73), theta, s, color);
        return;
    }
    // 7. Paragraphs, one line each, one line advance apart.
    std::vector<std::u16string> paragraphs;
    const int n = splitParagraphs(s, paragraphs);
    if (n == 0) return;
    const Extended lineAdvance = Extended{code40} * kLinePitch * code44;
    const Extended radians = Extended{theta} * kDegToRad;
    if (n > 1) {
        Extended up = 0;
        if (code71 >= 4 && code71 <= 6) up = (n - 1) * lineAdvance / 2;
        else if (code71 >= 7 && code71 <= 9) up = (n - 1) * lineAdvance;
        if (up != 0) anchor = polarPoint(anchor, roundToDouble((Extended{theta} + 90) * kDegToRad), roundToDouble(up));
    }
    for (const std::u16string& paragraph : paragraphs) {
        const std::u16string t = stripMtextCodes(paragraph);
        const Extended w = font.textWidth(t);
        writeLine(canvas, font, pixelCenter, unitsPerPixel, anchor, -w * mtextShift(code71), cell * mtextTop(code71),
                  theta, t, color);
        anchor.x += lineAdvance * std::sin(radians);
        anchor.y -= lineAdvance * std::cos(radians);
    }
}

void drawTextRows(const RenderPass& pass) {
    std::optional<TextFont> font;  // opened at the first row that is drawn
    bool noFont = false;
    for (const TTextBlk& text : pass.store.modelTexts) {
        if (text.code60 != 0) continue;
        const std::u16string s = replaceTextSymbols(text.str);
        if ((text.code70 & 1) || text.code67 != 0) continue;
        auto canShow = [&] {
            return pointInWindow(text.pt10, pass.viewWindow) || boxMeetsWindow(textBounds(text), pass.viewWindow);
        };
        if (!pass.layerRulesAllow(text.layindex, canShow)) continue;
        if (!font && !noFont) {
            try {
                font.emplace(findTextFontFile());
            } catch (const std::runtime_error&) {
                noFont = true;  // without a face texts cannot be drawn; the rest of the drawing still is
            }
        }
        if (!font) continue;
        try {
            drawText(pass.canvas, *font, pass.pixelCenter, s, pass.unitsPerPixel, viewOffset(text.pt10, pass.viewCenter),
                     viewOffset(text.pt11, pass.viewCenter), text.code72, text.code73, text.code40, text.code41,
                     text.code50, text.code44, pass.rowColor(text.PenColor), text.code71, text.mtflag, text.pt11);
        } catch (const FloatingPointError&) {
            // A text whose size or angle does not convert cannot be drawn; it is skipped.
        }
    }
}

}  // namespace velmora
