// The composite operations against a velmora-hostsim the test starts on the
// bundled sample drawing.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "host/block_item_list.h"
#include "host/host_api.h"
#include "tests/support/hostsim_process.h"
#include "host/sim/sim_drawing.h"
#include "host/sim_client.h"
#include "platform/utf.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

const fs::path kSample = fs::path(VELMORA_SOURCE_DIR) / "samples" / "sample.dxf";

std::size_t countKind(const nlohmann::json& entities, const std::string& kind, const std::string& name = "") {
    std::size_t n = 0;
    for (const auto& e : entities)
        if (e["kind"] == kind && (name.empty() || e["name"] == name)) ++n;
    return n;
}

struct HostLinkTest : ::testing::Test {
    HostSimProcess host{kSample};
    RegistryWindowFunctions windows{host.registry()};
    HostLink link = host.link(windows);
    fs::path scratch = host.runtimeDir() / "scratch";

    void SetUp() override { fs::create_directories(scratch); }
    std::unique_ptr<InanoCADApplication> connect(bool front = false) {
        auto app = connectHost(link, front);
        if (!app) throw std::runtime_error("no host");
        return app;
    }
};

TEST_F(HostLinkTest, LayersAndBlockNames) {
    auto app = connect();
    auto doc = app->currentDocument();
    DrawingStore store;
    importHostLayers(store, *doc);
    ASSERT_EQ(store.layers.size(), 6u);
    EXPECT_EQ(store.layers[1].Name, u"外形");
    EXPECT_EQ(store.layers[2].Name, u"hidden");
    EXPECT_EQ(store.layers[2].ltype, u"HIDDEN");
    EXPECT_EQ(store.layers[2].color, 1);  // off: invisible, the colour is still reported
    EXPECT_FALSE(store.layers[2].visible);
    EXPECT_FALSE(store.layers[3].visible);  // frozen
    EXPECT_TRUE(store.layers[4].visible);
    EXPECT_EQ(store.layers[4].color, 5);

    std::vector<std::u16string> names = listHostBlocks(*doc);
    ASSERT_EQ(names.size(), 20u);
    EXPECT_EQ(names.front(), u"door");
    EXPECT_EQ(names[1], u"window_w900");
    EXPECT_EQ(names[2], u"ボルト");
    EXPECT_EQ(names.back(), u"empty-block");
    for (const auto& name : names) EXPECT_TRUE(name[0] != u'*' && name[0] != u'_');
}

TEST_F(HostLinkTest, NoWindowModalHostAndBringToFront) {
    HostLink other = link;
    other.title = u"nanoCAD 5 (none)";
    EXPECT_EQ(connectHost(other, false), nullptr);

    host.setModal(true);
    EXPECT_EQ(connectHost(link, true), nullptr);
    host.setModal(false);

    connect()->setWindowState(2);
    auto app = connect(true);
    EXPECT_EQ(app->getWindowState(), 3);
    EXPECT_TRUE(fs::exists(host.registry() / std::to_string(host.pid()) / "foreground"));
    EXPECT_EQ(app->getMainWindowHandle(), static_cast<WindowHandle>(host.pid()));
}

TEST_F(HostLinkTest, InsertByCommand) {
    auto app = connect(true);
    auto doc = app->currentDocument();
    insertBlockByCommand(*doc, u"door");
    waitForHostReady(windows, *app);
    EXPECT_EQ(host.sentCommands(), (std::vector<std::string>{"^C^C", "-insert\rdoor\r"}));
    // The simulated user accepts the prompts: one more reference of door.
    EXPECT_EQ(countKind(host.modelSpace(), "INSERT", "door"), 2u);
}

TEST_F(HostLinkTest, InsertByClipboardSendsTheThreeStringsAndWaitsForReady) {
    auto before = host.modelSpace();
    auto app = connect(true);
    auto doc = app->currentDocument();
    insertBlockByClipboard(windows, *app, *doc, u"chair");
    EXPECT_EQ(host.sentCommands(), (std::vector<std::string>{"^C^C", "copybase\rL\r\r0,0,0\r", "pasteclip\r"}));
    EXPECT_TRUE(queryInterface<HostState>(app->getHostState())->isHostReady());
    auto after = host.modelSpace();
    // The temporary reference is gone; the pasted copy remains.
    EXPECT_EQ(after.size(), before.size() + 1);
    EXPECT_EQ(after.back()["kind"], "INSERT");
    EXPECT_EQ(after.back()["name"], "chair");
    bool polled = false;
    for (const auto& e : host.logEntries()) polled = polled || e.value("call", "") == "state.isHostReady";
    EXPECT_TRUE(polled);
}

