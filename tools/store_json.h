// The drawing store as JSON, for velmora-tool's dump commands: every table
// by its name, rows as objects with the record's field names in record
// order, points as [x, y, z], strings as UTF-8, plus "dwgCodePage" and
// "drawingExtents" ([min, max]). Numbers are written as doubles; an
// extended value beyond the double range is written as null.
#pragma once

#include <nlohmann/json.hpp>

#include "store/drawing_store.h"

namespace velmora {

using StoreJson = nlohmann::ordered_json;

StoreJson storeToJson(const DrawingStore& store);

// The JSON text as the tool prints it: indented, invalid text replaced.
std::string formatStoreJson(const StoreJson& json);

}  // namespace velmora
