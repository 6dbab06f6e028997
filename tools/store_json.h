// The drawing store as JSON, for velmora-tool's dump commands: every table
// by its name, rows as objects with the record's field names in record
// order, points as [x, y, z], strings as UTF-8, plus "dwgCodePage" and
// "drawingExtents" ([min, max]). Numbers are written as doubles; an
// extended value beyond the double range is written as null. The field
// lists exist once (store_json.cpp); the streamed text and the document
// both come from them.
#pragma once

#include <ostream>

#include <nlohmann/json.hpp>

#include "store/drawing_store.h"

namespace velmora {

using StoreJson = nlohmann::ordered_json;

// The whole store as one document (small stores, tests).
StoreJson storeToJson(const DrawingStore& store);

// The JSON text as the tool prints it: indented, invalid text replaced.
std::string formatStoreJson(const StoreJson& json);

// The same text as formatStoreJson(storeToJson(store) with the members of
// `trailer` appended), written row by row to `out` without building the
// document, followed by a line end.
void writeStoreJson(std::ostream& out, const DrawingStore& store, const StoreJson& trailer);

}  // namespace velmora
