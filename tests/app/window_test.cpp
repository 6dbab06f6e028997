// The window without a host: layout, settings, the library tab over files
// put in place by the test, the delete action, and silence when no host runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "app/form_settings.h"
#include "app/side_file.h"
#include "platform/ini_file.h"
#include "platform/utf.h"
#include "render/bmp_file.h"
#include "window_test_support.h"

namespace velmora::test {
namespace {
namespace fs = std::filesystem;

class WindowTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm73> form() { return makeForm(dir, log); }
    fs::path settingsFile() const { return dir.folders().settingsFile(); }
    std::optional<std::u16string> setting(const char16_t* section, const char16_t* key) const {
        return IniFile(settingsFile()).value(section, key);
    }

    ToolDir dir;
    std::shared_ptr<ScriptedDialogs::Log> log = std::make_shared<ScriptedDialogs::Log>();
};

TEST_F(WindowTest, LayoutAsDesigned) {
    auto f = form();
    EXPECT_EQ(f->caption(), u"Velmora 1.20 (2024/06/22)");
    EXPECT_EQ(f->clientSize(), (Extent{325, 295}));
    EXPECT_FALSE(f->resizable());
    EXPECT_TRUE(f->stayOnTop());
    EXPECT_FALSE(f->hasMaximizeButton());

    EXPECT_EQ(f->ProgressBar1->bounds(), (Bounds{0, 282, 325, 13}));
    EXPECT_EQ(f->PageControl1->pageCount(), 2);
    EXPECT_EQ(f->PageControl1->pageCaption(0), u"図面内のブロック");
    EXPECT_EQ(f->PageControl1->pageCaption(1), u"WBLOCK したブロック");
    EXPECT_EQ(f->PageControl1->activePageIndex(), 0);

    struct Expect {
        TButton* button;
        Bounds bounds;
        const char16_t* text;
    };
    for (const Expect& e : {Expect{f->Button2, {6, 4, 175, 25}, u"nanoCAD からブロックを取得"},
                            Expect{f->Button3, {34, 230, 37, 25}, u"削除"},
                            Expect{f->Button4, {74, 230, 67, 25}, u"すべて作成"},
                            Expect{f->Button5, {139, 229, 42, 25}, u"中止"},
                            Expect{f->Button1, {187, 228, 63, 25}, u"ブロック挿入"},
                            Expect{f->Button6, {255, 228, 54, 25}, u"WBLOCK"},
                            Expect{f->Button7, {187, 228, 124, 25}, u"ブロック挿入"}}) {
        EXPECT_EQ(e.button->bounds(), e.bounds) << e.button->name();
        EXPECT_EQ(e.button->caption(), e.text) << e.button->name();
    }
    for (auto [box, bounds, text] : {std::tuple{f->CheckBox3, Bounds{187, 30, 124, 17}, u"BMPファイルを作成"},
                                     std::tuple{f->CheckBox4, Bounds{187, 49, 122, 17}, u"EXEフォルダに書き出し"}}) {
        EXPECT_EQ(box->bounds(), bounds);
        EXPECT_EQ(box->caption(), text);
        EXPECT_TRUE(box->checked());
    }
    EXPECT_EQ(f->Label1->bounds().left, 187);
    EXPECT_EQ(f->Label1->bounds().top, 9);
    EXPECT_EQ(f->Label1->caption(), u"図形数制限");
    EXPECT_EQ(f->Label2->caption(), u"BMP");
    EXPECT_EQ(f->Label3->bounds().left, 189);
    EXPECT_EQ(f->Label3->bounds().top, 8);
    EXPECT_EQ(f->Label4->caption(), u"Mask");
    EXPECT_EQ(f->ListBox1->bounds(), (Bounds{6, 30, 175, 194}));
    EXPECT_EQ(f->ListBox1->hint(), u"ダブルクリックでブロック挿入");
    EXPECT_EQ(f->ListBox1->fontPoints(), 10);
    EXPECT_EQ(f->Image1->bounds(), (Bounds{187, 70, 120, 100}));
    EXPECT_EQ(f->Image2->bounds(), (Bounds{191, 65, 120, 100}));
    EXPECT_EQ(f->Edit1->bounds(), (Bounds{187, 176, 125, 24}));
    EXPECT_EQ(f->Edit2->bounds(), (Bounds{184, 202, 125, 24}));
    EXPECT_EQ(f->Edit3->bounds(), (Bounds{253, 5, 58, 24}));
    EXPECT_EQ(f->Edit4->bounds(), (Bounds{40, 8, 143, 22}));
    EXPECT_EQ(f->Edit4->textHint(), u"Mask");
    EXPECT_EQ(f->Edit4->fontPoints(), 9);
    EXPECT_EQ(f->FileListBox1->bounds(), (Bounds{8, 31, 173, 220}));
    EXPECT_EQ(f->Edit7->bounds(), (Bounds{253, 3, 58, 24}));
    EXPECT_TRUE(f->Edit1->readOnly());
    EXPECT_TRUE(f->Edit6->readOnly());
    EXPECT_TRUE(f->Edit5->centred());
    EXPECT_FALSE(f->Edit1->takesTabStop());

    // The limit fields take digits only.
    f->Edit3->clear();
    drive::typeText(*f->Edit3, u"12a3-");
    EXPECT_EQ(f->Edit3->text(), u"123");
}

// Every fixed text fits the box the layout gives it, and so do the longest
// size and count texts a block shows.
TEST_F(WindowTest, TextsFitTheirControls) {
    auto f = form();
    std::vector<std::pair<TControl*, std::u16string>> texts;
    for (TLabel* label : {f->Label1, f->Label2, f->Label3, f->Label4}) texts.emplace_back(label, label->caption());
    for (TCheckBox* box : {f->CheckBox3, f->CheckBox4}) texts.emplace_back(box, box->caption());
    for (TButton* button : {f->Button1, f->Button2, f->Button3, f->Button4, f->Button5, f->Button6, f->Button7})
        texts.emplace_back(button, button->caption());
    for (TEdit* edit : {f->Edit1, f->Edit2, f->Edit5, f->Edit6}) texts.emplace_back(edit, u"29990.00 x 1499.75");
    for (const auto& [control, text] : texts) {
        const drive::TextRoom room = drive::textRoom(*control, text);
        EXPECT_GT(room.textWidth, 0) << control->name();
        EXPECT_LE(room.textWidth, room.room) << control->name() << ": " << utf16ToUtf8(text);
    }
}

TEST_F(WindowTest, DefaultsWithoutSettingsFile) {
    auto f = form();
    EXPECT_EQ(f->Edit3->text(), u"5000");
    EXPECT_EQ(f->Edit7->text(), u"5000");
    EXPECT_EQ(f->entCntLimit, 5000);
    EXPECT_TRUE(f->CheckBox3->checked());
    EXPECT_TRUE(f->CheckBox4->checked());
    EXPECT_TRUE(f->Edit1->text().empty());
    EXPECT_DOUBLE_EQ(f->previewFillRatio, 0.9);
    EXPECT_EQ(f->previewColorMode, 1);
    const Extent screen = primaryScreenSize();
    const Extent outer = f->outerSize();
    EXPECT_EQ(f->position(), (Position{(screen.width - outer.width) / 2, (screen.height - outer.height) / 2}));
    EXPECT_TRUE(fs::is_directory(dir.folders().dwgFolder()));  // made at creation
}

TEST_F(WindowTest, SettingsRestoredAndSaved) {
    ASSERT_TRUE(writeIniValues(settingsFile(), {{u"Form", u"Left", u"5000"},  // past the right edge
                                                {u"Form", u"Top", u"-40"},    // above the screen: kept
                                                {u"Ent", u"maxcnt", u"200"},
                                                {u"Ent", u"maxcnt2", u"300"},
                                                {u"Ent", u"cntLimit", u"77"},
                                                {u"CheckBox3", u"Checked", u"0"},
                                                {u"CheckBox4", u"Checked", u"5"}}));
    {
        auto f = form();
        const Extent screen = primaryScreenSize();
        EXPECT_EQ(f->position(), (Position{screen.width - f->outerSize().width, -40}));
        EXPECT_EQ(f->Edit3->text(), u"200");
        EXPECT_EQ(f->Edit7->text(), u"300");
        EXPECT_EQ(f->entCntLimit, 77);
        EXPECT_FALSE(f->CheckBox3->checked());
        EXPECT_TRUE(f->CheckBox4->checked());
        f->moveTo({12, 34});
        f->Edit3->setText(u"150");
        f->CheckBox3->setChecked(true);
        f->CheckBox4->setChecked(false);
    }  // destruction saves
    EXPECT_EQ(setting(u"Form", u"Left"), u"12");
    EXPECT_EQ(setting(u"Form", u"Top"), u"34");
    EXPECT_EQ(setting(u"Ent", u"maxcnt"), u"150");
    EXPECT_EQ(setting(u"Ent", u"maxcnt2"), u"300");
    EXPECT_EQ(setting(u"Ent", u"cntLimit"), u"77");
    EXPECT_EQ(setting(u"CheckBox3", u"Checked"), u"1");
    EXPECT_EQ(setting(u"CheckBox4", u"Checked"), u"0");
}

// Absurd settings open the window on the screen with the defaults of what
// cannot be read; the next close writes sound values.
TEST_F(WindowTest, AbsurdSettingsOpenTheWindowOnScreen) {
    const std::string binary("\x00\xFF\xFE[Form]\x01\x02=\x03", 13);
    const struct {
        std::string text;
    } files[] = {
        {"[Form]\nLeft=-1000000000\nTop=1000000000\n[Ent]\nmaxcnt=99999999999\nmaxcnt2=12ab\ncntLimit=99999999999\n"},
        {"[Form]\nLeft=-1e9\nTop=1e9\n[Ent]\nmaxcnt=" + binary + "\n"},
        {std::string(10 << 20, '\x01') + "\n[Form]\nLeft=" + binary + "\n"},
    };
    const Extent screen = primaryScreenSize();
    for (const auto& file : files) {
        std::ofstream(settingsFile(), std::ios::binary | std::ios::trunc) << file.text;
        auto f = form();
        const Position at = f->position();
        EXPECT_GE(at.x + f->outerSize().width, 0);
        EXPECT_LE(at.x, screen.width);
        EXPECT_GE(at.y + f->outerSize().height, 0);
        EXPECT_LE(at.y, screen.height);
        const std::u16string limit = f->Edit3->text();  // what the platform reads of it, digits only
        EXPECT_TRUE(std::all_of(limit.begin(), limit.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }))
            << utf16ToUtf8(limit);
        EXPECT_EQ(f->Edit7->text(), u"5000");
        EXPECT_EQ(f->entCntLimit, 5000);
    }
}

