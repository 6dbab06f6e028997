// An exclusive advisory lock between processes, held on a small lock file
// while the object lives, for read-modify-write of files several copies of
// the tool share.
#pragma once

#include <cstdint>
#include <filesystem>

namespace velmora {

class FileLock {
public:
    // Creates `lockFile` when missing (never through a symbolic link) and
    // waits for the lock; throws std::system_error when it cannot.
    explicit FileLock(const std::filesystem::path& lockFile);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    std::intptr_t handle_ = -1;  // the lock file's descriptor or handle
};

}  // namespace velmora
