// The line scan against a plain search, on lines whose spaces, parentheses,
// quotes and TABs fall on and around the 64-byte block edges.
#include <gtest/gtest.h>

#include <string>

#include "host/item_line_scan.h"

namespace velmora {
namespace {

TEST(ItemLineScan, FindsWhatAPlainSearchFindsAcrossBlockEdges) {
    ItemLineScan scan;
    for (std::size_t length : {0, 1, 63, 64, 65, 127, 128, 129, 200}) {
        for (std::size_t step : {1, 3, 7, 64}) {
            std::string line(length, 'x');
            for (std::size_t i = step - 1; i < length; i += step) line[i] = (i / step) % 2 ? ')' : ' ';
            ASSERT_TRUE(scan.map(line)) << length << " " << step;
            for (std::size_t from = 0; from <= length; ++from) {
                for (std::size_t end : {length, from + 5 < length ? from + 5 : length}) {
                    auto plain = [&](char c) {
                        const std::size_t at = line.find(c, from);
                        return at < end ? at : std::string::npos;
                    };
                    ASSERT_EQ(scan.nextSpace(from, end), plain(' ')) << length << " " << step << " " << from;
                    ASSERT_EQ(scan.nextClose(from, end), plain(')')) << length << " " << step << " " << from;
                }
            }
        }
    }
}

TEST(ItemLineScan, RefusesQuotesAndTabsAnywhere) {
    ItemLineScan scan;
    for (std::size_t at : {0, 15, 16, 63, 64, 99}) {
        for (char c : {'"', '\t'}) {
            std::string line(100, ' ');
            line[at] = c;
            EXPECT_FALSE(scan.map(line)) << at;
        }
    }
    EXPECT_TRUE(scan.map(std::string(100, '(')));
}

}  // namespace
}  // namespace velmora
