// The host CAD reached through its COM automation objects: the classes of
// host_api.h over the interfaces of host_automation.idl.
#pragma once

#include <memory>

#include "host/host_api.h"

struct IUnknown;

namespace velmora::com {

// Initialises COM on the calling thread as a single-threaded apartment, once
// per thread; undone when the thread ends.
void ensureApartment();

// The application object of the running host: the object registered as
// active for the host's class identifier, asked for InanoCADApplication.
// nullptr when there is none or it does not answer to that interface.
std::unique_ptr<InanoCADApplication> activeHostApplication(WindowHandle window);

// The adapter over an object that answers to InanoCADApplication; nullptr
// when `object` does not.
std::unique_ptr<InanoCADApplication> hostApplication(IUnknown* object);

}  // namespace velmora::com
