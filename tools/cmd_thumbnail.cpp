#include <cstdio>
#include <filesystem>

#include "platform/files.h"
#include "platform/utf.h"
#include "render/png_file.h"
#include "tools/block_thumbnail.h"
#include "tools/tool_args.h"
#include "tools/tool_commands.h"

namespace velmora::tool {

// thumbnail ITEMS OUT.bmp [--size WxH] [--decimal-separator C]: the block
// thumbnail path on an item list file. Exit 3 when the file holds no items
// (nothing is written); a missing file is an error (exit 1), as for dump-items.
int runThumbnail(const Args& args) {
    ParsedArgs parsed = parseArgs(args, {"--size", "--decimal-separator"}, {});
    if (parsed.positional.size() != 2) throw UsageError("thumbnail takes an item list file and an output BMP file");
    applyDecimalSeparator(parsed);
    const ImageSize size = parsed.option("--size") ? parseSize(*parsed.option("--size")) : ImageSize{};
    const std::filesystem::path items = pathFromUtf8(parsed.positional[0]), out = pathFromUtf8(parsed.positional[1]);
    if (!requireInputFile(items, "item list file") || !requireOtherOutput(items, out)) return kExitFailure;

    DrawingStore store;
    const BlockThumbnail made = thumbnailFromItemList(store, items, size.width, size.height);
    if (!made.thumbnail) {
        std::fprintf(stderr, "velmora-tool: the item list %s holds no items; no thumbnail made\n",
                     utf16ToUtf8(items.u16string()).c_str());
        return kExitNothingMade;
    }
    saveImageFile(made.thumbnail->bitmap, out);
    std::printf("%s\n%s\n", utf16ToUtf8(made.thumbnail->sizeText).c_str(), utf16ToUtf8(made.countText).c_str());
    return std::fflush(stdout) == 0 ? kExitSuccess : kExitFailure;
}

}  // namespace velmora::tool
