// The block thumbnail path shared by the window and velmora-tool: from a store
// the block item list reader has just filled to the bitmap and its texts.
#pragma once

#include <string>

#include "render/canvas.h"
#include "store/drawing_store.h"

namespace velmora {

inline constexpr int kThumbnailWidth = 120;
inline constexpr int kThumbnailHeight = 100;
inline constexpr double kPreviewFillRatio = 0.9;
inline constexpr int kPreviewColorMode = 1;

struct Thumbnail {
    Canvas bitmap{kThumbnailWidth, kThumbnailHeight};
    double previewWidth = 0;   // extents max.x - min.x
    double previewHeight = 0;  // extents max.y - min.y
    TAcadPoint previewCenter;  // centre of the extents, z 0
    std::u16string sizeText;   // "%.2f x %.2f" with the regional decimal separator
};

// normalizeDrawing, computeExtents, resolvePens, then a black bitmap of the
// given size with the drawing fitted into it and drawn white. The store keeps
// the normalised drawing afterwards. Failures of the passes propagate.
Thumbnail makeThumbnail(DrawingStore& store, int width = kThumbnailWidth,
                        int height = kThumbnailHeight, double fillRatio = kPreviewFillRatio,
                        int colorMode = kPreviewColorMode);

// "%.2f x %.2f" of the two values, with the regional decimal separator.
std::u16string sizeText(double width, double height);
// "属性 = " attributes " / " items.
std::u16string countText(int attributes, int items);

}  // namespace velmora
