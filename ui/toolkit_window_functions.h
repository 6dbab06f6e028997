// The platform's window functions with the toolkit's message pump and Escape
// key state, so that the host link's waits keep the window alive without
// host/ knowing the toolkit.
#pragma once

#include <memory>

#include "platform/window_functions.h"
#include "ui/controls.h"

namespace velmora {

class ToolkitWindowFunctions : public WindowFunctions {
public:
    explicit ToolkitWindowFunctions(std::unique_ptr<WindowFunctions> platform) : platform_(std::move(platform)) {}

    WindowFunctions& platform() { return *platform_; }

    std::optional<WindowHandle> findTopLevelWindow(std::u16string_view title) override {
        return platform_->findTopLevelWindow(title);
    }
    bool isWindowEnabled(WindowHandle window) override { return platform_->isWindowEnabled(window); }
    bool setForegroundWindow(WindowHandle window) override { return platform_->setForegroundWindow(window); }
    bool isEscapeKeyDown() override { return escapeKeyDown(); }
    void sleepMilliseconds(std::uint32_t ms) override { platform_->sleepMilliseconds(ms); }
    std::uint32_t tickCount() override { return platform_->tickCount(); }
    void processMessages() override { velmora::processMessages(); }

private:
    std::unique_ptr<WindowFunctions> platform_;
};

}  // namespace velmora
