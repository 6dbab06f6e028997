// Looking layers up by name for passes over many rows: the first layer row
// of each name, found by hashing instead of a walk of the layer table. Valid
// while the layer table is unchanged.
#pragma once

#include <string>
#include <unordered_map>

#include "store/drawing_store.h"

namespace velmora {

class LayerIndex {
public:
    explicit LayerIndex(const DrawingStore& store) : layers_(store.layers) {
        for (std::size_t i = 0; i < layers_.size(); ++i) first_.try_emplace(layers_[i].Name, static_cast<int>(i));
    }
    // The index of the first layer called `name`, or -1.
    int indexOf(const std::u16string& name) const {
        auto it = first_.find(name);
        return it == first_.end() ? -1 : it->second;
    }
    const TLayer* find(const std::u16string& name) const { return at(indexOf(name)); }
    // The layer at an index indexOf gave, or null for -1.
    const TLayer* at(int index) const { return index < 0 ? nullptr : &layers_[static_cast<std::size_t>(index)]; }

private:
    const std::vector<TLayer>& layers_;
    std::unordered_map<std::u16string, int> first_;
};

}  // namespace velmora
