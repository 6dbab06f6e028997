// The window without a host: layout, settings, the library tab over files
// put in place by the test, the delete action, and silence when no host runs.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>

#include "app/file_list_box.h"
#include "app/image_control.h"
#include "app/side_file.h"
#include "platform/utf.h"
#include "render/bmp_file.h"
#include "window_test_support.h"

namespace velmora::test {
namespace {
namespace fs = std::filesystem;

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApplication();
        registry = dir.path() / "registry";
        fs::create_directories(registry);
        fs::permissions(registry, fs::perms::owner_all);
    }
    std::unique_ptr<TForm73> form() { return makeForm(dir, log, registry); }
    QString settingsFile() const { return QString::fromStdString(dir.folders().settingsFile().string()); }
    void writeThumbnail(const std::string& name, std::uint8_t pixel) {
        Canvas canvas(120, 100);
        canvas.setPixel(3, 4, 0xFFFFFF * pixel);
        fs::create_directories(dir.folders().bmpFolder());
        saveBmpFile(canvas, dir.folders().bmpFolder() / (name + ".bmp"));
    }
    void touch(const fs::path& file) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "x";
    }

    ToolDir dir;
    fs::path registry;
    std::shared_ptr<ScriptedDialogs::Log> log = std::make_shared<ScriptedDialogs::Log>();
};

template <class T>
T* control(QWidget& form, const char* name) {
    T* found = form.findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

TEST_F(WindowTest, LayoutAsDesigned) {
    auto f = form();
    EXPECT_EQ(f->windowTitle(), "Velmora 1.20 (2024/06/22)");
    EXPECT_EQ(f->size(), QSize(325, 295));
    EXPECT_EQ(f->minimumSize(), f->maximumSize());
    EXPECT_TRUE(f->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(f->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(f->windowFlags() & Qt::WindowMaximizeButtonHint);

    EXPECT_EQ(f->ProgressBar1->geometry(), QRect(0, 282, 325, 13));
    EXPECT_EQ(f->PageControl1->count(), 2);
    EXPECT_EQ(f->PageControl1->tabText(0), "図面内のブロック");
    EXPECT_EQ(f->PageControl1->tabText(1), "WBLOCK したブロック");
    EXPECT_EQ(f->PageControl1->currentIndex(), 0);

    struct Expect {
        const char* name;
        QRect geometry;
        const char* text;
    };
    for (const Expect& e : {Expect{"Button2", {6, 4, 175, 25}, "nanoCAD からブロックを取得"},
                            Expect{"Button3", {34, 230, 37, 25}, "削除"},
                            Expect{"Button4", {74, 230, 67, 25}, "すべて作成"},
                            Expect{"Button5", {139, 229, 42, 25}, "中止"},
                            Expect{"Button1", {187, 228, 63, 25}, "ブロック挿入"},
                            Expect{"Button6", {255, 228, 54, 25}, "WBLOCK"},
                            Expect{"Button7", {187, 228, 124, 25}, "ブロック挿入"}}) {
        auto* button = control<QPushButton>(*f, e.name);
        EXPECT_EQ(button->geometry(), e.geometry) << e.name;
        EXPECT_EQ(button->text(), QString::fromUtf8(e.text)) << e.name;
    }
    for (const Expect& e : {Expect{"CheckBox3", {187, 30, 124, 17}, "BMPファイルを作成"},
                            Expect{"CheckBox4", {187, 49, 122, 17}, "EXEフォルダに書き出し"}}) {
        auto* box = control<QCheckBox>(*f, e.name);
        EXPECT_EQ(box->geometry(), e.geometry);
        EXPECT_EQ(box->text(), QString::fromUtf8(e.text));
        EXPECT_TRUE(box->isChecked());
    }
    EXPECT_EQ(control<QLabel>(*f, "Label1")->pos(), QPoint(187, 9));
    EXPECT_EQ(control<QLabel>(*f, "Label1")->text(), "図形数制限");
    EXPECT_EQ(control<QLabel>(*f, "Label2")->text(), "BMP");
    EXPECT_EQ(control<QLabel>(*f, "Label3")->pos(), QPoint(189, 8));
    EXPECT_EQ(control<QLabel>(*f, "Label4")->text(), "Mask");
    EXPECT_EQ(f->ListBox1->geometry(), QRect(6, 30, 175, 194));
    EXPECT_EQ(f->ListBox1->toolTip(), "ダブルクリックでブロック挿入");
    EXPECT_EQ(f->ListBox1->font().pointSize(), 10);
    EXPECT_EQ(f->Image1->geometry(), QRect(187, 70, 120, 100));
    EXPECT_EQ(f->Image2->geometry(), QRect(191, 65, 120, 100));
    EXPECT_EQ(f->Edit1->geometry(), QRect(187, 176, 125, 24));
    EXPECT_EQ(f->Edit2->geometry(), QRect(184, 202, 125, 24));
    EXPECT_EQ(f->Edit3->geometry(), QRect(253, 5, 58, 24));
    EXPECT_EQ(f->Edit4->geometry(), QRect(40, 8, 143, 22));
    EXPECT_EQ(f->Edit4->placeholderText(), "Mask");
    EXPECT_EQ(f->Edit4->font().pointSize(), 9);
    EXPECT_EQ(f->FileListBox1->geometry(), QRect(8, 31, 173, 220));
    EXPECT_EQ(f->Edit7->geometry(), QRect(253, 3, 58, 24));
    EXPECT_TRUE(f->Edit1->isReadOnly());
    EXPECT_TRUE(f->Edit6->isReadOnly());
    EXPECT_EQ(f->Edit5->alignment(), Qt::AlignCenter);
    EXPECT_FALSE(f->Edit1->focusPolicy() & Qt::TabFocus);

    // The limit fields take digits only.
    f->Edit3->clear();
    QTest::keyClicks(f->Edit3, "12a3-");
    EXPECT_EQ(f->Edit3->text(), "123");
}

// Every fixed text fits the box the layout gives it, and so do the longest
// size and count texts a block shows.
TEST_F(WindowTest, TextsFitTheirControls) {
    auto f = form();
    for (QLabel* label : f->findChildren<QLabel*>()) {
        if (label->text().isEmpty()) continue;
        EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
    }
    for (QCheckBox* box : f->findChildren<QCheckBox*>()) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const QRect label = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()), label.width()) << box->text().toStdString();
    }
    for (QPushButton* button : f->findChildren<QPushButton*>()) {
        if (button->objectName().startsWith(QLatin1String("qt_"))) continue;  // the tab bar's own buttons
        const int inner = button->width() - 2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), inner) << button->text().toStdString();
    }
    for (QLineEdit* edit : {f->Edit1, f->Edit2, f->Edit5, f->Edit6}) {
        edit->setText(QStringLiteral("29990.00 x 1499.75"));
        // the frame and the text margins take 4 pixels a side
        EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->text()), edit->width() - 8)
            << edit->objectName().toStdString();
    }
}

