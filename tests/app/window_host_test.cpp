// The window against a simulated host the test starts: blocks, thumbnails,
// create-all and its abort, inserting, writing blocks, the library tab's
// insert, and a host that is modal or gone.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "app/side_file.h"
#include "platform/utf.h"
#include "tests/app/test_host.h"
#include "window_test_support.h"

namespace velmora::test {
namespace {
namespace fs = std::filesystem;

struct TestBlock {
    std::string name;
    int lines = 1;
    int attributes = 0;
};

// An ASCII drawing whose blocks hold `lines` lines (and attribute
// definitions), plus the spaces and a hidden block the tool skips.
void writeDrawing(const fs::path& file, const std::vector<TestBlock>& blocks) {
    std::ostringstream out;
    auto pair = [&](int code, const std::string& value) { out << code << "\n" << value << "\n"; };
    pair(0, "SECTION");
    pair(2, "BLOCKS");
    auto block = [&](const std::string& name, int lines, int attributes) {
        pair(0, "BLOCK");
        pair(8, "0");
        pair(2, name);
        pair(70, "0");
        for (int c : {10, 20, 30}) pair(c, "0.0");
        for (int i = 0; i < lines; ++i) {
            pair(0, "LINE");
            pair(8, "0");
            pair(10, std::to_string(i));
            pair(20, "0.0");
            pair(30, "0.0");
            pair(11, std::to_string(i + 1));
            pair(21, std::to_string(2 + i % 3));
            pair(31, "0.0");
        }
        for (int i = 0; i < attributes; ++i) {
            pair(0, "ATTDEF");
            pair(8, "0");
            for (int c : {10, 20, 30}) pair(c, "0.0");
            pair(40, "1.0");
            pair(1, "");
            pair(2, "TAG" + std::to_string(i));
            pair(3, "prompt");
        }
        pair(0, "ENDBLK");
        pair(8, "0");
    };
    block("*Model_Space", 0, 0);
    block("*Paper_Space", 0, 0);
    block("_Hidden", 1, 0);
    for (const TestBlock& b : blocks) block(b.name, b.lines, b.attributes);
    pair(0, "ENDSEC");
    pair(0, "EOF");
    std::ofstream(file, std::ios::binary) << out.str();
}

class HostWindowTest : public ::testing::Test {
protected:
    void start(std::vector<TestBlock> blocks, bool modal = false) {
        drawingDir = dir.path() / "drawings";
        fs::create_directories(drawingDir);
        writeDrawing(drawingDir / "plan.dxf", blocks);
        host = std::make_unique<TestHost>(drawingDir / "plan.dxf", modal);
        f = makeForm(dir, log, host->windowFunctions(whileWaiting), host->applicationFactory());
        f->show();
    }
    std::vector<std::string> sent() const { return host->sentCommands(); }
    std::size_t listings() const {
        std::size_t n = 0;
        for (const auto& c : sent()) n += c == "makeBlockItems\r";
        return n;
    }
    void clickBlock(const std::u16string& name) { drive::clickItem(*f->ListBox1, f->ListBox1->indexOf(name)); }
    fs::path bmp(const std::string& name) const { return dir.folders().bmpFolder() / (name + ".bmp"); }
    SideFileRow sideRow(std::u16string_view name) const { return findSideFileRow(dir.folders().sideFile(), name); }

