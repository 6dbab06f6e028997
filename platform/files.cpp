#include "platform/files.h"

#include <cerrno>
#include <fstream>
#include <random>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace fs = std::filesystem;

bool fileExists(const fs::path& file) {
    std::error_code ec;
    fs::file_status status = fs::status(file, ec);
    return !ec && fs::exists(status) && !fs::is_directory(status);
}

bool deleteFile(const fs::path& file) {
    if (!fileExists(file)) return false;
    std::error_code ec;
    return fs::remove(file, ec) && !ec;
}

bool forceDirectories(const fs::path& folder) {
    if (folder.empty()) return false;
    std::error_code ec;
    fs::create_directories(folder, ec);
    return fs::is_directory(folder, ec);
}

std::optional<std::string> readFirstBytes(const fs::path& file, std::size_t count) {
    if (!fileExists(file)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    if (in.bad()) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

std::optional<std::string> readWholeFile(const fs::path& file) {
    if (!fileExists(file)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes;
    char buffer[64 * 1024];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (in.bad()) return std::nullopt;
    return bytes;
}

FileContents readFileShared(const fs::path& file) {
    FileContents out;
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        out.failure = (errno == EBUSY || errno == ETXTBSY) ? FileReadFailure::Busy : FileReadFailure::CannotOpen;
        return out;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
        out.bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[64 * 1024];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            out.failure = FileReadFailure::InputOutput;
            out.bytes.clear();
            break;
        }
        if (n == 0) break;
        out.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return out;
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

bool writeFileAtomically(const fs::path& file, std::string_view bytes) {
    fs::path temp;
    int fd = createTemporaryBeside(file, temp);
    if (fd < 0) return false;
    // The data reaches the disk before the rename makes it the file, so a
    // crash leaves either the old file or the whole new one.
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    std::error_code ec;
    if (ok) fs::rename(temp, file, ec);
    if (!ok || ec) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace velmora
