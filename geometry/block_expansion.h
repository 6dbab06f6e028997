// Expanding block references into the model tables: placed copies of the
// referenced blocks' lines, circles, arcs and texts, with layer and colour
// inheritance for entities on layer "0" or with colour BYBLOCK.
#pragma once

#include <cstddef>
#include <stdexcept>

#include "store/drawing_store.h"

namespace velmora {

// Raised before an expansion would copy more rows than its budget allows:
// nested references can multiply a small file into billions of rows. The
// budget is kMinExpansionBudget rows, or kExpansionRowsPerInputRow times the
// rows the store holds, whichever is larger; drawings of real size stay far
// below it.
class ExpansionLimitError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
inline constexpr std::size_t kMinExpansionBudget = 2'000'000;
inline constexpr std::size_t kExpansionRowsPerInputRow = 20;

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
