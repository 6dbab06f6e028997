// The host of the window tests on Windows: the simulated host's core in the
// test's process behind the COM stand-in, registered as the running host's
// active object with its window titled "nanoCAD 5", so the window reaches it
// as it reaches the real host: through the COM adapter.
#include <windows.h>

#include "host/sim/sim_local_channel.h"
#include "platform/window_functions_windows.h"
#include "tests/app/test_host.h"
#include "tests/host/windows/com_stand_in.h"

namespace velmora::test {

struct TestHost::Native {
    std::vector<nlohmann::json> log;
    std::shared_ptr<sim::SimHost> host;
    std::unique_ptr<testing::ComStandIn> standIn;
};

TestHost::TestHost(const std::filesystem::path& drawing, bool modal) : native_(std::make_unique<Native>()) {
    Native& n = *native_;
    n.standIn = std::make_unique<testing::ComStandIn>(
        [&n, drawing, modal](HWND window) {
            sim::SimHostOptions options;
            options.windowHandle = static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(window));
            options.modal = modal;
            n.host = std::make_shared<sim::SimHost>(sim::loadDrawing(drawing), options,
                                                    [&n](const nlohmann::json& entry) { n.log.push_back(entry); });
            n.host->onModalChange = [window](bool modal) { ::EnableWindow(window, !modal); };
            return simulatedHostApplication(std::make_shared<sim::LocalHostChannel>(n.host));
        },
        nullptr);
    ::EnableWindow(n.standIn->window(), !modal);
}

TestHost::~TestHost() = default;

std::vector<std::string> TestHost::sentCommands() const {
    std::vector<std::string> commands;
    for (const auto& entry : native_->log)
        if (entry.value("call", "") == "doc.sendCommand" && entry.contains("args") && !entry["args"].empty() &&
            entry["args"][0].is_string())
            commands.push_back(entry["args"][0].get<std::string>());
    return commands;
}

void TestHost::setModal(bool modal) {
    if (native_->host) native_->host->setModal(modal);
}

void TestHost::kill() {
    // Objects the tool still holds answer as those of a host that has exited.
    native_->host.reset();
    native_->standIn->revoke();
}

std::unique_ptr<WindowFunctions> TestHost::windowFunctions(std::function<bool()>& check) {
    return std::make_unique<CheckingWindowFunctions>(std::make_unique<Win32WindowFunctions>(), check);
}

// The platform's host link: the active object over COM.
HostLink::ApplicationFactory TestHost::applicationFactory() { return {}; }

}  // namespace velmora::test
