#include <gtest/gtest.h>

#include <fstream>

#include "app/form_settings.h"
#include "platform/ini_file.h"
#include "tests/support/temp_dir.h"

namespace velmora {
namespace {

using testsupport::TempDir;

TEST(FormSettings, DefaultsWithoutFileOrForUnreadableValues) {
    TempDir dir;
    const FormSettings none = loadFormSettings(dir / "missing.ini");
    EXPECT_FALSE(none.left);
    EXPECT_FALSE(none.top);
    EXPECT_EQ(none.maxcnt, u"5000");
    EXPECT_EQ(none.maxcnt2, u"5000");
    EXPECT_EQ(none.cntLimit, 5000);
    EXPECT_TRUE(none.checkBox3);
    EXPECT_TRUE(none.checkBox4);

    const FormSettings bad = loadFormSettings(dir.write("bad.ini",
        "[Form]\nLeft=abc\nTop=12\n[Ent]\nmaxcnt=\nmaxcnt2=12x\ncntLimit=1.5\n[CheckBox3]\nChecked=7\n"
        "[CheckBox4]\nChecked=no\n"));
    EXPECT_FALSE(bad.left);
    EXPECT_EQ(bad.top, 12);
    EXPECT_EQ(bad.maxcnt, u"");  // present but empty: read as text
    EXPECT_EQ(bad.maxcnt2, u"5000");  // not digits: the default
    EXPECT_EQ(bad.cntLimit, 5000);
    EXPECT_TRUE(bad.checkBox3);  // any non-zero integer is true
    EXPECT_TRUE(bad.checkBox4);  // not an integer: the default

    // Edges no screen can have are not positions.
    const FormSettings far = loadFormSettings(dir.write("far.ini", "[Form]\nLeft=-1000000000\nTop=32000\n"));
    EXPECT_FALSE(far.left);
    EXPECT_EQ(far.top, 32000);
}

TEST(FormSettings, SavedValuesReadBack) {
    TempDir dir;
    const auto ini = dir / "velmora.ini";
    FormSettings s;
    s.maxcnt = u"200";
    s.maxcnt2 = u"300";
    s.cntLimit = 40;
    s.checkBox3 = false;
    s.checkBox4 = true;
    ASSERT_TRUE(saveFormSettings(ini, s, {-20, 35}));
    const FormSettings back = loadFormSettings(ini);
    EXPECT_EQ(back.left, -20);
    EXPECT_EQ(back.top, 35);
    EXPECT_EQ(back.maxcnt, u"200");
    EXPECT_EQ(back.maxcnt2, u"300");
    EXPECT_EQ(back.cntLimit, 40);
    EXPECT_FALSE(back.checkBox3);
    EXPECT_TRUE(back.checkBox4);
    std::ifstream in(ini, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("[CheckBox3]"), std::string::npos);
    EXPECT_NE(text.find("Checked=0"), std::string::npos);
    EXPECT_NE(text.find("Left=-20"), std::string::npos);
}

TEST(FormSettings, WindowPlacementRule) {
    const Extent window{331, 324}, screen{1920, 1080};
    EXPECT_EQ(placeWindow(std::nullopt, std::nullopt, window, screen), (Position{794, 378}));
    EXPECT_EQ(placeWindow(5000, 5000, window, screen), (Position{1920 - 331, 1080 - 324}));
    EXPECT_EQ(placeWindow(-400, -30, window, screen), (Position{-400, -30}));  // not corrected
    EXPECT_EQ(placeWindow(1589, 756, window, screen), (Position{1589, 756}));   // exactly flush
}

// Files as other programs write them: sections and keys in any case, blanks,
// quotes, comments, CR LF, a byte order mark; other keys are kept on write.
TEST(IniFile, ReadsAndWritesTheFormatAsThePlatformDoes) {
    TempDir dir;
    const auto file = dir.write("x.ini",
                                "\xEF\xBB\xBF; written by hand\r\n[form]\r\n left = 7 \r\nTop=\"-3\"\r\n\r\n[Other]\r\n"
                                "kept=a=b\r\n[Ent]\nmaxcnt=ドア\n");
    const struct {
        const char16_t* section;
        const char16_t* key;
        std::optional<std::u16string> value;
    } reads[] = {{u"Form", u"Left", u"7"},   {u"FORM", u"top", u"-3"},       {u"Other", u"kept", u"a=b"},
                 {u"Ent", u"maxcnt", u"ドア"}, {u"Form", u"missing", std::nullopt}, {u"None", u"Left", std::nullopt}};
    {
        const IniFile ini(file);
        for (const auto& r : reads) EXPECT_EQ(ini.value(r.section, r.key), r.value) << std::string(r.key, r.key + 3);
    }
    ASSERT_TRUE(writeIniValues(file, {{u"Form", u"Left", u"12"}, {u"New", u"k", u"v"}, {u"Ent", u"cntLimit", u"9"}}));
    const IniFile ini(file);
    EXPECT_EQ(ini.value(u"Form", u"Left"), u"12");
    EXPECT_EQ(ini.value(u"Form", u"Top"), u"-3");
    EXPECT_EQ(ini.value(u"Other", u"kept"), u"a=b");
    EXPECT_EQ(ini.value(u"New", u"k"), u"v");
    EXPECT_EQ(ini.value(u"Ent", u"cntLimit"), u"9");
    EXPECT_EQ(ini.value(u"Ent", u"maxcnt"), u"ドア");
}

}  // namespace
}  // namespace velmora
