// The host link of the Windows build: the platform's windows, the running
// host's COM objects, and the executable's folder from the module file name.
#include <windows.h>

#include <string>

#include "host/com/com_host.h"
#include "host/host_api.h"
#include "platform/files.h"
#include "platform/window_functions_windows.h"

namespace velmora {

std::unique_ptr<WindowFunctions> makePlatformWindowFunctions() { return std::make_unique<Win32WindowFunctions>(); }

// The application object is the running host's, over COM.
HostLink platformHostLink(WindowFunctions& windows) {
    return HostLink{windows, kHostWindowTitle, com::activeHostApplication, executableFolder()};
}

}  // namespace velmora
