// The simulated host itself: its request parser and bad input on its
// socket, its asynchronous command line, its drawing reader and writer, the
// item list it writes, and the bundled sample drawing.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <future>
#include <thread>
#include <filesystem>
#include <algorithm>
#include <fstream>
#include <sstream>

#include "host/block_item_list.h"
#include "host/host_protocol.h"
#include "tests/support/hostsim_process.h"
#include "tests/support/temp_dir.h"
#include "host/sim/sim_drawing.h"
#include "host/sim/sim_host.h"
#include "host/sim/sim_item_list.h"
#include "host/sim_client.h"
#include "platform/utf.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const fs::path kSample = fs::path(VELMORA_SOURCE_DIR) / "samples" / "sample.dxf";

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(HostRequestParser, RefusesWhatIsNotARequest) {
    for (const char* bad : {"", "garbage", "[1,2]", "{\"id\":\"1\",\"op\":\"x\"}", "{\"id\":1}",
                            "{\"id\":1,\"op\":\"\"}", "{\"id\":1,\"op\":\"x\",\"args\":{}}",
                            "{\"id\":1,\"op\":\"x\",\"target\":1.5}", "{\"id\":1,\"op\":\"app.con"})
        EXPECT_THROW(parseHostRequest(bad), ProtocolError) << bad;
    EXPECT_THROW(parseHostRequest(std::string(kMaxRequestBytes + 1, ' ')), ProtocolError);
    std::string many = "{\"id\":1,\"op\":\"x\",\"args\":[" + std::string(40, '1') + "]}";
    EXPECT_NO_THROW(parseHostRequest(many));  // one long number is one argument
    HostRequest r = parseHostRequest(R"({"id":7,"op":"doc.sendCommand","target":2,"args":["^C^C",4294967296]})");
    EXPECT_EQ(r.id, 7);
    EXPECT_EQ(stringArg(r, 0), "^C^C");
    EXPECT_THROW(intArg(r, 1), ProtocolError);  // outside 32 bits
    EXPECT_THROW(stringArg(r, 2), ProtocolError);
}

// A raw client for bad input on the socket.
struct RawSocket {
    int fd = -1;
    explicit RawSocket(const fs::path& path) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, path.c_str());
        fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) throw std::runtime_error("connect");
    }
    ~RawSocket() { ::close(fd); }
    void send(const std::string& data) {
        std::size_t sent = 0;
        while (sent < data.size()) {
            ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) throw std::runtime_error("send");
            sent += static_cast<std::size_t>(n);
        }
    }
    json answer() {
        std::string line;
        char c;
        pollfd p{fd, POLLIN, 0};
        while (::poll(&p, 1, 5000) > 0 && ::recv(fd, &c, 1, 0) == 1 && c != '\n') line += c;
        return json::parse(line, nullptr, false);
    }
};

TEST(HostSimSocket, BadRequestsGetErrorAnswersAndTheHostServesOn) {
    HostSimProcess host(kSample);
    fs::path folder = host.registry() / std::to_string(host.pid());
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat((folder / "socket").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u);
    ASSERT_EQ(::stat(host.registry().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u);

    // A registry others could write to is not trusted.
    RegistryWindowFunctions windows(host.registry());
    ASSERT_TRUE(windows.findTopLevelWindow(host.title()));
    fs::permissions(host.registry(), fs::perms::group_write | fs::perms::others_read, fs::perm_options::add);
    EXPECT_FALSE(windows.findTopLevelWindow(host.title()));
    fs::permissions(host.registry(), fs::perms::group_write | fs::perms::others_read, fs::perm_options::remove);

    RawSocket raw(folder / "socket");
    for (std::string bad : {"garbage\n", "{\"id\":1,\"op\":\"app.con\n", "{\"id\":2,\"op\":\"nothing\"}\n",
                            "{\"id\":3,\"op\":\"doc.sendCommand\",\"target\":2,\"args\":[5]}\n",
                            "{\"id\":4,\"op\":\"collection.item\",\"target\":4,\"args\":[99999]}\n",
                            "{\"id\":5,\"op\":\"reference.explodeReference\",\"target\":-1}\n",
                            "{\"id\":6,\"op\":\"doc.setSystemVariable\",\"target\":2,\"args\":[\"USERI1\",\"x\"]}\n"}) {
        raw.send(bad);
        json answer = raw.answer();
        ASSERT_TRUE(answer.is_object()) << bad;
        EXPECT_EQ(answer["ok"], false) << bad;
    }
    raw.send(std::string(kMaxRequestBytes + 10, 'x') + "\n");
    EXPECT_EQ(raw.answer()["error"], "request too long");
    raw.send("{\"id\":9,\"op\":\"app.connect\"}\n");
    EXPECT_EQ(raw.answer()["ok"], true);
    { RawSocket truncated(folder / "socket"); truncated.send("{\"id\":1,\"op\""); }  // closes mid-request

    auto app = connectSimulatedHost(folder / "socket");
    EXPECT_EQ(app->currentDocument()->documentFullName(), utf8ToUtf16(fs::absolute(kSample).string()));
    host.stop();
    EXPECT_FALSE(fs::exists(folder));  // the registration goes with the host
}

fs::path socketOf(const HostSimProcess& host) { return host.registry() / std::to_string(host.pid()) / "socket"; }

// Without --log the calls go to velmora-hostsim.log beside the program, and
// the terminal gets one line saying so.
TEST(HostSimSocket, CallsAreLoggedInAFileAndTheTerminalGetsOneLine) {
    testsupport::TempDir dir;
    fs::copy_file(executableFolder() / "velmora-hostsim", dir / "velmora-hostsim");
    HostSimOptions options;
    options.drawing = kSample;
    options.executable = dir / "velmora-hostsim";
    options.defaultLog = true;
    options.output = dir / "terminal.txt";
    {
        HostSimProcess host(options);
        connectSimulatedHost(socketOf(host))->currentDocument()->documentFullName();
        EXPECT_EQ(host.logFile(), dir / "velmora-hostsim.log");
        EXPECT_FALSE(host.logEntries().empty());
    }
    std::ifstream terminal(dir / "terminal.txt");
    const std::string all((std::istreambuf_iterator<char>(terminal)), {});
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 1) << all;
    EXPECT_NE(all.find("velmora-hostsim.log"), std::string::npos) << all;
    std::ifstream log(dir / "velmora-hostsim.log");
    const std::string calls((std::istreambuf_iterator<char>(log)), {});
    EXPECT_NE(calls.find("doc.documentFullName"), std::string::npos);
}

