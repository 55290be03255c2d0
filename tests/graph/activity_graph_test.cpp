#include "graph/activity_graph.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace vane::graph {
namespace {

constexpr Colour kBlack{0.0, 0.0, 0.0, 1.0};

TEST(ActivityGraphSetUp, LaysOutTheGraphAndItsAxes) {
    const ActivityGraph activity;
    const XYGraph& graph = activity.graph();
    EXPECT_EQ(graph.theme, Theme::plainWhite);
    EXPECT_EQ(graph.paddings.left, 60.0);
    EXPECT_EQ(graph.paddings.top, 20.0);
    EXPECT_EQ(graph.paddings.right, 20.0);
    EXPECT_EQ(graph.paddings.bottom, 60.0);
    ASSERT_EQ(graph.plotSpaces.size(), 1u);
    EXPECT_FALSE(graph.defaultPlotSpace().allowsUserInteraction);
    EXPECT_EQ(graph.defaultPlotSpace().delegate, &activity);
    EXPECT_EQ(activity.plotStyleIndex(), 0u);

    const LineStyle major{.width = 0.75, .colour = {0.8, 0.8, 0.8, 0.75}};
    const LineStyle minor{.width = 0.25, .colour = {0.0, 0.0, 0.0, 0.1}};
    const Axis& x = graph.xAxis;
    EXPECT_EQ(x.majorIntervalLength, 2.0);
    EXPECT_EQ(x.minorTicksPerInterval, 3);
    EXPECT_EQ(x.majorGridLineStyle, major);
    EXPECT_EQ(x.minorGridLineStyle, minor);
    EXPECT_EQ(x.titleOffset, 30.0);
    EXPECT_EQ(x.titleLocation, 13.0);
    EXPECT_EQ(x.labelFormatter.maximumFractionDigits, 0);

    const Axis& y = graph.yAxis;
    EXPECT_EQ(y.majorIntervalLength, 0.1);
    EXPECT_EQ(y.minorTicksPerInterval, 1);
    EXPECT_EQ(y.preferredNumberOfMajorTicks, 8);
    EXPECT_EQ(y.majorGridLineStyle, major);
    EXPECT_EQ(y.minorGridLineStyle, minor);
    EXPECT_TRUE(y.positionedRelativeToPlotArea);
    EXPECT_EQ(y.titleLocation, 0.5);
}

TEST(ActivityGraphSetUp, AxisTitlesFollowTheReadingAndTheTranslation) {
    ActivityGraph untranslated;
    EXPECT_EQ(untranslated.graph().xAxis.title, "Wind speed (m/s)");
    EXPECT_EQ(untranslated.graph().yAxis.title, "cum. percentage of bat activity");
    untranslated.setPlotTemp(true);
    EXPECT_EQ(untranslated.graph().xAxis.title, "Temperature (°C)");
    untranslated.setPlotTemp(false);
    EXPECT_EQ(untranslated.graph().xAxis.title, "Wind speed (m/s)");

    std::vector<std::string> asked;
    const ActivityGraph german(true, [&asked](std::string key) {
        asked.push_back(key);
        return std::string("kum. Anteil der Fledermausaktivität");
    });
    EXPECT_EQ(asked, std::vector<std::string>{"cum. percentage of bat activity"});
    EXPECT_EQ(german.graph().yAxis.title, "kum. Anteil der Fledermausaktivität");
    EXPECT_EQ(german.graph().xAxis.title, "Temperature (°C)");
}

void expectStyle(const ScatterPlot& plot, Colour line, SymbolShape shape) {
    EXPECT_EQ(plot.dataLineStyle.width, 2.0);
    EXPECT_EQ(plot.dataLineStyle.colour, line);
    ASSERT_TRUE(plot.plotSymbol.has_value());
    EXPECT_EQ(plot.plotSymbol->shape, shape);
    EXPECT_EQ(plot.plotSymbol->width, 5.0);
    EXPECT_EQ(plot.plotSymbol->height, 5.0);
    EXPECT_EQ(plot.plotSymbol->fill, SolidFill{kBlack});
    EXPECT_EQ(plot.plotSymbol->outline.colour, kBlack);
}

TEST(DataPlots, TakeTheStylesInTableOrderAndStartAgainAfterAReset) {
    ActivityGraph activity;
    const ScatterPlot first = activity.dataPlotWithName("A");
    const ScatterPlot second = activity.dataPlotWithName("B");
    const ScatterPlot third = activity.dataPlotWithName("C");
    EXPECT_EQ(activity.plotStyleIndex(), 3u);
    EXPECT_EQ(first.identifier, "A");
    EXPECT_EQ(first.dataSource, &activity);
    EXPECT_EQ(first.plotSpaceIndex, 0u);
    expectStyle(first, {0.0, 1.0, 0.0, 1.0}, SymbolShape::ellipse);
    expectStyle(second, {1.0, 0.0, 0.0, 1.0}, SymbolShape::cross);
    expectStyle(third, {0.0, 0.0, 1.0, 1.0}, SymbolShape::star);

    activity.setPlotStyleIndex(0);
    expectStyle(activity.dataPlotWithName("D"), {0.0, 1.0, 0.0, 1.0}, SymbolShape::ellipse);
}

TEST(DataPlots, FourthAndLaterStylesNeverRepeatAColourAndSymbolPair) {
    const auto table = plotStyleTable();
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0], (PlotStyle{"greenColor", "blackColor", "ellipsePlotSymbol"}));
    EXPECT_EQ(table[1], (PlotStyle{"redColor", "blackColor", "crossPlotSymbol"}));
    EXPECT_EQ(table[2], (PlotStyle{"blueColor", "blackColor", "starPlotSymbol"}));

    // Past the named colours the styles are generated; 200 states is far beyond any real data.
    std::set<std::pair<std::string, std::string>> seen;
    std::set<std::tuple<double, double, double, SymbolShape>> resolved;
    for (std::size_t i = 0; i < 200; ++i) {
        const PlotStyle style = plotStyleAt(i);
        EXPECT_TRUE(seen.emplace(style.lineColor, style.symbol).second) << "style " << i;
        const auto colour = colourNamed(style.lineColor);
        const auto shape = plotSymbolNamed(style.symbol);
        ASSERT_TRUE(colour && shape) << style.lineColor << ' ' << style.symbol;
        EXPECT_NE(*colour, (Colour{1.0, 1.0, 1.0, 1.0})) << "invisible on white, style " << i;
        EXPECT_TRUE(resolved.emplace(colour->red, colour->green, colour->blue, *shape).second)
            << "style " << i;
    }
    EXPECT_FALSE(colourNamed("hue x").has_value());
    EXPECT_FALSE(colourNamed("hue -4").has_value());
    EXPECT_FALSE(plotSymbolNamed("squarePlotSymbol").has_value());
}

