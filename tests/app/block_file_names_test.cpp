#include <gtest/gtest.h>

#include <vector>

#include "app/block_file_names.h"
#include "app/tool_folders.h"

namespace velmora {
namespace {

TEST(BlockFileNames, RefusesNamesThatLeaveTheFolderOrBreakFiles) {
    for (const std::u16string& bad : std::vector<std::u16string>{u"", u".", u"..", u"../x", u"a/b", u"a\\b", u"/etc/passwd", u"a\tb", u"a\nb",
                               std::u16string(u"a\0b", 3), std::u16string(252, u'x')})
        EXPECT_FALSE(blockFileNameProblem(bad, ".bmp").empty()) << std::string(bad.begin(), bad.end());
    for (const std::u16string& good : std::vector<std::u16string>{u"door", u"a..b", u"...", u"ドア 1", u"*weird?", std::u16string(251, u'x')})
        EXPECT_TRUE(blockFileNameProblem(good, ".bmp").empty());
    // 3 UTF-8 bytes per kana: 84 of them with ".bmp" make 256 bytes.
    EXPECT_FALSE(blockFileNameProblem(std::u16string(84, u'ア'), ".bmp").empty());
}

TEST(BlockFileNames, FilesLieInTheToolFolders) {
    ToolFolders folders{"/opt/velmora/bin/velmora"};
    EXPECT_EQ(folders.settingsFile(), "/opt/velmora/bin/velmora.ini");
    EXPECT_EQ(folders.sideFile(), "/opt/velmora/bin/velmora.csv");
    EXPECT_EQ(blockFilePath(folders.bmpFolder(), u"ドア", ".bmp"), "/opt/velmora/bin/BMP/ドア.bmp");
    EXPECT_EQ(folders.dwgFolder(), "/opt/velmora/bin/DWG");
    EXPECT_EQ(ToolFolders{"/x/Velmora.exe"}.settingsFile(), "/x/Velmora.ini");
}

TEST(BlockFileNames, WblockFolderNeedsASavedDrawing) {
    EXPECT_EQ(wblockFolder(u"/home/u/plans/a.dxf"), "/home/u/plans/WBLOCK");
    EXPECT_TRUE(wblockFolder(u"").empty());
    EXPECT_TRUE(wblockFolder(u"a.dxf").empty());
    EXPECT_TRUE(wblockFolder(u"/home/u/").empty());
}

}  // namespace
}  // namespace velmora
