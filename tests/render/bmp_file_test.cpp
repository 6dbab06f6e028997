#include "render/bmp_file.h"

#include <cstring>
#include <fstream>
#include <functional>
#include <random>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace velmora {
namespace {

using Bytes = std::vector<std::uint8_t>;

Canvas sampleCanvas(int w, int h, unsigned seed = 1) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * h);
    for (auto& p : pixels) p = static_cast<std::uint8_t>(random());
    return Canvas(w, h, defaultPalette(), std::move(pixels));
}

void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void expectSameCanvas(const Canvas& a, const Canvas& b) {
    EXPECT_EQ(a.width(), b.width());
    EXPECT_EQ(a.height(), b.height());
    EXPECT_EQ(a.palette(), b.palette());
    EXPECT_EQ(a.pixels(), b.pixels());
}

Bytes readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(BmpFile, EncodedLayout) {
    const Canvas c = sampleCanvas(5, 3);  // rows padded to 8 bytes
    const Bytes b = encodeBmp(c);
    ASSERT_EQ(b.size(), 14u + 40 + 1024 + 8 * 3);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(b[10], 0x36);  // pixels at 1078
    EXPECT_EQ(b[11], 0x04);
    EXPECT_EQ(b[28], 8);      // bits per pixel
    EXPECT_EQ(b[46 + 1], 1);  // 256 colours
    EXPECT_EQ(b[54 + 4 * 1 + 2], 0xFF);  // entry 1 red: B G R 0
    EXPECT_EQ(b[54 + 4 * 1], 0);
    // The first row in the file is the bottom row of the image.
    EXPECT_EQ(b[1078], c.pixelIndex(0, 2));
    EXPECT_EQ(b[1078 + 8], c.pixelIndex(0, 1));
    EXPECT_EQ(b[1078 + 5], 0);  // padding
}

