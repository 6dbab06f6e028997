#include <gtest/gtest.h>

#include <vector>

#include "app/block_file_names.h"
#include "app/tool_folders.h"

namespace velmora {
namespace {

TEST(BlockFileNames, RefusesNamesThatLeaveTheFolderOrBreakFiles) {
    // The longest name leaves room for ".bmp" and the temporary suffix of an
    // atomic write (25) within 255.
    for (const std::u16string& bad : std::vector<std::u16string>{
             u"", u".", u"..", u"../x", u"a/b", u"a\\b", u"/etc/passwd", u"a\tb", u"a\nb", std::u16string(u"a\0b", 3),
             std::u16string(227, u'x'), u"*weird?", u"a:b", u"a:stream", u"a<b", u"a>b", u"a\"b", u"a|b", u"a.", u"a ",
             u"...", u"CON", u"con", u"Con.x", u"NUL .txt", u"aux", u"PRN", u"COM1", u"lpt9", u"LPT1.dwg"})
        EXPECT_FALSE(blockFileNameProblem(bad, ".bmp").empty()) << std::string(bad.begin(), bad.end());
    for (const std::u16string& good : std::vector<std::u16string>{u"door", u"a..b", u".x", u"ドア 1", u"COM0", u"CONSOLE",
                                                                  u"LPT10", u"xCON", std::u16string(226, u'x')})
        EXPECT_TRUE(blockFileNameProblem(good, ".bmp").empty()) << std::string(good.begin(), good.end());
    // 3 UTF-8 bytes per kana: 76 of them with ".bmp" and the suffix make 257 bytes.
    EXPECT_TRUE(blockFileNameProblem(std::u16string(75, u'ア'), ".bmp").empty());
    EXPECT_FALSE(blockFileNameProblem(std::u16string(76, u'ア'), ".bmp").empty());
}

TEST(BlockFileNames, FilesLieInTheToolFolders) {
    const std::filesystem::path bin = std::filesystem::current_path().root_path() / "opt" / "velmora" / "bin";
    ToolFolders folders{bin / "velmora"};
    EXPECT_EQ(folders.settingsFile(), bin / "velmora.ini");
    EXPECT_EQ(folders.sideFile(), bin / "velmora.csv");
    EXPECT_EQ(blockFilePath(folders.bmpFolder(), u"ドア", ".bmp"), bin / "BMP" / u"ドア.bmp");
    EXPECT_EQ(folders.dwgFolder(), bin / "DWG");
    EXPECT_EQ(ToolFolders{bin / "Velmora.exe"}.settingsFile(), bin / "Velmora.ini");
}

// The drawing's folder comes through UTF-16 whole, Japanese names included.
TEST(BlockFileNames, WblockFolderNeedsASavedDrawing) {
    const std::filesystem::path plans = std::filesystem::current_path().root_path() / "home" / u"図面";
    EXPECT_EQ(wblockFolder((plans / "a.dxf").u16string()), plans / "WBLOCK");
    EXPECT_TRUE(wblockFolder(u"").empty());
    EXPECT_TRUE(wblockFolder(u"a.dxf").empty());
    EXPECT_TRUE(wblockFolder((plans / "").u16string()).empty());
}

}  // namespace
}  // namespace velmora