TEST_F(WindowTest, DefaultsWithoutSettingsFile) {
    auto f = form();
    EXPECT_EQ(f->Edit3->text(), "5000");
    EXPECT_EQ(f->Edit7->text(), "5000");
    EXPECT_EQ(f->entCntLimit, 5000);
    EXPECT_TRUE(f->CheckBox3->isChecked());
    EXPECT_TRUE(f->CheckBox4->isChecked());
    EXPECT_TRUE(f->Edit1->text().isEmpty());
    EXPECT_DOUBLE_EQ(f->previewFillRatio, 0.9);
    EXPECT_EQ(f->previewColorMode, 1);
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const QSize outer = f->frameGeometry().size();
    EXPECT_EQ(f->pos(), QPoint((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2));
    EXPECT_TRUE(fs::is_directory(dir.folders().dwgFolder()));  // made at creation
}

TEST_F(WindowTest, SettingsRestoredAndSaved) {
    {
        QSettings ini(settingsFile(), QSettings::IniFormat);
        ini.setValue("Form/Left", 5000);  // past the right edge
        ini.setValue("Form/Top", -40);    // above the screen: kept
        ini.setValue("Ent/maxcnt", "200");
        ini.setValue("Ent/maxcnt2", "300");
        ini.setValue("Ent/cntLimit", 77);
        ini.setValue("CheckBox3/Checked", 0);
        ini.setValue("CheckBox4/Checked", 5);
    }
    {
        auto f = form();
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        EXPECT_EQ(f->pos(), QPoint(screen.width() - f->frameGeometry().width(), -40));
        EXPECT_EQ(f->Edit3->text(), "200");
        EXPECT_EQ(f->Edit7->text(), "300");
        EXPECT_EQ(f->entCntLimit, 77);
        EXPECT_FALSE(f->CheckBox3->isChecked());
        EXPECT_TRUE(f->CheckBox4->isChecked());
        f->move(12, 34);
        f->Edit3->setText("150");
        f->CheckBox3->setChecked(true);
        f->CheckBox4->setChecked(false);
    }  // destruction saves
    QSettings ini(settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(ini.value("Form/Left").toString(), "12");
    EXPECT_EQ(ini.value("Form/Top").toString(), "34");
    EXPECT_EQ(ini.value("Ent/maxcnt").toString(), "150");
    EXPECT_EQ(ini.value("Ent/maxcnt2").toString(), "300");
    EXPECT_EQ(ini.value("Ent/cntLimit").toString(), "77");
    EXPECT_EQ(ini.value("CheckBox3/Checked").toString(), "1");
    EXPECT_EQ(ini.value("CheckBox4/Checked").toString(), "0");
}

TEST(DisplayedItemCount, ReadsTheCountBack) {
    EXPECT_EQ(TForm73::displayedItemCount("属性 = 2 / 150", 200), 150);
    EXPECT_EQ(TForm73::displayedItemCount("", 200), 201);
    EXPECT_EQ(TForm73::displayedItemCount("属性 = 2 / x", 200), 0);
    EXPECT_EQ(TForm73::displayedItemCount("a = 7", 200), 7);
    EXPECT_EQ(TForm73::displayedItemCount(" 42 ", 10), 42);
    EXPECT_EQ(TForm73::displayedItemCount("a = b", 10), 11);
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
    std::ofstream(good) << entities << "0\nENDSEC\n0\nEOF\n";
    std::ofstream(bad) << entities << "0\nLINE\n10\n1,5\n0\nENDSEC\n0\nEOF\n";
    std::vector<int> positions;
    QObject::connect(f->ProgressBar1, &QProgressBar::valueChanged, [&](int v) { positions.push_back(v); });

    f->drawDxfImage(QString::fromStdString(good.string()), f->Image1);
    const Canvas& drawn = *f->Image1->picture();
    int white = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 120; ++x) white += drawn.pixel(x, y) == 0xFFFFFF;
    EXPECT_GE(white, 100);  // the line fitted into 0.9 of the width
    EXPECT_EQ(f->previewWidth, 10.0);
    EXPECT_EQ(f->previewHeight, 5.0);
    EXPECT_EQ(f->ProgressBar1->value(), 0);
    EXPECT_TRUE(std::find(positions.begin(), positions.end(), 90) != positions.end());
    EXPECT_TRUE(log->calls.empty());

    f->drawDxfImage(QString::fromStdString(bad.string()), f->Image1);
    ASSERT_EQ(log->calls.size(), 1u);
    EXPECT_EQ(log->calls[0].caption, "DxfReport");
    EXPECT_EQ(log->calls[0].text, "bad.DXF\n19 行=10\n20 行=1,5");
    EXPECT_NE(f->Image1->picture()->pixel(40, 33), 0u);  // the cross
}

TEST_F(WindowTest, NoHostLeavesEverythingSilent) {
    auto f = form();
    f->ListBox1->addItem("door");
    f->Button2Click();
    EXPECT_EQ(f->ListBox1->count(), 0);
    f->ListBox1->addItem("door");
    f->ListBox1->setCurrentRow(0);
    f->Button1Click();
    f->Button6Click();
    f->PageControl1->setCurrentIndex(1);
    f->Button7Click();
    EXPECT_TRUE(log->calls.empty());
    EXPECT_TRUE(fs::is_empty(dir.folders().dwgFolder()));
}

TEST_F(WindowTest, ClicksWithNothingSelectedDoNothing) {
    auto f = form();
    f->Edit1->setText("keep");
    f->ListBox1Click();
    f->Button4Click();
    f->FileListBox1Click();
    EXPECT_EQ(f->Edit1->text(), "keep");
    EXPECT_TRUE(log->calls.empty());
    EXPECT_FALSE(fs::exists(dir.folders().bmpFolder()));
}

TEST_F(WindowTest, StoredThumbnailIsOnlyLoaded) {
    writeThumbnail("door", 1);
    storeSideFileRow(dir.folders().sideFile(), u"door", 150, 2, u"3.00 x 4.00");
    writeThumbnail("bare", 1);
    auto f = form();
    f->ListBox1->addItems({"bare", "door"});
    f->ListBox1->setCurrentRow(1);
    f->ListBox1Click();
    ASSERT_TRUE(f->Image1->picture());
    EXPECT_EQ(f->Image1->picture()->pixel(3, 4), 0xFFFFFFu);
    EXPECT_EQ(f->Edit1->text(), "3.00 x 4.00");
    EXPECT_EQ(f->Edit2->text(), "属性 = 2 / 150");
    EXPECT_EQ(f->ProgressBar1->value(), 0);
    f->ListBox1->setCurrentRow(0);  // a thumbnail without a side-file row
    f->ListBox1Click();
    EXPECT_TRUE(f->Image1->picture());
    EXPECT_TRUE(f->Edit1->text().isEmpty());
    EXPECT_TRUE(f->Edit2->text().isEmpty());
    EXPECT_TRUE(log->calls.empty());
}

TEST_F(WindowTest, BadThumbnailFileReachesTheErrorBox) {
    touch(dir.folders().bmpFolder() / "door.bmp");
    auto f = form();
    f->ListBox1->addItem("door");
    f->ListBox1->setCurrentRow(0);
    f->ListBox1Click();
    ASSERT_EQ(log->calls.size(), 1u);
    EXPECT_EQ(log->calls[0].kind, DialogCall::Error);
    EXPECT_TRUE(log->calls[0].text.startsWith(QStringLiteral("サムネイル画像を読み込めません。\n")))
        << log->calls[0].text.toStdString();
    EXPECT_EQ(f->ProgressBar1->value(), 50);  // keeps its last position
}

TEST_F(WindowTest, UnsafeBlockNamesAreRefused) {
    const fs::path outside = dir.path() / "outside.bmp";
    touch(outside);
    storeSideFileRow(dir.folders().sideFile(), u"door", 1, 0, u"x");
    const std::string sideBefore = readFile(dir.folders().sideFile());
    auto f = form();
    f->ListBox1->addItems({"../outside", "a/b", "door"});
    for (int row : {0, 1}) {
        f->ListBox1->setCurrentRow(row);
        f->ListBox1Click();
    }
    ASSERT_EQ(log->calls.size(), 2u);
    EXPECT_EQ(log->calls[0].caption, "確認");
    EXPECT_TRUE(log->calls[0].text.contains("/"));
    EXPECT_FALSE(f->Image1->picture());
    EXPECT_EQ(readFile(dir.folders().sideFile()), sideBefore);
    EXPECT_FALSE(fs::exists(dir.folders().bmpFolder() / "a"));

    log->calls.clear();
    log->answers = {true};
    f->Button3Click();  // delete: the safe name only
    EXPECT_TRUE(fs::exists(outside));
    ASSERT_EQ(log->calls.size(), 2u);
    EXPECT_EQ(log->calls[1].kind, DialogCall::Information);
    EXPECT_TRUE(log->calls[1].text.contains("../outside"));
    EXPECT_EQ(findSideFileRow(dir.folders().sideFile(), u"door").index, -1);
}

TEST_F(WindowTest, DeleteThumbnailsWithItsTwoMessages) {
    auto f = form();
    f->Button3Click();
    ASSERT_EQ(log->calls.size(), 1u);
    EXPECT_EQ(log->calls[0].kind, DialogCall::Information);
    EXPECT_EQ(log->calls[0].caption, "確認");
    EXPECT_EQ(log->calls[0].text, "ファイルリストが作成されていません.");

    writeThumbnail("door", 1);
    writeThumbnail("window", 1);
    writeThumbnail("keep", 1);
    for (auto name : {u"door", u"window", u"keep"}) storeSideFileRow(dir.folders().sideFile(), name, 1, 0, u"x");
    f->ListBox1->addItems({"door", "window"});
    log->calls.clear();
    log->answers = {false};
    f->Button3Click();
    ASSERT_EQ(log->calls.size(), 1u);
    EXPECT_EQ(log->calls[0].kind, DialogCall::Question);
    EXPECT_EQ(log->calls[0].caption, "確認");
    EXPECT_EQ(log->calls[0].text, "BMP ファイルを削除しますか？");
    EXPECT_TRUE(fs::exists(dir.folders().bmpFolder() / "door.bmp"));

    log->answers = {true};
    f->Button3Click();
    EXPECT_FALSE(fs::exists(dir.folders().bmpFolder() / "door.bmp"));
    EXPECT_FALSE(fs::exists(dir.folders().bmpFolder() / "window.bmp"));
    EXPECT_TRUE(fs::exists(dir.folders().bmpFolder() / "keep.bmp"));
    EXPECT_EQ(findSideFileRow(dir.folders().sideFile(), u"door").index, -1);
    EXPECT_EQ(findSideFileRow(dir.folders().sideFile(), u"window").index, -1);
    EXPECT_EQ(findSideFileRow(dir.folders().sideFile(), u"keep").index, 0);
}

// The standard buttons of the real message boxes read in Japanese.
TEST_F(WindowTest, MessageBoxButtonsAreJapanese) {
    QWidget owner;
    MessageBoxDialogs dialogs(&owner);
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        for (QAbstractButton* button : box->buttons()) buttons << button->text();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(dialogs.askYesNo(QStringLiteral("確認"), QStringLiteral("削除しますか？")));
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_TRUE(buttons.join(' ').contains(QStringLiteral("はい"))) << buttons.join(' ').toStdString();
    EXPECT_TRUE(buttons.join(' ').contains(QStringLiteral("いいえ"))) << buttons.join(' ').toStdString();
}

// Moving the selection with the keyboard runs the click handlers, so the
// picture and the texts follow the selected block or file.
TEST_F(WindowTest, KeyboardSelectionRunsTheClickHandlers) {
    for (auto [name, size] : {std::pair{"a", u"1.00 x 1.00"}, std::pair{"b", u"2.00 x 2.00"}}) {
        writeThumbnail(name, 1);
        storeSideFileRow(dir.folders().sideFile(), utf8ToUtf16(name), 4, 0, size);
        touch(dir.folders().dwgFolder() / (std::string(name) + ".dwg"));
    }
    auto f = form();
    f->ListBox1->addItems({"a", "b"});
    f->ListBox1->setCurrentRow(0);
    f->ListBox1Click();
    EXPECT_EQ(f->Edit1->text(), "1.00 x 1.00");
    const struct {
        Qt::Key key;
        const char* size;
    } moves[] = {{Qt::Key_Down, "2.00 x 2.00"}, {Qt::Key_Home, "1.00 x 1.00"}, {Qt::Key_End, "2.00 x 2.00"},
                 {Qt::Key_PageUp, "1.00 x 1.00"}};
    for (const auto& move : moves) {
        QTest::keyClick(f->ListBox1, move.key);
        EXPECT_EQ(f->Edit1->text(), move.size) << move.key;
    }
    f->PageControl1->setCurrentIndex(1);
    f->FileListBox1->setCurrentRow(0);
    f->FileListBox1Click();
    EXPECT_EQ(f->Edit5->text(), "1.00 x 1.00");
    QTest::keyClick(f->FileListBox1, Qt::Key_Down);
    EXPECT_EQ(f->Edit5->text(), "2.00 x 2.00");
}

TEST_F(WindowTest, LibraryTabMaskRefreshAndThumbnail) {
    const fs::path dwg = dir.folders().dwgFolder();
    for (auto name : {"XAB1.dwg", "ab.dwg", "AB.dxf", "door.dwg"}) touch(dwg / name);
    writeThumbnail("ab", 1);
    storeSideFileRow(dir.folders().sideFile(), u"ab", 12, 1, u"1.00 x 2.00");
    auto f = form();
    f->PageControl1->setCurrentIndex(1);
    EXPECT_EQ(f->FileListBox1->mask(), "**.dwg");
    EXPECT_EQ(f->FileListBox1->count(), 3);

    f->Edit4->setText("AB");
    ASSERT_EQ(f->FileListBox1->count(), 2);
    EXPECT_EQ(f->FileListBox1->item(0)->text(), "ab.dwg");
    EXPECT_EQ(f->FileListBox1->item(1)->text(), "XAB1.dwg");

    f->FileListBox1Click();  // nothing selected: the first file
    EXPECT_EQ(f->FileListBox1->fileName(), "ab.dwg");
    EXPECT_TRUE(f->Image2->picture());
    EXPECT_EQ(f->Edit5->text(), "1.00 x 2.00");
    EXPECT_EQ(f->Edit6->text(), "属性 = 1 / 12");

    f->FileListBox1->setCurrentRow(1);
    f->FileListBox1Click();  // no thumbnail, no row
    EXPECT_FALSE(f->Image2->picture());
    EXPECT_TRUE(f->Edit6->text().isEmpty());

    touch(dwg / "newab.dwg");  // written while the first tab is shown
    f->PageControl1->setCurrentIndex(0);
    EXPECT_EQ(f->FileListBox1->count(), 2);
    f->PageControl1->setCurrentIndex(1);
    EXPECT_EQ(f->FileListBox1->count(), 3);
    EXPECT_EQ(f->Edit4->text(), "AB");
    EXPECT_TRUE(log->calls.empty());
}

}  // namespace
}  // namespace velmora::test
