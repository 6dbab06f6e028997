// velmora-tool.exe of the Windows build, run under Wine, against this
// build's velmora-tool on the bundled item lists. run-tests runs it after the
// Windows build, naming the .exe in VELMORA_WINDOWS_TOOL; without it the test
// is skipped.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/support/temp_dir.h"
#include "tools/store_json.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::string run(const std::string& command) {
    std::string out;
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe) return out;
    std::array<char, 65536> buffer;
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) out.append(buffer.data(), n);
    pclose(pipe);
    return out;
}

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The two documents alike: the same members, texts and integers, and reals equal
// but for the residues of sines and cosines at right angles. The Windows C
// library computes long double sines and cosines with the x87 instructions,
// which reduce the angle with a 66-bit pi: where the exact result is 0 (a
// chord end straight above or beside its centre) the two libraries leave
// different residues of about 1e-16 times the radius. Drawings lie far above
// that, so an absolute 1e-12 separates such residues from real differences.
void expectAlike(const StoreJson& windows, const StoreJson& here, const std::string& where, int& residues) {
    if (windows.is_number_float() && here.is_number_float()) {
        const double a = windows.get<double>(), b = here.get<double>();
        if (a == b) return;
        EXPECT_LT(std::fabs(a - b), 1e-12) << where << ": " << a << " against " << b;
        ++residues;
        return;
    }
    ASSERT_EQ(windows.type(), here.type()) << where;
    if (windows.is_structured()) {
        ASSERT_EQ(windows.size(), here.size()) << where;
        auto a = windows.begin();
        for (auto b = here.begin(); b != here.end(); ++a, ++b)
            expectAlike(*a, *b, where + "/" + (windows.is_object() ? a.key() : "[]"), residues);
        return;
    }
    EXPECT_EQ(windows, here) << where;
}

TEST(WindowsTool, SameThumbnailsAndDumpsAsThisBuild) {
    const char* exe = std::getenv("VELMORA_WINDOWS_TOOL");
    if (!exe || !fs::exists(exe)) GTEST_SKIP() << "no Windows build named in VELMORA_WINDOWS_TOOL";
    const std::string windows = "WINEDEBUG=-all wine '" + std::string(exe) + "'";
    const std::string here = "'" + std::string(VELMORA_BIN_DIR) + "/velmora-tool'";
    testsupport::TempDir dir;
    const fs::path source(VELMORA_SOURCE_DIR);
    for (const fs::path& items : {source / "samples/items/flange.txt", source / "fuzz/corpus/item_list/edge_cases.txt",
                                  source / "fuzz/corpus/item_list/utf16le.txt",
                                  source / "fuzz/corpus/item_list/utf8_quoted.txt"}) {
        SCOPED_TRACE(items.filename().string());
        const std::string args = " '" + items.string() + "' ";
        const std::string texts = run(windows + " thumbnail" + args + "'" + (dir / "w.bmp").string() + "'");
        EXPECT_EQ(texts, run(here + " thumbnail" + args + "'" + (dir / "l.bmp").string() + "'"));
        EXPECT_EQ(readBytes(dir / "w.bmp"), readBytes(dir / "l.bmp"));  // no pixel differs

        int residues = 0;
        const StoreJson w = StoreJson::parse(run(windows + " dump-items" + args + "--normalized"));
        const StoreJson l = StoreJson::parse(run(here + " dump-items" + args + "--normalized"));
        expectAlike(w, l, "", residues);
        std::printf("%s: %d reals differ by residues\n", items.filename().string().c_str(), residues);
    }
}

}  // namespace
}  // namespace velmora
