// The fixed order of the normalisation passes over the drawing store.
#pragma once

#include <functional>
#include <string>

#include "store/drawing_store.h"

namespace velmora {

inline constexpr double kNormalizeStepDegrees = 10.0;

// Runs each pass whose input table has rows, in the fixed order, and empties
// the tables the passes consume. Afterwards only the drawable model tables
// and the tables no pass consumes hold rows. A failure in the expansion of
// block definitions is ignored; any other failure reaches the caller, and
// the tables of later passes keep their rows.
void normalizeDrawing(DrawingStore& store);

// The DXF file preview's variant: the same steps, with convertLineExtrusion
// and convertTextExtrusion run unconditionally after the circles, and the
// progress positions 10, 20, ... 90 reported between the steps (the caller
// moves its progress bar and lets pending window messages run).
// `ignored`, when given, hears of the failure of the block definition step
// that the sequence ignores.
void normalizeDrawingForPreview(DrawingStore& store, const std::function<void(int)>& progress,
                                const std::function<void(const std::string&)>& ignored = {});

}  // namespace velmora
