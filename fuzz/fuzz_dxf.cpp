// The DXF file preview on arbitrary file contents: probes, reader, passes,
// extents, pens and drawing must neither crash nor leave the bitmap's size,
// and a failed read must leave the default layer.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "dxf/dxf_preview.h"
#include "fuzz/fuzz_check.h"

using velmora::fuzz::check;

namespace {

const std::filesystem::path& inputFile() {
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("velmora-fuzz-dxf-" + std::to_string(::getpid()) + ".dxf");
    return file;
}

struct QuietMessages : velmora::DxfMessages {
    void show(const std::u16string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    {
        std::ofstream out(inputFile(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    DrawingStore store;
    Canvas image(40, 30);
    QuietMessages messages;
    DxfPreviewHooks hooks;
    hooks.ownerWindow = &messages;
    DxfPreviewView view;
    drawDxfPreview(store, inputFile(), image, hooks, view);
    check(image.width() == 40 && image.height() == 30);
    check(!store.layers.empty());
    return 0;
}
