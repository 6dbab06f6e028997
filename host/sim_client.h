// The client of velmora-hostsim: the host objects of host_api.h over a
// channel to the simulated host (its Unix socket, or the host's core in the
// same process), one request and one answer per call.
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

// Where the requests go: one request line out, its answer line back.
class HostChannel {
public:
    virtual ~HostChannel() = default;
    // The answer's value; HostError for an error answer or a broken link.
    nlohmann::json call(const std::string& op, std::int64_t target = 0,
                        nlohmann::json args = nlohmann::json::array());

protected:
    // The answer line to a request line; HostError when the link fails.
    virtual std::string exchange(const std::string& requestLine) = 0;

private:
    std::int64_t nextId_ = 1;
    bool broken_ = false;
};

// The application object of the simulated host behind `channel`.
std::unique_ptr<InanoCADApplication> simulatedHostApplication(std::shared_ptr<HostChannel> channel);

// One connection to the simulated host's socket. Connecting and the first
// call together, and every later call, wait at most `callTimeout`; a host
// that closes the connection, dies, stays silent or is stopped gives a
// HostError.
class HostConnection : public HostChannel {
public:
    HostConnection(const std::filesystem::path& socketPath, std::chrono::milliseconds callTimeout);
    ~HostConnection() override;
    HostConnection(const HostConnection&) = delete;
    HostConnection& operator=(const HostConnection&) = delete;

protected:
    std::string exchange(const std::string& requestLine) override;

private:
    int connectBefore(const sockaddr_un& address, std::chrono::steady_clock::time_point deadline);
    std::chrono::steady_clock::time_point callDeadline();
    void sendAll(const std::string& data, std::chrono::steady_clock::time_point deadline);
    std::string readLine(std::chrono::steady_clock::time_point deadline);

    int fd_ = -1;
    std::chrono::milliseconds timeout_;
    std::optional<std::chrono::steady_clock::time_point> firstDeadline_;
    std::string buffer_;
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
