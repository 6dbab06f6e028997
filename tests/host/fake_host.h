// Scripted host objects and window functions for the composite operations:
// every call is recorded as text, time is virtual (sleeps advance the tick
// count), and failures or answers can be set per operation.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/host_api.h"
#include "platform/utf.h"

namespace velmora::testing {

struct FakeHost {
    std::vector<std::string> calls;
    std::set<std::string> failing;  // operations (or whole calls, "item 3") that throw HostError
    // Answers.
    std::int32_t windowState = 1;
    WindowHandle mainWindow = 77;
    int readyAfterPolls = -1;  // -1: never ready
    int readyPolls = 0;
    std::int32_t explodeCount = 2;
    struct Layer {
        std::u16string name;
        std::int32_t color;
        std::u16string linetype;
        bool hiddenA, hiddenB;
    };
    std::vector<Layer> layers;
    std::vector<std::u16string> blocks;
    std::map<std::u16string, HostValue> variables;
    int flagAfterReads = -1;  // USERI1 reads 1 from this read on; -1: never
    int flagReads = 0;

    // Runs at every call, after it is recorded: a test's stand-in for a user
    // clicking while the tool waits for the host.
    std::function<void(const std::string&)> onCall;

    void record(const std::string& call) {
        calls.push_back(call);
        if (onCall) onCall(call);
        std::string op = call.substr(0, call.find(' '));
        if (failing.count(op) || failing.count(call)) throw HostError(call + " failed");
    }
};

struct FakeWindows : WindowFunctions {
    std::vector<std::string>* calls = nullptr;  // shared with the host, for order
    bool windowExists = true;
    bool enabled = true;
    bool escape = false;
    int escapeAfterPumps = -1;
    int pumps = 0;
    std::uint32_t now = 0xFFFFF000u;  // wraps during long waits
    std::vector<std::uint32_t> sleeps;

