#include <cstdio>

#include "tools/tool_commands.h"

namespace velmora::tool {

int runHost(const Args&) {
    std::fputs("velmora-tool: host is not available in this build\n", stderr);
    return 1;
}

}  // namespace velmora::tool
