#include "platform/file_lock.h"

#include <windows.h>

#include <system_error>

namespace velmora {
namespace {

HANDLE handleOf(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }

}  // namespace

FileLock::FileLock(const std::filesystem::path& lockFile, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    HANDLE file = ::CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), "cannot open " + lockFile.string());
    DWORD error = ::GetFileType(file) == FILE_TYPE_DISK ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
    for (; error == ERROR_SUCCESS;) {
        OVERLAPPED whole{};
        if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) break;
        error = ::GetLastError();
        if (error != ERROR_LOCK_VIOLATION || std::chrono::steady_clock::now() >= deadline) break;
        error = ERROR_SUCCESS;
        ::Sleep(20);
    }
    if (error != ERROR_SUCCESS) {
        ::CloseHandle(file);
        throw std::system_error(static_cast<int>(error), std::system_category(),
                                error == ERROR_LOCK_VIOLATION ? "another program holds " + lockFile.string()
                                                              : "cannot lock " + lockFile.string());
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
}

FileLock::~FileLock() {
    ::CloseHandle(handleOf(handle_));  // releases the lock
}

}  // namespace velmora
