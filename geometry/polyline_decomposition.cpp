#include "geometry/polyline_decomposition.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "geometry/curve_conversion.h"
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

// Rows [first, last) of a polyline's vertex group.
struct VertexRun {
    std::size_t first = 0;
    std::size_t last = 0;
    std::size_t size() const { return last - first; }
};

// The vertex group of `ihand`, scanned from the cursor. The cursor moves to
// the first vertex after the group, or stays when the group is missing or
// runs to the end of the table.
VertexRun findVertexRun(const std::vector<TLwpVer>& vertices, Integer ihand, std::size_t& cursor) {
    std::size_t i = cursor;
    while (i < vertices.size() && vertices[i].ihand != ihand) ++i;
    const std::size_t first = i;
    while (i < vertices.size() && vertices[i].ihand == ihand) ++i;
    if (i < vertices.size()) cursor = i;
    return {first, i};
}

void gatherVertices(const std::vector<TLwpVer>& vertices, Integer ihand, std::size_t& cursor,
                    std::vector<TLwpVer>& buffer) {
    const VertexRun run = findVertexRun(vertices, ihand, cursor);
    buffer.assign(vertices.begin() + static_cast<std::ptrdiff_t>(run.first),
                  vertices.begin() + static_cast<std::ptrdiff_t>(run.last));
}

// Adds what one polyline will append to the plan; mirrors decompose().
void planPolyline(PolylinePlan& plan, const TLwpBlk& lwp, const std::vector<TLwpVer>& vertices,
                  VertexRun run, bool model, double chordStepDegrees) {
    if (lwp.code70 & (kPolygonMesh | kPolyfaceMesh)) {
        // At most one edge per vertex along M, and one closing edge per column.
        if (model && (lwp.code70 & kPolygonMesh)) plan.lines += 2 * run.size();
        return;
    }
    if (run.size() == 0) return;
    const std::size_t segments = run.size() - 1 + ((lwp.code70 & kClosed) ? 1 : 0);
    plan.lines += segments;
    const bool chordsLater = model && chordStepDegrees != 0 && !isPlusZ(lwp.code210);
    for (std::size_t k = 0; k < segments; ++k) {
        const double bulge = vertices[run.first + k].code42;
        if (bulge == 0) continue;
        ++plan.arcs;
        if (chordsLater) plan.arcChords += plannedBulgeChords(bulge, chordStepDegrees);
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

PolylinePlan planPolylines(const std::vector<TLwpBlk>& lwps, const std::vector<TLwpVer>& vertices, bool model,
                           double chordStepDegrees) {
    PolylinePlan plan;
    std::size_t cursor = 0;
    for (const TLwpBlk& lwp : lwps) {
        if (lwp.code60 != 0) continue;
        planPolyline(plan, lwp, vertices, findVertexRun(vertices, lwp.ihand, cursor), model, chordStepDegrees);
    }
    plan.lines = std::min(plan.lines, kMaxPlannedRows);
    plan.arcs = std::min(plan.arcs, kMaxPlannedRows);
    plan.arcChords = std::min(plan.arcChords, kMaxPlannedRows);
    return plan;
}

void convertPolylines(const std::vector<TLwpBlk>& lwps, const std::vector<TLwpVer>& vertices,
                      Output& out) {
    const PolylinePlan plan = planPolylines(lwps, vertices, out.model, 0);
    out.lines.reserveMore(plan.lines);
    out.arcs.reserveMore(plan.arcs);
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

PolylinePlan planModelLwps(const DrawingStore& store, double chordStepDegrees) {
    return planPolylines(store.modelLwps, store.modelLwpVertices, true, chordStepDegrees);
}

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
