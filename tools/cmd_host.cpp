#include <cstdio>
#include <filesystem>

#include "host/host_api.h"
#include "platform/text_fields.h"
#include "platform/utf.h"
#include "render/png_file.h"
#include "tools/block_thumbnail.h"
#include "tools/tool_args.h"
#include "tools/tool_commands.h"

namespace velmora::tool {
namespace {

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
    // Names may hold anything; control characters must not reach the terminal.
    for (const auto& name : listHostBlocks(*document))
        std::printf("%s\n", utf16ToUtf8(escapeControlCharacters(name)).c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// Whether the drawing open in the host has a block definition `name`, letter
// case of a to z ignored as the host's names are; true when that cannot be
// told, so that only a name known to be missing is reported as missing.
bool hostHasBlock(HostLink& link, const std::u16string& name) {
    auto folded = [](std::u16string s) {
        for (char16_t& c : s)
            if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
        return s;
    };
    try {
        auto application = connectHost(link, false);
        if (!application) return true;
        auto blocks = application->currentDocument()->blockCollection();
        const std::int32_t count = blocks->itemCount();
        for (std::int32_t i = 0; i < count; ++i)
            if (folded(queryInterface<HostBlock>(blocks->item(i))->blockName()) == folded(name)) return true;
        return false;
    } catch (const HostError&) {
        return true;
    }
}

// host thumbnail NAME OUT.bmp [--size WxH]: the listing script run in the
// host, then the thumbnail path of `thumbnail` on the item list it wrote.
int runHostThumbnail(HostLink& link, const std::u16string& name, const std::filesystem::path& out,
                     const ImageSize& size) {
    DrawingStore store;
    BlockThumbnail made;
    switch (thumbnailFromHost(link, store, name, kListingTimeoutSeconds, size.width, size.height, made)) {
        case HostThumbnailFailure::NoHost: return noHost();
        case HostThumbnailFailure::NotListed:
            std::fputs("velmora-tool: the host did not list the block in time; no thumbnail made\n", stderr);
            return kExitNothingMade;
        case HostThumbnailFailure::None: break;
    }
    if (!made.thumbnail) {
        if (!hostHasBlock(link, name))
            std::fprintf(stderr, "velmora-tool: the drawing has no block named \"%s\"; no thumbnail made\n",
                         utf16ToUtf8(escapeControlCharacters(name)).c_str());
        else
            std::fputs("velmora-tool: the block's item list holds no items; no thumbnail made\n", stderr);
        return kExitNothingMade;
    }
    saveImageFile(made.thumbnail->bitmap, out);
    std::printf("%s\n%s\n", utf16ToUtf8(made.thumbnail->sizeText).c_str(), utf16ToUtf8(made.countText).c_str());
    return std::fflush(stdout) == 0 ? kExitSuccess : kExitFailure;
}

}  // namespace

int runHost(const Args& args) {
    ParsedArgs parsed = parseArgs(args, {"--size"}, {});
    if (parsed.positional.empty()) throw UsageError("host takes blocks or thumbnail");
    const std::unique_ptr<WindowFunctions> windows = makePlatformWindowFunctions();
    HostLink link = platformHostLink(*windows);
    const std::string& what = parsed.positional[0];
    if (what == "blocks") {
        if (parsed.positional.size() != 1 || parsed.option("--size")) throw UsageError("host blocks takes no arguments");
        return runHostBlocks(link);
    }
    if (what == "thumbnail") {
        if (parsed.positional.size() != 3) throw UsageError("host thumbnail takes a block name and an output BMP file");
        const ImageSize size = parsed.option("--size") ? parseSize(*parsed.option("--size")) : ImageSize{};
        return runHostThumbnail(link, utf8ToUtf16(parsed.positional[1]), pathFromUtf8(parsed.positional[2]), size);
    }
    throw UsageError("unknown host command " + what);
}

}  // namespace velmora::tool
