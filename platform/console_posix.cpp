#include "platform/console.h"

namespace velmora {

// File names and texts on this platform's command line are UTF-8 already.
std::vector<std::string> commandLineArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

void useBinaryStandardOutput() {}  // the standard output is binary here

}  // namespace velmora
