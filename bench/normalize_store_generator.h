// A synthetic drawing for the normalisation benchmark.
#pragma once

#include "store/drawing_store.h"

namespace velmora::bench {

struct NormalizeLoad {
    int polylines = 10'000;
    int verticesPerPolyline = 100;  // every other segment bulged
    int curves = 100'000;           // half circles, half arcs, extrusion (0, 0, -1)
    int blocks = 100;
    int entitiesPerBlock = 50;      // lines, circles and arcs
    int references = 10'000;
};

DrawingStore makeNormalizeStore(const NormalizeLoad& load);

}  // namespace velmora::bench
