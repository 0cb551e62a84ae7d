#include "runtime/conversions.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

using runtime::NumberToText;
using runtime::TextToNumber;

TEST(Rounding, TiesGoToTheEvenNeighbour) {
    struct Case { double in; int out; };
    for (const Case c : {Case{2.5, 2}, {3.5, 4}, {0.5, 0}, {1.5, 2}, {-2.5, -2}, {-3.5, -4},
                         {-0.5, 0}, {1500.5, 1500}, {1501.5, 1502}, {2.4999, 2}, {2.5001, 3},
                         {-2.5001, -3}, {7.0, 7}}) {
        EXPECT_EQ(runtime::RoundToInt16(c.in), c.out) << c.in;
        EXPECT_EQ(runtime::RoundToInt32(c.in), c.out) << c.in;
        EXPECT_EQ(runtime::TryRoundToInt16(c.in), c.out) << c.in;
    }
}

TEST(Rounding, SixteenBitLimits) {
    EXPECT_EQ(runtime::TryRoundToInt16(32767.4), 32767);
    EXPECT_EQ(runtime::TryRoundToInt16(32767.5), std::nullopt);  // rounds to 32768
    EXPECT_EQ(runtime::TryRoundToInt16(-32768.5), -32768);        // tie to the even end
    EXPECT_EQ(runtime::TryRoundToInt16(-32768.6), std::nullopt);
    EXPECT_EQ(runtime::TryRoundToInt16(99999), std::nullopt);
    EXPECT_EQ(runtime::TryRoundToInt16(std::nan("")), std::nullopt);
    EXPECT_EQ(runtime::RoundToInt16(99999), 32767);
    EXPECT_EQ(runtime::RoundToInt16(-1e300), -32768);
    EXPECT_EQ(runtime::RoundToInt16(std::numeric_limits<double>::infinity()), 32767);
    EXPECT_EQ(runtime::RoundToInt16(std::nan("")), 0);
}

TEST(Rounding, ThirtyTwoBitLimits) {
    EXPECT_EQ(runtime::TryRoundToInt32(2147483646.5), 2147483646);
    EXPECT_EQ(runtime::TryRoundToInt32(2147483647.5), std::nullopt);
    EXPECT_EQ(runtime::TryRoundToInt32(-2147483648.5), -2147483647 - 1);
    EXPECT_EQ(runtime::RoundToInt32(1e12), 2147483647);
    EXPECT_EQ(runtime::RoundToInt32(-1e12), -2147483647 - 1);
}

TEST(Rounding, IntegerPartIsTheFloor) {
    EXPECT_EQ(runtime::IntegerPart(-0.5), -1);
    EXPECT_EQ(runtime::IntegerPart(2.7), 2);
    EXPECT_EQ(runtime::IntegerPart(-3.0), -3);
    EXPECT_EQ(runtime::IntegerPart(9.999), 9);
}

TEST(NumberToText, LeadingBlankUnlessNegative) {
    EXPECT_EQ(NumberToText(4.0f), " 4");
    EXPECT_EQ(NumberToText(-1.0f), "-1");
    EXPECT_EQ(NumberToText(2.5f), " 2.5");
    EXPECT_EQ(NumberToText(10000.0f), " 10000");
    EXPECT_EQ(NumberToText(0.0f), " 0");
    EXPECT_EQ(NumberToText(-0.0f), " 0");
    EXPECT_EQ(NumberToText(std::int16_t{10000}), " 10000");
    EXPECT_EQ(NumberToText(std::int16_t{-32768}), "-32768");
    EXPECT_EQ(NumberToText(0), " 0");
    EXPECT_EQ(NumberToText(25.0), " 25");
    EXPECT_EQ(NumberToText(-1500.25), "-1500.25");
}

// One trim for every layer: blanks only unless other characters are named; the number
// form keeps the precision of the value's own type.
TEST(Trim, BlanksByDefaultAndNamedCharactersOtherwise) {
    EXPECT_EQ(runtime::Trim("  a b  "), "a b");
    EXPECT_EQ(runtime::Trim("   "), "");
    EXPECT_EQ(runtime::Trim(""), "");
    EXPECT_EQ(runtime::Trim("\ta \r"), "\ta \r");
    EXPECT_EQ(runtime::Trim(" \t\ra \r\n", " \t\r"), "a \r\n");
    EXPECT_EQ(runtime::NumberToTrimmedText(0.1f), ".1");
    EXPECT_EQ(runtime::NumberToTrimmedText(-0.25), "-.25");
    EXPECT_EQ(runtime::NumberToTrimmedText(3), "3");
}