    ToolDir dir;
    fs::path drawingDir;
    std::shared_ptr<ScriptedDialogs::Log> log = std::make_shared<ScriptedDialogs::Log>();
    std::unique_ptr<TestHost> host;
    std::function<bool()> whileWaiting;
    std::unique_ptr<TForm73> f;
};

TEST_F(HostWindowTest, GetBlocksSortedAndFirstThumbnailMadeThenOnlyLoaded) {
    start({{"window", 3}, {"Door", 150, 2}, {"arrow", 2}});
    f->Button2Click();
    ASSERT_EQ(f->ListBox1->count(), 3);
    EXPECT_EQ(f->ListBox1->item(0), u"arrow");
    EXPECT_EQ(f->ListBox1->item(1), u"Door");
    EXPECT_EQ(f->ListBox1->item(2), u"window");
    EXPECT_EQ(f->ListBox1->itemIndex(), 0);
    EXPECT_FALSE(f->store().layers.empty());  // the host's layers were taken

    // The first block's thumbnail was made, shown, saved and recorded.
    ASSERT_TRUE(f->Image1->picture()) << (log->calls.empty() ? "" : utf16ToUtf8(log->calls[0].text));
    EXPECT_TRUE(fs::exists(bmp("arrow")));
    EXPECT_EQ(f->Edit1->text(), u"2.00 x 3.00");
    EXPECT_EQ(f->Edit2->text(), u"属性 = 0 / 2");
    EXPECT_EQ(f->ProgressBar1->position(), 0);
    EXPECT_EQ(listings(), 1u);

    clickBlock(u"Door");
    EXPECT_EQ(f->Edit2->text(), u"属性 = 2 / 152");
    const SideFileRow row = sideRow(u"door");
    EXPECT_EQ(row.entityCount, 152);
    EXPECT_EQ(row.attributeCount, 2);
    EXPECT_EQ(row.sizeText, f->Edit1->text());
    EXPECT_EQ(listings(), 2u);

    // Again: only loaded, the host is not asked.
    f->Edit1->clear();
    f->ListBox1Click();
    EXPECT_EQ(listings(), 2u);
    EXPECT_EQ(f->Edit2->text(), u"属性 = 2 / 152");
    EXPECT_EQ(f->Edit1->text(), row.sizeText);
    EXPECT_TRUE(f->Image1->picture());
    EXPECT_TRUE(log->calls.empty());

    // Without the thumbnail option nothing is kept: every click asks again.
    f->CheckBox3->setChecked(false);
    clickBlock(u"window");
    f->ListBox1Click();
    EXPECT_TRUE(f->Image1->picture());
    EXPECT_FALSE(fs::exists(bmp("window")));
    EXPECT_EQ(sideRow(u"window").index, -1);
    EXPECT_EQ(listings(), 4u);
}

TEST_F(HostWindowTest, CreateAllAndAbortInTheMiddle) {
    start({{"a1", 1}, {"a2", 2}, {"a3", 3}, {"a4", 4}});
    f->CheckBox3->setChecked(false);
    f->Button2Click();  // shows a1 without keeping it
    f->CheckBox3->setChecked(true);
    ASSERT_EQ(f->ListBox1->count(), 4);

    // Abort while the listing of the second block is awaited.
    whileWaiting = [&] {
        if (f->ListBox1->itemIndex() != 1) return false;
        drive::click(*f->Button5);
        return true;
    };
    drive::click(*f->Button4);
    EXPECT_FALSE(f->runFlag);
    EXPECT_TRUE(fs::exists(bmp("a1")));
    EXPECT_FALSE(fs::exists(bmp("a2")));  // neither shown nor saved
    EXPECT_EQ(sideRow(u"a2").index, -1);
    EXPECT_FALSE(f->Image1->picture());
    EXPECT_FALSE(fs::exists(bmp("a3")));  // not visited
    EXPECT_EQ(f->ListBox1->itemIndex(), 1);

    // Create all again: the kept one is loaded, the rest are made.
    const std::size_t before = listings();
    f->Button4Click();
    for (auto name : {"a1", "a2", "a3", "a4"}) EXPECT_TRUE(fs::exists(bmp(name))) << name;
    EXPECT_EQ(listings(), before + 3);
    EXPECT_EQ(sideRow(u"a4").entityCount, 4);
    EXPECT_TRUE(log->calls.empty());
}

TEST_F(HostWindowTest, InsertByClipboardOrCommandByTheLimits) {
    start({{"Door", 148, 2}, {"plain", 1}});
    f->Button2Click();
    clickBlock(u"Door");
    ASSERT_EQ(f->Edit2->text(), u"属性 = 2 / 150");
    auto insertAndTake = [&] {
        const std::size_t before = sent().size();
        f->Button1Click();
        const auto all = sent();
        return std::vector<std::string>(all.begin() + static_cast<long>(before), all.end());
    };
    using Strings = std::vector<std::string>;
    f->Edit3->setText(u"200");
    EXPECT_EQ(insertAndTake(), (Strings{"^C^C", "copybase\rL\r\r0,0,0\r", "pasteclip\r"}));
    f->Edit3->setText(u"100");
    EXPECT_EQ(insertAndTake(), (Strings{"^C^C", "-insert\rDoor\r"}));
    f->Edit3->setText(u"");  // 500
    EXPECT_EQ(insertAndTake().size(), 3u);
    f->entCntLimit = 149;
    EXPECT_EQ(insertAndTake(), (Strings{"^C^C", "-insert\rDoor\r"}));
    f->entCntLimit = 5000;
    f->Edit2->clear();  // no count shown: limit + 1
    EXPECT_EQ(insertAndTake(), (Strings{"^C^C", "-insert\rDoor\r"}));

    // Double-click in the list and a click on the image insert too.
    f->ListBox1Click();
    std::size_t before = sent().size();
    drive::doubleClickItem(*f->ListBox1, f->ListBox1->itemIndex());
    EXPECT_EQ(sent().size(), before + 3);
    before = sent().size();
    drive::click(*f->Image1);
    EXPECT_EQ(sent().size(), before + 3);
    EXPECT_TRUE(log->calls.empty());
}

TEST_F(HostWindowTest, WriteBlockWithTheLimitQuestionIntoBothFolders) {
    start({{"Door", 150, 2}});
    f->Button2Click();
    ASSERT_EQ(f->Edit2->text(), u"属性 = 2 / 152");
    const fs::path inDwg = dir.folders().dwgFolder() / "Door.dwg";

    f->Edit3->setText(u"100");
    log->answers = {false};
    f->Button6Click();
    ASSERT_EQ(log->calls.size(), 1u);
    EXPECT_EQ(log->calls[0].kind, DialogCall::Question);
    EXPECT_EQ(log->calls[0].caption, u"確認");
    EXPECT_EQ(log->calls[0].text,
              u"図形数が制限数を超えています.\nWBLOCK コマンドの方が安全です.\n処理を続けますか？\n"
              u"続ける場合は、原点 0,0 に図形が残ることがあります.");
    EXPECT_FALSE(fs::exists(inDwg));

    log->answers = {true};
    f->Button6Click();
    EXPECT_TRUE(fs::exists(inDwg));
    EXPECT_EQ(log->calls.size(), 2u);

    f->Edit3->setText(u"5000");
    f->CheckBox4->setChecked(false);
    f->Button6Click();
    EXPECT_EQ(log->calls.size(), 2u);  // within the limit: no question
    EXPECT_TRUE(fs::exists(drawingDir / "WBLOCK" / "Door.dwg"));

    // The library tab lists only the DWG folder beside the executable.
    f->PageControl1->setActivePageIndex(1);
    ASSERT_EQ(f->FileListBox1->count(), 1);
    EXPECT_EQ(f->FileListBox1->item(0), u"Door.dwg");
}

TEST_F(HostWindowTest, LibraryTabThumbnailAndInsert) {
    start({{"Door", 150, 2}, {"bare", 1}});
    f->CheckBox3->setChecked(false);
    f->Button2Click();  // "bare" comes first: shown, not kept
    f->Button6Click();
    f->CheckBox3->setChecked(true);
    clickBlock(u"Door");  // thumbnail and side row of Door
    f->Button6Click();
    const std::string folder = (dir.folders().dwgFolder() / "").string();

    f->PageControl1->setActivePageIndex(1);
    ASSERT_EQ(f->FileListBox1->count(), 2);
    EXPECT_EQ(f->FileListBox1->itemIndex(), -1);
    f->FileListBox1->setItemIndex(1);
    f->FileListBox1Click();
    EXPECT_EQ(f->FileListBox1->fileName(), u"Door.dwg");
    EXPECT_TRUE(f->Image2->picture());
    EXPECT_EQ(f->Edit6->text(), u"属性 = 2 / 152");

    std::size_t before = sent().size();
    f->Button7Click();
    auto all = sent();
    ASSERT_EQ(all.size(), before + 3);
    EXPECT_EQ(all[before + 1], "copybase\rL\r\r0,0,0\r");
    f->Edit7->setText(u"100");
    before = all.size();
    drive::click(*f->Image2);
    all = sent();
    ASSERT_EQ(all.size(), before + 2);
    EXPECT_EQ(all[before + 1], "-insert\r" + folder + "Door.dwg\r");

    // A file without a side-file row goes by command.
    f->Edit7->setText(u"5000");
    f->FileListBox1->setItemIndex(0);
    f->FileListBox1Click();
    EXPECT_FALSE(f->Image2->picture());
    EXPECT_TRUE(f->Edit6->text().empty());
    before = sent().size();
    drive::doubleClickItem(*f->FileListBox1, f->FileListBox1->itemIndex());
    all = sent();
    ASSERT_EQ(all.size(), before + 2);
    EXPECT_EQ(all[before + 1], "-insert\r" + folder + "bare.dwg\r");
    EXPECT_TRUE(log->calls.empty());
}

TEST_F(HostWindowTest, ModalHostLeavesEverythingSilent) {
    start({{"Door", 3}}, true);
    f->ListBox1->addItem(u"Door");
    f->Button2Click();
    EXPECT_EQ(f->ListBox1->count(), 0);
    f->ListBox1->addItem(u"Door");
    f->ListBox1->setItemIndex(0);
    f->ListBox1Click();
    f->Button1Click();
    f->Button6Click();
    f->Button4Click();
    EXPECT_FALSE(f->Image1->picture());
    EXPECT_TRUE(f->Edit2->text().empty());
    EXPECT_TRUE(sent().empty());
    EXPECT_TRUE(log->calls.empty());
    EXPECT_FALSE(fs::exists(bmp("Door")));

    host->setModal(false);
    f->Button2Click();
    EXPECT_EQ(f->ListBox1->count(), 1);
    EXPECT_TRUE(f->Image1->picture());
}

// Make all goes on past a name no file can have, and a thumbnail that cannot
// be written leaves no side-file row behind.
TEST_F(HostWindowTest, CreateAllGoesOnPastRefusedNamesAndRowsFollowTheirThumbnails) {
    start({{"a1", 1}, {"bad|name", 2}, {"a3", 3}});
    f->Button2Click();
    log->calls.clear();
    drive::click(*f->Button4);
    EXPECT_TRUE(fs::exists(bmp("a1")));
    EXPECT_TRUE(fs::exists(bmp("a3")));
    ASSERT_EQ(log->calls.size(), 1u);
    EXPECT_EQ(log->calls[0].caption, u"確認");
    EXPECT_EQ(sideRow(u"a3").entityCount, 3);

    drive::click(*f->Button3);  // delete (asks; the default answer is No)
    log->answers = {true};
    drive::click(*f->Button3);
    fs::remove_all(dir.folders().bmpFolder());
    touch(dir.folders().bmpFolder());  // a file where the folder should be: no thumbnail can be written
    log->calls.clear();
    clickBlock(u"a3");
    ASSERT_EQ(log->calls.size(), 1u);
    EXPECT_EQ(log->calls[0].kind, DialogCall::Error);
    EXPECT_EQ(sideRow(u"a3").index, -1);
}

TEST_F(HostWindowTest, HostLostDuringTheListingReachesTheErrorBox) {
    start({{"a1", 1}, {"a2", 2}, {"a3", 3}});
    f->CheckBox3->setChecked(false);
    f->Button2Click();
    f->CheckBox3->setChecked(true);
    whileWaiting = [&] {
        if (f->ListBox1->itemIndex() != 1) return false;
        host->kill();
        return true;
    };
    drive::click(*f->Button4);
    ASSERT_EQ(log->calls.size(), 1u);
    EXPECT_EQ(log->calls[0].kind, DialogCall::Error);
    EXPECT_TRUE(log->calls[0].text.starts_with(u"nanoCAD との通信に失敗しました。"))
        << utf16ToUtf8(log->calls[0].text);
    EXPECT_TRUE(fs::exists(bmp("a1")));
    EXPECT_FALSE(fs::exists(bmp("a2")));
    EXPECT_EQ(f->ListBox1->itemIndex(), 1);  // the run stopped there
}

}  // namespace
}  // namespace velmora::test

