// velmora-tool thumbnail run as a user runs it.
#include <array>
#include <cstdio>
#include <fstream>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "render/bmp_file.h"
#include "tests/render/golden_image.h"
#include "tests/support/temp_dir.h"

namespace velmora {
namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
};

std::string quote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs in the C locale, so the decimal separator is the point unless given.
ToolRun runTool(const std::vector<std::string>& args) {
    std::string command = "LC_ALL=C " + quote(std::string(VELMORA_BIN_DIR) + "/velmora-tool");
    for (const std::string& a : args) command += " " + quote(a);
    command += " 2>/dev/null";
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer;
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

const std::string kFlange = std::string(VELMORA_SOURCE_DIR) + "/samples/items/flange.txt";

TEST(ThumbnailTool, MakesTheSameBitmapAsTheWindowPath) {
    testsupport::TempDir dir;
    const ToolRun run = runTool({"thumbnail", kFlange, (dir / "f.bmp").string()});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "120.00 x 120.00\n属性 = 1 / 12\n");
    const Canvas made = loadBmpFile(dir / "f.bmp");
    const Canvas golden = loadBmpFile(testsupport::goldenPath("flange_items"));
    EXPECT_EQ(made.pixels(), golden.pixels());
    EXPECT_EQ(made.palette(), golden.palette());
}

TEST(ThumbnailTool, SizeAndDecimalSeparatorOptions) {
    testsupport::TempDir dir;
    // The item list's numbers are read with the same separator.
    const auto items = dir.write("comma.txt", "((0 . LINE) (8 . 0) (10 0,0 0,0 0,0) (11 12,5 2,25 0,0))\n");
    const ToolRun run = runTool({"thumbnail", items.string(), (dir / "f.bmp").string(), "--size", "200x150",
                                 "--decimal-separator", ","});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "12,50 x 2,25\n属性 = 0 / 1\n");
    const Canvas made = loadBmpFile(dir / "f.bmp");
    EXPECT_EQ(made.width(), 200);
    EXPECT_EQ(made.height(), 150);
}

TEST(ThumbnailTool, ExitCodes) {
    testsupport::TempDir dir;
    const auto out = (dir / "out.bmp").string();
    const auto empty = dir.write("empty.txt", "");
    EXPECT_EQ(runTool({"thumbnail", empty.string(), out}).exitCode, 3);
    EXPECT_EQ(runTool({"thumbnail", (dir / "missing.txt").string(), out}).exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(runTool({"thumbnail", kFlange}).exitCode, 2);
    EXPECT_EQ(runTool({"thumbnail", kFlange, out, "--size", "0x5"}).exitCode, 2);
    EXPECT_EQ(runTool({"thumbnail", kFlange, out, "--colour"}).exitCode, 2);
    EXPECT_EQ(runTool({"thumbnail", kFlange, (dir / "no/folder/x.bmp").string()}).exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    // The input as the output (named again through a link) is refused and kept.
    const auto items = dir.write("items.txt", "((0 . LINE) (10 0 0 0) (11 1 1 0))\r\n");
    std::filesystem::create_symlink(items, dir / "again.bmp");
    for (const std::string& output : {items.string(), (dir / "again.bmp").string()})
        EXPECT_EQ(runTool({"thumbnail", items.string(), output}).exitCode, 1) << output;
    EXPECT_EQ(readWholeFile(items), "((0 . LINE) (10 0 0 0) (11 1 1 0))\r\n");
}

}  // namespace
}  // namespace velmora
