// Reader of the block item list file the listing script writes: one line per
// entity of a block definition, in the host's list notation.
#pragma once

#include <filesystem>
#include <string>
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

BlockItemCounts readBlockItemList(DrawingStore& store, const std::filesystem::path& file);

using ItemPair = std::pair<std::u16string, std::u16string>;  // group code text, value text

std::u16string normalizeItemLine(const std::u16string& line);
std::vector<ItemPair> splitItem(const std::u16string& item);
std::vector<ItemPair> expandCoordinateList(const std::u16string& code, const std::u16string& values);

}  // namespace velmora
