#include "core/analysis/numerical_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace vane {
namespace {

// Checks both argument orders, so every case also exercises antisymmetry.
void expectBefore(const std::string_view a, const std::string_view b) {
    EXPECT_EQ(numericalCompare(a, b), -1) << '"' << a << "\" vs \"" << b << '"';
    EXPECT_EQ(numericalCompare(b, a), 1) << '"' << b << "\" vs \"" << a << '"';
}

void expectAlike(const std::string_view a, const std::string_view b) {
    EXPECT_EQ(numericalCompare(a, b), 0) << '"' << a << "\" vs \"" << b << '"';
    EXPECT_EQ(numericalCompare(b, a), 0) << '"' << b << "\" vs \"" << a << '"';
}

std::string classKey(const double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%f", value);
    return buffer;
}

TEST(NumericalCompare, DigitRunsCompareByValue) {
    expectBefore("3.000000", "12.000000");
    expectBefore("12.000000", "40.000000");
    expectBefore("file2", "file10");
    expectBefore("9", "10");
    expectAlike("7", "007");
    expectAlike("12.000000", "12.000000");
    // The seed key is a prefix of the formatted one, so it ends first.
    expectBefore("0", "0.000000");
    expectBefore("1.000000", "1.000000x");
    // Each digit run is an integer of its own: the part after the dot is not a fraction.
    expectBefore("1.5", "1.25");
    // A text run sorts after a number in the same place.
    expectBefore("99", "a");
    expectBefore("x1", "xa");
}

TEST(NumericalCompare, SignsAreTextNotNegation) {
    expectBefore("40.000000", "-1.000000");
    expectBefore("0", "-1.000000");
    expectBefore("-1.000000", "-5.000000");
    expectBefore("-5.000000", "-12.000000");
    expectBefore("a-3", "a-5");
    expectBefore("+7", "-7");
}

TEST(NumericalCompare, TextRunsCompareByCodeUnit) {
    expectBefore("abc", "abd");
    expectBefore("Abc", "abc");
    expectBefore("Z", "a");
    expectBefore("abc", "abcd");
    expectBefore("ab", "ab1");
    // Code-unit order, not code-point order: a surrogate (0xD83D) is below U+FF5E.
    expectBefore("\U0001F600", "\uFF5E");
}

TEST(NumericalCompare, BlankTextAndSkippedWhiteSpace) {
    expectAlike("", "");
    expectAlike("", " \t\r\n");
    expectBefore("", "0");
    expectBefore("", "a");
    expectBefore("   ", "-");
    expectBefore("\n", "0.000000");

    // Leading and trailing white space and line breaks do not count, Unicode ones included.
    expectAlike(" 12", "12");
    expectAlike("12 \n", "12");
    expectAlike("\u00A0\u300012", "12");
    expectBefore("\n3.000000", "12.000000");
    // White space between two numbers is skipped rather than read as text.
    expectBefore("1 2", "1 3");
    // Inside a text run it is part of the text.
    expectBefore("a1", "a 1");
    expectBefore("a b", "ab");
}

TEST(NumericalCompare, DecimalDigitsOfAnyScript) {
    // Arabic-Indic one and two.
    expectAlike("\u0661\u0662", "12");
    expectBefore("3", "\u0661\u0662");
    expectBefore("file\u0662", "file10");
    // Fullwidth digits, and scripts mixed within one number.
    expectAlike("\uFF14\uFF10.000000", "40.000000");
    expectAlike("1\u0662", "12");
    // A digit outside the basic plane is two surrogates, neither a digit, so it is text.
    expectBefore("10", "\U0001D7D7");
}

TEST(NumericalCompare, OversizedNumbersSaturate) {
    const std::string_view max = "9223372036854775807";
    expectAlike("99999999999999999999999999999999", max);
    expectAlike("9223372036854775808", max);
    expectBefore("9223372036854775806", "99999999999999999999999999999999");
    // The whole digit run is consumed, so what follows is still compared.
    expectAlike("x99999999999999999999y", "x9223372036854775807y");
    expectBefore("x9223372036854775807y", "x99999999999999999999z");
    expectBefore("-9223372036854775806", "-99999999999999999999");
}

TEST(NumericalCompare, OverloadsAgree) {
    const icu::UnicodeString three(u"3.000000");
    const icu::UnicodeString twelve(u"12.000000");
    EXPECT_EQ(numericalCompare(three, twelve), -1);
    EXPECT_EQ(numericalCompare(twelve, three), 1);
    EXPECT_EQ(numericalCompare(icu::UnicodeString(u"\u0661\u0662.000000"), twelve), 0);
    EXPECT_EQ(numericalCompare(std::string("a"), std::string("z")), -1);
    EXPECT_EQ(numericalCompare("a", "z"), -1);
    // Malformed UTF-8 is read as U+FFFD.
    EXPECT_EQ(numericalCompare("\xFF", "\xEF\xBF\xBD"), 0);

    const NumericalLess less;
    EXPECT_TRUE(less("file2", "file10"));
    EXPECT_FALSE(less("file10", "file2"));
    EXPECT_FALSE(less("7", "007"));
    EXPECT_FALSE(less("007", "7"));
}

TEST(NumericalCompare, ConsistentOrderingOverMixedKeys) {
    const std::vector<std::string> keys = {
        "",
        " ",
        "0",
        "0.000000",
        "007",
        "7",
        "3.000000",
        "12.000000",
        "-1.000000",
        "-5.000000",
        "-",
        "abc",
        "Abc",
        "abd",
        "file2",
        "file10",
        "\u0661\u0662",
        "12",
        "a 1",
        "a1",
        "1 2",
        "1.2",
        "99999999999999999999",
        "x",
        "\U0001F600",
        "\uFF5E",
    };
    for (const auto& a : keys) {
        EXPECT_EQ(numericalCompare(a, a), 0) << a;
        for (const auto& b : keys) {
            const int ab = numericalCompare(a, b);
            ASSERT_TRUE(ab == -1 || ab == 0 || ab == 1) << a << " vs " << b;
            EXPECT_EQ(ab, -numericalCompare(b, a)) << a << " vs " << b;
            // Sorting relies on transitivity of both "before" and "alike".
            for (const auto& c : keys) {
                if (ab <= 0 && numericalCompare(b, c) <= 0) {
                    EXPECT_LE(numericalCompare(a, c), 0) << a << " / " << b << " / " << c;
                }
            }
        }
    }
}

TEST(NumericalCompare, SortsClassKeysNumerically) {
    // Keys as the activity analyses write them: "%f" of floor(2x), plus the seed key "0".
    std::vector<std::string> expected = {"0"};
    for (int i = 0; i < 120; ++i) {
        const double x = i * 0.25;
        const std::string key = classKey(std::floor(2 * x));
        if (key != expected.back()) {
            expected.push_back(key);
        }
    }
    ASSERT_EQ(expected.back(), "59.000000");

    // Negative classes follow, nearest to zero first.
    for (int n = 1; n <= 12; ++n) {
        expected.push_back(classKey(-n));
    }

    std::vector<std::string> keys = expected;
    std::mt19937 random(20240521);
    for (int round = 0; round < 5; ++round) {
        std::shuffle(keys.begin(), keys.end(), random);
        std::sort(keys.begin(), keys.end(), NumericalLess{});
        EXPECT_EQ(keys, expected);
    }
}

}  // namespace
}  // namespace vane
