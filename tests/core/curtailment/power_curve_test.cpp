#include "core/curtailment/power_curve.h"

#include <gtest/gtest.h>

namespace vane {
namespace {

TEST(PowerCurveTest, ReadsKilowattsOrWattsAndLeavesOtherColumnsOut) {
    const struct {
        const char* name;
        const char* text;
        double kwAtSix;
    } cases[] = {
        {"kW without a header", "3,0\n5,200\n7,600\n", 400.0},
        {"kW with extra columns",
         "Wind Speed [m/s],Power [kW],Cp [-]\n3,0,0\n5,200,0.41\n7,600,0.45\n", 400.0},
        {"W by the title", "Wind Speed [m/s],Power [W]\n3,0\n5,200000\n7,600000\n", 400.0},
        {"W in words", "wind;Power in watts\n3;0\n5;200000\n7;600000\n", 400.0},
    };
    for (const auto& c : cases) {
        const Outcome<PowerCurve> curve = parsePowerCurve(c.text, "curve.csv");
        ASSERT_TRUE(curve) << c.name << ": " << curve.error().describe();
        EXPECT_DOUBLE_EQ(curve->kwAt(6.0), c.kwAtSix) << c.name;
    }
}

TEST(PowerCurveTest, ATurbinesDrawBelowCutInIsNoOutputLost) {
    const Outcome<PowerCurve> curve =
        parsePowerCurve("Wind Speed [m/s],Power [kW]\n0,-3\n2,-3\n3,0\n4,100\n", "curve.csv");
    ASSERT_TRUE(curve) << curve.error().describe();
    for (const double wind : {0.0, 1.0, 2.0, 2.5, 3.0}) {
        EXPECT_EQ(curve->kwAt(wind), 0.0) << wind;
    }
    EXPECT_DOUBLE_EQ(curve->kwAt(3.5), 50.0);
}

}  // namespace
}  // namespace vane