TEST(DataSource, AnswersFromThePlotData) {
    ActivityGraph activity;
    activity.setPlotData({{"single", {{0.0, 0.0}, {1.5, 0.4}}}});
    const ScatterPlot single = activity.dataPlotWithName("single");
    EXPECT_EQ(activity.numberOfRecordsForPlot(single), 2u);
    EXPECT_EQ(activity.numberForPlot(single, kScatterPlotFieldX, 1), 1.5);
    EXPECT_EQ(activity.numberForPlot(single, kScatterPlotFieldY, 1), 0.4);
    EXPECT_EQ(activity.numberForPlot(single, 7, 1), 0.4);  // any field but x is y
    EXPECT_EQ(activity.numberForPlot(single, kScatterPlotFieldX, 2), 0.0);

    const ScatterPlot unknown = activity.dataPlotWithName("running");
    EXPECT_EQ(activity.numberOfRecordsForPlot(unknown), 0u);
    EXPECT_EQ(activity.numberForPlot(unknown, kScatterPlotFieldY, 0), 0.0);
}

TEST(Legend, HoldsOneShortLinePerDataPlotInItsOwnBox) {
    ActivityGraph activity;
    activity.addPlot(activity.dataPlotWithName("off"));
    activity.addPlot(activity.dataPlotWithName("on"));
    activity.addLegendPlot();

    const XYGraph& graph = activity.graph();
    ASSERT_EQ(graph.plotSpaces.size(), 2u);
    ASSERT_EQ(graph.legendPlotSpace, 1u);
    EXPECT_EQ(graph.plotSpaces[1].xRange, (PlotRange{0.0, 14.0}));
    EXPECT_EQ(graph.plotSpaces[1].yRange, (PlotRange{0.0, 14.0}));
    ASSERT_EQ(graph.plots.size(), 4u);
    EXPECT_EQ(graph.plots[0].plotSpaceIndex, 0u);
    EXPECT_EQ(graph.plots[1].plotSpaceIndex, 0u);

    for (std::size_t i = 0; i < 2; ++i) {
        const ScatterPlot& entry = graph.plots[2 + i];
        const ScatterPlot& data = graph.plots[i];
        EXPECT_EQ(entry.identifier, std::to_string(i));
        EXPECT_EQ(entry.title, data.identifier);
        EXPECT_EQ(entry.plotSpaceIndex, 1u);
        EXPECT_EQ(entry.dataLineStyle, data.dataLineStyle);
        EXPECT_EQ(entry.plotSymbol, data.plotSymbol);
        ASSERT_NE(entry.dataSource, nullptr);
        const PlotDataSource& source = *entry.dataSource;
        ASSERT_EQ(source.numberOfRecordsForPlot(entry), 2u);
        EXPECT_EQ(source.numberForPlot(entry, kScatterPlotFieldX, 0), 13.0);
        EXPECT_EQ(source.numberForPlot(entry, kScatterPlotFieldX, 1), 11.0);
        EXPECT_EQ(source.numberForPlot(entry, kScatterPlotFieldY, 0), static_cast<double>(i));
        EXPECT_EQ(source.numberForPlot(entry, kScatterPlotFieldY, 1), static_cast<double>(i));
        EXPECT_EQ(source.numberForPlot(entry, 2, 0), 0.0);
    }
    ASSERT_EQ(graph.textLayers.size(), 1u);
    EXPECT_EQ(graph.legendTitleLayer, 0u);
    EXPECT_EQ(graph.textLayers[0].text, "Legend");
    EXPECT_EQ(graph.textLayers[0].x, 140.0);
    EXPECT_EQ(graph.textLayers[0].y, 100.0);
}

