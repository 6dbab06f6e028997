#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/side_file.h"
#include "platform/file_lock.h"

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
    for (const auto& entry : fs::directory_iterator(dir))  // no temporary left
        EXPECT_TRUE(entry.path() == file || entry.path() == dir / "velmora.csv.lock") << entry.path();
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

// Two copies of the tool beside one executable: every row either stores is
// kept.
TEST_F(SideFileTest, TwoWritersAtOnceLoseNoRow) {
    constexpr int kRows = 60;
    pid_t children[2];
    for (int w = 0; w < 2; ++w) {
        children[w] = ::fork();
        if (children[w] == 0) {
            for (int i = 0; i < kRows; ++i)
                storeSideFileRow(file, u"W" + std::u16string(1, u'0' + w) + u"-" + std::u16string(1, u'A' + i), i, 0, u"x");
            ::_exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int w = 0; w < 2; ++w)
        for (int i = 0; i < kRows; ++i)
            EXPECT_GE(findSideFileRow(file, u"W" + std::u16string(1, u'0' + w) + u"-" + std::u16string(1, u'A' + i)).index, 0);
}

// What others wrote stays as it is: rows in bytes the code page does not
// hold, a writer's leftovers of other names, and a side file that is a link.
TEST_F(SideFileTest, OthersRowsTemporariesAndLinksAreKept) {
    const std::string foreign = "\x81\x20" "BAD\xFF\t1\t0\tx";
    std::ofstream(file, std::ios::binary) << foreign << "\r\n";
    for (const char* name : {"velmora.csv.tmp-123", "velmora.csv.tmp-abc", "other.csv.tmp-1"})
        std::ofstream(dir / name) << "left";
    storeSideFileRow(file, u"door", 1, 0, u"x");
    EXPECT_EQ(bytes(), foreign + "\r\nDOOR\t1\t0\tx\r\n");
    EXPECT_FALSE(fs::exists(dir / "velmora.csv.tmp-123"));  // killed mid-write; ours
    EXPECT_TRUE(fs::exists(dir / "velmora.csv.tmp-abc"));
    EXPECT_TRUE(fs::exists(dir / "other.csv.tmp-1"));

    const fs::path target = dir / "elsewhere" / "rows.csv";
    fs::create_directories(target.parent_path());
    fs::rename(file, target);
    fs::create_symlink(target, file);
    storeSideFileRow(file, u"chair", 2, 0, u"y");
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(findSideFileRow(target, u"chair").entityCount, 2);
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
// Another program that keeps the lock, or a side file or lock file that is
// a FIFO, ends a store with an error instead of waiting for good; the rows
// already there stay.
TEST_F(SideFileTest, ALockHeldElsewhereOrAFifoEndsTheStoreWithAnError) {
    storeSideFileRow(file, u"door", 1, 0, u"x");
    const std::string before = bytes();
    {
        FileLock other(fs::path(file) += ".lock", std::chrono::milliseconds(0));
        EXPECT_THROW(storeSideFileRow(file, u"roof", 2, 0, u"y"), SideFileError);
    }
    EXPECT_EQ(bytes(), before);
    fs::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_THROW(storeSideFileRow(file, u"roof", 2, 0, u"y"), SideFileError);
    EXPECT_THROW(findSideFileRow(file, u"roof"), SideFileError);
    fs::remove(file);
    fs::remove(fs::path(file) += ".lock");
    ASSERT_EQ(::mkfifo((fs::path(file) += ".lock").c_str(), 0600), 0);
    EXPECT_THROW(storeSideFileRow(file, u"roof", 2, 0, u"y"), SideFileError);
}

}  // namespace velmora
