// The window functions of the window tests on this platform: a window
// registry private to the test's tool folder.
#include "window_test_support.h"

namespace velmora::test {

std::unique_ptr<WindowFunctions> testWindowFunctions(const ToolDir& dir) {
    const std::filesystem::path registry = dir.path() / "registry";
    std::filesystem::create_directories(registry);
    std::filesystem::permissions(registry, std::filesystem::perms::owner_all);
    return std::make_unique<RegistryWindowFunctions>(registry);
}

}  // namespace velmora::test
