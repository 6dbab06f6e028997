// The run of the listing script in the host, which writes a block's item
// list file beside the tool.
#pragma once

#include <string>

#include "host/host_link.h"

namespace velmora {

// Has the host run the listing script for block `name` and waits up to
// `timeoutSeconds` for its completion flag. False at once when no host can be
// connected.
bool makeBlockItemList(HostLink& link, const std::u16string& name, int timeoutSeconds);

}  // namespace velmora
