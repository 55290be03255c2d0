#include "core/analysis/decimal_number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

namespace vane {
namespace {

TEST(DecimalNumberText, ReadsWholeNumbersWithTheChosenSeparatorOnly) {
    const DecimalNumberText comma(",");
    EXPECT_EQ(comma.parse("1,5"), 1.5);
    EXPECT_EQ(comma.parse("-3,25"), -3.25);
    EXPECT_EQ(comma.parse("12"), 12.0);
    EXPECT_EQ(comma.parse("1.5"), std::nullopt);
    const DecimalNumberText point(".");
    EXPECT_EQ(point.parse("1.5"), 1.5);
    EXPECT_EQ(point.parse("1,5"), std::nullopt);
    EXPECT_EQ(point.parse("1,500"), std::nullopt);  // no grouping
    for (const char* text : {"", " ", "abc", "1.5 m/s", "1.5\r", "--1"}) {
        EXPECT_EQ(point.parse(text), std::nullopt) << '"' << text << '"';
    }
}

// The same double to the bit (the sign of zero too), or nothing from both.
void expectSameAsIcu(const DecimalNumberText& numbers, const std::string& text) {
    const std::optional<double> read = numbers.parse(text);
    const std::optional<double> icu = numbers.parseWithIcu(text);
    ASSERT_EQ(read.has_value(), icu.has_value()) << '"' << text << '"';
    if (read) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(*read), std::bit_cast<std::uint64_t>(*icu))
            << '"' << text << "\" " << *read << " against " << *icu;
    }
}

TEST(DecimalNumberText, ReadsEveryTextAsIcuDoes) {
    const DecimalNumberText point(".");
    const DecimalNumberText comma(",");
    const char* const texts[] = {"0",
                                 "-0",
                                 "+0",
                                 "-0.0",
                                 "-0,0",
                                 "007",
                                 "-007.50",
                                 "+5",
                                 "+5.5",
                                 "5.",
                                 ".5",
                                 "-.5",
                                 "5,",
                                 ",5",
                                 "1.5",
                                 "1,5",
                                 "1.2.3",
                                 "1,2,3",
                                 "1,500",
                                 "1.500,5",
                                 "1,500.5",
                                 "1e5",
                                 "1E5",
                                 "1.5e-3",
                                 "-",
                                 "--1",
                                 "- 1",
                                 " 1",
                                 "1 ",
                                 "1\r",
                                 "12345678901234567890",
                                 "123456789012345678901",
                                 "0.1000000000000000055511151231257827",
                                 "9007199254740993",
                                 "9007199254740993.0",
                                 "0.30000000000000004",
                                 "2.2250738585072011e-308",
                                 "179769313486231570000000000000000",
                                 "4.9e-324",
                                 "0.000000000000000000000000001",
                                 "99999999999999999999.5",
                                 "1\xd9\xa2"
                                 "5",
                                 "\xd9\xa1\xd9\xa2",
                                 "\xef\xbc\x91",
                                 "1\xc2\xa0"
                                 "000",
                                 "1'000",
                                 "\xe2\x88\x92"
                                 "1",
                                 "NaN",
                                 "inf",
                                 "-Infinity",
                                 "\xe2\x88\x9e",
                                 "12%",
                                 "0x1A",
                                 "1_000",
                                 "\xe2\x80\x8e-1"};
    for (const char* text : texts) {
        expectSameAsIcu(point, text);
        expectSameAsIcu(comma, text);
    }
    // Random plain numbers: lengths around where doubles stop holding every digit.
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        std::string text = random() % 3 == 0 ? "-" : "";
        const std::size_t digits = 1 + random() % 24;
        const std::size_t separatorAt = random() % (digits + 1);
        for (std::size_t d = 0; d < digits; ++d) {
            if (d == separatorAt && d != 0) {
                text += random() % 2 == 0 ? '.' : ',';
            }
            text += static_cast<char>('0' + (random() % 4 == 0 ? 0 : random() % 10));
        }
        expectSameAsIcu(point, text);
        expectSameAsIcu(comma, text);
    }
}

TEST(DecimalNumberText, PrintsLabelsWithOneFractionDigitAtMost) {
    const DecimalNumberText comma(",");
    EXPECT_EQ(comma.formatLabel(1.5), "1,5");
    EXPECT_EQ(comma.formatLabel(-0.5), "-0,5");
    const DecimalNumberText point(".");
    EXPECT_EQ(point.formatLabel(0.0), "0");
    EXPECT_EQ(point.formatLabel(12.0), "12");
    EXPECT_EQ(point.formatLabel(0.5), "0.5");
    EXPECT_EQ(point.formatLabel(12345.5), "12345.5");
}

}  // namespace
}  // namespace vane
