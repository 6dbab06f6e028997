#include <cstdio>
#include <iostream>

#include "geometry/normalization_sequence.h"
#include "render/extents.h"
#include "render/pen_resolution.h"
#include "host/block_item_list.h"
#include "platform/files.h"
#include "platform/utf.h"
#include "tools/store_json.h"
#include "tools/tool_args.h"
#include "tools/tool_commands.h"

namespace velmora::tool {

// dump-items ITEMS [--normalized] [--decimal-separator C]: the store after
// reading an item list, plus the reader's counts. A missing file is an error
// (exit 1): the reader would only report "no items", which hides a mistyped
// path; an existing empty file prints result false and exits 0.
int runDumpItems(const Args& args) {
    ParsedArgs parsed = parseArgs(args, {"--decimal-separator"}, {"--normalized"});
    if (parsed.positional.size() != 1) throw UsageError("dump-items takes one item list file");
    applyDecimalSeparator(parsed);
    const std::filesystem::path file = pathFromUtf8(parsed.positional[0]);
    if (!requireInputFile(file, "item list file")) return kExitFailure;

    DrawingStore store;
    BlockItemCounts counts = readBlockItemList(store, file);
    if (parsed.flag("--normalized")) {
        normalizeDrawing(store);
        computeExtents(store);  // what the thumbnail fits and draws with
        resolvePens(store);
    }

    const StoreJson trailer = {{"counts",
                                {{"result", counts.result},
                                 {"lines", counts.lines},
                                 {"arcs", counts.arcs},
                                 {"circles", counts.circles},
                                 {"polylines", counts.polylines},
                                 {"attributes", counts.attributes},
                                 {"items", counts.items}}}};
    writeStoreJson(std::cout, store, trailer);
    std::cout.flush();
    return std::cout.good() ? 0 : 1;
}

}  // namespace velmora::tool
