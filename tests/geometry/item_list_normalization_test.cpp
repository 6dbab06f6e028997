// An item list as the listing script writes it, read and normalised: what is
// left for the renderer is lines, plus the arcs and circles marked converted.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "geometry/normalization_sequence.h"
#include "host/block_item_list.h"

using namespace velmora;

namespace {

class ItemListFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("velmora-geometry-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path write(const std::string& text) {
        std::filesystem::path file = dir_ / kBlockItemListName;
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }

private:
    std::filesystem::path dir_;
};

}  // namespace

TEST_F(ItemListFile, ReadAndNormalisedLeavesLinesAndMarkedCurves) {
    const std::filesystem::path file = write(
        "((0 . CIRCLE) (8 . 0) (10 0.0 0.0 0.0) (40 . 50.0) (210 0.0 0.0 1.0))\r\n"
        "((0 . LINE) (8 . 0) (62 . 1) (10 -60.0 0.0 0.0) (11 60.0 0.0 0.0))\r\n"
        "((0 . ARC) (8 . 0) (10 0.0 0.0 0.0) (40 . 35.0) (50 . 0.0) (51 . 1.5707963267948966))\r\n"
        "((0 . LWPOLYLINE) (8 . 0) (90 . 4) (70 . 1) (10 -8.0 -4.0) (42 . 0.0) (10 8.0 -4.0) "
        "(42 . 1.0) (10 8.0 4.0) (42 . 0.0) (10 -8.0 4.0) (42 . 1.0))\r\n"
        "((0 . ATTDEF) (8 . 0) (10 -40.0 -60.0 0.0) (40 . 5.0) (1 . F-100) (2 . PART))\r\n");

    DrawingStore store;
    BlockItemCounts counts = readBlockItemList(store, file);
    ASSERT_TRUE(counts.result);
    ASSERT_EQ(counts.polylines, 1);
    normalizeDrawing(store);

    EXPECT_TRUE(store.modelLwps.empty());
    EXPECT_TRUE(store.modelLwpVertices.empty());
    EXPECT_TRUE(store.modelTexts.empty());
    // The reader leaves the extrusion at (0, 0, 0): every curve becomes chords.
    ASSERT_EQ(store.modelCircles.size(), 1u);
    ASSERT_EQ(store.modelArcs.size(), 1u + 2u);
    for (const TCircleBlk& c : store.modelCircles) EXPECT_EQ(c.code67, -1);
    for (const TArcBlk& a : store.modelArcs) EXPECT_EQ(a.code67, -1);
    // Line, 2 straight polyline sides, 37 circle chords, 10 for the quarter
    // arc, 19 for each half circle of the polyline.
    EXPECT_EQ(store.modelLines.size(), 1u + 2u + 37u + 10u + 2u * 19u);
    for (const TAcadLineBlk& line : store.modelLines) EXPECT_EQ(line.code67, 0);
}
