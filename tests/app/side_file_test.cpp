#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/side_file.h"

namespace velmora {
namespace {
namespace fs = std::filesystem;

class SideFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("velmora-side-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        file = dir / "velmora.csv";
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string bytes() const {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    fs::path dir;
    fs::path file;
};

TEST_F(SideFileTest, StoreFindRemoveThroughTheFile) {
    EXPECT_EQ(findSideFileRow(file, u"door").index, -1);
    removeSideFileRow(file, u"door");  // no file: nothing happens
    EXPECT_FALSE(fs::exists(file));

    storeSideFileRow(file, u"door", 150, 2, u"3.00 x 4.00");
    storeSideFileRow(file, u"ドア", 7, 0, u"1.00 x 1.00");
    EXPECT_EQ(bytes(), "DOOR\t150\t2\t3.00 x 4.00\r\n\x83h\x83\x41\t7\t0\t1.00 x 1.00\r\n");

    storeSideFileRow(file, u"Door", 151, 3, u"5.00 x 6.00");
    SideFileRow row = findSideFileRow(file, u"DOOR");
    EXPECT_EQ(row.index, 0);
    EXPECT_EQ(row.entityCount, 151);
    EXPECT_EQ(row.attributeCount, 3);
    EXPECT_EQ(row.sizeText, u"5.00 x 6.00");
    EXPECT_EQ(findSideFileRow(file, u"ドア").index, 1);

    removeSideFileRow(file, u"door");
    EXPECT_EQ(findSideFileRow(file, u"door").index, -1);
    EXPECT_EQ(findSideFileRow(file, u"ドア").index, 0);
    for (const auto& entry : fs::directory_iterator(dir)) EXPECT_EQ(entry.path(), file);  // no temporary left
}

TEST_F(SideFileTest, ReadsRowsWrittenByOthers) {
    std::ofstream(file, std::ios::binary) << "\xEF\xBB\xBF" << "garbage\n\"ab\tc\"\t4\t1\t2,00 x 3,00\rlast\t1\t1";
    EXPECT_EQ(findSideFileRow(file, u"ab\tc").entityCount, 4);
    EXPECT_EQ(findSideFileRow(file, u"ab\tc").sizeText, u"2,00 x 3,00");
    EXPECT_EQ(findSideFileRow(file, u"last").index, -1);  // three fields only
    storeSideFileRow(file, u"last", 9, 9, u"x");           // but replaced
    EXPECT_EQ(findSideFileRow(file, u"last").index, 2);
    EXPECT_EQ(findSideFileRow(file, u"garbage").index, -1);
}

TEST_F(SideFileTest, NamesTheCodePageCannotHoldAreRefusedAndTheFileKept) {
    storeSideFileRow(file, u"door", 1, 0, u"x");
    const std::string before = bytes();
    EXPECT_THROW(storeSideFileRow(file, u"a😀", 1, 0, u"x"), SideFileError);
    EXPECT_THROW(storeSideFileRow(file, u"two\r\nlines", 1, 0, u"x"), SideFileError);
    EXPECT_EQ(findSideFileRow(file, u"a😀").index, -1);
    removeSideFileRow(file, u"a😀");
    EXPECT_EQ(bytes(), before);
    storeSideFileRow(file, u"what?", 1, 0, u"x");  // a real "?" is fine
    EXPECT_EQ(findSideFileRow(file, u"what?").index, 1);
}

TEST_F(SideFileTest, UnwritableLocationRaisesAndCreatesNothing) {
    const fs::path missing = dir / "no-such-folder" / "velmora.csv";
    EXPECT_THROW(storeSideFileRow(missing, u"door", 1, 0, u"x"), SideFileError);
    EXPECT_FALSE(fs::exists(missing.parent_path()));
    fs::create_directories(dir / "folder.csv");
    EXPECT_EQ(findSideFileRow(dir / "folder.csv", u"door").index, -1);  // a folder is no side file
    EXPECT_THROW(storeSideFileRow(dir / "folder.csv", u"door", 1, 0, u"x"), SideFileError);
    EXPECT_TRUE(fs::is_directory(dir / "folder.csv"));
}

}  // namespace
}  // namespace velmora
