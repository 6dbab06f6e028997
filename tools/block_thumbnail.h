// From a block to its thumbnail and its two texts, one way for the window,
// `velmora-tool thumbnail` and `velmora-tool host thumbnail`: the item list
// read into the store, the thumbnail path of the window, the size text and
// the count text.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "host/block_item_list.h"
#include "host/host_api.h"
#include "render/thumbnail.h"

namespace velmora {

struct BlockThumbnail {
    BlockItemCounts counts;
    std::optional<Thumbnail> thumbnail;  // none when the item list holds no items
    std::u16string countText;            // "属性 = " attributes " / " items
};

// Reads the item list file into the store (its layers stay as they are) and
// makes the thumbnail.
BlockThumbnail thumbnailFromItemList(DrawingStore& store, const std::filesystem::path& itemList, int width,
                                     int height, double fillRatio = kPreviewFillRatio,
                                     int colorMode = kPreviewColorMode);

enum class HostThumbnailFailure { None, NoHost, NotListed };

// The host's way: the layers of the host's drawing into the store (so that
// layers that are off hide their entities, as in the window), the listing
// script run for `name`, then thumbnailFromItemList.
HostThumbnailFailure thumbnailFromHost(HostLink& link, DrawingStore& store, const std::u16string& name,
                                       int listingTimeoutSeconds, int width, int height, BlockThumbnail& out);

}  // namespace velmora
