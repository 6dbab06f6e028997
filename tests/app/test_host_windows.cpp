#include <windows.h>

#include "host/sim/sim_local_channel.h"
#include "platform/win32_window_functions.h"
#include "tests/app/test_host.h"

namespace velmora::test {
namespace {

// The host's top-level window; its enabled state is the host's modal state.
struct HostWindow {
    HostWindow() {
        window = ::CreateWindowExW(0, L"STATIC", L"nanoCAD 5", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    }
    ~HostWindow() { close(); }
    void close() {
        if (window) ::DestroyWindow(window);
        window = nullptr;
    }
    HWND window = nullptr;
};

}  // namespace

struct TestHost::Native {
    HostWindow window;
    std::vector<nlohmann::json> log;
    std::shared_ptr<sim::SimHost> host;
};

TestHost::TestHost(const std::filesystem::path& drawing, bool modal) : native_(std::make_unique<Native>()) {
    sim::SimHostOptions options;
    options.windowHandle = static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(native_->window.window));
    options.modal = modal;
    native_->host = std::make_shared<sim::SimHost>(sim::loadDrawing(drawing), options,
                                                   [log = &native_->log](const nlohmann::json& entry) {
                                                       log->push_back(entry);
                                                   });
    HWND window = native_->window.window;
    native_->host->onModalChange = [window](bool modal) { ::EnableWindow(window, !modal); };
    ::EnableWindow(window, !modal);
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
    native_->host.reset();
    native_->window.close();
}

std::unique_ptr<WindowFunctions> TestHost::windowFunctions(std::function<bool()>& check) {
    return std::make_unique<CheckingWindowFunctions>(std::make_unique<Win32WindowFunctions>(), check);
}

HostLink::ApplicationFactory TestHost::applicationFactory() {
    return [this](WindowHandle) -> std::unique_ptr<InanoCADApplication> {
        if (!native_->host) throw HostError("the host has exited");
        return simulatedHostApplication(std::make_shared<sim::LocalHostChannel>(native_->host));
    };
}

}  // namespace velmora::test
