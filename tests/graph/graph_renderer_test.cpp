#include "graph/graph_renderer.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

#include "graph/activity_graph.h"
#include "graph/offscreen_gui.h"

namespace vane::graph {
namespace {

// Drawn 1:1, 600 by 400: the plot area runs from x 60 to 580 and from y 20 to 340, so with
// ranges 0 to 25 and 0 to 1 a plot point (x, y) lands at (60 + 20.8 x, 340 - 320 y).
constexpr int kWidth = 600;
constexpr int kHeight = 400;

QImage draw(const XYGraph& graph) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::gray);  // the graph must paint its own white background
    QPainter painter(&image);
    renderGraph(graph, painter, kWidth, kHeight);
    painter.end();
    return image;
}

bool isBlack(QRgb pixel) {
    return qRed(pixel) < 70 && qGreen(pixel) < 70 && qBlue(pixel) < 70;
}

bool isPureGreen(QRgb pixel) {
    return qGreen(pixel) > 200 && qRed(pixel) < 90 && qBlue(pixel) < 90;
}

// Whether a pixel within `radius` of (x, y) passes `test`: antialiasing spreads thin lines.
template <typename Test>
bool near(const QImage& image, int x, int y, int radius, Test test) {
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            if (test(image.pixel(x + dx, y + dy))) {
                return true;
            }
        }
    }
    return false;
}

class GraphRendering : public ::testing::Test {
  protected:
    const OffscreenGui gui_;
    ActivityGraph activityGraph_;
};

TEST_F(GraphRendering, DrawsTheCurveItsSymbolsAndTheAxes) {
    const std::vector<std::string> order{"single"};
    activityGraph_.showAnalysis({{"single", {{0.0, 0.0}, {2.0, 0.5}, {12.0, 1.0}}}}, order, false,
                                {25.0, 1.0}, false);
    ASSERT_EQ(activityGraph_.graph().defaultPlotSpace().xRange, (PlotRange{0.0, 25.0}));
    const QImage image = draw(activityGraph_.graph());

    // The black symbol on the point (2, 0.5) and the green line halfway to (12, 1).
    EXPECT_TRUE(isBlack(image.pixel(101, 180)));
    EXPECT_TRUE(isBlack(image.pixel(102, 180)));
    EXPECT_TRUE(near(image, 205, 100, 1, isPureGreen));
    EXPECT_FALSE(near(image, 205, 140, 3, isPureGreen));  // nothing green below the line

    // The x axis along y = 0, the y axis along the left edge of the plot area.
    EXPECT_TRUE(near(image, 450, 340, 1, isBlack));
    EXPECT_TRUE(near(image, 60, 250, 1, isBlack));
    // Outside the plot area, away from labels and titles: the white background.
    EXPECT_EQ(image.pixel(590, 5), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(5, 395), qRgb(255, 255, 255));
    // Tick labels below the axis, in the padding.
    bool labelInk = false;
    for (int x = 50; x < 80 && !labelInk; ++x) {
        for (int y = 345; y < 365 && !labelInk; ++y) {
            labelInk = isBlack(image.pixel(x, y));
        }
    }
    EXPECT_TRUE(labelInk);
}

TEST_F(GraphRendering, LegendStaysOffTheCurves) {
    // Two curves that climb at once and run along the top: the legend belongs low on the right.
    const std::vector<std::string> order{"off", "on"};
    activityGraph_.showAnalysis({{"off", {{0.0, 0.0}, {2.0, 1.0}, {24.0, 1.0}}},
                                 {"on", {{0.0, 0.0}, {4.0, 0.9}, {24.0, 1.0}}}},
                                order, false, {25.0, 1.0}, true);
    const QImage withLegend = draw(activityGraph_.graph());
    // The green curve is still visible where it rises.
    EXPECT_TRUE(near(withLegend, 81, 180, 2, isPureGreen));

    const auto inkIn = [](const QImage& image, int left, int top, int right, int bottom) {
        int ink = 0;
        for (int x = left; x < right; ++x) {
            for (int y = top; y < bottom; ++y) {
                ink += isBlack(image.pixel(x, y)) ? 1 : 0;
            }
        }
        return ink;
    };
    activityGraph_.removeAllPlots();
    const QImage empty = draw(activityGraph_.graph());
    // The legend's title, names and symbols make ink in the lower right of the plot area.
    EXPECT_GT(inkIn(withLegend, 440, 250, 575, 335), 50);
    EXPECT_EQ(inkIn(empty, 440, 250, 575, 335), 0);
}

TEST_F(GraphRendering, SurvivesDegenerateRangesAndData) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::string> order{"a"};
    activityGraph_.showAnalysis({{"a", {{nan, 0.5}, {1.0, nan}, {1.0, 1.0}}}}, order, false,
                                {0.0, 0.0}, true);
    const QImage image = draw(activityGraph_.graph());
    EXPECT_EQ(image.pixel(590, 5), qRgb(255, 255, 255));

    activityGraph_.graph().defaultPlotSpace().xRange = {0.0, 1e12};  // far too many ticks to draw
    const QImage huge = draw(activityGraph_.graph());
    EXPECT_EQ(huge.pixel(590, 5), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace vane::graph