TEST(DisplayedItemCount, ReadsTheCountBack) {
    const struct {
        const char16_t* text;
        int limit;
        int count;
    } rows[] = {{u"属性 = 2 / 150", 200, 150}, {u"", 200, 201}, {u"属性 = 2 / x", 200, 0},
                {u"a = 7", 200, 7},            {u" 42 ", 10, 42}, {u"a = b", 10, 11}};
    for (const auto& row : rows) EXPECT_EQ(TForm73::displayedItemCount(row.text, row.limit), row.count);
}

TEST_F(WindowTest, DrawDxfImageDrawsTheFailureCross) {
    auto f = form();
    f->drawDxfImage("whatever.dxf", f->Image1);
    const Canvas& picture = *f->Image1->picture();
    ASSERT_EQ(picture.width(), 120);
    const TColor cross = picture.pixel(40, 33);
    EXPECT_NE(cross, 0u);
    EXPECT_EQ(cross & 0xFF, 0u);  // no red: blue and green
    EXPECT_EQ(picture.pixel(79, 33), cross);
    int drawn = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 120; ++x) drawn += picture.pixel(x, y) == cross;
    EXPECT_GE(drawn, 76);  // two strokes of 39 steps, crossing once
    EXPECT_LE(drawn, 78);
    EXPECT_EQ(picture.pixel(0, 0), 0u);
    EXPECT_EQ(picture.pixel(79, 65), 0u);  // the last pixel is left out
}

