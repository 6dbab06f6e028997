#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <thread>

namespace velmora {

namespace {

// Tries for the lock until `deadline`; 0 or the error that ended it.
int lockBy(int fd, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) return errno;
        if (std::chrono::steady_clock::now() >= deadline) return EWOULDBLOCK;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace

FileLock::FileLock(const std::filesystem::path& lockFile, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    // Without blocking, and only a regular file: a FIFO put there would wait.
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), "cannot open " + lockFile.string());
    struct stat status {};
    const int error = ::fstat(fd, &status) != 0 ? errno : !S_ISREG(status.st_mode) ? EINVAL : lockBy(fd, deadline);
    if (error != 0) {
        ::close(fd);
        throw std::system_error(error, std::generic_category(),
                                error == EWOULDBLOCK ? "another program holds " + lockFile.string()
                                                     : "cannot lock " + lockFile.string());
    }
    handle_ = fd;
}

FileLock::~FileLock() {
    ::close(static_cast<int>(handle_));  // releases the lock
}

}  // namespace velmora
