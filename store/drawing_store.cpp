#include "store/drawing_store.h"

namespace velmora {

TAcadPoint makeAcadPoint(Extended x, Extended y, Extended z) { return TAcadPoint{x, y, z}; }

TLayer defaultLayer(const std::u16string& name) {
    TLayer layer;
    layer.Name = name;
    layer.color = 7;
    layer.code70 = 0;
    layer.ltype = u"CONTINUOUS";
    layer.visible = true;
    return layer;
}

SmallInt layerColor(DrawingStore& store, const std::u16string& name) {
    for (const TLayer& layer : store.layers)
        if (layer.Name == name) return layer.color;
    store.layers.push_back(defaultLayer(name));
    return 7;
}

void clearTables(DrawingStore& store) {
    DrawingExtents keep = store.drawingExtents;
    store = DrawingStore{};
    store.drawingExtents = keep;
}

}  // namespace velmora
