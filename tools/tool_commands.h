// The subcommands of velmora-tool. Each returns the process exit code:
// 0 success, 2 usage error, 3 nothing drawn/made, 4 no host, 1 any other failure.
#pragma once

#include <string>
#include <vector>

namespace velmora::tool {

using Args = std::vector<std::string>;  // arguments after the subcommand name

int runPreview(const Args& args);
int runThumbnail(const Args& args);
int runDump(const Args& args);
int runDumpItems(const Args& args);
int runHost(const Args& args);

}  // namespace velmora::tool
