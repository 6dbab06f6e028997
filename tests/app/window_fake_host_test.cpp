// The window against scripted host objects: scripted window functions find a
// host window and the application factory hands out the scripted host, so a
// handler's host calls and failures can be set one by one.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "tests/host/fake_host.h"
#include "window_test_support.h"

namespace velmora::test {
namespace {
namespace fs = std::filesystem;
using velmora::testing::FakeApplication;
using velmora::testing::FakeHost;
using velmora::testing::FakeWindows;

class FakeHostWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Virtual time: the host's waits end without the wall clock.
        f = makeForm(dir, log, std::make_unique<FakeWindows>(),
                     [this](WindowHandle) -> std::unique_ptr<InanoCADApplication> {
                         return std::make_unique<FakeApplication>(host);
                     });
    }
    long count(const std::string& call) const { return std::count(host.calls.begin(), host.calls.end(), call); }
    bool sentAny() const {
        return std::any_of(host.calls.begin(), host.calls.end(),
                           [](const std::string& c) { return c.starts_with("sendCommand"); });
    }

    ToolDir dir;
    FakeHost host;
    std::shared_ptr<ScriptedDialogs::Log> log = std::make_shared<ScriptedDialogs::Log>();
    std::unique_ptr<TForm73> f;
};

TEST_F(FakeHostWindowTest, GetBlocksKeepsTheNamesReadBeforeAHostFailure) {
    host.blocks = {u"window", u"*Model_Space", u"Door", u"stair", u"roof"};
    host.failing = {"item 3"};
    drive::click(*f->Button2);
    ASSERT_EQ(f->ListBox1->count(), 2);
    EXPECT_EQ(f->ListBox1->item(0), u"Door");
    EXPECT_EQ(f->ListBox1->item(1), u"window");
    // The failure ended the action: no first block selected, no listing run.
    EXPECT_EQ(f->ListBox1->itemIndex(), -1);
    EXPECT_FALSE(sentAny());
    EXPECT_TRUE(log->calls.empty());
}

// Only host failures end get blocks, insert and write block silently; any
// other failure reaches the standard error box.
TEST_F(FakeHostWindowTest, FailuresOtherThanTheHostsReachTheErrorBox) {
    host.blocks = {u"door"};
    f->Edit2->setText(u"属性 = 0 / 1");
    host.onCall = [](const std::string& call) {
        if (call == "currentDocument") throw std::bad_alloc();
    };
    for (TButton* button : {f->Button2, f->Button1, f->Button6}) {
        log->calls.clear();
        f->ListBox1->setItems({u"door"});
        f->ListBox1->setItemIndex(0);
        drive::click(*button);
        ASSERT_EQ(log->calls.size(), 1u) << button->name();
        EXPECT_EQ(log->calls[0].kind, DialogCall::Error);
        EXPECT_TRUE(log->calls[0].text.starts_with(u"メモリが足りません。")) << button->name();
    }
}

TEST_F(FakeHostWindowTest, InsertTakesASelectedBlockWithAnEmptyName) {
    f->ListBox1->addItem(std::u16string());
    f->ListBox1->setItemIndex(0);
    drive::click(*f->Button1);  // no count shown: by command
    EXPECT_EQ(count("sendCommand ^C^C"), 1);
    EXPECT_EQ(count("sendCommand -insert\r\r"), 1);

    host.calls.clear();
    f->ListBox1->setItemIndex(-1);
    drive::click(*f->Button1);  // nothing selected: nothing sent
    EXPECT_EQ(count("currentDocument"), 1);
    EXPECT_FALSE(sentAny());
}

TEST_F(FakeHostWindowTest, EscapeCountsAsDownOnlyWhileTheWindowSeesItHeld) {
    f->show();
    f->ListBox1->addItem(u"door");
    f->ListBox1->setItemIndex(0);
    f->Edit2->setText(u"属性 = 0 / 1");  // within the limits: by clipboard, then the wait
    host.readyAfterPolls = 2;

    drive::keyDown(*f->ListBox1, drive::Key::Escape);
    f->Button1Click();
    EXPECT_EQ(count("sendCommand pasteclip\r"), 1);
    EXPECT_EQ(count("isHostReady"), 0);  // held down: the wait ends at its first step

    // The release went to another program: the key is no longer taken as down.
    drive::deactivateApplication();
    host.calls.clear();
    host.readyPolls = 0;
    f->Button1Click();
    EXPECT_EQ(count("isHostReady"), 2);

    drive::keyDown(*f->ListBox1, drive::Key::Escape);
    drive::deactivateApplication();
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
    f->ListBox1->setItems({u"door", u"stair"});
    f->ListBox1->setItemIndex(0);
    f->Edit2->setText(u"属性 = 0 / 1");  // by clipboard, then the wait for the host
    host.readyAfterPolls = 2;
    host.blocks = {u"other"};
    int waits = 0;
    std::size_t nestedCalls = 0;
    host.onCall = [&](const std::string& call) {
        if (call != "isHostReady" || waits++ > 0) return;
        const std::size_t before = host.calls.size();
        drive::clickItem(*f->ListBox1, 1);  // stair has no thumbnail: it would be listed
        for (TButton* button : {f->Button2, f->Button1, f->Button4, f->Button6, f->Button7}) drive::click(*button);
        nestedCalls = host.calls.size() - before;
    };
    drive::click(*f->Button1);
    EXPECT_GT(waits, 0);
    EXPECT_EQ(nestedCalls, 0u);
    EXPECT_EQ(f->ListBox1->count(), 2);  // get blocks did not run

    host.onCall = nullptr;  // the action is over: clicks work again
    drive::click(*f->Button2);
    EXPECT_EQ(f->ListBox1->count(), 1);
}

}  // namespace
}  // namespace velmora::test
