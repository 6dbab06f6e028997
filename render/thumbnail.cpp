#include "render/thumbnail.h"

#include <string>

#include "geometry/float_checks.h"
#include "geometry/normalization_sequence.h"
#include "platform/locale_numbers.h"
#include "platform/utf.h"
#include "render/extents.h"
#include "render/pen_resolution.h"
#include "render/renderer.h"

namespace velmora {

std::u16string sizeText(double width, double height) {
    return formatFixed(width, 2) + u" x " + formatFixed(height, 2);
}

std::u16string countText(int attributes, int items) {
    return u"属性 = " + utf8ToUtf16(std::to_string(attributes)) + u" / " +
           utf8ToUtf16(std::to_string(items));
}

Thumbnail makeThumbnail(DrawingStore& store, int width, int height, double fillRatio, int colorMode) {
    normalizeDrawing(store);
    computeExtents(store);
    resolvePens(store);
    const DrawingExtents& e = store.drawingExtents;
    Thumbnail t;
    t.bitmap = Canvas(width, height);
    t.previewWidth = roundToDouble(e.max.x - e.min.x);
    t.previewHeight = roundToDouble(e.max.y - e.min.y);
    t.previewCenter = TAcadPoint{(e.min.x + e.max.x) / 2, (e.min.y + e.max.y) / 2, 0};
    t.sizeText = sizeText(t.previewWidth, t.previewHeight);
    clearCanvas(t.bitmap, width, height, 0);
    renderDrawing(store, t.bitmap,
                  fittedView(t.previewCenter, t.previewWidth, t.previewHeight, t.bitmap, fillRatio, colorMode));
    return t;
}

}  // namespace velmora
