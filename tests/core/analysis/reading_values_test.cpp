#include "core/analysis/reading_values.h"

#include <gtest/gtest.h>

namespace vane {
namespace {

TEST(ReadingValuesTest, MissingMarkersAreNoReadingHoweverTheyAreWritten) {
    const DecimalNumberText comma(",");
    const ReadingValues common(comma, commonMissingMarkers(), 1.0);
    for (const char* missing :
         {"-9999", "-9999,0", " 9999 ", "-999", "NaN", "nan", "NA", "---", "", "n/a?"}) {
        EXPECT_EQ(common.parse(missing), std::nullopt) << missing;
    }
    EXPECT_EQ(common.parse("3,5"), 3.5);
    EXPECT_EQ(common.parse("-99"), -99.0);

    const ReadingValues none(comma, missingMarkersFromList(""), 1.0);
    EXPECT_EQ(none.parse("-9999"), -9999.0) << "an empty list keeps every number";
    const ReadingValues own(comma, missingMarkersFromList(" -1 , gap "), 1.0);
    EXPECT_EQ(own.parse("-1"), std::nullopt);
    EXPECT_EQ(own.parse("GAP"), std::nullopt);
    EXPECT_EQ(own.parse("-9999"), -9999.0);

    const DecimalNumberText point(".");
    const ReadingValues kilometres(point, commonMissingMarkers(), 1.0 / 3.6);
    EXPECT_DOUBLE_EQ(*kilometres.parse("36"), 10.0);
    EXPECT_EQ(kilometres.parse("9999"), std::nullopt) << "markers are read before converting";
}

}  // namespace
}  // namespace vane
