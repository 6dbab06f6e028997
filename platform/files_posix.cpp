// The file reads and the atomic write over POSIX calls.
#include "platform/files.h"

#include <cerrno>
#include <optional>
#include <random>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace fs = std::filesystem;

namespace {

// A file descriptor, closed on scope exit.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

FileReadFailure openFailure(int error) {
    return (error == EBUSY || error == ETXTBSY) ? FileReadFailure::Busy : FileReadFailure::CannotOpen;
}

// Up to `count` bytes into `buffer`; -1 on a read error.
ssize_t readSome(int fd, char* buffer, std::size_t count) {
    for (;;) {
        ssize_t n = ::read(fd, buffer, count);
        if (n >= 0 || errno != EINTR) return n;
    }
}

bool unchangedSince(const struct stat& before, const struct stat& after) {
    return after.st_size == before.st_size && after.st_mtim.tv_sec == before.st_mtim.tv_sec &&
           after.st_mtim.tv_nsec == before.st_mtim.tv_nsec;
}

}  // namespace

FileReadFailure readFileBlocks(const fs::path& file, std::size_t blockBytes,
                               const std::function<bool(std::string_view)>& consume) {
    // Without blocking: a FIFO would wait in open() for a writer. Only a
    // regular file is read; a device, a FIFO or a folder never ends or
    // never starts.
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) return openFailure(errno);
    struct stat before {};
    if (::fstat(fd.get(), &before) != 0 || !S_ISREG(before.st_mode)) return FileReadFailure::CannotOpen;
    std::string block(blockBytes, '\0');
    off_t total = 0;
    for (;;) {
        const ssize_t n = readSome(fd.get(), block.data(), block.size());
        if (n < 0) return FileReadFailure::InputOutput;
        if (n == 0) break;
        total += n;
        if (!consume(std::string_view(block.data(), static_cast<std::size_t>(n)))) return FileReadFailure::None;
    }
    // Nothing stops another program writing the file meanwhile: a file that
    // grew, shrank or was rewritten while it was read is busy, not read.
    struct stat after {};
    if (::fstat(fd.get(), &after) != 0 || total != before.st_size || !unchangedSince(before, after))
        return FileReadFailure::Busy;
    return FileReadFailure::None;
}

namespace {

// Creates a new file beside `file` under an unpredictable name; O_EXCL and
// O_NOFOLLOW make it fail rather than reuse or follow anything already there.
int createTemporaryBeside(const fs::path& file, fs::path& temp) {
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp = file;
        temp += ".tmp-" + std::to_string(random()) + std::to_string(random());
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

namespace {

// The regular file a write to `file` replaces: the file itself, or the file a
// symbolic link names (the link stays). Empty when `file` is, or names,
// anything else (a device, a FIFO, a folder, a link to nothing), which is
// never replaced. `mode` gets the permissions to keep (none for a new file).
fs::path writeTarget(const fs::path& file, std::optional<mode_t>& mode) {
    struct stat status {};
    if (::lstat(file.c_str(), &status) != 0) return errno == ENOENT ? file : fs::path();
    fs::path target = file;
    if (S_ISLNK(status.st_mode)) {
        std::error_code ec;
        target = fs::canonical(file, ec);
        if (ec || ::stat(target.c_str(), &status) != 0) return {};
    }
    if (!S_ISREG(status.st_mode)) return {};
    mode = status.st_mode & 07777;
    return target;
}

}  // namespace

namespace {

// A file with no name in the folder of `file`, where the system has them: a
// writer killed before it is named leaves nothing behind. -1 otherwise.
int createUnnamedBeside(const fs::path& file) {
#ifdef O_TMPFILE
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
    (void)file;
    return -1;
#endif
}

// Gives the unnamed file `fd` the unpredictable name `temp` beside `file`.
bool nameUnnamed(int fd, const fs::path& file, fs::path& temp) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp = file;
        temp += ".tmp-" + std::to_string(random()) + std::to_string(random());
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

}  // namespace

bool writeFileAtomically(const fs::path& output, std::string_view bytes) {
    std::optional<mode_t> mode;
    const fs::path file = writeTarget(output, mode);
    if (file.empty()) return false;
    fs::path temp;
    int fd = createUnnamedBeside(file);
    const bool unnamed = fd >= 0;
    if (!unnamed) fd = createTemporaryBeside(file, temp);
    if (fd < 0) return false;
    if (mode) ::fchmod(fd, *mode);
    // The data reaches the disk before the rename makes it the file, so a
    // crash leaves either the old file or the whole new one.
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (ok && unnamed) ok = nameUnnamed(fd, file, temp);
    ok = ::close(fd) == 0 && ok;
    std::error_code ec;
    if (ok) fs::rename(temp, file, ec);
    ok = ok && !ec;
    if (!ok && !temp.empty()) fs::remove(temp, ec);
    return ok;
}

fs::path executableFile() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path(ec) / "velmora" : exe;
}

}  // namespace velmora
