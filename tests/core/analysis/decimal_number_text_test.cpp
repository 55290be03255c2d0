#include "core/analysis/decimal_number_text.h"

#include <gtest/gtest.h>

#include <cmath>

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
