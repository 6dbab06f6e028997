// Rendering large drawings: 1,000,000 lines and 100,000 arcs, each into the
// 120 x 100 thumbnail and into a 2000 x 2000 bitmap, through renderDrawing
// with the window's arguments. The drawing is 1000 x 1000 units; lines are
// segments of up to 50 units (the size of decomposed outlines and curve
// chords), arcs have radii of 1 to 50 units and sweeps of 2 to 358 degrees.
// range(0): 0 for lines, 1 for arcs; range(1): the bitmap side (120 means the
// 120 x 100 thumbnail).
#include <benchmark/benchmark.h>

#include <random>

#include "render/canvas.h"
#include "render/renderer.h"

namespace {

using namespace velmora;

constexpr int kLines = 1000000;
constexpr int kArcs = 100000;
constexpr double kSide = 1000;

DrawingStore makeStore(bool arcs) {
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> place(0, kSide), offset(-25, 25), radius(1, 50),
        angle(0, 360), sweep(2, 358);
    DrawingStore store;
    if (!arcs) {
        store.modelLines.resize(kLines);
        for (TAcadLineBlk& l : store.modelLines) {
            const double x = place(random), y = place(random);
            l.st = TAcadPoint{x, y, 0};
            l.ed = TAcadPoint{x + offset(random), y + offset(random), 0};
            l.PenColor = 0xFFFFFF;
            l.layindex = -1;
        }
        return store;
    }
    store.modelArcs.resize(kArcs);
    for (TArcBlk& a : store.modelArcs) {
        a.center = TAcadPoint{place(random), place(random), 0};
        a.hankei = radius(random);
        a.st = angle(random);
        a.ed = a.st + sweep(random);  // already above the start: the rows stay as they are
        a.PenColor = 0xFFFFFF;
        a.layindex = -1;
    }
    return store;
}

void BM_Render(benchmark::State& state) {
    const bool arcs = state.range(0) == 1;
    const int width = static_cast<int>(state.range(1));
    const int height = width == 120 ? 100 : width;
    DrawingStore store = makeStore(arcs);
    Canvas canvas(width, height);
    const TAcadPoint center{kSide / 2, kSide / 2, 0};
    for (auto _ : state) {
        clearCanvas(canvas, width, height, 0);
        renderDrawing(store, canvas, fittedView(center, kSide, kSide, canvas));
        benchmark::DoNotOptimize(canvas.pixels().data());
    }
    state.SetItemsProcessed(state.iterations() * (arcs ? kArcs : kLines));
    state.SetLabel(std::string(arcs ? "arcs" : "lines") + " into " + std::to_string(width) + "x" +
                   std::to_string(height));
}

BENCHMARK(BM_Render)
    ->Args({0, 120})
    ->Args({0, 2000})
    ->Args({1, 120})
    ->Args({1, 2000})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
