#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "app/form_settings.h"

namespace velmora {
namespace {

TEST(FormSettings, DefaultsWithoutFileOrForUnreadableValues) {
    QTemporaryDir dir;
    const FormSettings none = loadFormSettings(dir.filePath("missing.ini"));
    EXPECT_FALSE(none.left);
    EXPECT_FALSE(none.top);
    EXPECT_EQ(none.maxcnt, "5000");
    EXPECT_EQ(none.maxcnt2, "5000");
    EXPECT_EQ(none.cntLimit, 5000);
    EXPECT_TRUE(none.checkBox3);
    EXPECT_TRUE(none.checkBox4);

    const QString ini = dir.filePath("bad.ini");
    std::ofstream(ini.toStdString()) << "[Form]\nLeft=abc\nTop=12\n[Ent]\nmaxcnt=\ncntLimit=1.5\n"
                                        "[CheckBox3]\nChecked=7\n[CheckBox4]\nChecked=no\n";
    const FormSettings bad = loadFormSettings(ini);
    EXPECT_FALSE(bad.left);
    EXPECT_EQ(bad.top, 12);
    EXPECT_EQ(bad.maxcnt, "");  // present but empty: read as text
    EXPECT_EQ(bad.maxcnt2, "5000");
    EXPECT_EQ(bad.cntLimit, 5000);
    EXPECT_TRUE(bad.checkBox3);  // any non-zero integer is true
    EXPECT_TRUE(bad.checkBox4);  // not an integer: the default
}

TEST(FormSettings, SavedValuesReadBack) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("velmora.ini");
    FormSettings s;
    s.maxcnt = "200";
    s.maxcnt2 = "300";
    s.cntLimit = 40;
    s.checkBox3 = false;
    s.checkBox4 = true;
    saveFormSettings(ini, s, {-20, 35});
    const FormSettings back = loadFormSettings(ini);
    EXPECT_EQ(back.left, -20);
    EXPECT_EQ(back.top, 35);
    EXPECT_EQ(back.maxcnt, "200");
    EXPECT_EQ(back.maxcnt2, "300");
    EXPECT_EQ(back.cntLimit, 40);
    EXPECT_FALSE(back.checkBox3);
    EXPECT_TRUE(back.checkBox4);
    std::ifstream in(ini.toStdString());
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("[CheckBox3]"), std::string::npos);
    EXPECT_NE(text.find("Checked=0"), std::string::npos);
    EXPECT_NE(text.find("Left=-20"), std::string::npos);
}

TEST(FormSettings, WindowPlacementRule) {
    const QSize window(331, 324), screen(1920, 1080);
    EXPECT_EQ(placeWindow(std::nullopt, std::nullopt, window, screen), QPoint(794, 378));
    EXPECT_EQ(placeWindow(5000, 5000, window, screen), QPoint(1920 - 331, 1080 - 324));
    EXPECT_EQ(placeWindow(-400, -30, window, screen), QPoint(-400, -30));  // not corrected
    EXPECT_EQ(placeWindow(1589, 756, window, screen), QPoint(1589, 756));   // exactly flush
}

}  // namespace
}  // namespace velmora
