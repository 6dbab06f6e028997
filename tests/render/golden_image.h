// Whole images guarded by golden BMP files in tests/render/golden/. On a
// mismatch the actual image is written to <build>/render-golden-actual/ for
// inspection. Run the tests with VELMORA_UPDATE_GOLDEN=1 to rewrite the
// golden files after a deliberate change, and look at them before committing.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "render/bmp_file.h"

namespace velmora::testsupport {

inline std::filesystem::path goldenPath(const std::string& name) {
    return std::filesystem::path(VELMORA_SOURCE_DIR) / "tests" / "render" / "golden" / (name + ".bmp");
}

inline std::filesystem::path actualPath(const std::string& name) {
    const auto dir = std::filesystem::path(VELMORA_BIN_DIR).parent_path() / "render-golden-actual";
    std::filesystem::create_directories(dir);
    return dir / (name + ".bmp");
}

// Pixels a comparison leaves out: [x0, x1) x [y0, y1).
struct PixelBox {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool contains(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

// `ignored` is where another text engine's glyphs may lie (the Windows
// build draws text with the system's font calls).
inline void expectMatchesGolden(const Canvas& actual, const std::string& name, PixelBox ignored = {}) {
    const char* update = std::getenv("VELMORA_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        saveBmpFile(actual, goldenPath(name));
        return;
    }
    std::ostringstream problem;
    try {
        const Canvas golden = loadBmpFile(goldenPath(name));
        if (golden.width() != actual.width() || golden.height() != actual.height()) {
            problem << "size " << actual.width() << " x " << actual.height() << ", golden "
                    << golden.width() << " x " << golden.height();
        } else if (golden.palette() != actual.palette()) {
            problem << "the palettes differ";
        } else {
            int differing = 0, firstX = -1, firstY = -1;
            for (int y = 0; y < actual.height(); ++y)
                for (int x = 0; x < actual.width(); ++x)
                    if (!ignored.contains(x, y) && golden.pixelIndex(x, y) != actual.pixelIndex(x, y) &&
                        differing++ == 0)
                        firstX = x, firstY = y;
            if (differing)
                problem << differing << " pixels differ, the first at (" << firstX << ", " << firstY << ")";
        }
    } catch (const BmpError& e) {
        problem << e.what();
    }
    if (problem.str().empty()) return;
    const auto written = actualPath(name);
    saveBmpFile(actual, written);
    ADD_FAILURE() << "golden image " << name << ": " << problem.str() << "; actual image written to "
                  << written;
}

}  // namespace velmora::testsupport
