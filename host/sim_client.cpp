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

json HostConnection::call(const std::string& op, std::int64_t target, json args) {
    // After a timeout the late answer could still arrive and be taken for the
    // next one; a connection that failed once is not used again.
    if (broken_) throw HostError("the host connection was lost");
    HostRequest request;
    request.id = nextId_++;
    request.op = op;
    request.target = target;
    request.args = std::move(args);
    HostAnswer answer;
    try {
        const auto deadline = callDeadline();
        sendAll(makeRequest(request), deadline);
        answer = parseHostAnswer(readLine(deadline), request.id);
    } catch (const HostError&) {
        broken_ = true;
        throw;
    } catch (const ProtocolError& e) {
        broken_ = true;
        throw HostError(std::string("bad answer from the host: ") + e.what());
    }
    if (!answer.ok) throw HostError(op + ": " + answer.error);
    return answer.value;
}

namespace {

using Link = std::shared_ptr<HostConnection>;

std::u16string toWide(const json& value) {
    if (!value.is_string()) throw HostError("the host answered no string");
    return utf8ToUtf16(value.get<std::string>());
}

std::int32_t toInt(const json& value) {
    if (!value.is_number_integer()) throw HostError("the host answered no integer");
    auto v = value.get<std::int64_t>();
    if (v < INT32_MIN || v > INT32_MAX) throw HostError("the host answered an integer outside 32 bits");
    return static_cast<std::int32_t>(v);
}

bool toBool(const json& value) {
    if (!value.is_boolean()) throw HostError("the host answered no Boolean");
    return value.get<bool>();
}

std::int64_t objectHandle(const json& value, const char* key = "object") {
    if (!value.is_object() || !value.contains(key) || !value[key].is_number_integer())
        throw HostError("the host answered no object");
    return value[key].get<std::int64_t>();
}

// Base of the client objects: the connection and the host's handle.
class Remote {
public:
    Remote(Link link, std::int64_t handle) : link_(std::move(link)), handle_(handle) {}

protected:
    json call(const std::string& op, json args = json::array()) { return link_->call(op, handle_, std::move(args)); }
    Link link_;
    std::int64_t handle_;
};

class RemoteEntity : public HostEntity {
public:
    RemoteEntity(HostConnection* owner, std::int64_t handle) : owner_(owner), handle_(handle) {}
    HostConnection* owner() const { return owner_; }
    std::int64_t handle() const { return handle_; }

private:
    HostConnection* owner_;
    std::int64_t handle_;
};

json encodeValue(const HostValue& value, HostConnection* connection) {
    struct Encoder {
        HostConnection* connection;
        json operator()(std::monostate) const { return nullptr; }
        json operator()(HostOmitted) const { return {{"omitted", true}}; }
        json operator()(std::int32_t v) const { return v; }
        json operator()(const std::u16string& v) const { return utf16ToUtf8(v); }
        json operator()(const HostPoint& p) const { return {{"point", {p.x, p.y, p.z}}}; }
        json operator()(const std::shared_ptr<HostEntity>& e) const { return {{"entity", entityHandle(e)}}; }
        json operator()(const HostEntityArray& array) const {
            json handles = json::array();
            for (const auto& e : array) handles.push_back(entityHandle(e));
            return {{"entities", handles}};
        }
        std::int64_t entityHandle(const std::shared_ptr<HostEntity>& e) const {
            auto* entity = dynamic_cast<const RemoteEntity*>(e.get());
            if (!entity || entity->owner() != connection) throw HostError("the entity belongs to no object of this host");
            return entity->handle();
        }
    };
    return std::visit(Encoder{connection}, value);
}

HostValue decodeValue(const json& value, HostConnection* connection) {
    if (value.is_null()) return std::monostate{};
    if (value.is_number_integer()) return toInt(value);
    if (value.is_string()) return utf8ToUtf16(value.get<std::string>());
    if (value.is_object()) {
        if (value.contains("entity")) return std::shared_ptr<HostEntity>(std::make_shared<RemoteEntity>(connection, objectHandle(value, "entity")));
        if (value.contains("entities") && value["entities"].is_array()) {
            HostEntityArray array;
            for (const json& h : value["entities"]) {
                if (!h.is_number_integer()) throw HostError("the host answered a bad entity array");
                array.push_back(std::make_shared<RemoteEntity>(connection, h.get<std::int64_t>()));
            }
            return array;
        }
        if (value.contains("point") && value["point"].is_array() && value["point"].size() == 3) {
            const json& p = value["point"];
            for (const json& c : p)
                if (!c.is_number()) throw HostError("the host answered a bad point");
            return HostPoint{p[0].get<double>(), p[1].get<double>(), p[2].get<double>()};
        }
        if (value.contains("omitted")) return HostOmitted{};
    }
    throw HostError("the host answered a value of unknown type");
}

class SimState : public HostState, Remote {
public:
    using Remote::Remote;
    bool isHostReady() override { return toBool(call("state.isHostReady")); }
};

class RemoteLayer : public HostLayer, Remote {
public:
    using Remote::Remote;
    std::int32_t colorIndex() override { return toInt(call("layer.colorIndex")); }
    bool hiddenStateA() override { return toBool(call("layer.hiddenStateA")); }
    std::u16string linetypeName() override { return toWide(call("layer.linetypeName")); }
    bool hiddenStateB() override { return toBool(call("layer.hiddenStateB")); }
    std::u16string layerName() override { return toWide(call("layer.layerName")); }
};

class RemoteBlock : public HostBlock, Remote {
public:
    using Remote::Remote;
    std::u16string blockName() override { return toWide(call("block.blockName")); }
};

// An object answered by the host, typed by the kind it reports.
std::unique_ptr<HostObject> makeObject(const Link& link, const json& value);

class SimCollection : public HostCollection, Remote {
public:
    using Remote::Remote;
    std::unique_ptr<HostObject> item(const HostValue& index) override {
        return makeObject(link_, call("collection.item", json::array({encodeValue(index, link_.get())})));
    }
    std::int32_t itemCount() override { return toInt(call("collection.itemCount")); }
};

class SimReference : public HostReference, Remote {
public:
    using Remote::Remote;
    void discardCopiedReference() override { call("reference.discardCopiedReference"); }
    void deleteReference() override { call("reference.deleteReference"); }
    HostValue explodeReference() override { return decodeValue(call("reference.explodeReference"), link_.get()); }
};

class SimSpace : public HostSpace, Remote {
public:
    using Remote::Remote;
    std::unique_ptr<HostReference> insertReference(const HostValue& point, const std::u16string& blockName,
                                                   double xScale, double yScale, double zScale, double rotation,
                                                   const HostValue& optional) override {
        json args = json::array({encodeValue(point, link_.get()), utf16ToUtf8(blockName), xScale, yScale, zScale,
                                 rotation, encodeValue(optional, link_.get())});
        return queryInterface<HostReference>(makeObject(link_, call("space.insertReference", std::move(args))));
    }
};

class SimSelection : public HostSelection, Remote {
public:
    using Remote::Remote;
    void eraseSelected() override { call("selection.eraseSelected"); }
    void addToSelection(const HostValue& entity) override {
        call("selection.addToSelection", json::array({encodeValue(entity, link_.get())}));
    }
    void clearSelection() override { call("selection.clearSelection"); }
    std::int64_t handle() const { return handle_; }
    const HostConnection* connection() const { return link_.get(); }
};

class SimDocument : public HostDocument, Remote {
public:
    using Remote::Remote;
    std::unique_ptr<HostSpace> insertionSpace() override {
        return queryInterface<HostSpace>(makeObject(link_, call("doc.insertionSpace")));
    }
    std::unique_ptr<HostCollection> blockCollection() override {
        return queryInterface<HostCollection>(makeObject(link_, call("doc.blockCollection")));
    }
    std::unique_ptr<HostCollection> layerCollection() override {
        return queryInterface<HostCollection>(makeObject(link_, call("doc.layerCollection")));
    }
    std::unique_ptr<HostSelection> selectionObject() override {
        return queryInterface<HostSelection>(makeObject(link_, call("doc.selectionObject")));
    }
    std::u16string documentFullName() override { return toWide(call("doc.documentFullName")); }
    void writeBlock(const std::u16string& fileName, HostSelection& selection) override {
        auto* own = dynamic_cast<SimSelection*>(&selection);
        if (!own || own->connection() != link_.get()) throw HostError("the selection belongs to no object of this host");
        call("doc.writeBlock", json::array({utf16ToUtf8(fileName), json{{"object", own->handle()}}}));
    }
    HostValue getSystemVariable(const std::u16string& name) override {
        return decodeValue(call("doc.getSystemVariable", json::array({utf16ToUtf8(name)})), link_.get());
    }
    void setSystemVariable(const std::u16string& name, const HostValue& value) override {
        call("doc.setSystemVariable", json::array({utf16ToUtf8(name), encodeValue(value, link_.get())}));
    }
    void sendCommand(const std::u16string& command) override {
        call("doc.sendCommand", json::array({utf16ToUtf8(command)}));
    }
};

class SimApplication : public InanoCADApplication, Remote {
public:
    using Remote::Remote;
    std::unique_ptr<HostDocument> currentDocument() override {
        return queryInterface<HostDocument>(makeObject(link_, call("app.currentDocument")));
    }
    std::int32_t getWindowState() override { return toInt(call("app.getWindowState")); }
    void setWindowState(std::int32_t state) override { call("app.setWindowState", json::array({state})); }
    std::unique_ptr<HostObject> getHostState() override { return makeObject(link_, call("app.getHostState")); }
    WindowHandle getMainWindowHandle() override {
        json value = call("app.getMainWindowHandle");
        if (!value.is_number_integer()) throw HostError("the host answered no window handle");
        return static_cast<WindowHandle>(value.get<std::int64_t>());
    }
};

std::unique_ptr<HostObject> makeObject(const Link& link, const json& value) {
    std::int64_t handle = objectHandle(value);
    std::string kind = value.contains("kind") && value["kind"].is_string() ? value["kind"].get<std::string>() : "";
    if (kind == "application") return std::make_unique<SimApplication>(link, handle);
    if (kind == "document") return std::make_unique<SimDocument>(link, handle);
    if (kind == "collection") return std::make_unique<SimCollection>(link, handle);
    if (kind == "layer") return std::make_unique<RemoteLayer>(link, handle);
    if (kind == "block") return std::make_unique<RemoteBlock>(link, handle);
    if (kind == "space") return std::make_unique<SimSpace>(link, handle);
    if (kind == "reference") return std::make_unique<SimReference>(link, handle);
    if (kind == "selection") return std::make_unique<SimSelection>(link, handle);
    if (kind == "state") return std::make_unique<SimState>(link, handle);
    throw HostError("the host answered an object of unknown kind \"" + kind + "\"");
}

}  // namespace

std::unique_ptr<InanoCADApplication> connectSimulatedHost(const fs::path& socketPath,
                                                          std::chrono::milliseconds callTimeout) {
    auto link = std::make_shared<HostConnection>(socketPath, callTimeout);
    return queryInterface<InanoCADApplication>(makeObject(link, link->call("app.connect")));
}

HostLink::ApplicationFactory simulatedHostFactory(fs::path registry) {
    return [registry = std::move(registry)](WindowHandle window) -> std::unique_ptr<InanoCADApplication> {
        fs::path folder = windowRegistration(registry, window);
        if (folder.empty()) throw HostError("the host window is not registered");
        return connectSimulatedHost(folder / "socket");
    };
}

}  // namespace velmora
