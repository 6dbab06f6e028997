// A stand-in for the running host over COM: objects with the host's
// interfaces and slot layout (from the same IDL) that forward every call to
// host objects of host_api.h (the scripted fakes, so calls are recorded in
// the same words, or the simulated host). It registers its application
// object as the active object of the host's class and owns a top-level
// window titled "nanoCAD 5".
#pragma once

#include <windows.h>
#include <objbase.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/host/fake_host.h"

namespace velmora::testing {

// Answers a well-behaved host never gives.
enum class StandInFault {
    None,
    NoDocument,            // currentDocument succeeds without an object
    StateWithoutInterface, // the state object does not answer to HostState
    ExplodeEmptyVariant,   // explodeReference gives VT_EMPTY
    ExplodeLowerBoundOne,  // ... an array with bounds 1 to n
    ExplodeTwoDimensions,  // ... a two-dimensional array
    ExplodeStrings,        // ... an array of strings
    VariableAsDouble,      // getSystemVariable gives a VT_R8
};

// What every stand-in object shares.
struct StandInContext {
    std::vector<std::string>* calls = nullptr;  // where a malformed value is noted
    long live = 0;                              // stand-in COM objects alive
    StandInFault fault = StandInFault::None;
};

class ComStandIn {
public:
    // The host objects behind the stand-in, made once its window exists.
    using ApplicationMaker = std::function<std::unique_ptr<velmora::InanoCADApplication>(HWND window)>;

    // Registered as the active object, unless told otherwise, and with its
    // window.
    ComStandIn(const ApplicationMaker& makeApplication, std::vector<std::string>* calls, bool registered = true);
    // Over the scripted fakes of `host`.
    explicit ComStandIn(FakeHost& host, bool registered = true);
    ~ComStandIn();
    ComStandIn(const ComStandIn&) = delete;
    ComStandIn& operator=(const ComStandIn&) = delete;

    HWND window() const { return window_; }
    // No longer the active object, its window closed: a host that has exited.
    void revoke();
    // The stand-in's COM objects still alive (the application object counts).
    long liveObjects() const { return context_.live; }
    void setFault(StandInFault fault) { context_.fault = fault; }
    // The application object, as the active-object table hands it out.
    IUnknown* application() const { return application_; }

private:
    StandInContext context_;
    IUnknown* application_ = nullptr;
    DWORD registration_ = 0;
    HWND window_ = nullptr;
};

}  // namespace velmora::testing
