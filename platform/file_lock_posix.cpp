#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace velmora {

FileLock::FileLock(const std::filesystem::path& lockFile) {
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), "cannot open " + lockFile.string());
    int result;
    do {
        result = ::flock(fd, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        throw std::system_error(error, std::generic_category(), "cannot lock " + lockFile.string());
    }
    handle_ = fd;
}

FileLock::~FileLock() {
    ::close(static_cast<int>(handle_));  // releases the lock
}

}  // namespace velmora
