// Normalising a large synthetic drawing: 1,000,000 bulged polyline vertices,
// 100,000 circles and arcs off +Z, 10,000 references to 100 blocks of 50
// entities. Reports the rows produced and the process's peak resident size.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "bench/normalize_store_generator.h"
#include "geometry/normalization_sequence.h"

namespace {

double peakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;  // ru_maxrss is in KiB on Linux
}

void BM_NormalizeDrawing(benchmark::State& state) {
    // range(0): the load in percent of the full one, to show linear growth.
    velmora::bench::NormalizeLoad load;
    const int percent = static_cast<int>(state.range(0));
    load.polylines = load.polylines * percent / 100;
    load.curves = load.curves * percent / 100;
    load.references = load.references * percent / 100;
    std::size_t lines = 0;
    std::size_t arcs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        velmora::DrawingStore store = velmora::bench::makeNormalizeStore(load);
        state.ResumeTiming();
        velmora::normalizeDrawing(store);
        lines = store.modelLines.size();
        arcs = store.modelArcs.size();
        state.PauseTiming();
        store = velmora::DrawingStore{};  // freeing is not part of the measurement
        state.ResumeTiming();
    }
    state.counters["modelLines"] = static_cast<double>(lines);
    state.counters["modelArcs"] = static_cast<double>(arcs);
    state.counters["peakRSS_MiB"] = peakResidentMiB();  // of the process so far
}

BENCHMARK(BM_NormalizeDrawing)->Arg(25)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
