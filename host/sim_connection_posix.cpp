// The simulated host's Unix socket: one request line out, one answer line in.
#include "host/sim_client.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "host/host_protocol.h"
#include "platform/utf.h"

namespace velmora {
namespace fs = std::filesystem;
using nlohmann::json;

HostConnection::HostConnection(const fs::path& socketPath, std::chrono::milliseconds callTimeout)
    : timeout_(callTimeout), firstDeadline_(std::chrono::steady_clock::now() + callTimeout) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string& path = socketPath.native();
    if (path.size() >= sizeof(address.sun_path)) throw HostError("host socket path too long: " + path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0) throw HostError(std::string("cannot make a socket: ") + std::strerror(errno));
    if (int error = connectBefore(address, *firstDeadline_); error != 0) {
        ::close(fd_);
        fd_ = -1;
        throw HostError("cannot reach the host at " + path + ": " + std::strerror(error));
    }
}

// A host that is stopped or flooded has a full listen queue; the connection
// is tried again until the deadline instead of waiting on the queue.
int HostConnection::connectBefore(const sockaddr_un& address, std::chrono::steady_clock::time_point deadline) {
    constexpr std::chrono::milliseconds kRetry{20};
    for (;;) {
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) return 0;
        const int error = errno;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (error == EINPROGRESS) {
            pollfd p{fd_, POLLOUT, 0};
            if (::poll(&p, 1, static_cast<int>(std::max<long long>(left.count(), 0))) <= 0) return ETIMEDOUT;
            int result = 0;
            socklen_t length = sizeof(result);
            ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &result, &length);
            return result;
        }
        if (error != EAGAIN && error != EINTR) return error;
        if (left.count() <= 0) return ETIMEDOUT;
        ::poll(nullptr, 0, static_cast<int>(std::min<long long>(left.count(), kRetry.count())));
    }
}

HostConnection::~HostConnection() {
    if (fd_ >= 0) ::close(fd_);
}

std::chrono::steady_clock::time_point HostConnection::callDeadline() {
    // The first call shares the time the connection took.
    auto deadline = std::chrono::steady_clock::now() + timeout_;
    if (firstDeadline_) deadline = std::min(deadline, *std::exchange(firstDeadline_, std::nullopt));
    return deadline;
}

void HostConnection::sendAll(const std::string& data, std::chrono::steady_clock::time_point deadline) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = ::send(fd_, data.data() + sent, data.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) throw HostError("the host does not take the request");
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, static_cast<int>(left.count()));
            continue;
        }
        throw HostError(std::string("the host connection is broken: ") + std::strerror(errno));
    }
}

std::string HostConnection::readLine(std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        if (auto end = buffer_.find('\n'); end != std::string::npos) {
            std::string line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return line;
        }
        if (buffer_.size() > kMaxAnswerBytes) throw HostError("the host's answer is too long");
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) throw HostError("the host did not answer in time");
        pollfd p{fd_, POLLIN, 0};
        int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) continue;  // the deadline check above ends the wait
        char chunk[65536];
        ssize_t n = ::recv(fd_, chunk, sizeof(chunk), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw HostError("the host closed the connection");
        buffer_.append(chunk, static_cast<std::size_t>(n));
    }
}

std::string HostConnection::exchange(const std::string& requestLine) {
    const auto deadline = callDeadline();
    sendAll(requestLine, deadline);
    return readLine(deadline);
}

std::unique_ptr<InanoCADApplication> connectSimulatedHost(const fs::path& socketPath,
                                                          std::chrono::milliseconds callTimeout) {
    return simulatedHostApplication(std::make_shared<HostConnection>(socketPath, callTimeout));
}

HostLink::ApplicationFactory simulatedHostFactory(fs::path registry) {
    return [registry = std::move(registry)](WindowHandle window) -> std::unique_ptr<InanoCADApplication> {
        fs::path folder = windowRegistration(registry, window);
        if (folder.empty()) throw HostError("the host window is not registered");
        return connectSimulatedHost(folder / "socket");
    };
}

}  // namespace velmora
