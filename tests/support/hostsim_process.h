// Starts velmora-hostsim as a child process for tests and demonstrations, on
// a drawing, under a unique title, with its own private window registry, and
// stops it when the object goes away.
//
//   velmora::HostSimProcess host("samples/sample.dxf");  // or HostSimOptions
//   velmora::RegistryWindowFunctions windows(host.registry());
//   velmora::HostLink link = host.link(windows);   // title and factory set
//   auto app = velmora::connectHost(link, false);
//   ...
//   host.setModal(true);                  // the window becomes disabled
//   auto calls = host.logEntries();       // every call and command, as JSON
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/host_api.h"
#include "platform/window_functions.h"

namespace velmora {

struct HostSimOptions {
    std::filesystem::path drawing;     // empty: the simulated host's default drawing
    std::u16string title;              // empty: a unique title
    bool modal = false;
    std::filesystem::path executable;  // empty: velmora-hostsim beside this program
    std::chrono::milliseconds startTimeout{10000};
    bool defaultLog = false;           // no --log: the host's own log file
    std::filesystem::path output;      // where its standard output and error go (empty: this program's)
};

class HostSimProcess {
public:
    explicit HostSimProcess(HostSimOptions options = {});
    explicit HostSimProcess(const std::filesystem::path& drawing) : HostSimProcess(optionsFor(drawing)) {}
    ~HostSimProcess();
    HostSimProcess(const HostSimProcess&) = delete;
    HostSimProcess& operator=(const HostSimProcess&) = delete;

    const std::u16string& title() const { return title_; }
    // A private folder made for this host; its registry and log lie in it.
    const std::filesystem::path& runtimeDir() const { return runtimeDir_; }
    std::filesystem::path registry() const { return runtimeDir_ / "velmora-windows"; }
    const std::filesystem::path& logFile() const { return logFile_; }
    pid_t pid() const { return pid_; }

    // A HostLink over `windows` that finds this host: its title and the
    // simulated host's client. programFolder is the executable's folder.
    HostLink link(WindowFunctions& windows) const;

    // Control calls of the simulated host itself.
    void setModal(bool modal);
    // The model space entities: {"handle", "kind", "name"} each.
    nlohmann::json modelSpace();

    // The log so far, one JSON object per line.
    std::vector<nlohmann::json> logEntries() const;
    // The strings sent with sendCommand, in order.
    std::vector<std::string> sentCommands() const;

    // Ends the host (SIGTERM, then SIGKILL after two seconds) and waits for it.
    void stop();
    // Kills it at once, as a crash would.
    void kill();

private:
    static HostSimOptions optionsFor(const std::filesystem::path& drawing) {
        HostSimOptions options;
        options.drawing = drawing;
        return options;
    }
    nlohmann::json control(const std::string& op, nlohmann::json args = nlohmann::json::array());

    std::u16string title_;
    std::filesystem::path runtimeDir_;
    std::filesystem::path logFile_;
    pid_t pid_ = -1;
};

}  // namespace velmora
