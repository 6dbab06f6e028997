// The whole thumbnail of an arbitrary item list: read, normalised, measured,
// given pens and drawn, so the passes meet hostile geometry. It must not
// crash; the bitmap keeps its size and the texts their form.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "host/block_item_list.h"
#include "platform/errors.h"
#include "render/thumbnail.h"

using velmora::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    DrawingStore store;
    try {
        if (!readBlockItemBytes(store, bytes).result) return 0;
        Thumbnail thumbnail = makeThumbnail(store, kThumbnailWidth, kThumbnailHeight);
        check(thumbnail.bitmap.width() == kThumbnailWidth && thumbnail.bitmap.height() == kThumbnailHeight);
        check(thumbnail.sizeText.find(u" x ") != std::u16string::npos);
    } catch (const FloatingPointError&) {
        // A number too large for its Double field: a reported failure.
    }
    return 0;
}
