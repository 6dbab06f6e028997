#include "bench/normalize_store_generator.h"

#include <string>

namespace velmora::bench {

namespace {

std::u16string blockName(int i) {
    std::string s = "BLOCK" + std::to_string(i);
    return std::u16string(s.begin(), s.end());
}

void addPolylines(DrawingStore& s, const NormalizeLoad& load) {
    s.modelLwps.resize(load.polylines);
    s.modelLwpVertices.reserve(static_cast<std::size_t>(load.polylines) * load.verticesPerPolyline);
    for (int p = 0; p < load.polylines; ++p) {
        TLwpBlk& lwp = s.modelLwps[p];
        lwp.ihand = p;
        lwp.layer = u"0";
        lwp.color = 7;
        lwp.code70 = (p % 2) ? 1 : 0;
        lwp.code210 = TAcadPoint{0, 0, 1};
        for (int v = 0; v < load.verticesPerPolyline; ++v) {
            double bulge = (v % 2) ? 0.4 : 0;
            s.modelLwpVertices.push_back(TLwpVer{p, TAcadPoint{v * 1.0L, p * 1.0L, 0}, bulge});
        }
    }
}

void addCurves(DrawingStore& s, const NormalizeLoad& load) {
    const TAcadPoint down{0, 0, -1};
    for (int i = 0; i < load.curves; ++i) {
        TAcadPoint center{i * 3.0L, 0, 0};
        if (i % 2) {
            TArcBlk& a = s.modelArcs.emplace_back();
            a.center = center;
            a.hankei = 1;
            a.st = i % 360;
            a.ed = (i + 100) % 360;
            a.code210 = down;
            a.layer = u"ARCS";
        } else {
            TCircleBlk& c = s.modelCircles.emplace_back();
            c.center = center;
            c.hankei = 1;
            c.code210 = down;
            c.layer = u"CIRCLES";
        }
    }
}

void addBlocks(DrawingStore& s, const NormalizeLoad& load) {
    for (int b = 0; b < load.blocks; ++b) {
        std::u16string name = blockName(b);
        TBlockBlk& block = s.blocks.emplace_back();
        block.name = name;
        block.layer = u"0";
        for (int e = 0; e < load.entitiesPerBlock; ++e) {
            TAcadPoint p{e * 1.0L, b * 1.0L, 0};
            switch (e % 5) {
            case 0: {
                TCircleBlk& c = s.blockCircles.emplace_back();
                c.bname = name;
                c.center = p;
                c.hankei = 0.5;
                c.layer = u"0";
                c.code210 = TAcadPoint{0, 0, 1};
                break;
            }
            case 1: {
                TArcBlk& a = s.blockArcs.emplace_back();
                a.bname = name;
                a.center = p;
                a.hankei = 0.5;
                a.ed = 90;
                a.layer = u"PARTS";
                a.color = 0;
                a.code210 = TAcadPoint{0, 0, 1};
                break;
            }
            default: {
                TAcadLineBlk& l = s.blockLines.emplace_back();
                l.bname = name;
                l.st = p;
                l.ed = TAcadPoint{p.x + 1, p.y + 1, 0};
                l.layer = u"PARTS";
                l.color = 3;
                l.code210 = TAcadPoint{0, 0, 1};
            }
            }
        }
    }
    for (int r = 0; r < load.references; ++r) {
        TInsertBlk& ref = s.modelInserts.emplace_back();
        ref.name = blockName(r % load.blocks);
        ref.base = TAcadPoint{r * 10.0L, r * 5.0L, 0};
        ref.scale = TAcadPoint{2, 2, 1};
        ref.rotate = r % 360;
        ref.layer = u"REFS";
        ref.code210 = TAcadPoint{0, 0, 1};
    }
}

}  // namespace

DrawingStore makeNormalizeStore(const NormalizeLoad& load) {
    DrawingStore s;
    addPolylines(s, load);
    addCurves(s, load);
    addBlocks(s, load);
    s.layers.push_back(defaultLayer(u"0"));
    return s;
}

}  // namespace velmora::bench