// Connecting to a host that is stopped while its listen queue is full ends
// with HostError at the call timeout instead of waiting in connect().
TEST(HostSimSocket, StoppedHostWithAFullQueueTimesOut) {
    HostSimProcess host(kSample);
    ::kill(host.pid(), SIGSTOP);
    std::vector<int> queued;
    for (int i = 0; i < 64; ++i) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, socketOf(host).c_str());
        int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        queued.push_back(fd);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) break;  // the queue is full
    }
    std::promise<std::string> outcome;
    std::thread attempt([&] {
        try {
            connectSimulatedHost(socketOf(host), std::chrono::milliseconds(500));
            outcome.set_value("connected");
        } catch (const HostError&) {
            outcome.set_value("HostError");
        }
    });
    auto result = outcome.get_future();
    const bool ended = result.wait_for(std::chrono::seconds(3)) == std::future_status::ready;
    ::kill(host.pid(), SIGCONT);  // lets a hanging attempt finish
    attempt.join();
    for (int fd : queued) ::close(fd);
    EXPECT_TRUE(ended);
    EXPECT_EQ(result.get(), "HostError");
}

// Clients that hold every place without asking anything do not lock others
// out, and one that stops in the middle of a request is dropped.
TEST(HostSimSocket, IdleAndStalledClientsMakeRoom) {
    HostSimProcess host(kSample);
    std::vector<std::unique_ptr<RawSocket>> idle, stalled;
    for (int i = 0; i < 16; ++i) idle.push_back(std::make_unique<RawSocket>(socketOf(host)));
    for (int i = 0; i < 16; ++i) {
        stalled.push_back(std::make_unique<RawSocket>(socketOf(host)));
        stalled.back()->send("{\"id\":1,\"op\"");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2300));
    auto app = connectSimulatedHost(socketOf(host), std::chrono::milliseconds(2000));
    EXPECT_FALSE(app->currentDocument()->documentFullName().empty());

    std::this_thread::sleep_for(std::chrono::milliseconds(3500));
    for (auto& socket : stalled) {
        char c;
        pollfd p{socket->fd, POLLIN, 0};
        ASSERT_EQ(::poll(&p, 1, 1000), 1);
        EXPECT_EQ(::recv(socket->fd, &c, 1, 0), 0);  // closed by the host
    }
}

long peakMemoryKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:")) return std::stol(line.substr(6));
    return -1;
}