// A readable DXF is drawn, ProgressBar1 runs through the read and the passes
// and ends at 0; a value the reader cannot convert gives its "DxfReport" box
// with the failing lines and then the cross.
TEST_F(WindowTest, DrawDxfImageDrawsTheDrawingOrReportsTheFailingPair) {
    auto f = form();
    const fs::path good = dir.path() / "box.dxf";
    const fs::path bad = dir.path() / "bad.DXF";
    const std::string entities = "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n10\n21\n5\n";
    std::ofstream(good, std::ios::binary) << entities << "0\nENDSEC\n0\nEOF\n";
    std::ofstream(bad, std::ios::binary) << entities << "0\nLINE\n10\n1,5\n0\nENDSEC\n0\nEOF\n";
    std::vector<int> positions;
    f->ProgressBar1->onChange = [&](int v) { positions.push_back(v); };

    f->drawDxfImage(good, f->Image1);
    const Canvas& drawn = *f->Image1->picture();
    int white = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 120; ++x) white += drawn.pixel(x, y) == 0xFFFFFF;
    EXPECT_GE(white, 100);  // the line fitted into 0.9 of the width
    EXPECT_EQ(f->previewWidth, 10.0);
    EXPECT_EQ(f->previewHeight, 5.0);
    EXPECT_EQ(f->ProgressBar1->position(), 0);
    EXPECT_TRUE(std::find(positions.begin(), positions.end(), 90) != positions.end());
    EXPECT_TRUE(log->calls.empty());

    f->drawDxfImage(bad, f->Image1);
    ASSERT_EQ(log->calls.size(), 1u);
    EXPECT_EQ(log->calls[0].caption, u"DxfReport");
    EXPECT_EQ(log->calls[0].text, u"bad.DXF\n19 行=10\n20 行=1,5");
    EXPECT_NE(f->Image1->picture()->pixel(40, 33), 0u);  // the cross
}

