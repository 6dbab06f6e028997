#include "platform/files.h"

#include <algorithm>
#include <system_error>

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
    std::string bytes;
    const FileReadFailure failure = readFileBlocks(file, std::max<std::size_t>(count, 1), [&](std::string_view block) {
        bytes.append(block.substr(0, count - bytes.size()));
        return bytes.size() < count;
    });
    if (failure != FileReadFailure::None) return std::nullopt;
    return bytes;
}

std::optional<std::string> readWholeFile(const fs::path& file) {
    if (!fileExists(file)) return std::nullopt;
    std::string bytes;
    std::error_code ec;
    if (const auto size = fs::file_size(file, ec); !ec) bytes.reserve(static_cast<std::size_t>(size));
    const FileReadFailure failure = readFileBlocks(file, 1 << 20, [&](std::string_view block) {
        bytes.append(block);
        return true;
    });
    if (failure != FileReadFailure::None) return std::nullopt;
    return bytes;
}

std::filesystem::path executableFolder() { return executableFile().parent_path() / ""; }

}  // namespace velmora
