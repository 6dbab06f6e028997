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
#include <stdexcept>

namespace velmora::sim {

namespace {

constexpr std::size_t kMaxClients = 32;
constexpr std::size_t kMaxPendingOutput = 256u << 20;

}  // namespace

struct SimServer::Client {
    int fd = -1;
    std::string input;
    std::string output;
    bool discarding = false;  // skipping the rest of an oversized request
    ~Client() {
        if (fd >= 0) ::close(fd);
    }
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

void SimServer::accept() {
    for (;;) {
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) return;
        // Only this user's programs may talk to the host.
        ucred peer{};
        socklen_t length = sizeof(peer);
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || peer.uid != ::getuid() ||
            clients_.size() >= kMaxClients) {
            ::close(fd);
            continue;
        }
        auto client = std::make_unique<Client>();
        client->fd = fd;
        clients_.push_back(std::move(client));
    }
}

bool SimServer::readFrom(Client& client) {
    char chunk[65536];
    for (;;) {
        ssize_t n = ::recv(client.fd, chunk, sizeof(chunk), 0);
        if (n == 0) {
            writeTo(client);  // answers to a client that has stopped sending
            return false;
        }
        if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        std::string_view data(chunk, static_cast<std::size_t>(n));
        while (!data.empty()) {
            std::size_t end = data.find('\n');
            std::string_view part = data.substr(0, end);
            if (client.discarding) {
                if (end == std::string_view::npos) break;
                client.discarding = false;
            } else {
                client.input.append(part);
                if (client.input.size() > kMaxRequestBytes) {
                    client.output += makeErrorAnswer(std::nullopt, "request too long");
                    client.input.clear();
                    client.discarding = end == std::string_view::npos;
                } else if (end != std::string_view::npos) {
                    client.output += host_.answer(client.input);
                    client.input.clear();
                }
            }
            if (end == std::string_view::npos) break;
            data.remove_prefix(end + 1);
        }
        // A client that sends without reading its answers is dropped.
        if (client.output.size() > kMaxPendingOutput) return false;
    }
}

bool SimServer::writeTo(Client& client) {
    while (!client.output.empty()) {
        ssize_t n = ::send(client.fd, client.output.data(), client.output.size(), MSG_NOSIGNAL);
        if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        client.output.erase(0, static_cast<std::size_t>(n));
    }
    return true;
}

void SimServer::run(const std::atomic<bool>& stop) {
    auto nextStep = std::chrono::steady_clock::now();
    while (!stop.load()) {
        std::vector<pollfd> fds;
        fds.push_back({listenFd_, POLLIN, 0});
        for (const auto& client : clients_)
            fds.push_back({client->fd, static_cast<short>(POLLIN | (client->output.empty() ? 0 : POLLOUT)), 0});
        int timeout = 100;
        if (!host_.ready()) {
            auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextStep - std::chrono::steady_clock::now());
            timeout = static_cast<int>(std::clamp<long long>(wait.count(), 0, 100));
        }
        ::poll(fds.data(), fds.size(), timeout);

        if (fds[0].revents & POLLIN) accept();
        for (std::size_t i = 1; i < fds.size(); ++i) {
            Client& client = *clients_[i - 1];
            bool keep = true;
            if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) keep = readFrom(client);
            if (keep) keep = writeTo(client);
            if (!keep) {
                ::close(client.fd);
                client.fd = -1;
            }
        }
        clients_.erase(std::remove_if(clients_.begin(), clients_.end(), [](const auto& c) { return c->fd < 0; }),
                       clients_.end());

        auto now = std::chrono::steady_clock::now();
        if (host_.ready()) {
            nextStep = now + options_.commandDelay;
        } else if (now >= nextStep) {
            host_.step();
            nextStep = now + options_.commandDelay;
        }
    }
}

}  // namespace velmora::sim