// A client that asks for many large answers without reading them holds a
// bounded amount of the host's memory and does not keep others waiting.
TEST(HostSimSocket, AClientThatDoesNotReadCannotFloodTheHost) {
    HostSimProcess host(kSample);
    auto app = connectSimulatedHost(socketOf(host));
    auto document = app->currentDocument();
    document->setSystemVariable(u"USERS3", HostValue{std::u16string(900000, u'x')});
    const long before = peakMemoryKiB(host.pid());

    RawSocket flood(socketOf(host));
    std::string requests;
    for (int i = 0; i < 400; ++i)
        requests += "{\"id\":" + std::to_string(i) + ",\"op\":\"doc.getSystemVariable\",\"target\":2,\"args\":[\"USERS3\"]}\n";
    for (int i = 0; i < 20000; ++i) requests += "\n";
    flood.send(requests);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    // Another client is served within its call timeout meanwhile.
    EXPECT_NO_THROW(connectSimulatedHost(socketOf(host), std::chrono::milliseconds(3000))->currentDocument());
    EXPECT_LT(peakMemoryKiB(host.pid()) - before, 64 * 1024);  // 400 answers would be 360 MB
}

struct SimHostTest : ::testing::Test {
    std::vector<json> log;
    sim::SimHost host{sim::loadDrawing(kSample), {}, [this](const json& e) { log.push_back(e); }};
    json call(const std::string& op, std::int64_t target, json args = json::array()) {
        HostRequest r{1, op, target, std::move(args)};
        json answer = json::parse(host.answer(makeRequest(r)));
        if (!answer["ok"].get<bool>()) throw std::runtime_error(answer["error"].get<std::string>());
        return answer["value"];
    }
    void send(const std::string& command) { call("doc.sendCommand", sim::kDocumentObject, {command}); }
    void runQueue() {
        while (host.step()) {
        }
    }
    bool logged(const std::string& key, const std::string& text) {
        for (const auto& e : log)
            if (e.contains(key) && e[key].get<std::string>().find(text) != std::string::npos) return true;
        return false;
    }
};

