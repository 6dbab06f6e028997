// The simulated host CAD: a drawing, system variables, a command line that
// works through its queue of command strings asynchronously, and the
// automation calls of the host link, answered from JSON requests.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/host_protocol.h"
#include "host/sim/sim_drawing.h"

namespace velmora::sim {

using SysValue = std::variant<std::int32_t, std::string>;

struct SimHostOptions {
    std::int64_t windowHandle = 0;
    bool modal = false;
    char decimalSeparator = '.';
    std::size_t maxQueuedCommands = 10000;
};

class SimHost {
public:
    using Logger = std::function<void(const nlohmann::json&)>;

    SimHost(SimDrawing drawing, SimHostOptions options, Logger log);

    // The answer line to one request line; never throws for bad input.
    std::string answer(std::string_view requestLine);
    // Works through the next queued command string; false when the queue
    // was empty.
    bool step();
    bool ready() const { return queue_.empty(); }

    bool modal() const { return modal_; }
    void setModal(bool modal);
    // Called when the modal state changes (the registration follows it).
    std::function<void(bool)> onModalChange;

    const SimDrawing& drawing() const { return drawing_; }

private:
    struct Queued {
        std::string input;               // a command string
        std::int64_t discardHandle = 0;  // or a reference to remove in order
    };
    enum class Prompt { None, InsertName, CopySelect, CopyBase, LspOption, LspFile };

    nlohmann::json dispatch(const HostRequest& request);
    nlohmann::json applicationCall(const HostRequest& request);
    nlohmann::json documentCall(const HostRequest& request);
    nlohmann::json layerCall(const HostRequest& request);
    nlohmann::json referenceCall(const HostRequest& request);
    nlohmann::json selectionCall(const HostRequest& request);
    nlohmann::json insertReference(const HostRequest& request);
    nlohmann::json systemVariable(const std::string& name) const;
    void setSystemVariable(const std::string& name, const nlohmann::json& value);
    void writeBlock(const std::string& fileName);

    void processInput(const std::string& text);
    void processAnswer(const std::string& answer);
    void runCommand(const std::string& command);
    void loadLisp(const std::string& file);
    void makeBlockItems();

    SimBlock& resolveBlock(const std::string& nameOrFile);
    std::int64_t insertBlock(const std::string& nameOrFile, const double point[3]);
    std::vector<std::int64_t> explode(std::int64_t reference);
    void eraseModelEntity(std::int64_t handle);
    void note(const std::string& text);

    SimDrawing drawing_;
    SimHostOptions options_;
    Logger log_;
    bool modal_ = false;
    std::int32_t windowState_ = 1;
    std::map<std::string, SysValue> variables_;  // by upper-case name
    std::deque<Queued> queue_;
    std::string pendingInput_;
    Prompt prompt_ = Prompt::None;
    std::vector<std::int64_t> copySelection_;
    std::vector<SimEntity> clipboard_;
    double clipboardBase_[3] = {0, 0, 0};
    std::vector<std::int64_t> selection_;
    std::set<std::string> lispCommands_;  // upper-case names
};

// The fixed objects of the simulated host.
enum SimObject : std::int64_t {
    kApplicationObject = 1,
    kDocumentObject,
    kLayerCollectionObject,
    kBlockCollectionObject,
    kSpaceObject,
    kSelectionObject,
    kStateObject,
};

}  // namespace velmora::sim
