#include "host/sim_client.h"

#include <utility>

#include "host/host_protocol.h"
#include "platform/utf.h"

namespace velmora {
namespace fs = std::filesystem;
using nlohmann::json;

json HostChannel::call(const std::string& op, std::int64_t target, json args) {
    // After a failure a late answer could still arrive and be taken for the
    // next one; a channel that failed once is not used again.
    if (broken_) throw HostError("the host connection was lost");
    HostRequest request;
    request.id = nextId_++;
    request.op = op;
    request.target = target;
    request.args = std::move(args);
    HostAnswer answer;
    try {
        answer = parseHostAnswer(exchange(makeRequest(request)), request.id);
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

using Link = std::shared_ptr<HostChannel>;

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
    RemoteEntity(HostChannel* owner, std::int64_t handle) : owner_(owner), handle_(handle) {}
    HostChannel* owner() const { return owner_; }
    std::int64_t handle() const { return handle_; }

private:
    HostChannel* owner_;
    std::int64_t handle_;
};

json encodeValue(const HostValue& value, HostChannel* connection) {
    struct Encoder {
        HostChannel* connection;
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

HostValue decodeValue(const json& value, HostChannel* connection) {
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
    const HostChannel* connection() const { return link_.get(); }
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

std::unique_ptr<InanoCADApplication> simulatedHostApplication(std::shared_ptr<HostChannel> channel) {
    return queryInterface<InanoCADApplication>(makeObject(channel, channel->call("app.connect")));
}

}  // namespace velmora
