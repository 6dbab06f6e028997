// velmora-tool dump-items run as a user runs it.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

#include "tools/store_json.h"
#include "tests/support/temp_dir.h"

using namespace velmora;

namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string quote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

ToolRun runTool(const std::vector<std::string>& args) {
    testsupport::TempDir scratch;
    // The C locale: the default decimal separator is then the point.
    std::string command = "LC_ALL=C " + quote(std::string(VELMORA_BIN_DIR) + "/velmora-tool");
    for (const std::string& a : args) command += " " + quote(a);
    command += " 2>" + quote((scratch / "stderr").string());
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 65536> buffer;
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) run.out.append(buffer.data(), n);
    int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::FILE* err = std::fopen((scratch / "stderr").c_str(), "rb");
    if (err) {
        for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), err)) > 0;)
            run.err.append(buffer.data(), n);
        std::fclose(err);
    }
    return run;
}

const std::string kSample = std::string(VELMORA_SOURCE_DIR) + "/samples/items/flange.txt";

// The exit code of velmora-tool with its address space capped at `capMiB`
// and its output thrown away.
int exitUnderMemoryCap(const std::vector<std::string>& args, std::size_t capMiB) {
    std::string command = "ulimit -v " + std::to_string(capMiB * 1024) + " && LC_ALL=C " +
                          quote(std::string(VELMORA_BIN_DIR) + "/velmora-tool");
    for (const std::string& a : args) command += " " + quote(a);
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(DumpItems, BundledSamplePrintsTheStoreAndCounts) {
    ToolRun run = runTool({"dump-items", kSample});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    StoreJson json = StoreJson::parse(run.out);
    EXPECT_EQ(json["counts"], StoreJson::parse(R"({"result": true, "lines": 2, "arcs": 1, "circles": 6,
        "polylines": 1, "attributes": 1, "items": 12})"));
    EXPECT_EQ(json.size(), 28u);  // 25 tables, dwgCodePage, drawingExtents, counts
    EXPECT_EQ(json["modelLines"].size(), 2u);
    EXPECT_EQ(json["modelLines"][0]["layer"], "\xE4\xB8\xAD\xE5\xBF\x83\xE7\xB7\x9A");  // 中心線 from code page 932
    EXPECT_EQ(json["modelLines"][0]["st"], StoreJson::parse("[-60.0, 0.0, 0.0]"));
    EXPECT_EQ(json["modelLines"][0]["code210"], StoreJson::parse("[0.0, 0.0, 0.0]"));
    EXPECT_NEAR(json["modelArcs"][0]["st"].get<double>(), 22.5, 1e-9);
    EXPECT_NEAR(json["modelArcs"][0]["ed"].get<double>(), 67.5, 1e-9);
    EXPECT_EQ(json["modelLwpVertices"].size(), 4u);
    EXPECT_EQ(json["modelLwpVertices"][1]["code42"], 1.0);
    EXPECT_TRUE(json["layers"].empty());
    EXPECT_EQ(json["dwgCodePage"], "");
}

TEST(DumpItems, NormalizedTurnsPolylinesAndCurvesIntoLines) {
    ToolRun plain = runTool({"dump-items", kSample});
    ToolRun run = runTool({"dump-items", kSample, "--normalized"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    StoreJson json = StoreJson::parse(run.out);
    EXPECT_TRUE(json["modelLwps"].empty());
    EXPECT_TRUE(json["modelLwpVertices"].empty());
    EXPECT_GT(json["modelLines"].size(), StoreJson::parse(plain.out)["modelLines"].size());
    EXPECT_EQ(json["counts"]["lines"], 2);  // the counts are the reader's
    // The extents the thumbnail fits ("120.00 x 120.00"); the rows have their pens.
    const StoreJson& extents = json["drawingExtents"];
    EXPECT_NEAR(extents[1][0].get<double>() - extents[0][0].get<double>(), 120, 1e-9);
    EXPECT_NEAR(extents[1][1].get<double>() - extents[0][1].get<double>(), 120, 1e-9);
    EXPECT_EQ(StoreJson::parse(plain.out)["drawingExtents"], StoreJson::parse("[[0.0, 0.0, 0.0], [0.0, 0.0, 0.0]]"));
}

// dump --normalized prints the extents the preview fits, as dump-items does.
TEST(Dump, NormalizedPrintsTheExtentsThePreviewFits) {
    testsupport::TempDir dir;
    auto file = dir.write("line.dxf", "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n-2\n20\n1\n11\n10\n21\n5\n0\nENDSEC\n0\nEOF\n");
    ToolRun run = runTool({"dump", file.string(), "--normalized"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(StoreJson::parse(run.out)["drawingExtents"], StoreJson::parse("[[-2.0, 1.0, 0.0], [10.0, 5.0, 0.0]]"));
}

TEST(DumpItems, DecimalSeparatorOption) {
    testsupport::TempDir dir;
    auto file = dir.write("items.txt", "((0 . CIRCLE) (10 1,5 -2,25 0) (40 . 0,5))\r\n");
    ToolRun comma = runTool({"dump-items", file.string(), "--decimal-separator", ","});
    ASSERT_EQ(comma.exitCode, 0) << comma.err;
    StoreJson json = StoreJson::parse(comma.out);
    EXPECT_EQ(json["modelCircles"][0]["center"], StoreJson::parse("[1.5, -2.25, 0.0]"));
    EXPECT_EQ(json["modelCircles"][0]["hankei"], 0.5);

    ToolRun point = runTool({"dump-items", file.string(), "--decimal-separator", "."});
    EXPECT_EQ(StoreJson::parse(point.out)["modelCircles"][0]["hankei"], 0.0);
}

TEST(DumpItems, MissingFileIsAnErrorAndEmptyFileIsNoResult) {
    testsupport::TempDir dir;
    ToolRun missing = runTool({"dump-items", (dir / "nothing.txt").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_NE(missing.err.find("nothing.txt"), std::string::npos);

    ToolRun empty = runTool({"dump-items", dir.write("empty.txt", "").string()});
    ASSERT_EQ(empty.exitCode, 0) << empty.err;
    StoreJson json = StoreJson::parse(empty.out);
    EXPECT_EQ(json["counts"]["result"], false);
    EXPECT_EQ(json["counts"]["items"], 0);
    EXPECT_TRUE(json["modelLines"].empty());
}

TEST(DumpItems, BadInputGivesAClearErrorNotACrash) {
    testsupport::TempDir dir;
    ToolRun overflow = runTool({"dump-items", dir.write("big.txt", "((0 . CIRCLE) (40 . 1e400))\r\n").string()});
    EXPECT_EQ(overflow.exitCode, 1);
    EXPECT_NE(overflow.err.find("overflow"), std::string::npos);

    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage.push_back(static_cast<char>((i * 7919) % 256));
    ToolRun binary = runTool({"dump-items", dir.write("garbage.bin", garbage).string()});
    EXPECT_EQ(binary.exitCode, 0) << binary.err;
    EXPECT_TRUE(StoreJson::accept(binary.out));
}

TEST(DumpItems, UsageErrorsExitWith2) {
    EXPECT_EQ(runTool({"dump-items"}).exitCode, 2);
    EXPECT_EQ(runTool({"dump-items", kSample, "--size", "10x10"}).exitCode, 2);
    EXPECT_EQ(runTool({"dump-items", kSample, "--decimal-separator", "ab"}).exitCode, 2);
    EXPECT_EQ(runTool({"dump-items", kSample, kSample}).exitCode, 2);
}

// Item lists built to exhaust memory are read within the rows they make plus
// a little more than the file: the cap is three times the rows (a table may
// hold twice its rows while it grows), twice the file and 256 MiB for the
// program itself; each case took gigabytes once.
TEST(DumpItems, HostileItemListsStayWithinAMemoryCap) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's shadow memory does not fit an address space cap";
#endif
    constexpr std::size_t kMiB = 1 << 20;
    testsupport::TempDir dir;
    struct Case {
        const char* name;
        std::string text;
        std::size_t rowBytes;
    };
    const std::string line = "(0 . LINE)\n";
    const std::string polyline = "((0 . LWPOLYLINE) (90 . 2147483647) (10 1 2))\n";
    const std::vector<Case> cases = {
        {"spaces", "(10" + std::string(20 * kMiB, ' '), 0},
        {"vertices", [&] { std::string t; while (t.size() < 2 * kMiB) t += polyline; return t; }(),
         2 * kMiB / 4 * sizeof(TLwpVer) + 2 * kMiB / polyline.size() * sizeof(TLwpBlk)},
        {"lines", [&] { std::string t; while (t.size() < 5 * kMiB) t += line; return t; }(),
         5 * kMiB / line.size() * sizeof(TAcadLineBlk)},
    };
    for (const Case& c : cases) {
        const std::size_t capMiB = (3 * c.rowBytes + 2 * c.text.size()) / kMiB + 256;
        EXPECT_EQ(exitUnderMemoryCap({"dump-items", dir.write(c.name, c.text).string()}, capMiB), 0)
            << c.name << " under " << capMiB << " MiB";
    }
}
