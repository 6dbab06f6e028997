// The composite host operations against scripted host objects: the order of
// the calls, the waits and polls, the tolerated failures and the refusal of
// names that hold control characters.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/host/fake_host.h"

namespace velmora {
namespace {

using testing::FakeApplication;
using testing::FakeDocument;
using testing::FakeHost;
using testing::FakeWindows;
using Calls = std::vector<std::string>;

struct Fixture : ::testing::Test {
    FakeHost host;
    FakeWindows windows;
    FakeApplication application{host};
    FakeDocument document{host};
    void SetUp() override { windows.calls = &host.calls; }
    long count(const std::string& call) const { return std::count(host.calls.begin(), host.calls.end(), call); }
};

using WaitForHostReady = Fixture;

TEST_F(WaitForHostReady, PollsEvery100msAtMost600Times) {
    waitForHostReady(windows, application);
    EXPECT_EQ(windows.sleeps.size(), 600u);
    EXPECT_TRUE(std::all_of(windows.sleeps.begin(), windows.sleeps.end(), [](auto ms) { return ms == 100; }));
    EXPECT_EQ(host.readyPolls, 600);
    EXPECT_EQ(windows.pumps, 600);
    // Each poll: sleep, messages, then the state.
    Calls first(host.calls.begin(), host.calls.begin() + 4);
    EXPECT_EQ(first, (Calls{"sleep 100", "pump", "getHostState", "isHostReady"}));
}

TEST_F(WaitForHostReady, EndsWhenReadyOrOnEscape) {
    host.readyAfterPolls = 3;
    waitForHostReady(windows, application);
    EXPECT_EQ(host.readyPolls, 3);

    FakeHost other;
    FakeApplication app2(other);
    FakeWindows w2;
    w2.escapeAfterPumps = 2;  // Escape goes down during the second wait step
    waitForHostReady(w2, app2);
    EXPECT_EQ(w2.sleeps.size(), 2u);
    EXPECT_EQ(other.readyPolls, 1);
}

using ConnectHost = Fixture;

TEST_F(ConnectHost, FailsWithoutWindowDisabledWindowOrApplication) {
    int factoryCalls = 0;
    HostLink link{windows, kHostWindowTitle,
                  [&](WindowHandle) -> std::unique_ptr<InanoCADApplication> {
                      ++factoryCalls;
                      return std::make_unique<FakeApplication>(host);
                  },
                  "/tool/"};
    windows.windowExists = false;
    EXPECT_EQ(connectHost(link, true), nullptr);
    windows.windowExists = true;
    windows.enabled = false;
    EXPECT_EQ(connectHost(link, true), nullptr);
    EXPECT_EQ(factoryCalls, 0);

    windows.enabled = true;
    link.obtainApplication = [](WindowHandle) -> std::unique_ptr<InanoCADApplication> { throw HostError("gone"); };
    EXPECT_EQ(connectHost(link, false), nullptr);

    link.obtainApplication = [&](WindowHandle) -> std::unique_ptr<InanoCADApplication> {
        return std::make_unique<FakeApplication>(host);
    };
    host.failing = {"getMainWindowHandle"};
    EXPECT_EQ(connectHost(link, true), nullptr);  // a failure while bringing it forward
    EXPECT_NE(connectHost(link, false), nullptr);
}

TEST_F(ConnectHost, BringsToFrontRestoringStateTwoOnly) {
    HostLink link{windows, kHostWindowTitle,
                  [&](WindowHandle) -> std::unique_ptr<InanoCADApplication> {
                      return std::make_unique<FakeApplication>(host);
                  },
                  "/tool/"};
    host.windowState = 2;
    ASSERT_NE(connectHost(link, true), nullptr);
    EXPECT_EQ(host.calls, (Calls{"findWindow", "getWindowState", "setWindowState 3", "getMainWindowHandle", "foreground 77"}));

    host.calls.clear();
    host.windowState = 1;
    ASSERT_NE(connectHost(link, true), nullptr);
    EXPECT_EQ(host.calls, (Calls{"findWindow", "getWindowState", "getMainWindowHandle", "foreground 77"}));

    host.calls.clear();
    ASSERT_NE(connectHost(link, false), nullptr);
    EXPECT_EQ(host.calls, (Calls{"findWindow"}));
}

using LayersAndBlocks = Fixture;

TEST_F(LayersAndBlocks, LayerRowsAndTheSecondHiddenStateAskedOnlyWhenNeeded) {
    host.layers = {{u"0", 7, u"Continuous", false, false},
                   {u"Frozen", 300, u"hidden", true, false},
                   {u"Off", -5, u"CENTER", false, true}};
    DrawingStore store;
    store.layers.resize(10);
    importHostLayers(store, document);
    ASSERT_EQ(store.layers.size(), 3u);
    EXPECT_EQ(store.layers[0].Name, u"0");
    EXPECT_TRUE(store.layers[0].visible);
    EXPECT_EQ(store.layers[1].ltype, u"hidden");  // letter case as the host gives it
    EXPECT_EQ(store.layers[1].color, 300);
    EXPECT_FALSE(store.layers[1].visible);
    EXPECT_EQ(store.layers[2].color, -5);
    EXPECT_FALSE(store.layers[2].visible);
    EXPECT_EQ(count("hiddenStateB Frozen"), 0);
    EXPECT_EQ(count("hiddenStateB Off"), 1);
}

TEST_F(LayersAndBlocks, NamesBeginningWithStarOrUnderscoreAreSkipped) {
    host.blocks = {u"*Model_Space", u"door", u"_ArchTick", u"a_b", u"b*", u"", u"*U1", u"ボルト"};
    EXPECT_EQ(listHostBlocks(document), (std::vector<std::u16string>{u"door", u"a_b", u"b*", u"", u"ボルト"}));
}

TEST_F(LayersAndBlocks, NamesReadBeforeAFailureAreHandedOver) {
    host.blocks = {u"door", u"*U1", u"window", u"stair", u"roof"};
    host.failing = {"item 3"};
    std::vector<std::u16string> added;
    EXPECT_THROW(listHostBlocks(document, [&](std::u16string name) { added.push_back(std::move(name)); }),
                 HostError);
    EXPECT_EQ(added, (std::vector<std::u16string>{u"door", u"window"}));
}

using Insert = Fixture;

TEST_F(Insert, ByCommandSendsCancelThenInsertWithTheName) {
    insertBlockByCommand(document, u"door 1");
    EXPECT_EQ(host.calls, (Calls{"sendCommand ^C^C", "sendCommand -insert\rdoor 1\r"}));
}

TEST_F(Insert, ByClipboardStepsThenWaits) {
    host.readyAfterPolls = 1;
    insertBlockByClipboard(windows, application, document, u"door");
    Calls expected = {"insertionSpace",
                      "insertReference empty door 1.000000 1.000000 1.000000 0.000000 omitted",
                      "sendCommand ^C^C",
                      "sendCommand copybase\rL\r\r0,0,0\r",
                      "discardCopiedReference",
                      "sendCommand pasteclip\r",
                      "sleep 100",
                      "pump",
                      "getHostState",
                      "isHostReady"};
    EXPECT_EQ(host.calls, expected);
}

TEST_F(Insert, ByClipboardStopsAtAFailedStep) {
    host.failing = {"insertReference"};
    EXPECT_THROW(insertBlockByClipboard(windows, application, document, u"door"), HostError);
    EXPECT_EQ(count("sendCommand ^C^C"), 0);
}

using WriteBlock = Fixture;

TEST_F(WriteBlock, InsertsWaitsExplodesSelectsWritesAndCleansUp) {
    writeBlockFile(windows, document, u"door", u"/out/DWG/");
    Calls expected = {"insertionSpace",
                      "insertReference (0.000000,0.000000,0.000000) door 1.000000 1.000000 1.000000 0.000000 omitted",
                      "sleep 500",
                      "explodeReference",
                      "selectionObject",
                      "clearSelection",
                      "addToSelection entity 0",
                      "pump",
                      "addToSelection entity 1",
                      "pump",
                      "writeBlock /out/DWG/door.dwg",
                      "eraseSelected",
                      "clearSelection",
                      "deleteReference"};
    EXPECT_EQ(host.calls, expected);
}

TEST_F(WriteBlock, EmptyExplodeWritesNothingButDeletesTheReference) {
    host.explodeCount = 0;
    writeBlockFile(windows, document, u"empty", u"/out/");
    EXPECT_EQ(count("selectionObject"), 0);
    EXPECT_EQ(count("writeBlock /out/empty.dwg"), 0);
    EXPECT_EQ(host.calls.back(), "deleteReference");
}

TEST_F(WriteBlock, ToleratesWriteAndDeleteFailuresOnly) {
    host.failing = {"writeBlock", "deleteReference"};
    EXPECT_NO_THROW(writeBlockFile(windows, document, u"door", u"/out/"));
    EXPECT_EQ(count("eraseSelected"), 1);
    EXPECT_EQ(host.calls.back(), "deleteReference");

    host.calls.clear();
    host.failing = {"explodeReference"};
    EXPECT_THROW(writeBlockFile(windows, document, u"door", u"/out/"), HostError);
    EXPECT_EQ(count("deleteReference"), 0);  // the reference stays, as the host left it
}

struct ListingRun : Fixture {
    std::filesystem::path folder;
    int factoryCalls = 0;
    void SetUp() override {
        Fixture::SetUp();
        folder = std::filesystem::temp_directory_path() /
                 ("velmora-listing-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    HostLink link() {
        return HostLink{windows, kHostWindowTitle,
                        [this](WindowHandle) -> std::unique_ptr<InanoCADApplication> {
                            ++factoryCalls;
                            return std::make_unique<FakeApplication>(host);
                        },
                        folder / ""};
    }
};

// A folder as USERS1 holds it: every backslash doubled (on Windows every
// separator is one).
std::string lispString(std::string text) {
    for (std::size_t at = text.find('\\'); at != std::string::npos; at = text.find('\\', at + 2)) text.insert(at, 1, '\\');
    return text;
}

TEST_F(ListingRun, SetsVariablesSendsCommandsAndWaitsForTheFlag) {
    std::ofstream(folder / "listBlockItems.txt") << "old";
    host.flagAfterReads = 3;
    HostLink l = link();
    EXPECT_TRUE(makeBlockItemList(l, u"door", 60));
    EXPECT_FALSE(std::filesystem::exists(folder / "listBlockItems.txt"));  // the old list was deleted
    std::string dir = (folder / "").string();
    Calls expected = {"findWindow",
                      "currentDocument",
                      "setSystemVariable USERS1 \"" + lispString(dir) + "\"",
                      "setSystemVariable USERS2 \"door\"",
                      "setSystemVariable USERI1 0",
                      "sendCommand ^C^C",
                      "sendCommand LSP\rL\r" + dir + "Velmora.lsp\r",
                      "sendCommand makeBlockItems\r"};
    EXPECT_EQ(Calls(host.calls.begin(), host.calls.begin() + 8), expected);
    EXPECT_EQ(count("getSystemVariable USERI1"), 3);
    EXPECT_EQ(windows.sleeps, (std::vector<std::uint32_t>{100, 100, 100}));
}

TEST_F(ListingRun, FolderBackslashesAreDoubledInUsers1Only) {
    folder /= "a\\b";
    std::filesystem::create_directories(folder);
    host.flagAfterReads = 1;
    HostLink l = link();
    ASSERT_TRUE(makeBlockItemList(l, u"door", 60));
    std::string dir = (folder / "").string();
    EXPECT_EQ(count("setSystemVariable USERS1 \"" + lispString(dir) + "\""), 1);
    EXPECT_EQ(count("sendCommand LSP\rL\r" + dir + "Velmora.lsp\r"), 1);
}

TEST_F(ListingRun, FalseAfterTheTimeoutAndAtOnceWithoutHost) {
    HostLink l = link();
    std::uint32_t start = windows.now;
    EXPECT_FALSE(makeBlockItemList(l, u"door", 60));
    std::uint32_t waited = windows.now - start;  // across the tick counter's wrap
    EXPECT_GT(waited, 60000u);
    EXPECT_LE(waited, 60100u);

    host.calls.clear();
    windows.enabled = false;  // modal
    EXPECT_FALSE(makeBlockItemList(l, u"door", 60));
    windows.enabled = true;
    windows.windowExists = false;
    EXPECT_FALSE(makeBlockItemList(l, u"door", 60));
    EXPECT_EQ(host.calls, (Calls{"findWindow", "findWindow"}));
}

using ControlCharacters = ListingRun;

TEST_F(ControlCharacters, NamesAreRefusedBeforeAnythingIsSent) {
    for (const std::u16string& bad : std::vector<std::u16string>{u"door\rERASE\rALL\r", u"a\nb", u"tab\tname", u"\x1b", std::u16string(1, u'\0'), u"^CPASTECLIP", u"a^mb", u"del\x7f"}) {
        host.calls.clear();
        EXPECT_THROW(insertBlockByCommand(document, bad), HostError);
        EXPECT_THROW(insertBlockByClipboard(windows, application, document, bad), HostError);
        EXPECT_THROW(writeBlockFile(windows, document, bad, u"/out/"), HostError);
        EXPECT_THROW(writeBlockFile(windows, document, u"door", u"/out\r/"), HostError);
        HostLink l = link();
        EXPECT_THROW(makeBlockItemList(l, bad, 1), HostError);
        EXPECT_TRUE(host.calls.empty()) << host.calls.front();
    }
    EXPECT_EQ(factoryCalls, 0);
    for (const char16_t* allowed : {u"ボルト M10 (2)", u"x^2", u"a^", u"^^", u"^_1"})
        EXPECT_FALSE(hasControlCharacter(allowed)) << utf16ToUtf8(allowed);
}

}  // namespace
}  // namespace velmora
