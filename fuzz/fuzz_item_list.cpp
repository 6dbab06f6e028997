// The block item list reader on arbitrary file contents: it must not crash,
// and the tables must agree with its counts whatever the input.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "host/block_item_list.h"
#include "platform/errors.h"

using velmora::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    DrawingStore store;
    try {
        BlockItemCounts counts = readBlockItemBytes(store, bytes);
        check(store.modelLines.size() == static_cast<std::size_t>(counts.lines));
        check(store.modelArcs.size() == static_cast<std::size_t>(counts.arcs));
        check(store.modelCircles.size() == static_cast<std::size_t>(counts.circles));
        check(store.modelLwps.size() == static_cast<std::size_t>(counts.polylines));
        check(counts.result == (counts.items > 0));
        // Vertex memory stays proportional to the input.
        check(store.modelLwpVertices.size() <= size + 1);
        // Vertex runs are in polyline order and name an existing polyline.
        Integer previous = 0;
        for (const TLwpVer& v : store.modelLwpVertices) {
            check(v.ihand >= previous && v.ihand < counts.polylines);
            previous = v.ihand;
        }
    } catch (const FloatingPointError&) {
        // A number too large for its Double field: a reported failure.
    }
    return 0;
}
