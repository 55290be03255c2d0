#include "graph/plot_painter.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "graph/qt_conversions.h"
#include "graph/symbol_painter.h"

namespace vane::graph {
namespace {

bool finite(CanvasPoint p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// A point without a finite value breaks the line rather than ending the curve.
QPainterPath linePath(const std::vector<CanvasPoint>& points) {
    QPainterPath path;
    bool penDown = false;
    for (const CanvasPoint p : points) {
        if (!finite(p)) {
            penDown = false;
            continue;
        }
        if (penDown) {
            path.lineTo(toQPoint(p));
        } else {
            path.moveTo(toQPoint(p));
            penDown = true;
        }
    }
    return path;
}

}  // namespace

bool isLegendPlot(const XYGraph& graph, const ScatterPlot& plot) {
    return graph.legendPlotSpace && plot.plotSpaceIndex == *graph.legendPlotSpace;
}

std::vector<CanvasPoint> canvasPointsOf(const GraphCanvas& canvas, const ScatterPlot& plot) {
    std::vector<CanvasPoint> points;
    if (plot.dataSource == nullptr || plot.plotSpaceIndex >= canvas.graph.plotSpaces.size()) {
        return points;
    }
    const PlotSpace& space = canvas.graph.plotSpaces[plot.plotSpaceIndex];
    const std::size_t count = plot.dataSource->numberOfRecordsForPlot(plot);
    points.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        points.push_back(canvas.map(space,
                                    plot.dataSource->numberForPlot(plot, kScatterPlotFieldX, i),
                                    plot.dataSource->numberForPlot(plot, kScatterPlotFieldY, i)));
    }
    return points;
}

void paintPlots(const GraphCanvas& canvas) {
    QPainter& painter = canvas.painter;
    const CanvasRect& area = canvas.area;
    for (const ScatterPlot& plot : canvas.graph.plots) {
        if (isLegendPlot(canvas.graph, plot)) {
            continue;
        }
        const std::vector<CanvasPoint> points = canvasPointsOf(canvas, plot);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setClipRect(toQRect(area));
        painter.setPen(toPen(plot.dataLineStyle));
        painter.drawPath(linePath(points));
        painter.setClipping(false);
        if (plot.plotSymbol) {
            // Symbols on the edge of the plot area are drawn whole.
            constexpr double kEdge = 0.5;
            for (const CanvasPoint p : points) {
                if (finite(p) && p.x >= area.left - kEdge && p.x <= area.right() + kEdge &&
                    p.y >= area.top - kEdge && p.y <= area.bottom() + kEdge) {
                    paintPlotSymbol(painter, *plot.plotSymbol, toQPoint(p));
                }
            }
        }
        painter.restore();
    }
}

}  // namespace vane::graph
