// How the tool reaches the host: its window by title, then its application
// object, on the platform this build runs on.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "host/host_objects.h"
#include "platform/files.h"

namespace velmora {

// What the host link needs from the platform and the program: the window
// functions, the title the host's window is found by, how the application
// object is obtained once the window is found (by default: the client of the
// simulated host, reached through the window's registration), and the
// program's folder (with a closing separator), where the listing script and
// the item list file lie.
struct HostLink {
    using ApplicationFactory = std::function<std::unique_ptr<InanoCADApplication>(WindowHandle)>;

    WindowFunctions& windows;
    std::u16string title = kHostWindowTitle;
    ApplicationFactory obtainApplication;
    std::filesystem::path programFolder;
};

// The window functions of the platform this build runs on (the window
// registry here, user32 on Windows), and a HostLink over them to the host
// this build talks to, for the command-line tool.
std::unique_ptr<WindowFunctions> makePlatformWindowFunctions();
HostLink platformHostLink(WindowFunctions& windows);

// nullptr when no window titled link.title exists, it is disabled, or the
// application object cannot be obtained or brought to the front.
std::unique_ptr<InanoCADApplication> connectHost(HostLink& link, bool bringToFront);

}  // namespace velmora
