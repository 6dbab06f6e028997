#include "geometry/normalization_sequence.h"

#include <exception>

#include "geometry/block_expansion.h"
#include "geometry/curve_conversion.h"
#include "geometry/outline_conversion.h"
#include "geometry/polyline_decomposition.h"

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

}  // namespace

void normalizeDrawing(DrawingStore& store) {
    if (!store.blockLwps.empty()) {
        convertBlockLwps(store);
        empty(store.blockLwps);
        empty(store.blockLwpVertices);
    }
    if (!store.modelLwps.empty()) {
        convertModelLwps(store);
        empty(store.modelLwps);
        empty(store.modelLwpVertices);
    }
    if (!store.modelEllipses.empty()) {
        convertEllipses(store, kNormalizeStepDegrees);
        empty(store.modelEllipses);
    }
    if (!store.modelArcs.empty()) convertArcs(store, false, kNormalizeStepDegrees);
    if (!store.modelCircles.empty()) convertCircles(store, false, kNormalizeStepDegrees);
    if (!store.modelInserts.empty()) expandModelInserts(store);
    if (!store.blocks.empty()) {
        // Block definitions are drawn best effort: a fault there leaves what
        // was appended so far and the remaining passes still run.
        try {
            expandBlockDefinitions(store);
        } catch (const std::exception&) {
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

}  // namespace velmora