TEST(BmpFile, RoundTripsBitForBit) {
    for (auto [w, h] : {std::pair{120, 100}, {1, 1}, {7, 3}, {4, 9}}) {
        const Canvas c = sampleCanvas(w, h, static_cast<unsigned>(w * 31 + h));
        const Bytes first = encodeBmp(c);
        const Canvas back = decodeBmp(first);
        expectSameCanvas(back, c);
        EXPECT_EQ(encodeBmp(back), first);
    }
    testsupport::TempDir dir;
    const Canvas c = sampleCanvas(33, 17);
    saveBmpFile(c, dir / "t.bmp");
    EXPECT_EQ(readFile(dir / "t.bmp"), encodeBmp(c));
    expectSameCanvas(loadBmpFile(dir / "t.bmp"), c);
    saveBmpFile(sampleCanvas(2, 2), dir / "t.bmp");  // replaces the old file
    EXPECT_EQ(loadBmpFile(dir / "t.bmp").width(), 2);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(BmpFile, ReadsOtherWellFormedVariants) {
    const Canvas c = sampleCanvas(3, 2);
    // Top-down rows.
    Bytes topDown = encodeBmp(c);
    put32(topDown, 22, static_cast<std::uint32_t>(-2));
    std::swap_ranges(topDown.begin() + 1078, topDown.begin() + 1082, topDown.begin() + 1082);
    expectSameCanvas(decodeBmp(topDown), c);

    // A short colour table: two entries, the rest black; image size left 0.
    const Canvas twoColours(3, 2, defaultPalette(), {0, 1, 1, 1, 0, 0});
    Bytes b = encodeBmp(twoColours);
    b.erase(b.begin() + 54 + 8, b.begin() + 1078);
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    put32(b, 10, 54 + 8);
    put32(b, 46, 2);
    put32(b, 34, 0);
    const Canvas read = decodeBmp(b);
    EXPECT_EQ(read.pixels(), twoColours.pixels());
    EXPECT_EQ(read.palette()[1], 0x0000FFu);
    EXPECT_EQ(read.palette()[2], 0u);

    // A 108-byte header, with a gap before the pixels.
    Bytes v4 = encodeBmp(c);
    put32(v4, 14, 108);
    v4.insert(v4.begin() + 54, 68, 0);
    v4.insert(v4.begin() + 1078 + 68, 12, 0xEE);
    put32(v4, 2, static_cast<std::uint32_t>(v4.size()));
    put32(v4, 10, 1078 + 80);
    expectSameCanvas(decodeBmp(v4), c);
}

TEST(BmpFile, RefusesEveryTruncation) {
    const Bytes good = encodeBmp(sampleCanvas(3, 2));
    for (std::size_t n = 0; n < good.size(); ++n) {
        const Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_THROW(decodeBmp(cut), BmpError) << n << " bytes";
        Bytes honest = cut;  // a file size field that agrees does not help
        if (honest.size() >= 6) put32(honest, 2, static_cast<std::uint32_t>(honest.size()));
        EXPECT_THROW(decodeBmp(honest), BmpError) << n << " bytes";
    }
}

TEST(BmpFile, RefusesLyingAndForeignHeaders) {
    const Bytes good = encodeBmp(sampleCanvas(3, 2));
    const std::pair<const char*, std::function<void(Bytes&)>> cases[] = {
        {"magic", [](Bytes& b) { b[0] = 'P'; }},
        {"file size too large", [](Bytes& b) { put32(b, 2, static_cast<std::uint32_t>(b.size() + 1)); }},
        {"file size too small", [](Bytes& b) { put32(b, 2, 100); }},
        {"trailing bytes", [](Bytes& b) { b.push_back(0); put32(b, 2, static_cast<std::uint32_t>(b.size())); }},
        {"reserved", [](Bytes& b) { b[6] = 1; }},
        {"core header", [](Bytes& b) { put32(b, 14, 12); }},
        {"huge header", [](Bytes& b) { put32(b, 14, 0xFFFFFFF0u); }},
        {"zero width", [](Bytes& b) { put32(b, 18, 0); }},
        {"negative width", [](Bytes& b) { put32(b, 18, static_cast<std::uint32_t>(-3)); }},
        {"width beyond the limit", [](Bytes& b) { put32(b, 18, 10001); }},
        {"wider than the data", [](Bytes& b) { put32(b, 18, 300); }},
        {"zero height", [](Bytes& b) { put32(b, 22, 0); }},
        {"most negative height", [](Bytes& b) { put32(b, 22, 0x80000000u); }},
        {"taller than the data", [](Bytes& b) { put32(b, 22, 3); }},
        {"planes", [](Bytes& b) { put16(b, 26, 2); }},
        {"24 bits", [](Bytes& b) { put16(b, 28, 24); }},
        {"4 bits", [](Bytes& b) { put16(b, 28, 4); }},
        {"run-length", [](Bytes& b) { put32(b, 30, 1); }},
        {"bit fields", [](Bytes& b) { put32(b, 30, 3); }},
        {"image size", [](Bytes& b) { put32(b, 34, 7); }},
        {"too many colours", [](Bytes& b) { put32(b, 46, 257); }},
        {"important colours", [](Bytes& b) { put32(b, 46, 16); put32(b, 50, 17); }},
        {"pixels inside the table", [](Bytes& b) { put32(b, 10, 1000); }},
        {"pixels past the end", [](Bytes& b) { put32(b, 10, 0xFFFFFFFFu); }},
        {"pixel beyond the table", [](Bytes& b) {
             put32(b, 46, 16);
             b[1078] = 16;
         }},
    };
    for (const auto& [name, mutate] : cases) {
        Bytes b = good;
        mutate(b);
        try {
            decodeBmp(b);
            ADD_FAILURE() << name << " was accepted";
        } catch (const BmpError& e) {
            EXPECT_NE(std::strstr(e.what(), "not a usable BMP file"), nullptr) << name;
        }
    }
}

TEST(BmpFile, LoadRefusesMissingFoldersAndForeignFiles) {
    testsupport::TempDir dir;
    EXPECT_THROW(loadBmpFile(dir / "missing.bmp"), BmpError);
    EXPECT_THROW(loadBmpFile(dir.path()), BmpError);
    const auto text = dir.write("text.bmp", "just some text, not an image at all, long enough for headers...");
    try {
        loadBmpFile(text);
        ADD_FAILURE() << "a text file was accepted";
    } catch (const BmpError& e) {
        EXPECT_NE(std::string(e.what()).find("text.bmp"), std::string::npos);
    }
}

TEST(BmpFile, SaveFailureLeavesNoFile) {
    testsupport::TempDir dir;
    EXPECT_ANY_THROW(saveBmpFile(sampleCanvas(2, 2), dir / "no" / "such" / "folder.bmp"));
    std::filesystem::create_directory(dir / "taken");
    EXPECT_ANY_THROW(saveBmpFile(sampleCanvas(2, 2), dir / "taken"));  // a folder is in the way
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace velmora
