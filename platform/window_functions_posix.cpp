#include "platform/window_functions.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "platform/utf.h"

namespace velmora {
namespace fs = std::filesystem;
namespace {

bool processAlive(WindowHandle pid) {
    if (pid == 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::optional<std::string> readSmallFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text;
    text.resize(4096);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

std::optional<WindowHandle> handleFromName(const std::string& name) {
    if (name.empty() || name.size() > 10) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : name) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<WindowHandle>(value);
}

// Writes `text` to `file` (owner-only) through a temporary file and a rename,
// so a reader never sees half a file.
void writeSmallFile(const fs::path& file, const std::string& text) {
    fs::path temp = file;
    temp += ".tmp";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), "cannot write " + temp.string());
    bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temp.c_str(), file.c_str()) != 0) {
        ::unlink(temp.c_str());
        throw std::runtime_error("cannot write " + file.string());
    }
}

void checkPrivate(const fs::path& folder) {
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0)
        throw std::system_error(errno, std::generic_category(), "cannot inspect " + folder.string());
    if (!S_ISDIR(st.st_mode)) throw std::runtime_error(folder.string() + " is not a folder");
    if (st.st_uid != ::getuid()) throw std::runtime_error(folder.string() + " belongs to another user");
    if ((st.st_mode & 077) != 0) throw std::runtime_error(folder.string() + " is open to other users");
}

void makePrivateFolder(const fs::path& folder) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        throw std::system_error(errno, std::generic_category(), "cannot create " + folder.string());
    checkPrivate(folder);
}

}  // namespace

fs::path defaultWindowRegistry() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        std::error_code ec;
        if (fs::is_directory(runtime, ec)) return fs::path(runtime) / "velmora-windows";
    }
    return fs::path("/tmp") / ("velmora-" + std::to_string(::getuid())) / "velmora-windows";
}

void ensurePrivateFolder(const fs::path& folder) {
    fs::path parent = folder.parent_path();
    // The /tmp fallback's own folder is made private too; a runtime directory
    // given by the environment is the user's already.
    if (parent.parent_path() == "/tmp" && parent.filename().string().starts_with("velmora-"))
        makePrivateFolder(parent);
    makePrivateFolder(folder);
}

fs::path windowRegistration(const fs::path& registry, WindowHandle window) {
    if (!processAlive(window)) return {};
    fs::path folder = registry / std::to_string(window);
    std::error_code ec;
    if (!fs::exists(folder / "title", ec)) return {};
    return folder;
}

RegistryWindowFunctions::RegistryWindowFunctions(fs::path registry) : registry_(std::move(registry)) {}

std::optional<WindowHandle> RegistryWindowFunctions::findTopLevelWindow(std::u16string_view title) {
    // A registry someone else could write to might list a stranger's socket.
    try {
        checkPrivate(registry_);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    std::error_code ec;
    fs::directory_iterator it(registry_, ec);
    if (ec) return std::nullopt;
    std::optional<WindowHandle> found;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        auto handle = handleFromName(it->path().filename().string());
        if (!handle || !processAlive(*handle)) continue;
        auto text = readSmallFile(it->path() / "title");
        if (!text || utf8ToUtf16(*text) != title) continue;
        // Several windows with one title: the lowest handle, so the choice
        // does not depend on the folder's listing order.
        if (!found || *handle < *found) found = handle;
    }
    return found;
}

bool RegistryWindowFunctions::isWindowEnabled(WindowHandle window) {
    fs::path folder = windowRegistration(registry_, window);
    if (folder.empty()) return false;
    std::error_code ec;
    return !fs::exists(folder / "disabled", ec);
}

bool RegistryWindowFunctions::setForegroundWindow(WindowHandle window) {
    fs::path folder = windowRegistration(registry_, window);
    if (folder.empty()) return false;
    try {
        writeSmallFile(folder / "foreground", std::to_string(::getpid()));
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool RegistryWindowFunctions::isEscapeKeyDown() { return escape_ ? escape_() : false; }

void RegistryWindowFunctions::sleepMilliseconds(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::uint32_t RegistryWindowFunctions::tickCount() {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void RegistryWindowFunctions::processMessages() {
    if (pump_) pump_();
}

WindowRegistration::WindowRegistration(const fs::path& registry, std::u16string_view title)
    : title_(title) {
    ensurePrivateFolder(registry);
    handle_ = static_cast<WindowHandle>(::getpid());
    folder_ = registry / std::to_string(handle_);
    std::error_code ec;
    fs::remove_all(folder_, ec);  // left by an earlier process with the same id
    makePrivateFolder(folder_);
}

void WindowRegistration::publish() { writeSmallFile(folder_ / "title", utf16ToUtf8(title_)); }

WindowRegistration::~WindowRegistration() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
}

void WindowRegistration::setEnabled(bool enabled) {
    if (enabled) {
        std::error_code ec;
        fs::remove(folder_ / "disabled", ec);
    } else {
        writeSmallFile(folder_ / "disabled", "1");
    }
}

bool WindowRegistration::enabled() const {
    std::error_code ec;
    return !fs::exists(folder_ / "disabled", ec);
}

}  // namespace velmora
