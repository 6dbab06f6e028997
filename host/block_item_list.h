// Reader of the block item list file the listing script writes: one line per
// entity of a block definition, in the host's list notation.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/drawing_store.h"

namespace velmora {

struct BlockItemCounts {
    bool result = false;  // the file exists and has at least one line
    int lines = 0;
    int arcs = 0;
    int circles = 0;
    int polylines = 0;
    int attributes = 0;
    int items = 0;  // lines of the file: the entity count the window shows
};

inline constexpr const char* kBlockItemListName = "listBlockItems.txt";

// Reads the item list file into modelLines, modelArcs, modelCircles, modelLwps
// and modelLwpVertices. A missing file gives result false, all counts 0 and
// those tables empty. A file that exists but cannot be read throws FileError
// (after the tables were emptied). A number too large for its Double field
// throws FloatingPointError; the tables then hold the rows read so far.
//
// Untrusted input: vertex groups (10, 20, 42) of a polyline before its
// group 90, or beyond the count it announced, are dropped; a negative
// group 90 reserves nothing. Rows a group 90 announced that no vertex group
// fills stay zeroed vertices; beyond a budget proportional to the file's
// size one zeroed row stands for the rest (they are all the same point), so
// memory stays proportional to the file's size.
BlockItemCounts readBlockItemList(DrawingStore& store, const std::filesystem::path& file);

// The same read from the file's contents, already loaded.
BlockItemCounts readBlockItemBytes(DrawingStore& store, std::string_view bytes);

using ItemPair = std::pair<std::u16string, std::u16string>;  // group code text, value text

std::u16string normalizeItemLine(const std::u16string& line);
std::vector<ItemPair> splitItem(const std::u16string& item);
std::vector<ItemPair> expandCoordinateList(const std::u16string& code, const std::u16string& values);

}  // namespace velmora
