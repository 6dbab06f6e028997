#include <cstdio>

#include "tools/tool_commands.h"

namespace velmora::tool {

int runThumbnail(const Args&) {
    std::fputs("velmora-tool: thumbnail is not available in this build\n", stderr);
    return 1;
}

}  // namespace velmora::tool
