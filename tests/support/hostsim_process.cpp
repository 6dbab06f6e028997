#include "tests/support/hostsim_process.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string_view>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "host/sim_client.h"
#include "platform/utf.h"

namespace velmora {
namespace fs = std::filesystem;

namespace {

std::atomic<int> g_counter{0};

fs::path makeRuntimeDir() {
    std::string pattern = (fs::temp_directory_path() / "velmora-hostsim-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a folder for velmora-hostsim");
    return pattern;
}

bool waitForExit(pid_t pid, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno == ECHILD)) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

HostSimProcess::HostSimProcess(HostSimOptions options) {
    title_ = options.title.empty()
                 ? u"nanoCAD 5 test " + utf8ToUtf16(std::to_string(::getpid()) + "-" + std::to_string(++g_counter))
                 : options.title;
    runtimeDir_ = makeRuntimeDir();
    logFile_ = runtimeDir_ / "hostsim.log";
    fs::path executable = options.executable.empty() ? executableFolder() / "velmora-hostsim" : options.executable;

    std::vector<std::string> args = {executable.string()};
    if (!options.drawing.empty()) args.push_back(options.drawing.string());
    args.insert(args.end(), {"--title", utf16ToUtf8(title_)});
    if (options.defaultLog) logFile_ = executable.parent_path() / "velmora-hostsim.log";
    else args.insert(args.end(), {"--log", logFile_.string()});
    if (options.modal) args.push_back("--modal");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    // The child's environment is made before fork: only exec runs after it.
    std::vector<std::string> environment = {"XDG_RUNTIME_DIR=" + runtimeDir_.string()};
    for (char** e = environ; *e; ++e)
        if (std::string_view(*e).substr(0, 16) != "XDG_RUNTIME_DIR=") environment.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("cannot start velmora-hostsim");
    const std::string output = options.output.string();
    if (pid_ == 0) {
        if (!output.empty()) {
            const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (fd < 0) ::_exit(126);
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }

    RegistryWindowFunctions windows(registry());
    auto deadline = std::chrono::steady_clock::now() + options.startTimeout;
    while (!windows.findTopLevelWindow(title_)) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            fs::remove_all(runtimeDir_);
            throw std::runtime_error("velmora-hostsim ended at start (status " + std::to_string(status) + ")");
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            stop();
            fs::remove_all(runtimeDir_);
            throw std::runtime_error("velmora-hostsim did not register in time");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

HostSimProcess::~HostSimProcess() {
    stop();
    std::error_code ec;
    fs::remove_all(runtimeDir_, ec);
}

HostLink HostSimProcess::link(WindowFunctions& windows) const {
    return HostLink{windows, title_, simulatedHostFactory(registry()), executableFolder()};
}

nlohmann::json HostSimProcess::control(const std::string& op, nlohmann::json args) {
    RegistryWindowFunctions windows(registry());
    auto window = windows.findTopLevelWindow(title_);
    if (!window) throw HostError("velmora-hostsim is not running");
    HostConnection connection(windowRegistration(registry(), *window) / "socket", kDefaultHostCallTimeout);
    return connection.call(op, 0, std::move(args));
}

void HostSimProcess::setModal(bool modal) { control("sim.setModal", nlohmann::json::array({modal})); }

nlohmann::json HostSimProcess::modelSpace() { return control("sim.modelSpace"); }

std::vector<nlohmann::json> HostSimProcess::logEntries() const {
    std::vector<nlohmann::json> entries;
    std::ifstream in(logFile_);
    std::string line;
    while (std::getline(in, line)) {
        auto entry = nlohmann::json::parse(line, nullptr, false);
        if (!entry.is_discarded()) entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<std::string> HostSimProcess::sentCommands() const {
    std::vector<std::string> commands;
    for (const auto& entry : logEntries())
        if (entry.value("call", "") == "doc.sendCommand" && entry.contains("args") && !entry["args"].empty() &&
            entry["args"][0].is_string())
            commands.push_back(entry["args"][0].get<std::string>());
    return commands;
}

void HostSimProcess::stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    if (!waitForExit(pid_, std::chrono::milliseconds(2000))) {
        ::kill(pid_, SIGKILL);
        waitForExit(pid_, std::chrono::milliseconds(2000));
    }
    pid_ = -1;
}

void HostSimProcess::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    waitForExit(pid_, std::chrono::milliseconds(2000));
    pid_ = -1;
}

}  // namespace velmora
