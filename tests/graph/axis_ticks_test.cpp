#include "graph/axis_ticks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QString>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace vane::graph {
namespace {

using ::testing::DoubleNear;
using ::testing::Pointwise;

Axis axisWith(double interval, int minorPerInterval) {
    return Axis{.majorIntervalLength = interval, .minorTicksPerInterval = minorPerInterval};
}

struct TicksCase {
    std::string name;
    Axis axis;
    PlotRange range;
    std::vector<double> major;
    std::vector<double> minor;
};

TEST(AxisTicks, LieOnTheIntervalsMultiplesInsideTheRange) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> hundred;
    for (int i = 0; i <= 100; ++i) {
        hundred.push_back(i);
    }
    const std::vector<TicksCase> cases{
        {"minor between majors", axisWith(1.0, 1), {0.0, 2.0}, {0.0, 1.0, 2.0}, {0.5, 1.5}},
        {"reversed range", axisWith(1.0, 1), {2.0, -2.0}, {0.0, 1.0, 2.0}, {0.5, 1.5}},
        {"range off the multiples", axisWith(1.0, 0), {-1.5, 3.0}, {-1.0, 0.0, 1.0}, {}},
        {"minor ticks before the first major",
         axisWith(1.0, 3),
         {0.5, 1.0},
         {1.0},
         {0.5, 0.75, 1.25, 1.5}},
        {"end reached despite rounding", axisWith(0.1, 0), {0.0, 0.3}, {0.0, 0.1, 0.2, 0.3}, {}},
        {"no interval", axisWith(0.0, 1), {0.0, 1.0}, {}, {}},
        {"negative interval", axisWith(-1.0, 1), {0.0, 1.0}, {}, {}},
        {"range not a number", axisWith(1.0, 1), {nan, 1.0}, {}, {}},
        {"too dense for any tick", axisWith(0.001, 0), {0.0, 1.0}, {}, {}},
        {"too dense for minor ticks", axisWith(1.0, 9), {0.0, 100.0}, hundred, {}},
    };
    for (const TicksCase& c : cases) {
        SCOPED_TRACE(c.name);
        const AxisTicks ticks = ticksOf(c.axis, c.range);
        EXPECT_THAT(ticks.major, Pointwise(DoubleNear(1e-12), c.major));
        EXPECT_THAT(ticks.minor, Pointwise(DoubleNear(1e-12), c.minor));
    }
}

TEST(AxisTicks, AxisCrossesAtZeroOrTheNearerEdge) {
    struct Case {
        std::string name;
        bool relativeToPlotArea;
        PlotRange otherRange;
        double crossing;
    };
    const std::vector<Case> cases{
        {"zero in range", false, {-1.0, 3.0}, 0.0},
        {"range above zero", false, {2.0, 3.0}, 2.0},
        {"range below zero", false, {-5.0, 3.0}, -2.0},
        {"reversed range", false, {5.0, -3.0}, 2.0},
        {"relative to the plot area", true, {-1.0, 3.0}, -1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Axis axis;
        axis.positionedRelativeToPlotArea = c.relativeToPlotArea;
        EXPECT_DOUBLE_EQ(crossingOf(axis, c.otherRange), c.crossing);
    }
}

TEST(AxisTicks, LabelsKeepTheFormatsDigitsAndATrueMinus) {
    struct Case {
        double value;
        NumberFormat format;
        QString label;
    };
    const QString minus(QChar(0x2212));
    const std::vector<Case> cases{
        {0.5, {1, 1}, QStringLiteral("0.5")},
        {2.0, {1, 1}, QStringLiteral("2.0")},
        {2.0, {0, 2}, QStringLiteral("2")},
        {1.5, {1, 3}, QStringLiteral("1.5")},
        {2.26, {0, 1}, QStringLiteral("2.3")},
        {-3.0, {0, 0}, minus + QStringLiteral("3")},
        {-0.25, {2, 2}, minus + QStringLiteral("0.25")},
        {-0.04, {1, 1}, QStringLiteral("0.0")},
        {-0.0, {0, 0}, QStringLiteral("0")},
        {12.0, {5, 2}, QStringLiteral("12.00")},
        {1.0, {-3, -1}, QStringLiteral("1")},
        {0.1, {0, 20}, QStringLiteral("0.1")},
        {1234567.0, {0, 0}, QStringLiteral("1234567")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value));
        EXPECT_EQ(tickLabel(c.value, c.format), c.label);
    }
}

}  // namespace
}  // namespace vane::graph
