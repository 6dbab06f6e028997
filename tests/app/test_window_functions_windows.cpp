// The window functions of the window tests on this platform: the system's
// own top-level windows, where no host runs unless a test starts one.
#include "platform/window_functions_windows.h"
#include "window_test_support.h"

namespace velmora::test {

std::unique_ptr<WindowFunctions> testWindowFunctions(const ToolDir&) { return std::make_unique<Win32WindowFunctions>(); }

}  // namespace velmora::test
