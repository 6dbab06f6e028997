// velmora-hostsim: the simulated host CAD. Holds a drawing, registers its
// window under a title, answers the host link's calls on its socket and
// works through the command strings it is sent, logging every call.
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "host/host_api.h"
#include "host/sim/sim_host.h"
#include "host/sim/sim_server.h"
#include "platform/locale_numbers.h"
#include "platform/utf.h"
#include "platform/window_functions.h"
#include "tools/tool_args.h"

namespace {

namespace fs = std::filesystem;
using namespace velmora;

constexpr const char* kUsage =
    "usage: velmora-hostsim [DRAWING.dxf] [--title TITLE] [--log FILE] [--modal]\n"
    "  the simulated host on a drawing (default: the bundled sample), until it is stopped;\n"
    "  every call and command it gets is logged to FILE (default: velmora-hostsim.log\n"
    "  beside the program)\n";

std::atomic<bool> g_stop{false};

void onSignal(int) { g_stop.store(true); }

// The call log, one JSON object a line, in a file of its own so that a
// terminal running the host beside the tool stays readable.
class Log {
public:
    explicit Log(const fs::path& file) : file_(std::fopen(file.c_str(), "a")) {
        if (!file_) throw std::runtime_error("cannot open the log file " + file.string());
    }
    ~Log() { std::fclose(file_); }
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;
    void write(nlohmann::json entry) {
        std::string line = entry.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
        std::fputs(line.c_str(), file_);
        std::fflush(file_);
    }

private:
    std::FILE* file_;
};

int run(int argc, char** argv) {
    tool::ParsedArgs args =
        tool::parseArgs(std::vector<std::string>(argv + 1, argv + argc), {"--title", "--log"}, {"--modal", "--help"});
    if (args.flag("--help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.positional.size() > 1) throw tool::UsageError("one drawing at most");
    fs::path drawingFile = args.positional.empty() ? executableFolder() / "sample.dxf" : fs::path(args.positional[0]);
    std::u16string title = utf8ToUtf16(args.option("--title").value_or(utf16ToUtf8(kHostWindowTitle)));
    if (title.empty() || hasControlCharacter(title)) throw tool::UsageError("the title must be a plain line of text");

    const fs::path logFile = args.option("--log") ? fs::path(*args.option("--log"))
                                                  : executableFolder() / "velmora-hostsim.log";
    Log log(logFile);
    sim::SimDrawing drawing = sim::loadDrawing(drawingFile);

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    WindowRegistration registration(defaultWindowRegistry(), title);
    sim::SimHostOptions options;
    options.windowHandle = registration.handle();
    options.modal = args.flag("--modal");
    options.decimalSeparator = static_cast<char>(decimalSeparator());
    sim::SimHost host(std::move(drawing), options, [&log](const nlohmann::json& entry) { log.write(entry); });
    host.onModalChange = [&registration](bool modal) { registration.setEnabled(!modal); };
    registration.setEnabled(!options.modal);

    sim::SimServer server(host, registration.socketPath());
    registration.publish();
    log.write({{"note", "serving " + host.drawing().fullName + " as \"" + utf16ToUtf8(title) + "\""},
               {"socket", registration.socketPath().string()}});
    std::printf("velmora-hostsim: serving %s as \"%s\"; calls logged in %s\n", host.drawing().fullName.c_str(),
                utf16ToUtf8(title).c_str(), logFile.string().c_str());
    std::fflush(stdout);
    server.run(g_stop);
    log.write({{"note", "stopped"}});
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    velmora::initDecimalSeparatorFromEnvironment();
    try {
        return run(argc, argv);
    } catch (const velmora::tool::UsageError& e) {
        std::fprintf(stderr, "velmora-hostsim: %s\n%s", e.what(), kUsage);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velmora-hostsim: %s\n", e.what());
        return 1;
    }
}
