#include <cstdio>
#include <filesystem>

#include "host/block_item_list.h"
#include "host/host_api.h"
#include "platform/utf.h"
#include "render/bmp_file.h"
#include "render/thumbnail.h"
#include "tools/tool_args.h"
#include "tools/tool_commands.h"

namespace velmora::tool {
namespace {

constexpr int kExitNothingMade = 3;
constexpr int kExitNoHost = 4;
constexpr int kListingTimeoutSeconds = 60;

int noHost() {
    std::fputs("velmora-tool: no host could be connected\n", stderr);
    return kExitNoHost;
}

// host blocks: the block names of the running host, one per line.
int runHostBlocks(HostLink& link) {
    auto application = connectHost(link, false);
    if (!application) return noHost();
    auto document = application->currentDocument();
    for (const auto& name : listHostBlocks(*document)) std::printf("%s\n", utf16ToUtf8(name).c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// host thumbnail NAME OUT.bmp [--size WxH]: the listing script run in the
// host, then the thumbnail path of `thumbnail` on the item list it wrote.
int runHostThumbnail(HostLink& link, const std::u16string& name, const std::filesystem::path& out,
                     const ImageSize& size) {
    // makeBlockItemList answers false for "no host" and for "no list in
    // time"; the exit codes tell them apart.
    if (!connectHost(link, false)) return noHost();
    if (!makeBlockItemList(link, name, kListingTimeoutSeconds)) {
        std::fputs("velmora-tool: the host did not list the block in time; no thumbnail made\n", stderr);
        return kExitNothingMade;
    }
    DrawingStore store;
    const BlockItemCounts counts = readBlockItemList(store, link.programFolder / kBlockItemListName);
    if (!counts.result) {
        std::fputs("velmora-tool: the block's item list holds no items; no thumbnail made\n", stderr);
        return kExitNothingMade;
    }
    const Thumbnail thumbnail = makeThumbnail(store, size.width, size.height);
    saveBmpFile(thumbnail.bitmap, out);
    std::printf("%s\n%s\n", utf16ToUtf8(thumbnail.sizeText).c_str(),
                utf16ToUtf8(countText(counts.attributes, counts.items)).c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int runHost(const Args& args) {
    ParsedArgs parsed = parseArgs(args, {"--size"}, {});
    if (parsed.positional.empty()) throw UsageError("host takes blocks or thumbnail");
    RegistryWindowFunctions windows;
    HostLink link = defaultHostLink(windows);
    const std::string& what = parsed.positional[0];
    if (what == "blocks") {
        if (parsed.positional.size() != 1 || parsed.option("--size")) throw UsageError("host blocks takes no arguments");
        return runHostBlocks(link);
    }
    if (what == "thumbnail") {
        if (parsed.positional.size() != 3) throw UsageError("host thumbnail takes a block name and an output BMP file");
        const ImageSize size = parsed.option("--size") ? parseSize(*parsed.option("--size")) : ImageSize{};
        return runHostThumbnail(link, utf8ToUtf16(parsed.positional[1]), parsed.positional[2], size);
    }
    throw UsageError("unknown host command " + what);
}

}  // namespace velmora::tool
