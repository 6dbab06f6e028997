// The window functions the host link needs: finding the host's top-level
// window by its title, its enabled state, making it the foreground window, the
// Escape key, sleeping and a millisecond tick count. The application supplies
// the message pump and the Escape key state as callbacks, so nothing here (and
// nothing in host/) depends on the window toolkit.
//
// On this platform a "top-level window" of another program is a registration
// in the window registry: a private folder in the user's runtime directory
// ($XDG_RUNTIME_DIR, else /tmp/velmora-<uid>), owner-only, with one
// sub-folder per window named after its handle (the owning process id),
// holding the files "title" (UTF-8), "socket" (the program's Unix socket) and,
// while the window accepts no input, "disabled".
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

using WindowHandle = std::uint32_t;

class WindowFunctions {
public:
    virtual ~WindowFunctions() = default;

    virtual std::optional<WindowHandle> findTopLevelWindow(std::u16string_view title) = 0;
    virtual bool isWindowEnabled(WindowHandle window) = 0;
    virtual bool setForegroundWindow(WindowHandle window) = 0;
    virtual bool isEscapeKeyDown() = 0;
    virtual void sleepMilliseconds(std::uint32_t ms) = 0;
    // Wraps around after 2^32 ms; measure spans as unsigned differences.
    virtual std::uint32_t tickCount() = 0;
    // Processes the tool's pending window messages (other handlers may run).
    virtual void processMessages() = 0;
};

// The registry folder: $XDG_RUNTIME_DIR/velmora-windows when that variable
// names an existing folder, else /tmp/velmora-<uid>/velmora-windows.
std::filesystem::path defaultWindowRegistry();

// Creates `folder` (and, for the /tmp fallback, its parent) owner-only, and
// checks that it is a real folder owned by this user with no access for
// others. Throws std::runtime_error otherwise.
void ensurePrivateFolder(const std::filesystem::path& folder);

// The registration folder of a window, found by handle; empty when the window
// is not registered or its owning process has ended.
std::filesystem::path windowRegistration(const std::filesystem::path& registry, WindowHandle window);

// The window functions over a window registry. The message pump and the
// Escape key state come from the application; by default the pump does
// nothing and Escape is never down.
class RegistryWindowFunctions : public WindowFunctions {
public:
    explicit RegistryWindowFunctions(std::filesystem::path registry = defaultWindowRegistry());

    void setMessagePump(std::function<void()> pump) { pump_ = std::move(pump); }
    void setEscapeKeyState(std::function<bool()> state) { escape_ = std::move(state); }
    const std::filesystem::path& registry() const { return registry_; }

    // Nothing is found in a registry that is not private to this user.
    std::optional<WindowHandle> findTopLevelWindow(std::u16string_view title) override;
    bool isWindowEnabled(WindowHandle window) override;
    // Marks the registration with a "foreground" file the window's program
    // can see; false when the window is not registered.
    bool setForegroundWindow(WindowHandle window) override;
    bool isEscapeKeyDown() override;
    void sleepMilliseconds(std::uint32_t ms) override;
    std::uint32_t tickCount() override;
    void processMessages() override;

private:
    std::filesystem::path registry_;
    std::function<void()> pump_;
    std::function<bool()> escape_;
};

// A window registration owned by this process, removed when destroyed.
class WindowRegistration {
public:
    // Makes the registration folder registry/<pid> of the calling process;
    // the window can be found by its title once publish() has run, so the
    // program can open its socket first. Throws std::runtime_error on failure.
    WindowRegistration(const std::filesystem::path& registry, std::u16string_view title);
    ~WindowRegistration();
    WindowRegistration(const WindowRegistration&) = delete;
    WindowRegistration& operator=(const WindowRegistration&) = delete;

    WindowHandle handle() const { return handle_; }
    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path socketPath() const { return folder_ / "socket"; }
    void publish();
    void setEnabled(bool enabled);
    bool enabled() const;

private:
    std::filesystem::path folder_;
    std::u16string title_;
    WindowHandle handle_ = 0;
};

}  // namespace velmora
