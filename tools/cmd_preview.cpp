#include <cstdio>

#include "tools/tool_commands.h"

namespace velmora::tool {

int runPreview(const Args&) {
    std::fputs("velmora-tool: preview is not available in this build\n", stderr);
    return 1;
}

}  // namespace velmora::tool
