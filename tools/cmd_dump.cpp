#include <cstdio>
#include <iostream>

#include "dxf/dxf_preview.h"
#include "dxf/dxf_probes.h"
#include "geometry/normalization_sequence.h"
#include "render/extents.h"
#include "render/pen_resolution.h"
#include "platform/files.h"
#include "platform/utf.h"
#include "tools/dxf_messages.h"
#include "tools/store_json.h"
#include "tools/tool_args.h"
#include "tools/tool_commands.h"

namespace velmora::tool {

// dump FILE [--normalized] [--decimal-separator C]: the store as the preview
// reads the file (probes, the encoding its version calls for, the reader),
// with the reader's "status" and "version". A binary file is not read and
// gives the status "binary"; a version probe that fails gives "error". The
// extension is not checked, so any DXF text can be dumped.
int runDump(const Args& args) {
    ParsedArgs parsed = parseArgs(args, {"--decimal-separator"}, {"--normalized"});
    if (parsed.positional.size() != 1) throw UsageError("dump takes one DXF file");
    applyDecimalSeparator(parsed);
    const std::filesystem::path file = pathFromUtf8(parsed.positional[0]);
    if (!requireInputFile(file, "DXF file")) return kExitFailure;
    DrawingStore store;
    std::u16string status, version;
    StderrDxfMessages messages;
    if (isBinaryDrawingFile(file)) {
        status = u"binary";
    } else if (!readAcadVersion(file, version)) {
        status = u"error";
    } else {
        const DxfEncoding encoding = dxfVersionIsUtf8(version) ? DxfEncoding::Utf8 : DxfEncoding::Ansi;
        readDxfFile(store, file, nullptr, &messages, status, encoding, version);
    }
    if (parsed.flag("--normalized") && status.empty()) {
        normalizeDrawingForPreview(store, {}, [](const std::string& text) { printNotice(text); });
        computeExtents(store);  // what the preview fits and draws with
        resolvePens(store);
    }
    const StoreJson trailer = {{"status", utf16ToUtf8(status)}, {"version", utf16ToUtf8(version)}};
    writeStoreJson(std::cout, store, trailer);
    std::cout.flush();
    return std::cout.good() ? 0 : 1;
}

}  // namespace velmora::tool
