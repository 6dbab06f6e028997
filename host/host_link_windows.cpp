// The host link of the Windows build: the platform's windows, the running
// host's COM objects, and the executable's folder from the module file name.
#include <windows.h>

#include <string>

#include "host/com/com_host.h"
#include "host/host_api.h"
#include "platform/win32_window_functions.h"

namespace velmora {

std::filesystem::path executableFolder() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) return std::filesystem::current_path() / "";
        if (n < name.size()) {
            name.resize(n);
            break;
        }
        name.resize(name.size() * 2);
    }
    return std::filesystem::path(name).parent_path() / "";
}

std::unique_ptr<WindowFunctions> makePlatformWindowFunctions() { return std::make_unique<Win32WindowFunctions>(); }

// The application object is the running host's, over COM.
HostLink platformHostLink(WindowFunctions& windows) {
    return HostLink{windows, kHostWindowTitle, com::activeHostApplication, executableFolder()};
}

}  // namespace velmora
