// The file reads and the atomic write over the Win32 file functions: wide
// names, and a file read while others may read it but not write it.
#include "platform/files.h"

#include <windows.h>

#include <algorithm>
#include <random>
#include <system_error>
#include <utility>

namespace velmora {

namespace fs = std::filesystem;

namespace {

// A file handle, closed on scope exit.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid()) ::CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

private:
    HANDLE handle_;
};

HANDLE openForReading(const fs::path& file) {
    return ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

FileReadFailure openFailure(DWORD error) {
    return (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) ? FileReadFailure::Busy
                                                                              : FileReadFailure::CannotOpen;
}

// Reads up to `count` bytes; -1 on a read error.
long long readSome(HANDLE file, char* buffer, std::size_t count) {
    std::size_t total = 0;
    while (total < count) {
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count - total, 1u << 30));
        if (!::ReadFile(file, buffer + total, want, &n, nullptr)) return -1;
        if (n == 0) break;
        total += n;
    }
    return static_cast<long long>(total);
}

}  // namespace

FileReadFailure readFileBlocks(const fs::path& file, std::size_t blockBytes,
                               const std::function<bool(std::string_view)>& consume) {
    FileHandle handle(openForReading(file));
    if (!handle.valid()) return openFailure(::GetLastError());
    // Only a file on a disk is read: a pipe or a device never ends.
    if (::GetFileType(handle.get()) != FILE_TYPE_DISK) return FileReadFailure::CannotOpen;
    std::string block(blockBytes, '\0');
    for (;;) {
        const long long n = readSome(handle.get(), block.data(), block.size());
        if (n < 0) return FileReadFailure::InputOutput;
        if (n == 0) return FileReadFailure::None;
        if (!consume(std::string_view(block.data(), static_cast<std::size_t>(n)))) return FileReadFailure::None;
    }
}

namespace {

// Creates a new file beside `file` under an unpredictable name; CREATE_NEW
// fails rather than reuse anything already there.
HANDLE createTemporaryBeside(const fs::path& file, fs::path& temp) {
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp = file;
        temp += ".tmp-" + std::to_string(random()) + std::to_string(random());
        HANDLE handle = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return handle;
    }
    return INVALID_HANDLE_VALUE;
}

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(file, bytes.data(), want, &n, nullptr) || n == 0) return false;
        bytes.remove_prefix(n);
    }
    return true;
}

}  // namespace

namespace {

// The file a write to `file` replaces: the file itself, or the file a
// symbolic link names (the link stays). Empty when `file` is, or names,
// anything but a file on a disk (a folder, a device, a link to nothing),
// which is never replaced. `exists` says whether there is a file to replace.
fs::path writeTarget(const fs::path& file, bool& exists) {
    exists = false;
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? file : fs::path();
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return {};
    FileHandle handle(::CreateFileW(file.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.valid() || ::GetFileType(handle.get()) != FILE_TYPE_DISK) return {};
    exists = true;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return file;
    std::wstring target(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetFinalPathNameByHandleW(handle.get(), target.data(), static_cast<DWORD>(target.size()), 0);
        if (n == 0) return {};
        if (n < target.size()) {
            target.resize(n);
            return fs::path(target);
        }
        target.resize(n + 1);
    }
}

}  // namespace

bool writeFileAtomically(const fs::path& output, std::string_view bytes) {
    bool exists = false;
    const fs::path file = writeTarget(output, exists);
    if (file.empty()) return false;
    fs::path temp;
    FileHandle handle(createTemporaryBeside(file, temp));
    if (!handle.valid()) return false;
    // The data reaches the disk before the move makes it the file, so a
    // crash leaves either the old file or the whole new one.
    bool ok = writeAll(handle.get(), bytes) && ::FlushFileBuffers(handle.get());
    ok = ::CloseHandle(handle.release()) && ok;
    // Replacing an existing file keeps its attributes and permissions; where
    // that cannot be done (some file systems, relative names under Wine) the
    // move replaces it as a new file.
    std::error_code ec;
    const fs::path full = fs::absolute(file, ec), fullTemp = fs::absolute(temp, ec);
    const bool replaced = ok && exists && !ec &&
                          ::ReplaceFileW(full.c_str(), fullTemp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                         nullptr, nullptr);
    if (ok && !replaced)
        ok = ::MoveFileExW(temp.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) ::DeleteFileW(temp.c_str());
    return ok;
}

fs::path executableFile() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) return fs::current_path() / "velmora.exe";
        if (n < name.size()) {
            name.resize(n);
            return fs::path(name);
        }
        name.resize(name.size() * 2);
    }
}

}  // namespace velmora