TEST_F(HostLinkTest, WriteBlockLeavesTheFileAndNoTemporaryEntities) {
    auto before = host.modelSpace();
    auto app = connect();
    auto doc = app->currentDocument();
    std::u16string folder = utf8ToUtf16((scratch / "").string());
    writeBlockFile(windows, *doc, u"dining-set", folder);
    writeBlockFile(windows, *doc, u"empty-block", folder);
    writeBlockFile(windows, *doc, u"door", utf8ToUtf16((scratch / "missing" / "").string()));  // writeBlock fails
    EXPECT_EQ(host.modelSpace(), before);

    sim::SimDrawing written = sim::loadDrawing(scratch / "dining-set.dwg");
    EXPECT_EQ(written.modelSpace.size(), 6u);
    ASSERT_NE(written.findBlock("chair"), nullptr);  // nested definitions travel along
    ASSERT_NE(written.findBlock("table-round"), nullptr);
    EXPECT_FALSE(fs::exists(scratch / "empty-block.dwg"));
    EXPECT_FALSE(fs::exists(scratch / "missing"));

    // The written file can be inserted by its full name (the library tab).
    insertBlockByCommand(*doc, utf8ToUtf16((scratch / "dining-set.dwg").string()));
    waitForHostReady(windows, *app);
    EXPECT_EQ(countKind(host.modelSpace(), "INSERT", "dining-set"), 2u);
}

struct ListingTest : HostLinkTest {
    fs::path program = host.runtimeDir() / "program";
    void SetUp() override {
        HostLinkTest::SetUp();
        fs::create_directories(program);
        link.programFolder = program / "";
    }
};

TEST_F(ListingTest, TrueWithACompleteItemList) {
    fs::copy_file(fs::path(VELMORA_BIN_DIR) / "Velmora.lsp", program / "Velmora.lsp");
    ASSERT_TRUE(makeBlockItemList(link, u"door", 20));
    DrawingStore store;
    BlockItemCounts counts = readBlockItemList(store, program / "listBlockItems.txt");
    EXPECT_EQ(counts.items, 4);
    EXPECT_EQ(counts.lines, 3);
    ASSERT_EQ(counts.arcs, 1);
    EXPECT_DOUBLE_EQ(static_cast<double>(store.modelArcs[0].ed), 90.0);  // radians in the file, degrees in the store
    EXPECT_EQ(store.modelArcs[0].layer, u"hidden");

    ASSERT_TRUE(makeBlockItemList(link, u"grid-6000", 20));
    counts = readBlockItemList(store, program / "listBlockItems.txt");
    EXPECT_EQ(counts.items, 6000);
    EXPECT_EQ(counts.lines, 6000);

    ASSERT_TRUE(makeBlockItemList(link, u"図枠", 20));
    counts = readBlockItemList(store, program / "listBlockItems.txt");
    EXPECT_EQ(counts.attributes, 2);
    EXPECT_EQ(counts.polylines, 1);
    EXPECT_EQ(counts.items, 7);
}

// Registry window functions on a clock of their own: a sleep moves it on at
// once, so a wait is measured by what the code asks for, not by how busy the
// machine is.
struct VirtualClockWindows : RegistryWindowFunctions {
    using RegistryWindowFunctions::RegistryWindowFunctions;
    std::uint32_t now = 0;
    void sleepMilliseconds(std::uint32_t ms) override { now += ms; }
    std::uint32_t tickCount() override { return now; }
};

TEST_F(ListingTest, FalseAfterTheTimeoutWithoutTheScript) {
    VirtualClockWindows clock{host.registry()};
    HostLink timed = host.link(clock);
    timed.programFolder = link.programFolder;
    EXPECT_FALSE(makeBlockItemList(timed, u"door", 1));
    EXPECT_GE(clock.now, 1000u);  // it waited out its second of polls
    EXPECT_LT(clock.now, 1300u);
    EXPECT_FALSE(fs::exists(program / "listBlockItems.txt"));

    // A script that does not define the command is no better.
    std::ofstream(program / "Velmora.lsp") << "; (defun c:makeBlockItems () nil)\n(defun c:other () (princ))\n";
    EXPECT_FALSE(makeBlockItemList(link, u"door", 1));
}

TEST_F(ListingTest, FalseAtOnceWithoutHostOrWithAModalHost) {
    fs::copy_file(fs::path(VELMORA_BIN_DIR) / "Velmora.lsp", program / "Velmora.lsp");
    host.setModal(true);
    VirtualClockWindows clock{host.registry()};
    HostLink timed = host.link(clock);
    timed.programFolder = link.programFolder;
    EXPECT_FALSE(makeBlockItemList(timed, u"door", 20));
    host.stop();
    EXPECT_FALSE(makeBlockItemList(timed, u"door", 20));
    EXPECT_EQ(clock.now, 0u);  // refused at once: no wait at all
}

TEST_F(HostLinkTest, HostDyingOrHangingGivesHostErrorAfterABoundedWait) {
    fs::path socket = host.registry() / std::to_string(host.pid()) / "socket";
    auto app = connectSimulatedHost(socket, std::chrono::milliseconds(300));
    auto doc = app->currentDocument();
    ::kill(host.pid(), SIGSTOP);
    // The call's own timeout ends the wait (a hang would stop the test at CTest's limit).
    EXPECT_THROW(doc->documentFullName(), HostError);
    EXPECT_THROW(doc->documentFullName(), HostError);  // the connection is not trusted again
    ::kill(host.pid(), SIGCONT);

    auto app2 = connect();
    auto doc2 = app2->currentDocument();
    host.kill();
    EXPECT_THROW(listHostBlocks(*doc2), HostError);
    EXPECT_EQ(connectHost(link, false), nullptr);
}

}  // namespace
}  // namespace velmora
