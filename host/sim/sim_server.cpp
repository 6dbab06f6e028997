#include "host/sim/sim_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <stdexcept>

namespace velmora::sim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kMaxClients = 32;
// No more requests of a client are answered while this much of its answers
// is unsent, so a client that does not read cannot grow the host's memory.
constexpr std::size_t kOutputHighWater = 4u << 20;
// Requests answered for one client per turn, so one cannot starve the rest.
constexpr int kRequestsPerTurn = 64;
constexpr std::size_t kReadChunk = 65536;
// A client that sits on half a request this long is dropped.
constexpr auto kStalledRequest = std::chrono::seconds(5);
// When every place is taken, a client that has sent nothing this long gives
// its place to a new one. Idle clients are kept otherwise: the tool holds
// its connection while the user answers a message box.
constexpr auto kIdleBeforeEviction = std::chrono::seconds(2);

}  // namespace

struct SimServer::Client {
    int fd = -1;
    std::string input;       // received bytes not yet answered
    std::string output;      // answers not yet sent, from `sent` on
    std::size_t sent = 0;
    bool discarding = false;  // skipping the rest of an oversized request
    std::deque<std::size_t> refused;  // line ends in `input` that stand for oversized requests
    Clock::time_point lastHeard = Clock::now();
    ~Client() {
        if (fd >= 0) ::close(fd);
    }
    std::size_t unsent() const { return output.size() - sent; }
    bool hasWholeRequest() const { return input.find('\n') != std::string::npos; }
    bool wantsInput() const { return !hasWholeRequest() && unsent() < kOutputHighWater; }
    bool hasWork() const { return hasWholeRequest() && unsent() < kOutputHighWater; }
};

SimServer::SimServer(SimHost& host, const std::filesystem::path& socketPath, ServerOptions options)
    : host_(host), socketPath_(socketPath), options_(options) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string& path = socketPath.native();
    if (path.size() >= sizeof(address.sun_path)) throw std::runtime_error("socket path too long: " + path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listenFd_ < 0) throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    ::unlink(path.c_str());
    mode_t previous = ::umask(0177);  // the socket is born owner-only
    int bound = ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int error = errno;
    ::umask(previous);
    if (bound != 0 || ::listen(listenFd_, 16) != 0) {
        if (bound == 0) error = errno;
        ::close(listenFd_);
        throw std::runtime_error("cannot listen on " + path + ": " + std::strerror(error));
    }
    ::chmod(path.c_str(), 0600);
}

SimServer::~SimServer() {
    clients_.clear();
    if (listenFd_ >= 0) ::close(listenFd_);
    ::unlink(socketPath_.c_str());
}

bool SimServer::makeRoom() {
    if (clients_.size() < kMaxClients) return true;
    const auto now = Clock::now();
    auto idlest = clients_.end();
    for (auto it = clients_.begin(); it != clients_.end(); ++it) {
        const Client& c = **it;
        if (c.input.empty() && c.unsent() == 0 && now - c.lastHeard >= kIdleBeforeEviction &&
            (idlest == clients_.end() || c.lastHeard < (*idlest)->lastHeard))
            idlest = it;
    }
    if (idlest == clients_.end()) return false;
    clients_.erase(idlest);
    return true;
}

void SimServer::accept() {
    for (;;) {
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) return;
        // Only this user's programs may talk to the host.
        ucred peer{};
        socklen_t length = sizeof(peer);
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || peer.uid != ::getuid() ||
            !makeRoom()) {
            ::close(fd);
            continue;
        }
        auto client = std::make_unique<Client>();
        client->fd = fd;
        clients_.push_back(std::move(client));
    }
}

