// The window against scripted host objects: a window titled "nanoCAD 5" is
// registered by the test itself and the application factory hands out the
// scripted host, so a handler's host calls and failures can be set one by one.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <algorithm>
#include <optional>

#include "tests/host/fake_host.h"
#include "window_test_support.h"

namespace velmora::test {
namespace {
namespace fs = std::filesystem;
using velmora::testing::FakeApplication;
using velmora::testing::FakeHost;

class FakeHostWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApplication();
        registry = dir.path() / "run" / "registry";
        fs::create_directories(registry.parent_path());
        window.emplace(registry, u"nanoCAD 5");
        window->publish();
        f = makeForm(dir, log, registry, [this](WindowHandle) -> std::unique_ptr<InanoCADApplication> {
            return std::make_unique<FakeApplication>(host);
        });
    }
    long count(const std::string& call) const { return std::count(host.calls.begin(), host.calls.end(), call); }
    bool sentAny() const {
        return std::any_of(host.calls.begin(), host.calls.end(),
                           [](const std::string& c) { return c.starts_with("sendCommand"); });
    }

    ToolDir dir;
    fs::path registry;
    std::optional<WindowRegistration> window;
    FakeHost host;
    std::shared_ptr<ScriptedDialogs::Log> log = std::make_shared<ScriptedDialogs::Log>();
    std::unique_ptr<TForm73> f;
};

TEST_F(FakeHostWindowTest, GetBlocksKeepsTheNamesReadBeforeAHostFailure) {
    host.blocks = {u"window", u"*Model_Space", u"Door", u"stair", u"roof"};
    host.failing = {"item 3"};
    f->Button2Click();
    ASSERT_EQ(f->ListBox1->count(), 2);
    EXPECT_EQ(f->ListBox1->item(0)->text(), "Door");
    EXPECT_EQ(f->ListBox1->item(1)->text(), "window");
    // The failure ended the action: no first block selected, no listing run.
    EXPECT_EQ(f->ListBox1->currentRow(), -1);
    EXPECT_FALSE(sentAny());
    EXPECT_TRUE(log->calls.empty());
}

TEST_F(FakeHostWindowTest, InsertTakesASelectedBlockWithAnEmptyName) {
    f->ListBox1->addItem(QString());
    f->ListBox1->setCurrentRow(0);
    f->Button1Click();  // no count shown: by command
    EXPECT_EQ(count("sendCommand ^C^C"), 1);
    EXPECT_EQ(count("sendCommand -insert\r\r"), 1);

    host.calls.clear();
    f->ListBox1->clearSelection();
    f->Button1Click();  // nothing selected: nothing sent
    EXPECT_EQ(count("currentDocument"), 1);
    EXPECT_FALSE(sentAny());
}

TEST_F(FakeHostWindowTest, EscapeCountsAsDownOnlyWhileTheWindowSeesItHeld) {
    f->show();
    f->ListBox1->addItem("door");
    f->ListBox1->setCurrentRow(0);
    f->Edit2->setText("属性 = 0 / 1");  // within the limits: by clipboard, then the wait
    host.readyAfterPolls = 2;

    QTest::keyPress(f.get(), Qt::Key_Escape);
    f->Button1Click();
    EXPECT_EQ(count("sendCommand pasteclip\r"), 1);
    EXPECT_EQ(count("isHostReady"), 0);  // held down: the wait ends at its first step

    // The release went to another program: the key is no longer taken as down.
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(qApp, &deactivate);
    host.calls.clear();
    host.readyPolls = 0;
    f->Button1Click();
    EXPECT_EQ(count("isHostReady"), 2);

    QTest::keyPress(f.get(), Qt::Key_Escape);
    QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
    QCoreApplication::sendEvent(qApp, &inactive);
    host.calls.clear();
    host.readyPolls = 0;
    f->Button1Click();
    EXPECT_EQ(count("isHostReady"), 2);
    EXPECT_TRUE(log->calls.empty());
}

// A click processed while an insertion waits for the host starts no second
// host action: get blocks, insert, make all, WBLOCK, the library's insert and
// a click that would list a block are all ignored until the first one ends.
TEST_F(FakeHostWindowTest, ClicksDuringAHostActionStartNoOtherOne) {
    f->ListBox1->addItems({"door", "stair"});
    f->ListBox1->setCurrentRow(0);
    f->Edit2->setText("属性 = 0 / 1");  // by clipboard, then the wait for the host
    host.readyAfterPolls = 2;
    host.blocks = {u"other"};
    int waits = 0;
    std::size_t nestedCalls = 0;
    host.onCall = [&](const std::string& call) {
        if (call != "isHostReady" || waits++ > 0) return;
        const std::size_t before = host.calls.size();
        f->ListBox1->setCurrentRow(1);
        f->ListBox1Click();  // stair has no thumbnail: it would be listed
        f->Button2Click();
        f->Button1Click();
        f->Button4Click();
        f->Button6Click();
        f->Button7Click();
        nestedCalls = host.calls.size() - before;
    };
    f->Button1Click();
    EXPECT_GT(waits, 0);
    EXPECT_EQ(nestedCalls, 0u);
    EXPECT_EQ(f->ListBox1->count(), 2);  // get blocks did not run

    host.onCall = nullptr;  // the action is over: clicks work again
    f->Button2Click();
    EXPECT_EQ(f->ListBox1->count(), 1);
}

}  // namespace
}  // namespace velmora::test
