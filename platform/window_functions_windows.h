// The window functions over the platform's own windows (user32): the host's
// top-level window found by its exact title. The message pump runs the
// calling thread's pending messages.
#pragma once

#include "platform/window_functions.h"

namespace velmora {

class Win32WindowFunctions : public WindowFunctions {
public:
    std::optional<WindowHandle> findTopLevelWindow(std::u16string_view title) override;
    bool isWindowEnabled(WindowHandle window) override;
    bool setForegroundWindow(WindowHandle window) override;
    bool isEscapeKeyDown() override;
    void sleepMilliseconds(std::uint32_t ms) override;
    std::uint32_t tickCount() override;
    void processMessages() override;
};

}  // namespace velmora