TEST_F(WindowTest, NoHostLeavesEverythingSilent) {
    auto f = form();
    f->ListBox1->addItem(u"door");
    drive::click(*f->Button2);
    EXPECT_EQ(f->ListBox1->count(), 0);
    f->ListBox1->addItem(u"door");
    f->ListBox1->setItemIndex(0);
    drive::click(*f->Button1);
    drive::click(*f->Button6);
    drive::selectTab(*f->PageControl1, 1);
    drive::click(*f->Button7);
    EXPECT_TRUE(log->calls.empty());
    EXPECT_TRUE(fs::is_empty(dir.folders().dwgFolder()));
}

TEST_F(WindowTest, ClicksWithNothingSelectedDoNothing) {
    auto f = form();
    f->Edit1->setText(u"keep");
    f->ListBox1Click();
    f->Button4Click();
    f->FileListBox1Click();
    EXPECT_EQ(f->Edit1->text(), u"keep");
    EXPECT_TRUE(log->calls.empty());
    EXPECT_FALSE(fs::exists(dir.folders().bmpFolder()));
}

TEST_F(WindowTest, StoredThumbnailIsOnlyLoaded) {
    writeThumbnail(dir, u"door");
    storeSideFileRow(dir.folders().sideFile(), u"door", 150, 2, u"3.00 x 4.00");
    writeThumbnail(dir, u"bare");
    auto f = form();
    f->ListBox1->setItems({u"bare", u"door"});
    drive::clickItem(*f->ListBox1, 1);
    ASSERT_TRUE(f->Image1->picture());
    EXPECT_EQ(f->Image1->picture()->pixel(3, 4), 0xFFFFFFu);
    EXPECT_EQ(f->Edit1->text(), u"3.00 x 4.00");
    EXPECT_EQ(f->Edit2->text(), u"属性 = 2 / 150");
    EXPECT_EQ(f->ProgressBar1->position(), 0);
    drive::clickItem(*f->ListBox1, 0);  // a thumbnail without a side-file row
    EXPECT_TRUE(f->Image1->picture());
    EXPECT_TRUE(f->Edit1->text().empty());
    EXPECT_TRUE(f->Edit2->text().empty());
    EXPECT_TRUE(log->calls.empty());
}

