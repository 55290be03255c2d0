#include "graph/legend_placement.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace vane::graph {
namespace {

// A 100 by 100 plot area; boxes 30 by 20 with a margin of 5.
constexpr CanvasRect kArea{0.0, 0.0, 100.0, 100.0};
constexpr CanvasRect kLowerRight{65.0, 75.0, 30.0, 20.0};
constexpr CanvasRect kUpperLeft{5.0, 5.0, 30.0, 20.0};
constexpr CanvasRect kUpperRight{65.0, 5.0, 30.0, 20.0};

CanvasRect place(const std::vector<std::vector<CanvasPoint>>& curves) {
    return placeLegend(kArea, 30.0, 20.0, 5.0, curves);
}

TEST(LegendPlacement, TakesTheLowerRightWhenItIsFree) {
    EXPECT_EQ(place({}), kLowerRight);
    // A cumulative curve: rises on the left, runs along the top.
    EXPECT_EQ(place({{{0.0, 100.0}, {20.0, 10.0}, {100.0, 0.0}}}), kLowerRight);
}

TEST(LegendPlacement, MovesAwayFromCurvesAndSymbols) {
    // A line crossing the lower right corner without a point inside it.
    EXPECT_EQ(place({{{50.0, 100.0}, {100.0, 70.0}}}), kUpperLeft);
    // Only a symbol in the lower right, and a line through the upper left.
    EXPECT_EQ(place({{{80.0, 85.0}}, {{0.0, 15.0}, {40.0, 15.0}}}), kUpperRight);
}

TEST(LegendPlacement, IgnoresPointsThatAreNotNumbers) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(place({{{nan, 80.0}, {80.0, nan}, {nan, nan}}}), kLowerRight);
}

}  // namespace
}  // namespace vane::graph
