// Expanding block references into the model tables: placed copies of the
// referenced blocks' lines, circles, arcs and texts, with layer and colour
// inheritance for entities on layer "0" or with colour BYBLOCK.
#pragma once

#include "store/drawing_store.h"

namespace velmora {

// The model references, one level deep.
void expandModelInserts(DrawingStore& store);

// Copies dimension blocks unplaced into the model, collects the references
// nested in block definitions into blockInserts (placed by the model
// references of their block) and then runs expandNestedInserts.
void expandBlockDefinitions(DrawingStore& store);

// The rows of blockInserts, like expandModelInserts; references nested below
// them are not visited, which bounds self- and mutually referencing blocks.
void expandNestedInserts(DrawingStore& store);

}  // namespace velmora