TEST_F(WindowTest, BadThumbnailFileReachesTheErrorBox) {
    touch(dir.folders().bmpFolder() / "door.bmp");
    auto f = form();
    f->ListBox1->addItem(u"door");
    drive::clickItem(*f->ListBox1, 0);
    ASSERT_EQ(log->calls.size(), 1u);
    EXPECT_EQ(log->calls[0].kind, DialogCall::Error);
    EXPECT_TRUE(log->calls[0].text.starts_with(u"サムネイル画像を読み込めません。\n")) << utf16ToUtf8(log->calls[0].text);
    EXPECT_EQ(f->ProgressBar1->position(), 50);  // keeps its last position
}

// Names that would leave the folder or that no file system of the tool's
// platforms can hold get the window's message; nothing is made anywhere.
TEST_F(WindowTest, UnsafeBlockNamesAreRefused) {
    const fs::path outside = dir.path() / "outside.bmp";
    touch(outside);
    storeSideFileRow(dir.folders().sideFile(), u"door", 1, 0, u"x");
    const std::string sideBefore = readFile(dir.folders().sideFile());
    auto f = form();
    const std::vector<std::u16string> names{u"../outside", u"a/b", u"a:b", u"CON", u"x?", u"door"};
    f->ListBox1->setItems(names);
    for (int row = 0; row < 5; ++row) drive::clickItem(*f->ListBox1, row);
    ASSERT_EQ(log->calls.size(), 5u);
    EXPECT_EQ(log->calls[0].caption, u"確認");
    EXPECT_NE(log->calls[0].text.find(u"/"), std::u16string::npos);
    EXPECT_NE(log->calls[2].text.find(u":"), std::u16string::npos);
    EXPECT_FALSE(f->Image1->picture());
    EXPECT_EQ(readFile(dir.folders().sideFile()), sideBefore);
    EXPECT_FALSE(fs::exists(dir.folders().bmpFolder() / "a"));
    EXPECT_FALSE(fs::exists(dir.folders().bmpFolder()));

    log->calls.clear();
    log->answers = {true};
    drive::click(*f->Button3);  // delete: the safe name only
    EXPECT_TRUE(fs::exists(outside));
    ASSERT_EQ(log->calls.size(), 2u);
    EXPECT_EQ(log->calls[1].kind, DialogCall::Information);
    EXPECT_NE(log->calls[1].text.find(u"../outside"), std::u16string::npos);
    EXPECT_EQ(findSideFileRow(dir.folders().sideFile(), u"door").index, -1);
}

TEST_F(WindowTest, DeleteThumbnailsWithItsTwoMessages) {
    auto f = form();
    drive::click(*f->Button3);
    ASSERT_EQ(log->calls.size(), 1u);
    EXPECT_EQ(log->calls[0].kind, DialogCall::Information);
    EXPECT_EQ(log->calls[0].caption, u"確認");
    EXPECT_EQ(log->calls[0].text, u"ファイルリストが作成されていません.");

    for (auto name : {u"door", u"window", u"keep"}) {
        writeThumbnail(dir, name);
        storeSideFileRow(dir.folders().sideFile(), name, 1, 0, u"x");
    }
    f->ListBox1->setItems({u"door", u"window"});
    log->calls.clear();
    log->answers = {false};
    drive::click(*f->Button3);
    ASSERT_EQ(log->calls.size(), 1u);
    EXPECT_EQ(log->calls[0].kind, DialogCall::Question);
    EXPECT_EQ(log->calls[0].caption, u"確認");
    EXPECT_EQ(log->calls[0].text, u"BMP ファイルを削除しますか？");
    EXPECT_TRUE(fs::exists(dir.folders().bmpFolder() / "door.bmp"));

    log->answers = {true};
    drive::click(*f->Button3);
    EXPECT_FALSE(fs::exists(dir.folders().bmpFolder() / "door.bmp"));
    EXPECT_FALSE(fs::exists(dir.folders().bmpFolder() / "window.bmp"));
    EXPECT_TRUE(fs::exists(dir.folders().bmpFolder() / "keep.bmp"));
    EXPECT_EQ(findSideFileRow(dir.folders().sideFile(), u"door").index, -1);
    EXPECT_EQ(findSideFileRow(dir.folders().sideFile(), u"window").index, -1);
    EXPECT_EQ(findSideFileRow(dir.folders().sideFile(), u"keep").index, 0);
}

