#include "geometry/extrusion_conversion.h"

#include "geometry/arbitrary_axis.h"
#include "geometry/curve_conversion.h"
#include "geometry/float_checks.h"
#include "geometry/plane_geometry.h"

namespace velmora {

void convertLineExtrusion(DrawingStore& store) {
    for (TAcadLineBlk& line : store.modelLines) {
        if (isPlusZ(line.code210)) continue;
        line.st = arbitraryAxisToWorld(line.st, line.code210);
        line.ed = arbitraryAxisToWorld(line.ed, line.code210);
    }
}

void convertTextExtrusion(DrawingStore& store) {
    for (TTextBlk& text : store.modelTexts) {
        if (isPlusZ(text.code210)) continue;
        text.pt10 = arbitraryAxisToWorld(text.pt10, text.code210);
        text.pt11 = arbitraryAxisToWorld(text.pt11, text.code210);
        TAcadPoint origin = arbitraryAxisToWorld(TAcadPoint{0, 0, 0}, text.code210);
        TAcadPoint xAxis = arbitraryAxisToWorld(TAcadPoint{100, 0, 0}, text.code210);
        double turn = roundToDouble(roundToDouble(directionAngle(origin, xAxis)) * kRadToDeg);
        text.code50 = roundToDouble(Extended{text.code50} + turn);
    }
}

}  // namespace velmora
