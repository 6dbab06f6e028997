// The values one renderDrawing call works out before it draws (scale, view
// window, layer restriction, colour rule), shared by every drawing step of
// that call, the text step included.
#pragma once

#include "render/canvas.h"
#include "render/extents.h"
#include "render/renderer.h"
#include "store/drawing_store.h"

namespace velmora {

struct RenderPass {
    DrawingStore& store;
    Canvas& canvas;
    TAcadPoint viewCenter;
    PixelPoint pixelCenter;
    double unitsPerPixel = 1;
    Box viewWindow;          // the drawing-space rectangle the canvas shows
    int onlyLayerIndex = -1;  // -1: every visible layer
    TColor backColor = 0;
    int colorMode = 1;
    int penWidth = 1;
    bool drawAll = true;
    bool thinOut = false;

    // The layer rules of a row that is not hidden or in paper space: with a
    // layer restriction exactly its rows, otherwise rows on visible layers
    // that can show in the view window (always, when drawAll is set).
    // `canShow` is evaluated only when needed.
    template <class CanShow>
    bool layerRulesAllow(SmallInt layindex, CanShow canShow) const;
    // The colour a row with this pen colour is drawn in.
    TColor rowColor(TColor penColor) const;
};

template <class CanShow>
bool RenderPass::layerRulesAllow(SmallInt layindex, CanShow canShow) const {
    if (onlyLayerIndex >= 0) return layindex == onlyLayerIndex;
    return layerVisibleByIndex(store, layindex) && (drawAll || canShow());
}

// Whether a segment or a box can show inside the window.
bool segmentMeetsWindow(const TAcadPoint& a, const TAcadPoint& b, const Box& window);
bool boxMeetsWindow(const Box& box, const Box& window);
bool pointInWindow(const TAcadPoint& p, const Box& window);

}  // namespace velmora
