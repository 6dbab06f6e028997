// The item list the simulated host's makeBlockItems writes: one line per
// entity of a block definition, each the entity's data list in the host's
// list notation, as the listing script writes it.
#pragma once

#include <string>

#include "host/sim/sim_drawing.h"

namespace velmora::sim {

// One entity as "((0 . LINE) (8 . layer) (10 x y z) ...)", only the items the
// tool reads: text without quotation marks, numbers at full precision with
// `decimalSeparator`, angles (groups 50 to 58) in radians, points joined
// into coordinate lists.
std::string entityDataList(const SimEntity& entity, char decimalSeparator);

// The whole file: UTF-8 with a byte order mark, lines ended by CR LF.
std::string blockItemListFile(const SimBlock& block, char decimalSeparator);

}  // namespace velmora::sim
