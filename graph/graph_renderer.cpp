#include "graph/graph_renderer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <algorithm>

#include "graph/axes_painter.h"
#include "graph/axis_ticks.h"
#include "graph/graph_canvas.h"
#include "graph/legend_painter.h"
#include "graph/plot_painter.h"

namespace vane::graph {
namespace {

constexpr double kTextLayerPoints = 11.5;

// Every text layer but the legend's title, which the legend draws.
void paintTextLayers(const GraphCanvas& canvas) {
    QPainter& painter = canvas.painter;
    const XYGraph& graph = canvas.graph;
    const QFont font = canvasFont(painter, kTextLayerPoints);
    const QFontMetricsF metrics(font, painter.device());
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (std::size_t i = 0; i < graph.textLayers.size(); ++i) {
        if (graph.legendTitleLayer && *graph.legendTitleLayer == i) {
            continue;
        }
        const TextLayer& layer = graph.textLayers[i];
        const QString text = QString::fromStdString(layer.text);
        const double textWidth = metrics.horizontalAdvance(text);
        // Layer positions count from the lower left corner and name the text's centre.
        painter.drawText(
            QRectF(layer.x - textWidth / 2.0, canvas.height - layer.y - metrics.height() / 2.0,
                   textWidth, metrics.height()),
            Qt::AlignCenter, text);
    }
    painter.restore();
}

// Back to front: grid, curves, axes, texts, legend.
void paint(const GraphCanvas& canvas) {
    canvas.painter.fillRect(QRectF(0.0, 0.0, canvas.width, canvas.height), Qt::white);
    if (canvas.area.width <= 0.0 || canvas.area.height <= 0.0) {
        return;
    }
    const XYGraph& graph = canvas.graph;
    const PlotSpace& space = graph.defaultPlotSpace();
    const AxisTicks xTicks = ticksOf(graph.xAxis, space.xRange);
    const AxisTicks yTicks = ticksOf(graph.yAxis, space.yRange);
    paintGrids(canvas, xTicks, yTicks);
    paintPlots(canvas);
    paintAxis(canvas, graph.xAxis, xTicks);
    paintAxis(canvas, graph.yAxis, yTicks);
    paintTextLayers(canvas);
    paintLegend(canvas);
}

}  // namespace

CanvasRect plotAreaOf(const XYGraph& graph, double width, double height) {
    const Paddings& p = graph.paddings;
    return {p.left, p.top, std::max(0.0, width - p.left - p.right),
            std::max(0.0, height - p.top - p.bottom)};
}

CanvasPoint canvasPointOf(const PlotSpace& space, const CanvasRect& area, double x, double y) {
    const double xShare = (x - space.xRange.location) / space.xRange.length;
    const double yShare = (y - space.yRange.location) / space.yRange.length;
    return {area.left + xShare * area.width, area.bottom() - yShare * area.height};
}

void renderGraph(const XYGraph& graph, QPainter& painter, double width, double height) {
    painter.save();
    paint(GraphCanvas{.graph = graph,
                      .painter = painter,
                      .width = width,
                      .height = height,
                      .area = plotAreaOf(graph, width, height)});
    painter.restore();
}

}  // namespace vane::graph
