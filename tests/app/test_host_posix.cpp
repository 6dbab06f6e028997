#include "host/sim_client.h"
#include "tests/app/test_host.h"
#include "tests/support/hostsim_process.h"

namespace velmora::test {

struct TestHost::Native {
    std::unique_ptr<HostSimProcess> process;
};

TestHost::TestHost(const std::filesystem::path& drawing, bool modal) : native_(std::make_unique<Native>()) {
    HostSimOptions options;
    options.drawing = drawing;
    options.title = u"nanoCAD 5";
    options.modal = modal;
    native_->process = std::make_unique<HostSimProcess>(std::move(options));
}

TestHost::~TestHost() = default;

std::vector<std::string> TestHost::sentCommands() const { return native_->process->sentCommands(); }
void TestHost::setModal(bool modal) { native_->process->setModal(modal); }
void TestHost::kill() { native_->process->kill(); }

std::unique_ptr<WindowFunctions> TestHost::windowFunctions(std::function<bool()>& check) {
    return std::make_unique<CheckingWindowFunctions>(
        std::make_unique<RegistryWindowFunctions>(native_->process->registry()), check);
}

HostLink::ApplicationFactory TestHost::applicationFactory() {
    return simulatedHostFactory(native_->process->registry());
}

}  // namespace velmora::test
