#include "geometry/normalization_sequence.h"

namespace velmora {

// Placeholder until the passes exist; the geometry work replaces it.
void normalizeDrawing(DrawingStore&) {}

}  // namespace velmora
