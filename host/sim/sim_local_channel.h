// The simulated host's core in the calling process, reached through the same
// client objects as over its socket. Its queued command strings are worked
// through one per call, as the host's own loop works them between requests,
// so waits for the host see it busy for a few polls.
#pragma once

#include <memory>

#include "host/sim/sim_host.h"
#include "host/sim_client.h"

namespace velmora::sim {

class LocalHostChannel : public HostChannel {
public:
    // Once the host is gone, every call fails as a call to a host that has exited.
    explicit LocalHostChannel(std::weak_ptr<SimHost> host) : host_(std::move(host)) {}

protected:
    std::string exchange(const std::string& requestLine) override;

private:
    std::weak_ptr<SimHost> host_;
};

}  // namespace velmora::sim
