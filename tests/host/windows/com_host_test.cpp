// The COM adapter against the stand-in host: the composite operations make
// the same calls with the same values through real function tables and
// VARIANTs as they make on the scripted fakes directly; connecting follows
// the host's window and active object; failures and malformed answers end
// an operation with HostError and leave no object alive.
#include <gtest/gtest.h>

#include <functional>

#include "host/com/com_host.h"
#include "platform/window_functions_windows.h"
#include "tests/host/windows/com_stand_in.h"

namespace velmora {
namespace {

using testing::ComStandIn;
using testing::FakeApplication;
using testing::FakeDocument;
using testing::FakeHost;
using testing::FakeWindows;
using testing::StandInFault;
using Calls = std::vector<std::string>;
using Operation = std::function<void(FakeHost&, WindowFunctions&, InanoCADApplication&, HostDocument&)>;

struct Case {
    const char* name;
    Operation run;
    std::set<std::string> failing = {};
    std::int32_t explodeCount = 2;
};

void script(FakeHost& host, const Case& c) {
    host.layers = {{u"0", 7, u"Continuous", false, false},
                   {u"Hidden", 1, u"DASHED", true, false},
                   {u"Frozen", 250, u"Center2", false, true}};
    host.blocks = {u"door", u"*Model_Space", u"_arrow", u"win_1*", u""};
    host.readyAfterPolls = 2;
    host.explodeCount = c.explodeCount;
    host.failing = c.failing;
}

void runRecorded(FakeHost& host, const Case& c, WindowFunctions& windows, InanoCADApplication& application,
                 HostDocument& document) {
    try {
        c.run(host, windows, application, document);
    } catch (const HostError&) {
        host.calls.push_back("HostError");
    }
}

Calls throughFakes(const Case& c) {
    FakeHost host;
    script(host, c);
    FakeWindows windows;
    windows.calls = &host.calls;
    FakeApplication application(host);
    FakeDocument document(host);
    runRecorded(host, c, windows, application, document);
    return host.calls;
}

Calls throughCom(const Case& c) {
    FakeHost host;
    script(host, c);
    ComStandIn standIn(host);
    {
        FakeWindows windows;
        windows.calls = &host.calls;
        auto application = com::hostApplication(standIn.application());
        auto document = application->currentDocument();
        host.calls.clear();
        runRecorded(host, c, windows, *application, *document);
    }
    EXPECT_EQ(standIn.liveObjects(), 1) << c.name << ": stand-in objects left alive";
    return host.calls;
}

std::string text(const std::u16string& s) { return utf16ToUtf8(s); }

const Case kCases[] = {
    {"layers",
     [](FakeHost& h, WindowFunctions&, InanoCADApplication&, HostDocument& d) {
         DrawingStore store;
         importHostLayers(store, d);
         for (const TLayer& l : store.layers)
             h.calls.push_back(text(l.Name) + " " + std::to_string(l.color) + " " + text(l.ltype) + " " +
                               std::to_string(l.visible));
     }},
    {"layer failing", [](FakeHost&, WindowFunctions&, InanoCADApplication&, HostDocument& d) {
         DrawingStore store;
         importHostLayers(store, d);
     }, {"linetypeName Hidden"}},
    {"blocks",
     [](FakeHost& h, WindowFunctions&, InanoCADApplication&, HostDocument& d) {
         for (const auto& name : listHostBlocks(d)) h.calls.push_back("name " + text(name));
     }},
    {"blocks failing", [](FakeHost&, WindowFunctions&, InanoCADApplication&, HostDocument& d) { listHostBlocks(d); },
     {"item 3"}},
    {"insert by command",
     [](FakeHost&, WindowFunctions&, InanoCADApplication&, HostDocument& d) { insertBlockByCommand(d, u"door 1"); }},
    {"insert by clipboard",
     [](FakeHost&, WindowFunctions& w, InanoCADApplication& a, HostDocument& d) {
         insertBlockByClipboard(w, a, d, u"扉");
     }},
    {"insert by clipboard failing",
     [](FakeHost&, WindowFunctions& w, InanoCADApplication& a, HostDocument& d) {
         insertBlockByClipboard(w, a, d, u"door");
     }, {"discardCopiedReference"}},
    {"wait", [](FakeHost&, WindowFunctions& w, InanoCADApplication& a, HostDocument&) { waitForHostReady(w, a); }},
    {"write block",
     [](FakeHost&, WindowFunctions& w, InanoCADApplication&, HostDocument& d) {
         writeBlockFile(w, d, u"door", u"C:\\out\\DWG\\");
     }, {}, 3},
    {"write block, nothing exploded",
     [](FakeHost&, WindowFunctions& w, InanoCADApplication&, HostDocument& d) { writeBlockFile(w, d, u"e", u"C:\\"); },
     {}, 0},
    {"write block, write and delete failing",
     [](FakeHost&, WindowFunctions& w, InanoCADApplication&, HostDocument& d) { writeBlockFile(w, d, u"d", u"C:\\"); },
     {"writeBlock", "deleteReference"}},
    {"write block, explode failing",
     [](FakeHost&, WindowFunctions& w, InanoCADApplication&, HostDocument& d) { writeBlockFile(w, d, u"d", u"C:\\"); },
     {"explodeReference"}},
    {"system variables",
     [](FakeHost& h, WindowFunctions&, InanoCADApplication&, HostDocument& d) {
         d.setSystemVariable(u"USERS1", std::u16string(u"C:\\\\図面\\\\"));
         d.setSystemVariable(u"USERI1", std::int32_t{-5});
         h.calls.push_back(testing::describe(d.getSystemVariable(u"USERS1")));
         h.calls.push_back(testing::describe(d.getSystemVariable(u"USERI1")));
         h.calls.push_back(testing::describe(d.getSystemVariable(u"UNSET")));
         h.calls.push_back(text(d.documentFullName()));
     }},
};

TEST(ComHost, CompositeOperationsMakeTheSameCallsAsOnTheFakes) {
    com::ensureApartment();
    for (const Case& c : kCases) {
        const Calls expected = throughFakes(c);
        EXPECT_GT(expected.size(), 1u) << c.name;
        EXPECT_EQ(throughCom(c), expected) << c.name;
    }
}

struct Connect : ::testing::Test {
    FakeHost host;
    Win32WindowFunctions windows;
    HostLink link{windows, kHostWindowTitle, com::activeHostApplication, {}};
    void SetUp() override { com::ensureApartment(); }
};

TEST_F(Connect, FindsTheWindowAndTheActiveObjectAndBringsTheHostForward) {
    for (std::int32_t state : {2, 1}) {
        ComStandIn standIn(host);
        ASSERT_NE(standIn.window(), nullptr) << "the stand-in needs a window (Wine's null graphics driver)";
        host.calls.clear();
        host.windowState = state;
        EXPECT_NE(connectHost(link, true), nullptr);
        const Calls expected = state == 2 ? Calls{"getWindowState", "setWindowState 3", "getMainWindowHandle"}
                                          : Calls{"getWindowState", "getMainWindowHandle"};
        EXPECT_EQ(host.calls, expected);
        EXPECT_EQ(::GetForegroundWindow(), standIn.window());
        EXPECT_EQ(standIn.liveObjects(), 1);
    }
}

TEST_F(Connect, FalseWithoutWindowEnabledWindowOrActiveObject) {
    EXPECT_EQ(connectHost(link, false), nullptr);  // no window at all
    {
        ComStandIn unregistered(host, false);
        EXPECT_EQ(connectHost(link, false), nullptr);
    }
    ComStandIn standIn(host);
    ::EnableWindow(standIn.window(), FALSE);
    EXPECT_EQ(connectHost(link, true), nullptr);
    ::EnableWindow(standIn.window(), TRUE);
    host.failing = {"getMainWindowHandle"};
    EXPECT_EQ(connectHost(link, true), nullptr);
    EXPECT_EQ(host.calls, (Calls{"getWindowState", "getMainWindowHandle"}));
    host.failing.clear();
    EXPECT_NE(connectHost(link, false), nullptr);
    EXPECT_EQ(standIn.liveObjects(), 1);
}

TEST(ComHost, MalformedAnswersEndTheOperationWithHostError) {
    com::ensureApartment();
    struct Hostile {
        StandInFault fault;
        std::function<void(WindowFunctions&, InanoCADApplication&)> run;
    };
    auto write = [](WindowFunctions& w, InanoCADApplication& a) { writeBlockFile(w, *a.currentDocument(), u"d", u"C:\\"); };
    const Hostile cases[] = {
        {StandInFault::NoDocument, [](WindowFunctions&, InanoCADApplication& a) { a.currentDocument(); }},
        {StandInFault::StateWithoutInterface, [](WindowFunctions& w, InanoCADApplication& a) { waitForHostReady(w, a); }},
        {StandInFault::ExplodeEmptyVariant, write},
        {StandInFault::ExplodeLowerBoundOne, write},
        {StandInFault::ExplodeTwoDimensions, write},
        {StandInFault::ExplodeStrings, write},
        {StandInFault::VariableAsDouble,
         [](WindowFunctions&, InanoCADApplication& a) { a.currentDocument()->getSystemVariable(u"USERI1"); }},
    };
    for (const Hostile& c : cases) {
        FakeHost host;
        ComStandIn standIn(host);
        standIn.setFault(c.fault);
        {
            FakeWindows windows;
            auto application = com::hostApplication(standIn.application());
            EXPECT_THROW(c.run(windows, *application), HostError) << static_cast<int>(c.fault);
        }
        EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "selectionObject"), 0);
        EXPECT_EQ(standIn.liveObjects(), 1) << static_cast<int>(c.fault) << ": stand-in objects left alive";
    }
}

}  // namespace
}  // namespace velmora