    void note(const std::string& text) {
        if (calls) calls->push_back(text);
    }
    std::optional<WindowHandle> findTopLevelWindow(std::u16string_view) override {
        note("findWindow");
        return windowExists ? std::optional<WindowHandle>(5) : std::nullopt;
    }
    bool isWindowEnabled(WindowHandle) override { return enabled; }
    bool setForegroundWindow(WindowHandle window) override {
        note("foreground " + std::to_string(window));
        return true;
    }
    bool isEscapeKeyDown() override { return escape || (escapeAfterPumps >= 0 && pumps >= escapeAfterPumps); }
    void sleepMilliseconds(std::uint32_t ms) override {
        sleeps.push_back(ms);
        now += ms;
        note("sleep " + std::to_string(ms));
    }
    std::uint32_t tickCount() override { return now; }
    void processMessages() override {
        ++pumps;
        note("pump");
    }
};

class FakeEntity : public HostEntity {
public:
    explicit FakeEntity(int n) : n(n) {}
    int n;
};

class FakeState : public HostState {
public:
    explicit FakeState(FakeHost& h) : h_(h) {}
    bool isHostReady() override {
        h_.record("isHostReady");
        ++h_.readyPolls;
        return h_.readyAfterPolls >= 0 && h_.readyPolls >= h_.readyAfterPolls;
    }

private:
    FakeHost& h_;
};

class FakeLayer : public HostLayer {
public:
    FakeLayer(FakeHost& h, const FakeHost::Layer& l) : h_(h), l_(l) {}
    std::int32_t colorIndex() override { return h_.record("colorIndex " + utf16ToUtf8(l_.name)), l_.color; }
    bool hiddenStateA() override { return h_.record("hiddenStateA " + utf16ToUtf8(l_.name)), l_.hiddenA; }
    std::u16string linetypeName() override { return h_.record("linetypeName " + utf16ToUtf8(l_.name)), l_.linetype; }
    bool hiddenStateB() override { return h_.record("hiddenStateB " + utf16ToUtf8(l_.name)), l_.hiddenB; }
    std::u16string layerName() override { return h_.record("layerName " + utf16ToUtf8(l_.name)), l_.name; }

private:
    FakeHost& h_;
    FakeHost::Layer l_;
};

class FakeBlock : public HostBlock {
public:
    FakeBlock(FakeHost& h, std::u16string name) : h_(h), name_(std::move(name)) {}
    std::u16string blockName() override { return h_.record("blockName"), name_; }

private:
    FakeHost& h_;
    std::u16string name_;
};

class FakeCollection : public HostCollection {
public:
    FakeCollection(FakeHost& h, bool layers) : h_(h), layers_(layers) {}
    std::unique_ptr<HostObject> item(const HostValue& index) override {
        int i = std::get<std::int32_t>(index);
        h_.record("item " + std::to_string(i));
        if (layers_) return std::make_unique<FakeLayer>(h_, h_.layers.at(static_cast<std::size_t>(i)));
        return std::make_unique<FakeBlock>(h_, h_.blocks.at(static_cast<std::size_t>(i)));
    }
    std::int32_t itemCount() override {
        h_.record("itemCount");
        return static_cast<std::int32_t>(layers_ ? h_.layers.size() : h_.blocks.size());
    }

private:
    FakeHost& h_;
    bool layers_;
};

class FakeReference : public HostReference {
public:
    explicit FakeReference(FakeHost& h) : h_(h) {}
    void discardCopiedReference() override { h_.record("discardCopiedReference"); }
    void deleteReference() override { h_.record("deleteReference"); }
    HostValue explodeReference() override {
        h_.record("explodeReference");
        HostEntityArray array;
        for (int i = 0; i < h_.explodeCount; ++i) array.push_back(std::make_shared<FakeEntity>(i));
        return array;
    }

private:
    FakeHost& h_;
};

inline std::string describe(const HostValue& v) {
    if (std::holds_alternative<std::monostate>(v)) return "empty";
    if (std::holds_alternative<HostOmitted>(v)) return "omitted";
    if (auto* i = std::get_if<std::int32_t>(&v)) return std::to_string(*i);
    if (auto* s = std::get_if<std::u16string>(&v)) return "\"" + utf16ToUtf8(*s) + "\"";
    if (auto* p = std::get_if<HostPoint>(&v))
        return "(" + std::to_string(p->x) + "," + std::to_string(p->y) + "," + std::to_string(p->z) + ")";
    if (auto* e = std::get_if<std::shared_ptr<HostEntity>>(&v))
        return "entity " + std::to_string(dynamic_cast<FakeEntity&>(**e).n);
    return "array";
}

class FakeSpace : public HostSpace {
public:
    explicit FakeSpace(FakeHost& h) : h_(h) {}
    std::unique_ptr<HostReference> insertReference(const HostValue& point, const std::u16string& name, double xs,
                                                   double ys, double zs, double rotation,
                                                   const HostValue& optional) override {
        h_.record("insertReference " + describe(point) + " " + utf16ToUtf8(name) + " " + std::to_string(xs) + " " +
                  std::to_string(ys) + " " + std::to_string(zs) + " " + std::to_string(rotation) + " " +
                  describe(optional));
        return std::make_unique<FakeReference>(h_);
    }

private:
    FakeHost& h_;
};

class FakeSelection : public HostSelection {
public:
    explicit FakeSelection(FakeHost& h) : h_(h) {}
    void eraseSelected() override { h_.record("eraseSelected"); }
    void addToSelection(const HostValue& entity) override { h_.record("addToSelection " + describe(entity)); }
    void clearSelection() override { h_.record("clearSelection"); }

private:
    FakeHost& h_;
};

class FakeDocument : public HostDocument {
public:
    explicit FakeDocument(FakeHost& h) : h_(h) {}
    std::unique_ptr<HostSpace> insertionSpace() override {
        h_.record("insertionSpace");
        return std::make_unique<FakeSpace>(h_);
    }
    std::unique_ptr<HostCollection> blockCollection() override {
        h_.record("blockCollection");
        return std::make_unique<FakeCollection>(h_, false);
    }
    std::unique_ptr<HostCollection> layerCollection() override {
        h_.record("layerCollection");
        return std::make_unique<FakeCollection>(h_, true);
    }
    std::unique_ptr<HostSelection> selectionObject() override {
        h_.record("selectionObject");
        return std::make_unique<FakeSelection>(h_);
    }
    std::u16string documentFullName() override { return u"/drawings/plan.dwg"; }
    void writeBlock(const std::u16string& file, HostSelection&) override { h_.record("writeBlock " + utf16ToUtf8(file)); }
    HostValue getSystemVariable(const std::u16string& name) override {
        h_.record("getSystemVariable " + utf16ToUtf8(name));
        if (name == u"USERI1" && h_.flagAfterReads >= 0 && ++h_.flagReads >= h_.flagAfterReads)
            return std::int32_t{1};
        return h_.variables[name];
    }
    void setSystemVariable(const std::u16string& name, const HostValue& value) override {
        h_.record("setSystemVariable " + utf16ToUtf8(name) + " " + describe(value));
        h_.variables[name] = value;
    }
    void sendCommand(const std::u16string& command) override { h_.record("sendCommand " + utf16ToUtf8(command)); }

private:
    FakeHost& h_;
};

class FakeApplication : public InanoCADApplication {
public:
    explicit FakeApplication(FakeHost& h) : h_(h) {}
    std::unique_ptr<HostDocument> currentDocument() override {
        h_.record("currentDocument");
        return std::make_unique<FakeDocument>(h_);
    }
    std::int32_t getWindowState() override { return h_.record("getWindowState"), h_.windowState; }
    void setWindowState(std::int32_t state) override {
        h_.record("setWindowState " + std::to_string(state));
        h_.windowState = state;
    }
    std::unique_ptr<HostObject> getHostState() override {
        h_.record("getHostState");
        return std::make_unique<FakeState>(h_);
    }
    WindowHandle getMainWindowHandle() override { return h_.record("getMainWindowHandle"), h_.mainWindow; }

private:
    FakeHost& h_;
};

}  // namespace velmora::testing
