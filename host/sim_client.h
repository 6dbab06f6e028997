// The client of velmora-hostsim: the host objects of host_api.h over the
// simulated host's Unix socket, one request and one answer per call.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "host/host_api.h"

struct sockaddr_un;

namespace velmora {

// One connection to the simulated host. Connecting and the first call
// together, and every later call, wait at most `callTimeout`; a host that
// closes the connection, dies, stays silent or is stopped gives a HostError.
class HostConnection {
public:
    HostConnection(const std::filesystem::path& socketPath, std::chrono::milliseconds callTimeout);
    ~HostConnection();
    HostConnection(const HostConnection&) = delete;
    HostConnection& operator=(const HostConnection&) = delete;

    // The answer's value; HostError for an error answer or a broken link.
    nlohmann::json call(const std::string& op, std::int64_t target = 0,
                        nlohmann::json args = nlohmann::json::array());

private:
    int connectBefore(const sockaddr_un& address, std::chrono::steady_clock::time_point deadline);
    std::chrono::steady_clock::time_point callDeadline();
    void sendAll(const std::string& data, std::chrono::steady_clock::time_point deadline);
    std::string readLine(std::chrono::steady_clock::time_point deadline);

    int fd_ = -1;
    std::chrono::milliseconds timeout_;
    std::optional<std::chrono::steady_clock::time_point> firstDeadline_;
    std::int64_t nextId_ = 1;
    std::string buffer_;
    bool broken_ = false;
};

inline constexpr std::chrono::milliseconds kDefaultHostCallTimeout{10000};

// The application object of the simulated host listening on `socketPath`;
// HostError when it cannot be reached.
std::unique_ptr<InanoCADApplication> connectSimulatedHost(
    const std::filesystem::path& socketPath, std::chrono::milliseconds callTimeout = kDefaultHostCallTimeout);

// The factory for HostLink: the simulated host registered as `window` in
// `registry`.
HostLink::ApplicationFactory simulatedHostFactory(std::filesystem::path registry);

}  // namespace velmora