TEST(NumberToText, FractionsWithoutLeadingZero) {
    EXPECT_EQ(NumberToText(0.5f), " .5");
    EXPECT_EQ(NumberToText(-0.25f), "-.25");
    EXPECT_EQ(NumberToText(0.1f), " .1");
    EXPECT_EQ(NumberToText(123456.7f), " 123456.7");
    EXPECT_EQ(NumberToText(0.00001f), " .00001");
    EXPECT_EQ(NumberToText(1.05), " 1.05");
}

TEST(NumberToText, ScientificOutsideThePlainRange) {
    EXPECT_EQ(NumberToText(9999999.0f), " 9999999");
    EXPECT_EQ(NumberToText(1e7f), " 1E+07");
    EXPECT_EQ(NumberToText(-2.5e20f), "-2.5E+20");
    EXPECT_EQ(NumberToText(1.5e-6f), " 1.5E-06");
    EXPECT_EQ(NumberToText(1e-40), " 1E-40");
    EXPECT_EQ(NumberToText(123456789012345.0), " 123456789012345");
    EXPECT_EQ(NumberToText(1e15), " 1E+15");
    EXPECT_EQ(NumberToText(1e300), " 1E+300");
}

TEST(TextToNumber, LeadingNumberOnly) {
    EXPECT_EQ(TextToNumber(" 25"), 25);
    EXPECT_EQ(TextToNumber("7x"), 7);
    EXPECT_EQ(TextToNumber("abc"), 0);
    EXPECT_EQ(TextToNumber(""), 0);
    EXPECT_EQ(TextToNumber("-1"), -1);
    EXPECT_EQ(TextToNumber("+3"), 3);
    EXPECT_EQ(TextToNumber("\t\r\n 4"), 4);
    EXPECT_EQ(TextToNumber(".5"), 0.5);
    EXPECT_EQ(TextToNumber("-.5"), -0.5);
    EXPECT_EQ(TextToNumber("1.5.3"), 1.5);
    EXPECT_EQ(TextToNumber("12."), 12);
    EXPECT_EQ(TextToNumber("1 2"), 1);
    EXPECT_EQ(TextToNumber("- 4"), 0);
    EXPECT_EQ(TextToNumber("."), 0);
    EXPECT_EQ(TextToNumber("-"), 0);
    EXPECT_EQ(TextToNumber("1,5"), 1);
    EXPECT_EQ(TextToNumber("00000000000000000000000000000000000000042"), 42);
    EXPECT_EQ(TextToNumber("0.1"), 0.1);
}

TEST(TextToNumber, Exponents) {
    EXPECT_EQ(TextToNumber("1e6"), 1e6);
    EXPECT_EQ(TextToNumber("1E+07"), 1e7);
    EXPECT_EQ(TextToNumber("2.5e-3"), 2.5e-3);
    EXPECT_EQ(TextToNumber("3d2"), 300);
    EXPECT_EQ(TextToNumber("1e"), 1);
    EXPECT_EQ(TextToNumber("1e+"), 1);
    EXPECT_EQ(TextToNumber("1ex"), 1);
    EXPECT_EQ(TextToNumber("e5"), 0);
}

TEST(TextToNumber, OutOfRangeNeverNaN) {
    EXPECT_EQ(TextToNumber("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(TextToNumber("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(TextToNumber("1e-999"), 0);
    EXPECT_EQ(TextToNumber("0e99999999999999999999"), 0);
    EXPECT_EQ(TextToNumber("0.0000001e-999999"), 0);
    EXPECT_EQ(TextToNumber("123e99999999999999999999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(TextToNumber(std::string(400, '9')), std::numeric_limits<double>::infinity());
}

TEST(TextToNumber, PointIsDecimalInEveryLocale) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    bool switched = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"})
        if (std::setlocale(LC_ALL, name)) {
            switched = true;
            break;
        }
    if (!switched) GTEST_SKIP() << "no locale with a decimal comma installed";
    const double v = TextToNumber("1.5");
    const std::string text = NumberToText(2.5f);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(v, 1.5);
    EXPECT_EQ(text, " 2.5");
}

// Every finite single and double reads back from its text as the same value.
TEST(NumberToText, ReadsBackExactly) {
    std::mt19937 gen(12345);
    for (int i = 0; i < 20000; ++i) {
        const auto f = std::bit_cast<float>(static_cast<std::uint32_t>(gen()));
        if (!std::isfinite(f)) continue;
        const std::string text = NumberToText(f);
        ASSERT_EQ(static_cast<float>(TextToNumber(text)), f) << text;
        ASSERT_TRUE(text[0] == ' ' || text[0] == '-') << text;
        ASSERT_EQ(text[0] == '-', std::signbit(f) && f != 0) << text;
    }
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t bits = (static_cast<std::uint64_t>(gen()) << 32) | gen();
        const auto d = std::bit_cast<double>(bits);
        if (!std::isfinite(d)) continue;
        const std::string text = NumberToText(d);
        ASSERT_EQ(TextToNumber(text), d) << text;
    }
}

}  // namespace
