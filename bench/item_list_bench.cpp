// The item list path at scale, each measured against a floor in the same run:
//   - reading a 100k-entity item list into the store, against a minimal
//     reference reader (std::from_chars into compact vectors) on the same bytes;
//   - normalizing what it read, against a memset of the final line table's
//     bytes (the memory floor of writing those rows).
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstring>
#include <string_view>
#include <vector>

#include "bench/item_list_generator.h"
#include "geometry/normalization_sequence.h"
#include "host/block_item_list.h"

namespace {

constexpr std::size_t kEntities = 100000;

const std::string& itemList() {
    static const std::string list = velmora::bench::makeItemList(kEntities);
    return list;
}

// The reference: kinds and the numbers of groups 10-51 and 42 of every line,
// without the platform's rules (encoding, quoting, separators, bad values).
struct CompactEntity {
    char kind = 0;
    double values[12] = {};
    int count = 0;
};

std::vector<CompactEntity> referenceRead(std::string_view text) {
    std::vector<CompactEntity> out;
    std::vector<double> vertices;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        CompactEntity e;
        for (std::size_t open = line.find('('); open != std::string_view::npos; open = line.find('(', open + 1)) {
            const char* p = line.data() + open + 1;
            const char* last = line.data() + line.size();
            int code = 0;
            auto [q, ec] = std::from_chars(p, last, code);
            if (ec != std::errc() || q == last) continue;
            if (code == 0 && q + 3 < last) e.kind = q[3];
            if (code < 10 || code > 51) continue;
            q += (*q == ' ' && q + 2 < last && q[1] == '.') ? 3 : 1;
            while (q < last && *q != ')') {
                double v = 0;
                auto [r, ec2] = std::from_chars(q, last, v);
                if (ec2 != std::errc()) break;
                if (e.count < 12) e.values[e.count++] = v;
                else vertices.push_back(v);
                q = r < last && *r == ' ' ? r + 1 : r;
            }
        }
        out.push_back(e);
    }
    return out;
}

void BM_ReferenceReader(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(referenceRead(itemList()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * itemList().size()));
}

void BM_ReadItemList(benchmark::State& state) {
    for (auto _ : state) {
        velmora::DrawingStore store;
        benchmark::DoNotOptimize(velmora::readBlockItemBytes(store, itemList()));
        state.PauseTiming();
        store = velmora::DrawingStore{};  // freeing is not part of the read
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * itemList().size()));
}

std::size_t normalizedLineBytes() {
    velmora::DrawingStore store;
    velmora::readBlockItemBytes(store, itemList());
    velmora::normalizeDrawing(store);
    return store.modelLines.size() * sizeof(velmora::TAcadLineBlk);
}

void BM_NormalizeItemList(benchmark::State& state) {
    std::size_t lines = 0;
    for (auto _ : state) {
        state.PauseTiming();
        velmora::DrawingStore store;
        velmora::readBlockItemBytes(store, itemList());
        state.ResumeTiming();
        velmora::normalizeDrawing(store);
        lines = store.modelLines.size();
        state.PauseTiming();
        store = velmora::DrawingStore{};
        state.ResumeTiming();
    }
    state.counters["modelLines"] = static_cast<double>(lines);
}

// Fresh memory of the final line table's size, written once.
void BM_MemsetFloor(benchmark::State& state) {
    static const std::size_t bytes = normalizedLineBytes();
    for (auto _ : state) {
        std::vector<char> table;
        table.reserve(bytes);
        std::memset(table.data(), 0, bytes);
        benchmark::DoNotOptimize(table.data());
        benchmark::ClobberMemory();
    }
    state.counters["MiB"] = static_cast<double>(bytes) / (1 << 20);
}

BENCHMARK(BM_ReferenceReader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadItemList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemsetFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NormalizeItemList)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
