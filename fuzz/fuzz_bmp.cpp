// The thumbnail BMP reader on arbitrary bytes: it must refuse or accept
// without reading out of bounds, and what it accepts must survive a write and
// a second read unchanged.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz/fuzz_check.h"
#include "render/bmp_file.h"

using velmora::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    try {
        const Canvas image = decodeBmp(std::span<const std::uint8_t>(data, size));
        check(image.width() >= 1 && image.width() <= kMaxBmpSide);
        check(image.height() >= 1 && image.height() <= kMaxBmpSide);
        check(image.pixels().size() <= size);
        const Canvas again = decodeBmp(encodeBmp(image));
        check(again.pixels() == image.pixels());
        check(again.palette() == image.palette());
    } catch (const BmpError&) {
        // Refused with a reason: the expected outcome for most inputs.
    }
    return 0;
}
