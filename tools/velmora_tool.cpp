// velmora-tool: the drawing module from the command line.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "platform/locale_numbers.h"
#include "platform/console.h"
#include "tools/tool_args.h"
#include "tools/tool_commands.h"

namespace {

constexpr const char* kUsage =
    "usage: velmora-tool COMMAND ...\n"
    "  preview FILE OUT.bmp|OUT.png [--size WxH] [--decimal-separator C]\n"
    "  thumbnail ITEMS OUT.bmp|OUT.png [--size WxH] [--decimal-separator C]\n"
    "  dump FILE [--normalized] [--decimal-separator C]\n"
    "  dump-items ITEMS [--normalized] [--decimal-separator C]\n"
    "  host blocks\n"
    "  host thumbnail NAME OUT.bmp [--size WxH]\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace velmora::tool;
    velmora::initDecimalSeparatorFromEnvironment();
    velmora::useBinaryStandardOutput();  // JSON and texts byte for byte as on every platform
    const std::vector<std::string> arguments = velmora::commandLineArguments(argc, argv);
    if (arguments.empty()) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    const std::string& command = arguments[0];
    Args args(arguments.begin() + 1, arguments.end());
    try {
        if (command == "preview") return runPreview(args);
        if (command == "thumbnail") return runThumbnail(args);
        if (command == "dump") return runDump(args);
        if (command == "dump-items") return runDumpItems(args);
        if (command == "host") return runHost(args);
        if (command == "--help" || command == "-h") {
            std::fputs(kUsage, stdout);
            return kExitSuccess;
        }
        std::fprintf(stderr, "velmora-tool: unknown command %s\n%s", command.c_str(), kUsage);
        return kExitUsage;
    } catch (const UsageError& e) {
        std::fprintf(stderr, "velmora-tool: %s\n%s", e.what(), kUsage);
        return kExitUsage;
    } catch (const std::bad_alloc&) {
        std::fputs("velmora-tool: out of memory\n", stderr);
        return kExitFailure;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velmora-tool: %s\n", e.what());
        return kExitFailure;
    }
}
