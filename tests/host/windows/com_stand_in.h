// A stand-in for the running host over COM: objects with the host's
// interfaces and slot layout (from the same IDL) that forward every call to
// the scripted fakes, so calls are recorded in the same words. It registers
// its application object as the active object of the host's class and owns
// a top-level window titled "nanoCAD 5".
#pragma once

#include <windows.h>
#include <objbase.h>

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
    FakeHost& host;
    long live = 0;  // stand-in COM objects alive
    StandInFault fault = StandInFault::None;
};

class ComStandIn {
public:
    // Registered as the active object, unless told otherwise, and with its
    // window.
    explicit ComStandIn(FakeHost& host, bool registered = true);
    ~ComStandIn();
    ComStandIn(const ComStandIn&) = delete;
    ComStandIn& operator=(const ComStandIn&) = delete;

    HWND window() const { return window_; }
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