TEST_F(SimHostTest, CommandsRunAsynchronouslyAndUnknownOnesAreIgnored) {
    send("^C^C");
    send("frobnicate\r");
    EXPECT_FALSE(host.ready());
    EXPECT_EQ(call("state.isHostReady", sim::kStateObject), false);
    runQueue();
    EXPECT_TRUE(host.ready());
    EXPECT_TRUE(logged("note", "unknown command frobnicate ignored"));

    // makeBlockItems is no command until a script defines it.
    fs::path folder = fs::temp_directory_path() / ("velmora-simhost-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    call("doc.setSystemVariable", sim::kDocumentObject, {"USERS1", folder.string() + "/"});
    call("doc.setSystemVariable", sim::kDocumentObject, {"USERS2", "arrow"});
    send("makeBlockItems\r");
    send("LSP\rL\r" + (folder / "missing.lsp").string() + "\r");
    runQueue();
    EXPECT_TRUE(logged("note", "unknown command makeBlockItems"));
    EXPECT_TRUE(logged("note", "LSP: file not found"));
    EXPECT_EQ(call("doc.getSystemVariable", sim::kDocumentObject, {"USERI1"}), 0);

    // A definition inside a string or a comment defines nothing; a long
    // comment line is read in one pass.
    std::ofstream(folder / "decoy.lsp") << "(princ \"(defun c:makeBlockItems ()\")\n;" << std::string(1 << 20, '(')
                                        << "\n";
    send("LSP\rL\r" + (folder / "decoy.lsp").string() + "\rmakeBlockItems\r");
    runQueue();
    EXPECT_TRUE(logged("note", "0 commands defined"));
    EXPECT_EQ(call("doc.getSystemVariable", sim::kDocumentObject, {"USERI1"}), 0);

    std::ofstream(folder / "script.lsp") << "(defun c:makeBlockItems (/ a) (princ))\n";
    send("LSP\rL\r" + (folder / "script.lsp").string() + "\rmakeBlockItems\r");
    runQueue();
    EXPECT_EQ(call("doc.getSystemVariable", sim::kDocumentObject, {"USERI1"}), 1);
    std::string list = readFile(folder / "listBlockItems.txt");
    EXPECT_NE(list.find("(0 . LWPOLYLINE)"), std::string::npos);
    EXPECT_NE(list.find("(42 . -1.0)"), std::string::npos);
    fs::remove_all(folder);
}

TEST_F(SimHostTest, DiscardedReferenceStaysUntilTheQueuedCopyHasRun) {
    json ref = call("space.insertReference", sim::kSpaceObject, {nullptr, "chair", 1, 1, 1, 0, {{"omitted", true}}});
    send("^C^C");
    send("copybase\rL\r\r0,0,0\r");
    call("reference.discardCopiedReference", ref["object"]);
    send("pasteclip\r");
    runQueue();
    json space = call("sim.modelSpace", 0);
    EXPECT_EQ(space.back()["name"], "chair");
    EXPECT_NE(space.back()["handle"], ref["object"]);
    EXPECT_THROW(call("reference.deleteReference", ref["object"]), std::runtime_error);  // already gone
}

TEST(SimItemList, HostListNotationWithRadiansAndTheLocaleSeparator) {
    sim::SimEntity arc;
    arc.handle = 0x2A;
    arc.groups = {{0, "ARC"}, {8, "外形"}, {10, "1.5"}, {20, "2"}, {30, "0"}, {40, "3.25"}, {50, "0"}, {51, "90"}};
    arc.groups.push_back({210, "0"});  // items the tool does not read are left out
    EXPECT_EQ(sim::entityDataList(arc, ','),
              "((0 . ARC) (8 . 外形) (10 1,5 2,0 0,0) (40 . 3,25) (50 . 0,0) (51 . 1,5707963267948966))");
    sim::SimEntity poly;
    poly.groups = {{0, "LWPOLYLINE"}, {90, "2"}, {70, "1"}, {10, "0"}, {20, "0"}, {42, "0.5"}, {10, "1"}, {20, "0"}};
    EXPECT_NE(sim::entityDataList(poly, '.').find("(90 . 2) (70 . 1) (10 0.0 0.0) (42 . 0.5) (10 1.0 0.0)"),
              std::string::npos);
}

// A text inside a block that holds list notation cannot add an entity or
// change the block's size: texts are not written.
TEST(SimItemList, TextsCannotPoseAsItems) {
    sim::SimBlock block;
    sim::SimEntity line, text;
    line.groups = {{0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "10"}, {21, "5"}, {31, "0"}};
    text.groups = {{0, "TEXT"}, {10, "1"}, {20, "1"}, {30, "0"}, {40, "1"},
                   {1, ") (0 . LINE) (10 -5000 0 0) (11 5000 0 0"}};
    block.entities = {line, text};
    DrawingStore store;
    BlockItemCounts counts = readBlockItemBytes(store, sim::blockItemListFile(block, '.'));
    EXPECT_EQ(counts.items, 2);
    EXPECT_EQ(counts.lines, 1);
    ASSERT_EQ(store.modelLines.size(), 1u);
    EXPECT_EQ(store.modelLines[0].ed.x, 10);
    EXPECT_EQ(store.modelLines[0].ed.y, 5);
}

TEST(SimDrawingFiles, SampleReadsWritesBackAndIsReproducible) {
    sim::SimDrawing drawing = sim::loadDrawing(kSample);
    EXPECT_EQ(drawing.blocks.size(), 24u);
    EXPECT_EQ(drawing.blocks[0].name, "*Model_Space");
    ASSERT_NE(drawing.findBlock("ボルト"), nullptr);
    EXPECT_EQ(drawing.findBlock("ボルト")->entities.back().value(1), "ボルト M10");
    ASSERT_NE(drawing.findBlock("GRID-6000"), nullptr);  // names match without letter case
    EXPECT_GT(drawing.findBlock("grid-6000")->entities.size(), 5000u);

    sim::SimDrawing again = sim::parseDrawing(sim::writeDxf(drawing), "again");
    ASSERT_EQ(again.blocks.size(), drawing.blocks.size());
    for (std::size_t i = 0; i < drawing.blocks.size(); ++i) {
        EXPECT_EQ(again.blocks[i].name, drawing.blocks[i].name);
        ASSERT_EQ(again.blocks[i].entities.size(), drawing.blocks[i].entities.size());
        for (std::size_t k = 0; k < drawing.blocks[i].entities.size(); ++k) {
            auto groups = [](const sim::SimEntity& e) {
                std::vector<std::pair<int, std::string>> g;
                for (const auto& p : e.groups) g.emplace_back(p.code, p.value);
                std::sort(g.begin(), g.end());
                return g;
            };
            ASSERT_EQ(groups(again.blocks[i].entities[k]), groups(drawing.blocks[i].entities[k]));
        }
    }

    fs::path out = fs::temp_directory_path() / ("velmora-sample-" + std::to_string(::getpid()) + ".dxf");
    std::string command = (fs::path(VELMORA_BIN_DIR) / "velmora-make-sample").string() + " " + out.string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(readFile(out) == readFile(kSample)) << "samples/sample.dxf is not the generator's output";
    fs::remove(out);
}

TEST(SimDrawingFiles, BadFilesAreRefused) {
    EXPECT_THROW(sim::parseDrawing("0\nSECTION\nxx\nHEADER\n", "bad"), sim::DxfLoadError);
    EXPECT_THROW(sim::loadDrawing("/nonexistent/drawing.dxf"), sim::DxfLoadError);
    sim::SimDrawing empty = sim::parseDrawing("", "empty");  // a drawing without anything still has its spaces
    EXPECT_EQ(empty.blocks.size(), 2u);
    EXPECT_EQ(empty.layers.size(), 1u);
}

}  // namespace
}  // namespace velmora
