#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "host/host_api.h"
#include "host/sim_client.h"
#include "platform/files.h"

namespace velmora {

std::unique_ptr<WindowFunctions> makePlatformWindowFunctions() { return std::make_unique<RegistryWindowFunctions>(); }

HostLink platformHostLink(WindowFunctions& windows) {
    auto* registry = dynamic_cast<RegistryWindowFunctions*>(&windows);
    const std::filesystem::path folder = registry ? registry->registry() : defaultWindowRegistry();
    return HostLink{windows, kHostWindowTitle, simulatedHostFactory(folder), executableFolder()};
}

}  // namespace velmora
