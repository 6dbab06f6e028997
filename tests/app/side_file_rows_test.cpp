#include <gtest/gtest.h>

#include "app/side_file.h"

namespace velmora {
namespace {

TEST(SideFileRows, FieldsSplitOnlyAtTabsAndUnquote) {
    using V = std::vector<std::u16string>;
    EXPECT_EQ(splitSideFileFields(u"A\t12\t3\t1.00 x 2.00"), (V{u"A", u"12", u"3", u"1.00 x 2.00"}));
    EXPECT_EQ(splitSideFileFields(u""), V{});
    EXPECT_EQ(splitSideFileFields(u"\t"), (V{u"", u""}));
    EXPECT_EQ(splitSideFileFields(u"a b\t"), (V{u"a b", u""}));
    EXPECT_EQ(splitSideFileFields(u"\"A\tB\"\t1"), (V{u"A\tB", u"1"}));
    EXPECT_EQ(splitSideFileFields(u"\"say \"\"hi\"\"\"\t1"), (V{u"say \"hi\"", u"1"}));
    EXPECT_EQ(splitSideFileFields(u"\"open"), (V{u"open"}));
}

TEST(SideFileRows, KeysCapitaliseOnlyAsciiLetters) {
    EXPECT_EQ(sideFileKey(u"abc-xyz_ä"), u"ABC-XYZ_ä");
    EXPECT_EQ(sideFileKey(u"ａｂｃ"), u"ａｂｃ");  // full-width letters keep their case
}

TEST(SideFileRows, RowReadsBackEvenForQuotedOrTabbedNames) {
    for (const std::u16string& name : std::vector<std::u16string>{u"door", u"\"quoted", u"a\tb"}) {
        const std::vector<std::u16string> rows{makeSideFileRow(name, 150, 2, u"3.00 x 4.00")};
        const SideFileRow row = findRowIn(rows, name);
        EXPECT_EQ(row.index, 0);
        EXPECT_EQ(row.entityCount, 150);
        EXPECT_EQ(row.attributeCount, 2);
        EXPECT_EQ(row.sizeText, u"3.00 x 4.00");
    }
    EXPECT_EQ(makeSideFileRow(u"door", 1, 0, u"x"), u"DOOR\t1\t0\tx");
    EXPECT_THROW(makeSideFileRow(u"a\nb", 1, 0, u"x"), SideFileError);
}

TEST(SideFileRows, FindNeedsFourFieldsAndReadsBadCountsAsZero) {
    const std::vector<std::u16string> rows{u"SHORT\t1\t2", u"BAD\tx\t\t9 x 9", u"", u"OK\t$10\t1\t5.00 x 6.00"};
    EXPECT_EQ(findRowIn(rows, u"short").index, -1);
    const SideFileRow bad = findRowIn(rows, u"bad");
    EXPECT_EQ(bad.index, 1);
    EXPECT_EQ(bad.entityCount, 0);
    EXPECT_EQ(bad.attributeCount, 0);
    EXPECT_EQ(findRowIn(rows, u"ok").entityCount, 16);
    EXPECT_EQ(findRowIn(rows, u"missing").index, -1);
}

TEST(SideFileRows, StoreReplacesFirstMatchRemoveTakesOnlyTheFirst) {
    std::vector<std::u16string> rows{u"SHORT\t1", u"ABC\t1\t0\ta", u"ABC\t2\t0\tb"};
    storeRowIn(rows, u"short", makeSideFileRow(u"short", 5, 0, u"s"));
    EXPECT_EQ(rows[0], u"SHORT\t5\t0\ts");  // fewer than four fields, still replaced
    storeRowIn(rows, u"abc", makeSideFileRow(u"abc", 7, 1, u"c"));
    EXPECT_EQ(rows[1], u"ABC\t7\t1\tc");
    EXPECT_EQ(rows[2], u"ABC\t2\t0\tb");
    storeRowIn(rows, u"ａ", makeSideFileRow(u"ａ", 1, 0, u"z"));
    storeRowIn(rows, u"Ａ", makeSideFileRow(u"Ａ", 1, 0, u"z"));
    EXPECT_EQ(rows.size(), 5u);  // full-width letters differ in case: two rows

    EXPECT_TRUE(removeRowIn(rows, u"Abc"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1], u"ABC\t2\t0\tb");
    EXPECT_FALSE(removeRowIn(rows, u"none"));
}

}  // namespace
}  // namespace velmora
