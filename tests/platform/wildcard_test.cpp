#include <gtest/gtest.h>

#include "platform/wildcard.h"

using namespace velmora;

TEST(Wildcard, StarsQuestionMarksAndLetterCase) {
    EXPECT_TRUE(matchesWildcard(u"XAB1.dwg", u"*AB*.dwg"));
    EXPECT_TRUE(matchesWildcard(u"ab.dwg", u"*AB*.dwg"));
    EXPECT_FALSE(matchesWildcard(u"AB.dxf", u"*AB*.dwg"));
    EXPECT_TRUE(matchesWildcard(u"Part.DWG", u"**.dwg"));
    EXPECT_FALSE(matchesWildcard(u"part.dwgx", u"**.dwg"));
    EXPECT_TRUE(matchesWildcard(u"abc", u"a?c"));
    EXPECT_FALSE(matchesWildcard(u"ac", u"a?c"));
    EXPECT_FALSE(matchesWildcard(u"abbc", u"a?c"));
    EXPECT_TRUE(matchesWildcard(u"", u"*"));
    EXPECT_TRUE(matchesWildcard(u"", u""));
    EXPECT_FALSE(matchesWildcard(u"a", u""));
    EXPECT_TRUE(matchesWildcard(u"\u90E8\u54C1.dwg", u"*\u90E8*.dwg"));      // 部品
    EXPECT_TRUE(matchesWildcard(u"\uFF21\uFF22.dwg", u"*\uFF41\uFF42*.dwg"));  // full-width ＡＢ / ａｂ
    EXPECT_TRUE(matchesWildcard(u"\u00C9t\u00E9.dwg", u"\u00E9T\u00C9*"));
}

TEST(Wildcard, StarDotStarMatchesNamesWithoutExtension) {
    EXPECT_TRUE(matchesWildcard(u"README", u"*.*"));
    EXPECT_TRUE(matchesWildcard(u"a.b.c", u"*.*"));
    EXPECT_TRUE(matchesWildcard(u"name", u"name.*"));
    EXPECT_FALSE(matchesWildcard(u"name", u"name.d*"));
}

TEST(Wildcard, ManyStarsStayLinear) {
    std::u16string name(20000, u'a');
    EXPECT_FALSE(matchesWildcard(name, u"*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(matchesWildcard(name + u"b", u"*a*a*a*a*a*a*a*a*b"));
}
