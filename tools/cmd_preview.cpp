#include <cstdio>
#include <filesystem>

#include "dxf/dxf_preview.h"
#include "platform/files.h"
#include "platform/utf.h"
#include "render/png_file.h"
#include "tools/dxf_messages.h"
#include "tools/tool_args.h"
#include "tools/tool_commands.h"

namespace velmora::tool {

// preview FILE OUT [--size WxH] [--decimal-separator C]: the DXF file preview
// into a BMP, or a PNG when OUT ends in .png. Exit 0 when the drawing was
// drawn, 3 when the failure cross was drawn; a missing file is an error (1).
int runPreview(const Args& args) {
    ParsedArgs parsed = parseArgs(args, {"--size", "--decimal-separator"}, {});
    if (parsed.positional.size() != 2) throw UsageError("preview takes a DXF file and an output image file");
    applyDecimalSeparator(parsed);
    const ImageSize size = parsed.option("--size") ? parseSize(*parsed.option("--size")) : ImageSize{};
    const std::filesystem::path file = pathFromUtf8(parsed.positional[0]), out = pathFromUtf8(parsed.positional[1]);
    if (!requireInputFile(file, "DXF file") || !requireOtherOutput(file, out)) return kExitFailure;
    DrawingStore store;
    Canvas image(size.width, size.height);
    StderrDxfMessages messages;
    DxfPreviewHooks hooks;
    hooks.ownerWindow = &messages;
    hooks.notice = printNotice;
    DxfPreviewView view;
    const bool drawn = drawDxfPreview(store, file, image, hooks, view);
    saveImageFile(image, out);
    return drawn ? 0 : 3;
}

}  // namespace velmora::tool
