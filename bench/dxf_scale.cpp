// dxf_scale make SCALE FILE: writes the benchmark DXF at a scale (1 is about
// 86 MB).
// dxf_scale read FILE: only reads it (for profiling).
// dxf_scale FILE: previews it into 120 x 100 the way velmora-tool preview
// does, step by step, and prints the seconds and MB/s of the read, the
// normalisation and the drawing (extents, pens, render) and the process's
// peak resident memory against the file's size.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/dxf_generator.h"
#include "dxf/dxf_reader.h"
#include "geometry/normalization_sequence.h"
#include "render/extents.h"
#include "render/pen_resolution.h"
#include "render/renderer.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

double peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

int make(double scale, const char* file) {
    const std::string dxf = velmora::bench::makeDxf(scale);
    std::ofstream out(file, std::ios::binary);
    if (!out.write(dxf.data(), static_cast<std::streamsize>(dxf.size())).flush()) {
        std::fprintf(stderr, "%s: cannot write\n", file);
        return 1;
    }
    return 0;
}

int measure(const char* file) {
    using namespace velmora;
    std::error_code error;
    const auto bytes = std::filesystem::file_size(file, error);
    if (error) {
        std::fprintf(stderr, "%s: %s\n", file, error.message().c_str());
        return 1;
    }
    const double mb = static_cast<double>(bytes) / 1e6;
    DrawingStore store;
    std::u16string status, version;
    auto start = Clock::now();
    readDxfFile(store, file, nullptr, nullptr, status, DxfEncoding::Utf8, version);
    const double read = seconds(start);
    const double readPeak = peakMiB();
    if (!status.empty()) {
        std::fprintf(stderr, "read failed: %s\n", std::string(status.begin(), status.end()).c_str());
        return 1;
    }
    start = Clock::now();
    normalizeDrawingForPreview(store, {});
    const double normalize = seconds(start);
    start = Clock::now();
    computeExtents(store);
    resolvePens(store);
    const DrawingExtents& e = store.drawingExtents;
    const double w = static_cast<double>(e.max.x - e.min.x), h = static_cast<double>(e.max.y - e.min.y);
    Canvas canvas(120, 100);
    clearCanvas(canvas, 120, 100, 0);
    renderDrawing(store, canvas, fittedView(TAcadPoint{(e.max.x + e.min.x) / 2, (e.max.y + e.min.y) / 2, 0}, w, h, canvas));
    const double draw = seconds(start);
    std::printf("%.1f MB: read %.3f s (%.0f MB/s, peak %.0f MiB), normalise %.3f s, draw %.3f s, whole %.3f s; "
                "peak %.0f MiB = %.2f x file; %zu lines, %zu arcs, %zu circles, %zu texts\n",
                mb, read, mb / read, readPeak, normalize, draw, read + normalize + draw, peakMiB(),
                peakMiB() * 1.048576 / mb, store.modelLines.size(), store.modelArcs.size(), store.modelCircles.size(),
                store.modelTexts.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "make") return make(std::atof(argv[2]), argv[3]);
    if (argc == 2) return measure(argv[1]);
    if (argc == 3 && std::string(argv[1]) == "read") {  // the read alone, for profiling
        velmora::DrawingStore store;
        std::u16string status, version;
        velmora::readDxfFile(store, argv[2], nullptr, nullptr, status, velmora::DxfEncoding::Utf8, version);
        return status.empty() ? 0 : 1;
    }
    std::fprintf(stderr, "usage: dxf_scale make SCALE FILE | dxf_scale FILE\n");
    return 2;
}