// Moving the selection with the keyboard runs the click handlers, so the
// picture and the texts follow the selected block or file.
TEST_F(WindowTest, KeyboardSelectionRunsTheClickHandlers) {
    for (auto [name, size] : {std::pair{u"a", u"1.00 x 1.00"}, std::pair{u"b", u"2.00 x 2.00"}}) {
        writeThumbnail(dir, name);
        storeSideFileRow(dir.folders().sideFile(), name, 4, 0, size);
        touch(dir.folders().dwgFolder() / (std::u16string(name) + u".dwg"));
    }
    auto f = form();
    f->show();
    f->ListBox1->setItems({u"a", u"b"});
    drive::clickItem(*f->ListBox1, 0);
    EXPECT_EQ(f->Edit1->text(), u"1.00 x 1.00");
    const struct {
        drive::Key key;
        const char16_t* size;
    } moves[] = {{drive::Key::Down, u"2.00 x 2.00"}, {drive::Key::Home, u"1.00 x 1.00"},
                 {drive::Key::End, u"2.00 x 2.00"}, {drive::Key::PageUp, u"1.00 x 1.00"}};
    for (const auto& move : moves) {
        drive::pressKey(*f->ListBox1, move.key);
        EXPECT_EQ(f->Edit1->text(), move.size) << static_cast<int>(move.key);
    }
    drive::selectTab(*f->PageControl1, 1);
    drive::clickItem(*f->FileListBox1, 0);
    EXPECT_EQ(f->Edit5->text(), u"1.00 x 1.00");
    drive::pressKey(*f->FileListBox1, drive::Key::Down);
    EXPECT_EQ(f->Edit5->text(), u"2.00 x 2.00");
}

TEST_F(WindowTest, LibraryTabMaskRefreshAndThumbnail) {
    const fs::path dwg = dir.folders().dwgFolder();
    for (auto name : {"XAB1.dwg", "ab.dwg", "AB.dxf", "door.dwg"}) touch(dwg / name);
    writeThumbnail(dir, u"ab");
    storeSideFileRow(dir.folders().sideFile(), u"ab", 12, 1, u"1.00 x 2.00");
    auto f = form();
    drive::selectTab(*f->PageControl1, 1);
    EXPECT_EQ(f->FileListBox1->mask(), u"**.dwg");
    EXPECT_EQ(f->FileListBox1->count(), 3);

    drive::typeText(*f->Edit4, u"AB");
    ASSERT_EQ(f->FileListBox1->count(), 2);
    EXPECT_EQ(f->FileListBox1->item(0), u"ab.dwg");
    EXPECT_EQ(f->FileListBox1->item(1), u"XAB1.dwg");

    f->FileListBox1Click();  // nothing selected: the first file
    EXPECT_EQ(f->FileListBox1->fileName(), u"ab.dwg");
    EXPECT_TRUE(f->Image2->picture());
    EXPECT_EQ(f->Edit5->text(), u"1.00 x 2.00");
    EXPECT_EQ(f->Edit6->text(), u"属性 = 1 / 12");

    drive::clickItem(*f->FileListBox1, 1);  // no thumbnail, no row
    EXPECT_FALSE(f->Image2->picture());
    EXPECT_TRUE(f->Edit6->text().empty());

    touch(dwg / "newab.dwg");  // written while the first tab is shown
    drive::selectTab(*f->PageControl1, 0);
    EXPECT_EQ(f->FileListBox1->count(), 2);
    drive::selectTab(*f->PageControl1, 1);
    EXPECT_EQ(f->FileListBox1->count(), 3);
    EXPECT_EQ(f->Edit4->text(), u"AB");
    EXPECT_TRUE(log->calls.empty());
}

}  // namespace
}  // namespace velmora::test
