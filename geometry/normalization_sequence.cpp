#include "geometry/normalization_sequence.h"

#include <algorithm>
#include <exception>

#include "geometry/block_expansion.h"
#include "geometry/curve_conversion.h"
#include "geometry/extrusion_conversion.h"
#include "geometry/outline_conversion.h"
#include "geometry/polyline_decomposition.h"
#include "platform/memory_hints.h"
#include "store/table_growth.h"

namespace velmora {

namespace {

template <class Row>
void empty(std::vector<Row>& table) {
    table = std::vector<Row>();  // releases the rows' memory as well
}

// Runs `pass` when `source` has rows, then empties `source`.
template <class Row, class Pass>
void consume(DrawingStore& store, std::vector<Row>& source, Pass pass) {
    if (source.empty()) return;
    pass(store);
    empty(source);
}

void decomposeBlockPolylines(DrawingStore& store) {
    if (store.blockLwps.empty()) return;
    convertBlockLwps(store);
    empty(store.blockLwps);
    empty(store.blockLwpVertices);
}

// Sizes modelLines once for the polyline, arc and circle steps (2, 4, 5), so
// that the largest table of a drawing is never moved while it fills.
void reserveModelLines(DrawingStore& store) {
    const PolylinePlan polylines = planModelLwps(store, kNormalizeStepDegrees);
    const std::size_t rows = polylines.lines + polylines.arcChords +
                             plannedArcChords(store.modelArcs, false, kNormalizeStepDegrees) +
                             plannedCircleChords(store.modelCircles, false, kNormalizeStepDegrees);
    const std::size_t before = store.modelLines.capacity();
    reserveMoreRows(store.modelLines, std::min(rows, kMaxPlannedRows));
    if (store.modelLines.capacity() != before)
        adviseHugePages(store.modelLines.data(), store.modelLines.capacity() * sizeof(TAcadLineBlk));
}

void decomposeModelPolylines(DrawingStore& store) {
    if (store.modelLwps.empty()) return;
    convertModelLwps(store);
    empty(store.modelLwps);
    empty(store.modelLwpVertices);
}

void convertModelEllipses(DrawingStore& store) {
    if (store.modelEllipses.empty()) return;
    convertEllipses(store, kNormalizeStepDegrees);
    empty(store.modelEllipses);
}

void convertModelArcs(DrawingStore& store) {
    if (!store.modelArcs.empty()) convertArcs(store, false, kNormalizeStepDegrees);
}

void convertModelCircles(DrawingStore& store) {
    if (!store.modelCircles.empty()) convertCircles(store, false, kNormalizeStepDegrees);
}

void expandReferences(DrawingStore& store, ExpansionBudget& budget) {
    if (!store.modelInserts.empty()) expandModelInserts(store, budget);
}

// Steps 7 to 12: block definitions, then the entities drawn as outlines.
void expandDefinitionsAndOutlines(DrawingStore& store, ExpansionBudget& budget,
                                  const std::function<void(const std::string&)>& ignored = {}) {
    if (!store.blocks.empty()) {
        // Block definitions are drawn best effort: a fault there leaves what
        // was appended so far and the remaining passes still run.
        try {
            expandBlockDefinitions(store, budget);
        } catch (const std::exception& e) {
            if (ignored) ignored(std::string("block definitions not drawn in full: ") + e.what());
        }
        empty(store.blocks);
    }
    empty(store.modelInserts);
    empty(store.blockInserts);
    consume(store, store.faces, convertFaces);
    consume(store, store.leaders, convertLeaders);
    consume(store, store.modelSolids, convertSolids);
    consume(store, store.splines, convertSplines);
}

}  // namespace

void normalizeDrawing(DrawingStore& store) {
    // One budget for every expansion, from the drawing as read.
    ExpansionBudget budget = expansionBudgetFor(store);
    decomposeBlockPolylines(store);
    reserveModelLines(store);
    decomposeModelPolylines(store);
    convertModelEllipses(store);
    convertModelArcs(store);
    convertModelCircles(store);
    expandReferences(store, budget);
    expandDefinitionsAndOutlines(store, budget);
}

void normalizeDrawingForPreview(DrawingStore& store, const std::function<void(int)>& progress,
                                const std::function<void(const std::string&)>& ignored) {
    auto report = [&](int position) {
        if (progress) progress(position);
    };
    ExpansionBudget budget = expansionBudgetFor(store);
    report(10);
    decomposeBlockPolylines(store);
    report(20);
    reserveModelLines(store);
    decomposeModelPolylines(store);
    report(30);
    convertModelEllipses(store);
    report(40);
    convertModelArcs(store);
    report(50);
    convertModelCircles(store);
    convertLineExtrusion(store);
    convertTextExtrusion(store);
    report(60);
    expandReferences(store, budget);
    report(70);
    expandDefinitionsAndOutlines(store, budget, ignored);
    report(80);
    report(90);
}

}  // namespace velmora
