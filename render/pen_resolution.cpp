#include "render/pen_resolution.h"

#include <string_view>

#include "render/layer_index.h"

namespace velmora {

namespace {

// Share of a fully saturated channel at hue `a` degrees, in quarters (the
// hues are multiples of 15 degrees, so the shares are exact).
double hueShare(int a) {
    if (a < 60) return 1;
    if (a < 120) return (120 - a) / 60.0;
    if (a < 240) return 0;
    if (a < 300) return (a - 240) / 60.0;
    return 1;
}

TColor hueWheelColor(int n) {
    const int hue = (n / 10 - 1) * 15;
    const int shade = n % 10;
    static constexpr int kBrightness[] = {255, 204, 153, 127, 76};
    const double v = kBrightness[shade / 2];
    double shares[3] = {hueShare(hue), hueShare((hue + 240) % 360), hueShare((hue + 120) % 360)};
    TColor color = 0;
    for (int channel = 0; channel < 3; ++channel) {
        double f = shares[channel];
        if (shade % 2 == 1) f = 0.5 + f / 2;
        color |= static_cast<TColor>(static_cast<int>(v * f)) << (8 * channel);
    }
    return color;
}

// The pen style of a row's linetype, its layer's for BYLAYER (or none).
TPenStyle rowPenStyle(const std::u16string& ltype, const TLayer* layer) {
    if ((ltype.empty() || ltype == u"BYLAYER") && layer) return penStyleForLinetype(layer->ltype);
    return penStyleForLinetype(ltype);
}

template <class Row>
void resolveGeometryPens(const LayerIndex& layers, std::vector<Row>& rows) {
    for (Row& row : rows) {
        const int index = layers.indexOf(row.layer);
        row.PenColor = aciToColor(row.color);
        row.PenStyle = rowPenStyle(row.ltype, layers.at(index));
        row.layindex = static_cast<SmallInt>(index);
    }
}

const TLayer* findLayer(const DrawingStore& store, const std::u16string& name) {
    for (const TLayer& layer : store.layers)
        if (layer.Name == name) return &layer;
    return nullptr;
}

}  // namespace

void resolvePens(DrawingStore& store) {
    const LayerIndex layers(store);
    resolveGeometryPens(layers, store.modelLines);
    resolveGeometryPens(layers, store.modelArcs);
    resolveGeometryPens(layers, store.modelCircles);
    for (TTextBlk& text : store.modelTexts) {
        text.PenColor = aciToColor(text.color);
        text.layindex = static_cast<SmallInt>(layers.indexOf(text.layer));
    }
}

int layerIndexOf(const DrawingStore& store, const std::u16string& name) {
    for (std::size_t i = 0; i < store.layers.size(); ++i)
        if (store.layers[i].Name == name) return static_cast<int>(i);
    return -1;
}

TPenStyle linetypePenStyle(const DrawingStore& store, const std::u16string& ltype,
                           const std::u16string& layerName) {
    return rowPenStyle(ltype, findLayer(store, layerName));
}

TPenStyle penStyleForLinetype(const std::u16string& name) {
    struct Prefix {
        std::u16string_view text;  // upper case
        TPenStyle style;
    };
    static constexpr Prefix kPrefixes[] = {
        {u"CON", psSolid},      {u"HID", psDot},          {u"DASHE", psDot},
        {u"CEN", psDashDot},    {u"BOR", psDashDot},      {u"DASHD", psDashDot},
        {u"DEV", psDashDotDot}, {u"PHA", psDashDotDot},   {u"DOT", psDot},
    };
    // Letter case is ignored for ASCII letters only, as the upper-casing does.
    auto startsWith = [&](std::u16string_view prefix) {
        if (name.size() < prefix.size()) return false;
        for (std::size_t i = 0; i < prefix.size(); ++i) {
            char16_t c = name[i];
            if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
            if (c != prefix[i]) return false;
        }
        return true;
    };
    for (const Prefix& prefix : kPrefixes)
        if (startsWith(prefix.text)) return prefix.style;
    return psSolid;
}

TColor aciToColor(int number) {
    const long long n = number < 0 ? -static_cast<long long>(number) : number;
    static constexpr TColor kFixed[] = {0xFFFFFF, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00,
                                        0xFF0000, 0xFF00FF, 0xFFFFFF, 0x808080, 0xC0C0C0};
    static constexpr TColor kGreys[] = {0x333333, 0x5B5B5B, 0x848484, 0xADADAD, 0xD6D6D6,
                                        0xFFFFFF};
    if (n < 10) return kFixed[n];
    if (n < 250) return hueWheelColor(static_cast<int>(n));
    if (n <= 255) return kGreys[n - 250];
    return 0xFFFFFF;
}

}  // namespace velmora
