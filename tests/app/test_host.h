// The host of the window tests: the simulated host on a drawing, found as a
// top-level window titled "nanoCAD 5" (modal: disabled). On Linux it is
// velmora-hostsim in its own process behind its registry and socket; on
// Windows the simulated host's core in the test's process behind the COM
// stand-in, the active object of the host's class.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/host_api.h"

namespace velmora::test {

class TestHost {
public:
    TestHost(const std::filesystem::path& drawing, bool modal);
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    // Every command string the host was sent, in order.
    std::vector<std::string> sentCommands() const;
    void setModal(bool modal);
    // The host exits; calls in progress and later ones fail.
    void kill();
    // The platform's window functions that find this host. While `check` is
    // set, it runs at every sleep of a wait for the host, until it returns
    // true: a user's click while the tool waits.
    std::unique_ptr<WindowFunctions> windowFunctions(std::function<bool()>& check);
    HostLink::ApplicationFactory applicationFactory();

    struct Native;

private:
    std::unique_ptr<Native> native_;
};

// `platform`, with `check` run at every sleep until it returns true.
class CheckingWindowFunctions : public WindowFunctions {
public:
    CheckingWindowFunctions(std::unique_ptr<WindowFunctions> platform, std::function<bool()>& check)
        : platform_(std::move(platform)), check_(check) {}
    std::optional<WindowHandle> findTopLevelWindow(std::u16string_view title) override {
        return platform_->findTopLevelWindow(title);
    }
    bool isWindowEnabled(WindowHandle window) override { return platform_->isWindowEnabled(window); }
    bool setForegroundWindow(WindowHandle window) override { return platform_->setForegroundWindow(window); }
    bool isEscapeKeyDown() override { return platform_->isEscapeKeyDown(); }
    void sleepMilliseconds(std::uint32_t ms) override {
        if (check_ && check_()) check_ = nullptr;
        platform_->sleepMilliseconds(ms);
    }
    std::uint32_t tickCount() override { return platform_->tickCount(); }
    void processMessages() override { platform_->processMessages(); }

private:
    std::unique_ptr<WindowFunctions> platform_;
    std::function<bool()>& check_;
};

}  // namespace velmora::test
