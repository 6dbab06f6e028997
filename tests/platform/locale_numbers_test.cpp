#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <random>

#include "platform/locale_numbers.h"

using namespace velmora;

namespace {

class LocaleNumbers : public ::testing::Test {
protected:
    void SetUp() override { saved_ = decimalSeparator(); }
    void TearDown() override { setDecimalSeparator(saved_); }
    char16_t saved_ = u'.';
};

}  // namespace

TEST_F(LocaleNumbers, RealsInThePlatformForm) {
    setDecimalSeparator(u'.');
    EXPECT_EQ(*tryStrToFloat(u"1.5"), 1.5L);
    EXPECT_EQ(*tryStrToFloat(u"-2"), -2.0L);
    EXPECT_EQ(*tryStrToFloat(u"+3.25"), 3.25L);
    EXPECT_EQ(*tryStrToFloat(u".5"), 0.5L);
    EXPECT_EQ(*tryStrToFloat(u"5."), 5.0L);
    EXPECT_EQ(*tryStrToFloat(u"1e3"), 1000.0L);
    EXPECT_EQ(*tryStrToFloat(u"-1.5E+2"), -150.0L);
    EXPECT_EQ(*tryStrToFloat(u"0.1"), 0.1L);  // extended precision, not a double
    EXPECT_EQ(*tryStrToFloat(u"1e400"), 1e400L);
    EXPECT_EQ(*tryStrToFloat(u"1e-5000"), 0.0L);  // underflow reads as zero
    for (const char16_t* bad : {u"", u" 1", u"1 ", u"1,5", u"1.2.3", u"e5", u"1e", u"1e+", u".", u"-", u"0x10",
                                u"inf", u"nan", u"1e99999", u"１"})
        EXPECT_FALSE(tryStrToFloat(bad)) << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
}

TEST_F(LocaleNumbers, SeparatorIsTheProcessWideSetting) {
    setDecimalSeparator(u',');
    EXPECT_EQ(*tryStrToFloat(u"1,5"), 1.5L);
    EXPECT_EQ(*tryStrToFloat(u"-0,25e1"), -2.5L);
    EXPECT_FALSE(tryStrToFloat(u"1.5"));
    EXPECT_EQ(formatFixed(2.5L, 2), u"2,50");
    setDecimalSeparator(u'.');
    EXPECT_EQ(formatFixed(1234.567L, 2), u"1234.57");
    EXPECT_EQ(formatFixed(-0.125L, 2), u"-0.12");  // halves to even, as the C library formats
}

TEST_F(LocaleNumbers, RealsDoNotDependOnTheCLocale) {
    // A toolkit may switch LC_NUMERIC to the environment's; conversion must
    // still follow the process-wide separator only.
    const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (!german) GTEST_SKIP() << "no de_DE locale installed";
    setDecimalSeparator(u'.');
    EXPECT_EQ(*tryStrToFloat(u"1.5"), 1.5L);
    std::setlocale(LC_NUMERIC, "C");
}

TEST(IntegerConversion, DecimalHexadecimalAnd32BitBounds) {
    EXPECT_EQ(*tryStrToInt(u"0"), 0);
    EXPECT_EQ(*tryStrToInt(u"+7"), 7);
    EXPECT_EQ(*tryStrToInt(u"-12"), -12);
    EXPECT_EQ(*tryStrToInt(u"2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(*tryStrToInt(u"-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(*tryStrToInt(u"000000000000000000042"), 42);
    EXPECT_EQ(*tryStrToInt(u"$FF"), 255);
    EXPECT_EQ(*tryStrToInt(u"0x1f"), 31);
    EXPECT_EQ(*tryStrToInt(u"0X1F"), 31);
    EXPECT_EQ(*tryStrToInt(u"-$10"), -16);
    EXPECT_EQ(*tryStrToInt(u"$7FFFFFFF"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(*tryStrToInt(u"$80000000"), std::numeric_limits<std::int32_t>::min());  // hex fills 32 bits
    EXPECT_EQ(*tryStrToInt(u"$FFFFFFFF"), -1);
    for (const char16_t* bad : {u"", u"-", u"+", u"$", u"0x", u"2147483648", u"-2147483649", u"4294967295",
                                u"$100000000", u"-$FFFFFFFF", u"99999999999999999999", u"1.0", u" 1", u"1 ",
                                u"12a", u"$G", u"$-1", u"1e3"})
        EXPECT_FALSE(tryStrToInt(bad)) << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
}

// The fast path must give exactly what the C library's correctly rounded
// conversion gives, on the forms files hold and on the edges of the path:
// 19 and 20 significant digits, powers of ten up to 10^27 and beyond, zeros.
TEST_F(LocaleNumbers, FastPathAgreesWithTheCLibrary) {
    std::mt19937_64 rng(7);
    auto digits = [&](int n) {
        std::u16string s;
        for (int i = 0; i < n; ++i) s.push_back(static_cast<char16_t>(u'0' + rng() % 10));
        return s;
    };
    for (char16_t separator : {u'.', u','}) {
        setDecimalSeparator(separator);
        for (int i = 0; i < 500000; ++i) {
            std::u16string text;
            if (rng() % 4 == 0) text.push_back(rng() % 2 ? u'-' : u'+');
            text += digits(static_cast<int>(rng() % 12));
            if (rng() % 4 != 0) text += separator + digits(static_cast<int>(rng() % 18));
            if (rng() % 5 == 0) {
                text += rng() % 2 ? u'e' : u'E';
                if (rng() % 2) text.push_back(rng() % 2 ? u'-' : u'+');
                text += digits(static_cast<int>(rng() % 3));
            }
            ASSERT_EQ(tryStrToFloat(text), tryStrToFloatByCLibrary(text))
                << std::string(text.begin(), text.end());
        }
    }
    setDecimalSeparator(u'.');
    for (const char16_t* edge :
         {u"9999999999999999999", u"99999999999999999999", u"18446744073709551615", u"0.0000000000000000000000000001",
          u"1e27", u"1e28", u"1e-27", u"1e-28", u"123456789012345678.9e-27", u"-0", u"-0.0e5", u"0e99999",
          u"000000000000000000000000000001", u"4.9406564584124654e-324", u"1.7976931348623157e308",
          u"0.1", u"0.3", u"2.2250738585072011e-308", u"9007199254740993", u"1e-4951", u"1.18973149535723176e+4932"})
        EXPECT_EQ(tryStrToFloat(edge), tryStrToFloatByCLibrary(edge))
            << std::string(edge, edge + std::char_traits<char16_t>::length(edge));
    EXPECT_TRUE(std::signbit(*tryStrToFloat(u"-0")));
}
