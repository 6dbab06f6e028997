// An exclusive advisory lock between processes, held on a small lock file
// while the object lives, for read-modify-write of files several copies of
// the tool share.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>

namespace velmora {

class FileLock {
public:
    // Creates `lockFile` when missing (never through a symbolic link) and
    // waits for the lock up to `patience`; throws std::system_error when it
    // cannot take it (another program held it all that while, or the lock
    // file is no regular file).
    FileLock(const std::filesystem::path& lockFile, std::chrono::milliseconds patience);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    std::intptr_t handle_ = -1;  // the lock file's descriptor or handle
};

}  // namespace velmora
