// The simulated host's serving loop: a Unix domain socket (owner-only) that
// takes JSON request lines from any number of local clients, and the host's
// own loop that works through its command queue between them.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include "host/sim/sim_host.h"

namespace velmora::sim {

struct ServerOptions {
    std::chrono::milliseconds commandDelay{20};  // time one command string takes
};

class SimServer {
public:
    // Binds and listens on `socketPath` (mode 0600). Throws std::runtime_error.
    SimServer(SimHost& host, const std::filesystem::path& socketPath, ServerOptions options = {});
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Serves until `stop` becomes true.
    void run(const std::atomic<bool>& stop);

private:
    struct Client;
    void accept();
    // False when every place is taken by a client that is busy or was heard
    // from lately.
    bool makeRoom();
    bool readFrom(Client& client);
    // Answers up to `limit` whole requests while the unsent answers allow.
    void answerRequests(Client& client, std::size_t limit);
    bool writeTo(Client& client);

    SimHost& host_;
    std::filesystem::path socketPath_;
    ServerOptions options_;
    int listenFd_ = -1;
    std::vector<std::unique_ptr<Client>> clients_;
};

}  // namespace velmora::sim
