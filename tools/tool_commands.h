// The subcommands of velmora-tool. Each returns the process exit code:
// 0 success, 2 usage error, 3 nothing drawn/made, 4 no host, 1 any other failure.
#pragma once

#include <string>
#include <vector>

namespace velmora::tool {

// Exit codes of the subcommands.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNothingMade = 3;  // no thumbnail, or the preview's failure cross
inline constexpr int kExitNoHost = 4;

using Args = std::vector<std::string>;  // arguments after the subcommand name

int runPreview(const Args& args);
int runThumbnail(const Args& args);
int runDump(const Args& args);
int runDumpItems(const Args& args);
int runHost(const Args& args);

}  // namespace velmora::tool