bool SimServer::readFrom(Client& client) {
    char chunk[kReadChunk];
    ssize_t n = ::recv(client.fd, chunk, sizeof(chunk), 0);
    if (n == 0) {
        answerRequests(client, SIZE_MAX);  // answers to a client that has stopped sending
        writeTo(client);
        return false;
    }
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    client.lastHeard = Clock::now();
    std::string_view data(chunk, static_cast<std::size_t>(n));
    if (client.discarding) {
        const std::size_t end = data.find('\n');
        if (end == std::string_view::npos) return true;
        client.discarding = false;
        data.remove_prefix(end + 1);
    }
    client.input.append(data);
    // The unfinished request at the end may not outgrow the limit.
    const std::size_t lastEnd = client.input.rfind('\n');
    const std::size_t partial = lastEnd == std::string::npos ? client.input.size() : client.input.size() - lastEnd - 1;
    if (partial > kMaxRequestBytes) {
        client.input.resize(client.input.size() - partial);
        client.input += '\n';  // stands for the refused request in the order of answers
        client.discarding = true;
        client.refused.push_back(client.input.size() - 1);
    }
    return true;
}

void SimServer::answerRequests(Client& client, std::size_t limit) {
    std::size_t start = 0;
    for (std::size_t done = 0; done < limit && client.unsent() < kOutputHighWater; ++done) {
        const std::size_t end = client.input.find('\n', start);
        if (end == std::string::npos) break;
        if (!client.refused.empty() && client.refused.front() == end) {
            client.refused.pop_front();
            client.output += makeErrorAnswer(std::nullopt, "request too long");
        } else {
            client.output += host_.answer(std::string_view(client.input).substr(start, end - start));
        }
        start = end + 1;
    }
    client.input.erase(0, start);
    for (std::size_t& at : client.refused) at -= start;
}

bool SimServer::writeTo(Client& client) {
    while (client.unsent() > 0) {
        ssize_t n = ::send(client.fd, client.output.data() + client.sent, client.unsent(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
            break;
        }
        client.sent += static_cast<std::size_t>(n);
    }
    // Sent bytes leave the front only once they are the larger part, so
    // draining a large answer stays linear.
    if (client.sent == client.output.size()) {
        client.output.clear();
        client.sent = 0;
    } else if (client.sent > client.output.size() / 2) {
        client.output.erase(0, client.sent);
        client.sent = 0;
    }
    return true;
}

void SimServer::run(const std::atomic<bool>& stop) {
    auto nextStep = Clock::now();
    while (!stop.load()) {
        std::vector<pollfd> fds;
        fds.push_back({listenFd_, POLLIN, 0});
        bool backlog = false;
        for (const auto& client : clients_) {
            short events = 0;
            if (client->wantsInput()) events |= POLLIN;
            if (client->unsent() > 0) events |= POLLOUT;
            fds.push_back({client->fd, events, 0});
            backlog = backlog || client->hasWork();
        }
        int timeout = 100;
        if (!host_.ready()) {
            auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextStep - Clock::now());
            timeout = static_cast<int>(std::clamp<long long>(wait.count(), 0, 100));
        }
        ::poll(fds.data(), fds.size(), backlog ? 0 : timeout);

        if (fds[0].revents & POLLIN) accept();
        const auto now = Clock::now();
        for (std::size_t i = 1; i < fds.size(); ++i) {
            Client& client = *clients_[i - 1];
            bool keep = true;
            if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) keep = readFrom(client);
            if (keep) answerRequests(client, kRequestsPerTurn);
            if (keep) keep = writeTo(client);
            if (keep && !client.input.empty() && !client.hasWholeRequest() && now - client.lastHeard >= kStalledRequest)
                keep = false;
            if (!keep) {
                ::close(client.fd);
                client.fd = -1;
            }
        }
        clients_.erase(std::remove_if(clients_.begin(), clients_.end(), [](const auto& c) { return c->fd < 0; }),
                       clients_.end());

        if (host_.ready()) {
            nextStep = now + options_.commandDelay;
        } else if (now >= nextStep) {
            host_.step();
            nextStep = now + options_.commandDelay;
        }
    }
}

}  // namespace velmora::sim
