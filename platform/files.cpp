#include "platform/files.h"

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

}  // namespace velmora
