#include "geometry/outline_conversion.h"

#include <algorithm>

#include "geometry/owned_lines.h"
#include "geometry/plane_geometry.h"
#include "store/table_growth.h"

namespace velmora {

namespace {

constexpr SmallInt kPlanarSpline = 8;

// A new line with the owner's bname, layer, ltype and colour.
template <class Entity>
TAcadLineBlk& appendLine(TableAppender<TAcadLineBlk>& lines, const Entity& owner,
                         const TAcadPoint& st, const TAcadPoint& ed) {
    TAcadLineBlk& line = appendOwnedLine(lines, owner, st, ed);
    line.bname = owner.bname;
    return line;
}

}  // namespace

void convertFaces(DrawingStore& store) {
    TableAppender lines(store.modelLines);
    for (const TFaceBlk& face : store.faces) {
        if (face.code60 != 0) continue;
        // A face has four corner slots; a larger count cannot name more.
        const int count = std::min<int>(face.count, 4);
        for (int j = 0; j < count; ++j) {
            TAcadLineBlk& line = lines.append();
            line.st = face.pt[j];
            line.ed = face.pt[j + 1 < count ? j + 1 : 0];
            line.layer = face.layer;
            line.ltype = face.ltype;
            line.color = face.color;
            line.code67 = face.code67;
        }
    }
}

void convertLeaders(DrawingStore& store) {
    TableAppender lines(store.modelLines);
    for (const TLeaderBlk& leader : store.leaders) {
        if (leader.code60 != 0 || leader.code76 <= 1) continue;
        TAcadPoint end = appendLine(lines, leader, leader.p1, leader.p2).ed;
        if (leader.code76 > 2) end = appendLine(lines, leader, leader.p2, leader.p3).ed;
        if (leader.code41 != 0) appendLine(lines, leader, end, polarPoint(end, 0, leader.code41));
    }
}

void convertSolids(DrawingStore& store) {
    TableAppender lines(store.modelLines);
    for (const TSolidBlk& solid : store.modelSolids) {
        if (solid.code60 != 0) continue;
        appendLine(lines, solid, solid.p1, solid.p2);
        appendLine(lines, solid, solid.p2, solid.p3);
        appendLine(lines, solid, solid.p3, solid.p1);
    }
}

void convertSplines(DrawingStore& store) {
    TableAppender lines(store.modelLines);
    for (const TSplineBlk& spline : store.splines) {
        if (spline.code60 != 0 || !(spline.code70 & kPlanarSpline)) continue;
        const auto& points = spline.code10Ary;
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
            appendLine(lines, spline, points[i], points[i + 1]);
    }
}

}  // namespace velmora
