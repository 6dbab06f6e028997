#include "tools/block_thumbnail.h"

namespace velmora {

BlockThumbnail thumbnailFromItemList(DrawingStore& store, const std::filesystem::path& itemList, int width,
                                     int height, double fillRatio, int colorMode) {
    BlockThumbnail out;
    out.counts = readBlockItemList(store, itemList);
    if (!out.counts.result) return out;
    out.thumbnail = makeThumbnail(store, width, height, fillRatio, colorMode);
    out.countText = countText(out.counts.attributes, out.counts.items);
    return out;
}

HostThumbnailFailure thumbnailFromHost(HostLink& link, DrawingStore& store, const std::u16string& name,
                                       int listingTimeoutSeconds, int width, int height, BlockThumbnail& out) {
    std::unique_ptr<InanoCADApplication> application = connectHost(link, false);
    if (!application) return HostThumbnailFailure::NoHost;
    importHostLayers(store, *application->currentDocument());
    application.reset();  // every host action connects anew
    if (!makeBlockItemList(link, name, listingTimeoutSeconds)) return HostThumbnailFailure::NotListed;
    out = thumbnailFromItemList(store, link.programFolder / kBlockItemListName, width, height);
    return HostThumbnailFailure::None;
}

}  // namespace velmora
