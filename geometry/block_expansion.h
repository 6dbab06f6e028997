// Expanding block references into the model tables: placed copies of the
// referenced blocks' lines, circles, arcs and texts, with layer and colour
// inheritance for entities on layer "0" or with colour BYBLOCK.
#pragma once

#include <cstddef>
#include <stdexcept>

#include "store/drawing_store.h"

namespace velmora {

// Raised before an expansion would copy more than its budget allows: nested
// references can multiply a small file into billions of rows, and texts in
// blocks into gigabytes. The budget counts the bytes the copies take (their
// rows and strings); see ExpansionBudget.
class ExpansionLimitError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What all the expansions of one drawing may add together, fixed from the
// drawing as read: kExpansionBytesPerInputByte times the bytes of its rows,
// at least kMinExpansionBytes (two million line rows). Drawings of real
// size stay far below it.
struct ExpansionBudget {
    std::size_t bytesLeft = 0;
};
inline constexpr std::size_t kMinExpansionBytes = 2'000'000 * sizeof(TAcadLineBlk);
inline constexpr std::size_t kExpansionBytesPerInputByte = 20;
ExpansionBudget expansionBudgetFor(const DrawingStore& store);

// The model references, one level deep.
void expandModelInserts(DrawingStore& store, ExpansionBudget& budget);

// Copies dimension blocks unplaced into the model, collects the references
// nested in block definitions into blockInserts (placed by the model
// references of their block) and then runs expandNestedInserts.
void expandBlockDefinitions(DrawingStore& store, ExpansionBudget& budget);

// The rows of blockInserts, like expandModelInserts; references nested below
// them are not visited, which bounds self- and mutually referencing blocks.
void expandNestedInserts(DrawingStore& store, ExpansionBudget& budget);

// The same, each with a budget of its own taken from the store as it is.
void expandModelInserts(DrawingStore& store);
void expandBlockDefinitions(DrawingStore& store);

}  // namespace velmora
