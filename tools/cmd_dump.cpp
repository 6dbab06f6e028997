#include <cstdio>

#include "tools/tool_commands.h"

namespace velmora::tool {

int runDump(const Args&) {
    std::fputs("velmora-tool: dump is not available in this build\n", stderr);
    return 1;
}

}  // namespace velmora::tool