namespace velmora::test {
namespace {

std::uint64_t fnv1a(const std::string& bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

// Make all on the bundled sample: every block's thumbnail file is the same,
// byte for byte, on every platform (the digests were taken on Linux).
TEST_F(HostWindowTest, SampleThumbnailsAreTheSameOnEveryPlatform) {
    host = std::make_unique<TestHost>(fs::path(VELMORA_SOURCE_DIR) / "samples" / "sample.dxf", false);
    f = makeForm(dir, log, host->windowFunctions(whileWaiting), host->applicationFactory());
    drive::click(*f->Button2);
    drive::click(*f->Button4);
    ASSERT_EQ(f->ListBox1->count(), 20);
    std::ifstream golden(fs::path(VELMORA_SOURCE_DIR) / "tests" / "app" / "golden" / "sample-thumbnails.txt");
    std::string name;
    std::uint64_t digest = 0;
    int compared = 0;
    while (golden >> name >> std::hex >> digest) {
        const fs::path file = dir.folders().bmpFolder() / (utf8ToUtf16(name) + u".bmp");
        if (digest == 0) {
            EXPECT_FALSE(fs::exists(file)) << name;  // a block the listing gives nothing to draw
        } else {
            EXPECT_EQ(fnv1a(readFile(file)), digest) << name;
        }
        ++compared;
    }
    EXPECT_EQ(compared, 20);
    EXPECT_TRUE(log->calls.empty());
}

}  // namespace
}  // namespace velmora::test