TEST(Legend, RepeatedAnalysesKeepOneGraph) {
    ActivityGraph activity;
    const PlotData states{{"A", {{0.0, 0.5}, {1.0, 1.0}}}, {"B", {{0.0, 0.0}, {1.0, 1.0}}}};
    const std::vector<std::string> order{"A", "B"};
    activity.showAnalysis(states, order, false, {25.0, 1.0}, true);
    activity.showAnalysis(states, order, false, {25.0, 1.0}, true);
    activity.addLegendPlot();  // a second call for the same plots replaces the legend
    const XYGraph& graph = activity.graph();
    EXPECT_EQ(graph.plotSpaces.size(), 2u);
    EXPECT_EQ(graph.plots.size(), 4u);
    EXPECT_EQ(graph.textLayers.size(), 1u);

    const std::vector<std::string> single{"single"};
    activity.showAnalysis({{"single", {{0.0, 0.0}}}}, single, false, {25.0, 1.0}, false);
    EXPECT_EQ(graph.plotSpaces.size(), 1u);
    EXPECT_EQ(graph.plots.size(), 1u);
    EXPECT_TRUE(graph.textLayers.empty());
    EXPECT_FALSE(graph.legendPlotSpace.has_value());
    EXPECT_FALSE(graph.legendTitleLayer.has_value());
}

TEST(ShowAnalysis, ScalesToEachSeriesInTurnAndSetsTheLengths) {
    ActivityGraph activity;
    const std::vector<std::string> order{"b", "a"};
    activity.showAnalysis({{"a", {{-2.5, 0.1}, {3.0, 1.0}}}, {"b", {{0.0, 0.0}, {9.0, 1.0}}}},
                          order, true, {40.0, 1.0}, true);
    const XYGraph& graph = activity.graph();
    EXPECT_EQ(graph.xAxis.title, "Temperature (°C)");
    ASSERT_EQ(graph.plots.size(), 4u);
    EXPECT_EQ(graph.plots[0].identifier, "b");  // the given order, not the map's
    EXPECT_EQ(graph.plots[0].dataLineStyle.colour, (Colour{0.0, 1.0, 0.0, 1.0}));
    EXPECT_EQ(graph.plots[2].title, "b");
    // The last series scaled decides the locations.
    EXPECT_EQ(graph.defaultPlotSpace().xRange, (PlotRange{-2.5, 40.0}));
    EXPECT_EQ(graph.defaultPlotSpace().yRange, (PlotRange{0.1, 1.0}));
    EXPECT_EQ(activity.plotStyleIndex(), 2u);
}

TEST(ShowAnalysis, SkipsValuesThatAreNotNumbersWhenScaling) {
    ActivityGraph activity;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::string> order{"idle", "empty"};
    activity.showAnalysis({{"idle", {{1.0, nan}, {2.0, 0.5}}}, {"empty", {}}}, order, false,
                          {25.0, 1.0}, true);
    EXPECT_EQ(activity.graph().defaultPlotSpace().xRange, (PlotRange{1.0, 25.0}));
    EXPECT_EQ(activity.graph().defaultPlotSpace().yRange, (PlotRange{0.5, 1.0}));
}

TEST(PlotSpaceRule, KeepsTheXRangeNearTheOriginAndLetsYPass) {
    const auto x = [](double from, double to) {
        return constrainedPlotRange({from, to - from}, Coordinate::x);
    };
    EXPECT_EQ(x(0.0, 25.0), (PlotRange{-1.0, 25.0}));
    EXPECT_EQ(x(2.0, 4.0), (PlotRange{2.0, 2.0}));
    EXPECT_EQ(x(4.0, 7.0), (PlotRange{2.0, 3.0}));
    EXPECT_EQ(x(-9.0, -7.0), (PlotRange{-1.0, 2.0}));
    EXPECT_EQ(constrainedPlotRange({-30.0, 100.0}, Coordinate::y), (PlotRange{-30.0, 100.0}));
}

TEST(PlotSpaceRule, AppliesOnlyToChangesTheUserDrives) {
    ActivityGraph activity;
    PlotSpace& space = activity.graph().defaultPlotSpace();
    space.xRange = {0.0, 25.0};  // as the analysis sets it: the rule is not asked
    EXPECT_FALSE(space.userChangesRange({4.0, 3.0}, Coordinate::x));
    EXPECT_EQ(space.xRange, (PlotRange{0.0, 25.0}));

    space.allowsUserInteraction = true;
    EXPECT_TRUE(space.userChangesRange({4.0, 3.0}, Coordinate::x));
    EXPECT_EQ(space.xRange, (PlotRange{2.0, 3.0}));
    EXPECT_TRUE(space.userChangesRange({-5.0, 2.0}, Coordinate::y));
    EXPECT_EQ(space.yRange, (PlotRange{-5.0, 2.0}));
}

}  // namespace
}  // namespace vane::graph
