// 10,000 TEXT rows of 20 characters (half Latin, half Japanese, a quarter of
// them turned) drawn by renderDrawing into 2000 x 2000 and into 120 x 100,
// beside the same call without texts (the floor of the other steps).
#include <benchmark/benchmark.h>

#include <random>

#include "render/extents.h"
#include "render/pen_resolution.h"
#include "render/renderer.h"

namespace {

velmora::DrawingStore textStore(bool withTexts) {
    using namespace velmora;
    DrawingStore store;
    store.layers.push_back(TLayer{u"0", 7, 0, u"CONTINUOUS", true, u""});
    std::mt19937 rng(4);
    std::uniform_real_distribution<double> coord(0, 10000);
    const std::u16string latin = u"Room 101 Area 25.5m2";
    const std::u16string japanese = u"会議室の床面積は二十五平方メートル！";
    for (int i = 0; withTexts && i < 10000; ++i) {
        TTextBlk& t = store.modelTexts.emplace_back();
        t.pt10 = makeAcadPoint(coord(rng), coord(rng), 0);
        t.code40 = 25;
        t.code41 = 1;
        t.code44 = 1;
        t.code50 = i % 4 == 0 ? 30 : 0;
        t.str = (i % 2 ? latin : japanese).substr(0, 20);
        t.color = 7;
    }
    // The frame that fixes the extents.
    store.modelLines.push_back(TAcadLineBlk{});
    store.modelLines.back().ed = makeAcadPoint(10000, 10000, 0);
    store.modelLines.back().color = 7;
    computeExtents(store);
    resolvePens(store);
    return store;
}

void BM_Texts(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const bool withTexts = state.range(1) != 0;
    velmora::DrawingStore store = textStore(withTexts);
    for (auto _ : state) {
        velmora::Canvas canvas(side == 120 ? 120 : side, side == 120 ? 100 : side);
        velmora::clearCanvas(canvas, canvas.width(), canvas.height(), 0);
        velmora::renderDrawing(store, canvas,
                               velmora::fittedView(velmora::makeAcadPoint(5000, 5000, 0), 10000, 10000, canvas));
        benchmark::DoNotOptimize(canvas.pixels().data());
    }
    if (withTexts) state.SetItemsProcessed(state.iterations() * 10000);
}

BENCHMARK(BM_Texts)->Args({2000, 1})->Args({2000, 0})->Args({120, 1})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
