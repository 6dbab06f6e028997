#include "host/sim/sim_local_channel.h"

namespace velmora::sim {

std::string LocalHostChannel::exchange(const std::string& requestLine) {
    const std::shared_ptr<SimHost> host = host_.lock();
    if (!host) throw HostError("the host closed the connection");
    host->step();
    std::string_view line(requestLine);
    if (line.ends_with('\n')) line.remove_suffix(1);
    std::string answer = host->answer(line);
    if (!answer.empty() && answer.back() == '\n') answer.pop_back();
    return answer;
}

}  // namespace velmora::sim
