// velmora-tool host blocks / host thumbnail against a started velmora-hostsim
// registered as "nanoCAD 5" in a private runtime directory.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/support/hostsim_process.h"
#include "platform/utf.h"
#include "render/bmp_file.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int exit = -1;
    std::string out;
};

// The tool's standard output, with its error output too when `errors` is set.
ToolRun runTool(const fs::path& runtimeDir, const std::string& args, bool errors = false) {
    std::string command = "XDG_RUNTIME_DIR='" + runtimeDir.string() + "' '" +
                          (fs::path(VELMORA_BIN_DIR) / "velmora-tool").string() + "' " + args +
                          (errors ? " 2>&1" : " 2>/dev/null");
    ToolRun run;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) run.out.append(chunk, n);
    int status = ::pclose(pipe);
    run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

HostSimOptions sampleHost() {
    HostSimOptions options;
    options.drawing = fs::path(VELMORA_SOURCE_DIR) / "samples" / "sample.dxf";
    options.title = kHostWindowTitle;
    return options;
}

TEST(HostTool, BlocksAndThumbnailOfTheSample) {
    HostSimProcess host(sampleHost());
    ToolRun blocks = runTool(host.runtimeDir(), "host blocks");
    EXPECT_EQ(blocks.exit, 0);
    EXPECT_EQ(blocks.out.substr(0, 27), "door\nwindow_w900\nボルト\n");
    EXPECT_EQ(std::count(blocks.out.begin(), blocks.out.end(), '\n'), 20);

    fs::path bmp = host.runtimeDir() / "door.bmp";
    ToolRun thumbnail = runTool(host.runtimeDir(), "host thumbnail door '" + bmp.string() + "' --size 60x50");
    EXPECT_EQ(thumbnail.exit, 0);
    // The swing arc is on the layer that is off: it is not drawn, as in the window.
    EXPECT_EQ(thumbnail.out, "40.00 x 900.00\n属性 = 0 / 4\n");
    Canvas image = loadBmpFile(bmp);
    EXPECT_EQ(image.width(), 60);
    EXPECT_EQ(image.height(), 50);

    // A block with nothing to draw, and a name the drawing has no block of: told apart.
    const ToolRun empty = runTool(host.runtimeDir(), "host thumbnail empty-block '" + bmp.string() + "'", true);
    EXPECT_EQ(empty.exit, 3);
    EXPECT_NE(empty.out.find("holds no items"), std::string::npos) << empty.out;
    const ToolRun missing = runTool(host.runtimeDir(), "host thumbnail nosuch '" + bmp.string() + "'", true);
    EXPECT_EQ(missing.exit, 3);
    EXPECT_NE(missing.out.find("the drawing has no block named \"nosuch\""), std::string::npos) << missing.out;
    EXPECT_EQ(runTool(host.runtimeDir(), "host thumbnail").exit, 2);
    host.stop();
    EXPECT_EQ(runTool(host.runtimeDir(), "host blocks").exit, 4);
    EXPECT_EQ(runTool(host.runtimeDir(), "host thumbnail door '" + bmp.string() + "'").exit, 4);
}

}  // namespace
}  // namespace velmora
