#include "geometry/polyline_decomposition.h"

#include <cmath>
#include <vector>

#include "geometry/float_checks.h"
#include "geometry/plane_geometry.h"
#include "store/table_growth.h"

namespace velmora {

namespace {

constexpr SmallInt kClosed = 1;
constexpr SmallInt kPolygonMesh = 16;
constexpr SmallInt kPolyfaceMesh = 64;

struct Output {
    TableAppender<TAcadLineBlk> lines;
    TableAppender<TArcBlk> arcs;
    bool model;  // model pass: extrusion copied, short arcs as chords, meshes drawn
};

template <class Row>
void takeAttributes(Row& row, const TLwpBlk& lwp, bool withExtrusion) {
    row.bname = lwp.bname;
    row.layer = lwp.layer;
    row.ltype = lwp.ltype;
    row.color = lwp.color;
    row.code67 = lwp.code67;
    if (withExtrusion) row.code210 = lwp.code210;
}

// The vertex group of `ihand`, scanned from the cursor. The cursor moves to
// the first vertex after the group, or stays when the group is missing or
// runs to the end of the table.
void gatherVertices(const std::vector<TLwpVer>& vertices, Integer ihand, std::size_t& cursor,
                    std::vector<TLwpVer>& buffer) {
    buffer.clear();
    for (std::size_t i = cursor; i < vertices.size(); ++i) {
        if (vertices[i].ihand == ihand) {
            buffer.push_back(vertices[i]);
        } else if (!buffer.empty()) {
            cursor = i;
            return;
        }
    }
}

void appendLine(Output& out, const TLwpBlk& lwp, const TAcadPoint& st, const TAcadPoint& ed) {
    TAcadLineBlk& line = out.lines.append();
    line.st = st;
    line.ed = ed;
    takeAttributes(line, lwp, out.model);
}

void appendBulgedSegment(Output& out, const TLwpBlk& lwp, const TLwpVer& from,
                         const TLwpVer& to) {
    BulgeArc arc = bulgeToArc(from.code10, to.code10, from.code42);
    double a1 = roundToDouble(arc.startAngle * kRadToDeg);
    double a2 = roundToDouble(arc.endAngle * kRadToDeg);
    if (out.model) {
        Extended end = a1 > a2 ? Extended{a2} + 360 : Extended{a2};
        if (std::fabs(end - a1) <= 1) {
            appendLine(out, lwp, polarPoint(arc.center, arc.startAngle, arc.radius),
                       polarPoint(arc.center, arc.endAngle, arc.radius));
            return;
        }
    }
    TArcBlk& row = out.arcs.append();
    row.center = arc.center;
    row.hankei = arc.radius;
    row.st = a1;
    row.ed = a2;
    takeAttributes(row, lwp, out.model);
}

// Edges along the M direction of an M x N polygon mesh, column by column.
void appendMeshEdges(Output& out, const TLwpBlk& lwp, const std::vector<TLwpVer>& vertices) {
    const int m = lwp.code71;
    const int n = lwp.code72;
    const int count = static_cast<int>(vertices.size());
    for (int k = 0; k < n && k < count; ++k) {  // a column without a vertex has nothing to draw
        const TLwpVer* current = &vertices[k];
        for (int row = 1; row <= m - 1; ++row) {
            int j = row * n + k;
            if (j >= count) continue;
            appendLine(out, lwp, current->code10, vertices[j].code10);
            current = &vertices[j];
        }
        if (lwp.code70 & kClosed) appendLine(out, lwp, current->code10, vertices[k].code10);
    }
}

void decompose(Output& out, const TLwpBlk& lwp, std::vector<TLwpVer>& vertices) {
    if (lwp.code70 & (kPolygonMesh | kPolyfaceMesh)) {
        if (out.model && (lwp.code70 & kPolygonMesh)) appendMeshEdges(out, lwp, vertices);
        return;
    }
    if (vertices.empty()) return;
    if (lwp.code70 & kClosed) {
        TLwpVer first = vertices.front();
        vertices.push_back(first);
    }
    for (std::size_t k = 0; k + 1 < vertices.size(); ++k) {
        const TLwpVer& from = vertices[k];
        const TLwpVer& to = vertices[k + 1];
        if (from.code42 == 0)
            appendLine(out, lwp, from.code10, to.code10);
        else
            appendBulgedSegment(out, lwp, from, to);
    }
}

void convertPolylines(const std::vector<TLwpBlk>& lwps, const std::vector<TLwpVer>& vertices,
                      Output& out) {
    std::vector<TLwpVer> buffer;
    buffer.reserve(kTableGrowthStep);
    std::size_t cursor = 0;
    for (const TLwpBlk& lwp : lwps) {
        if (lwp.code60 != 0) continue;
        gatherVertices(vertices, lwp.ihand, cursor, buffer);
        decompose(out, lwp, buffer);
    }
}

}  // namespace

void convertBlockLwps(DrawingStore& store) {
    if (store.blockLwps.empty()) return;
    Output out{TableAppender(store.blockLines), TableAppender(store.blockArcs), false};
    convertPolylines(store.blockLwps, store.blockLwpVertices, out);
}

void convertModelLwps(DrawingStore& store) {
    if (store.modelLwps.empty()) return;
    Output out{TableAppender(store.modelLines), TableAppender(store.modelArcs), true};
    convertPolylines(store.modelLwps, store.modelLwpVertices, out);
}

}  // namespace velmora
