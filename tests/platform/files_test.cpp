#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/support/temp_dir.h"

using namespace velmora;

TEST(Files, ExistenceAndDeletionOfFilesNotFolders) {
    testsupport::TempDir dir;
    auto file = dir.write("a.txt", "abc");
    EXPECT_TRUE(fileExists(file));
    EXPECT_FALSE(fileExists(dir.path()));
    EXPECT_FALSE(fileExists(dir / "missing"));
    EXPECT_FALSE(deleteFile(dir.path()));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path()));
    EXPECT_TRUE(deleteFile(file));
    EXPECT_FALSE(fileExists(file));
    EXPECT_FALSE(deleteFile(file));
}

TEST(Files, FolderCreationWithAllParents) {
    testsupport::TempDir dir;
    auto deep = dir / "BMP" / "sub" / "deeper";
    EXPECT_TRUE(forceDirectories(deep));
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    EXPECT_TRUE(forceDirectories(deep));  // already there
    auto file = dir.write("plain", "x");
    EXPECT_FALSE(forceDirectories(file / "below"));
    EXPECT_FALSE(forceDirectories(""));
}

TEST(Files, FirstBytesAndWholeFile) {
    testsupport::TempDir dir;
    auto small = dir.write("small", "12345");
    EXPECT_EQ(*readFirstBytes(small, 7), "12345");
    EXPECT_EQ(*readFirstBytes(small, 2), "12");
    std::string big(200000, 'x');
    big[150000] = '\0';
    auto large = dir.write("large", big);
    EXPECT_EQ(*readWholeFile(large), big);
    EXPECT_EQ(*readWholeFile(dir.write("empty", "")), "");
    EXPECT_FALSE(readWholeFile(dir / "missing"));
    EXPECT_FALSE(readFirstBytes(dir.path(), 7));
}

TEST(Files, AtomicWriteReplacesWholeAndLeavesNoTemporary) {
    testsupport::TempDir dir;
    auto file = dir.write("side.csv", "old contents that are longer");
    EXPECT_TRUE(writeFileAtomically(file, "new"));
    EXPECT_EQ(*readWholeFile(file), "new");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1);
    EXPECT_FALSE(writeFileAtomically(dir / "no-such-folder" / "f", "x"));
}

#if !defined(_WIN32)
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace velmora {
namespace {

// Only regular files are read: a FIFO without a writer, a device that never
// ends and a folder fail at once instead of blocking or filling memory.
TEST(Files, OnlyRegularFilesAreRead) {
    testsupport::TempDir dir;
    const auto fifo = dir / "pipe.dxf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::filesystem::path& special : {fifo, std::filesystem::path("/dev/zero"), dir.path()}) {
        std::size_t bytes = 0;
        const FileReadFailure failure = readFileBlocks(special, 4096, [&](std::string_view block) {
            bytes += block.size();
            return true;
        });
        EXPECT_EQ(failure, FileReadFailure::CannotOpen) << special;
        EXPECT_EQ(bytes, 0u) << special;
        EXPECT_FALSE(readFirstBytes(special, 6)) << special;
        EXPECT_FALSE(readWholeFile(special)) << special;
    }
}

// A file another program truncates, extends or rewrites while it is read is
// busy: half a drawing is never taken for the whole.
TEST(Files, AFileChangedWhileReadIsBusy) {
    testsupport::TempDir dir;
    const auto file = dir.write("a.dxf", std::string(3 * 4096, 'x'));
    const std::function<void()> changes[] = {
        [&] { std::filesystem::resize_file(file, 4096); },
        [&] { std::filesystem::resize_file(file, 8 * 4096); },
        [&] {
            // The same size, written again a moment later.
            struct timespec times[2] = {{0, UTIME_NOW}, {12345, 0}};
            ::utimensat(AT_FDCWD, file.c_str(), times, 0);
        },
    };
    for (const auto& change : changes) {
        dir.write("a.dxf", std::string(3 * 4096, 'x'));
        bool first = true;
        const FileReadFailure failure = readFileBlocks(file, 4096, [&](std::string_view) {
            if (std::exchange(first, false)) change();
            return true;
        });
        EXPECT_EQ(failure, FileReadFailure::Busy);
    }
    // Stopping early, or reading an unchanged file, is no failure.
    EXPECT_EQ(readFileBlocks(file, 4096, [](std::string_view) { return false; }), FileReadFailure::None);
    EXPECT_EQ(readFileBlocks(file, 4096, [](std::string_view) { return true; }), FileReadFailure::None);
}

// A writer killed in the middle of a large write leaves the old file and no
// temporary beside it.
TEST(Files, AKilledWriterLeavesNoTemporary) {
    testsupport::TempDir dir;
    const auto out = dir.write("out.bmp", "old");
    for (int delayMs : {0, 5, 20, 60}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            writeFileAtomically(out, std::string(std::size_t{256} << 20, 'n'));
            ::_exit(0);
        }
        ::usleep(static_cast<useconds_t>(delayMs) * 1000);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        EXPECT_EQ(names, std::vector<std::string>{"out.bmp"}) << delayMs;
        const auto size = std::filesystem::file_size(out);
        EXPECT_TRUE(size == 3 || size == std::size_t{256} << 20) << size;
    }
}

// A write replaces only a regular file, keeping its permissions; through a
// link to one it writes the file and keeps the link; anything else is left.
TEST(Files, AtomicWriteReplacesOnlyRegularFiles) {
    testsupport::TempDir dir;
    namespace fs = std::filesystem;
    const auto kept = dir.write("kept.bmp", "old");
    fs::permissions(kept, fs::perms::owner_read | fs::perms::owner_write);
    const auto link = dir / "link.bmp";
    fs::create_symlink(kept, link);
    ASSERT_TRUE(writeFileAtomically(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readWholeFile(kept), "new");
    EXPECT_EQ(fs::status(kept).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    const auto fifo = dir / "pipe.bmp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto dangling = dir / "dangling.bmp";
    fs::create_symlink(dir / "nothing", dangling);
    const auto folderLink = dir / "folder.bmp";
    fs::create_symlink(dir.path(), folderLink);
    for (const fs::path& special : {fifo, dangling, folderLink, dir.path()}) {
        EXPECT_FALSE(writeFileAtomically(special, "x")) << special;
        EXPECT_FALSE(fs::is_regular_file(fs::symlink_status(special))) << special;
    }
    EXPECT_FALSE(fs::exists(dir / "nothing"));
    EXPECT_TRUE(fs::is_fifo(fifo));
}

}  // namespace
}  // namespace velmora
#endif

#if defined(_WIN32)
// A write replaces a file on a disk and nothing else: a folder and a device
// name stay what they are.
TEST(Files, AtomicWriteReplacesOnlyFilesOnADisk) {
    testsupport::TempDir dir;
    const auto kept = dir.write("kept.bmp", "old");
    ASSERT_TRUE(writeFileAtomically(kept, "new"));
    EXPECT_EQ(readWholeFile(kept), "new");
    for (const std::filesystem::path& special : {dir.path(), std::filesystem::path("NUL")})
        EXPECT_FALSE(writeFileAtomically(special, "x")) << special;
    EXPECT_TRUE(std::filesystem::is_directory(dir.path()));
}
#endif
