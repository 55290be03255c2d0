#pragma once

#include <QFont>
#include <QPointF>
#include <QRectF>

#include "graph/legend_placement.h"
#include "graph/plot_model.h"

class QPainter;

namespace vane::graph {

// What the parts of the painter share while one graph is drawn: the graph, the painter, the
// canvas size in points and the plot area on it.
struct GraphCanvas {
    const XYGraph& graph;
    QPainter& painter;
    double width = 0.0;
    double height = 0.0;
    CanvasRect area;

    CanvasPoint map(const PlotSpace& space, double x, double y) const;
    // Canvas position along the axis of plot coordinate `value`, in the default plot space.
    double along(const Axis& axis, double value) const;
};

// Fonts are given in points of the canvas, whatever resolution the device reports.
QFont canvasFont(const QPainter& painter, double points, bool bold = false);

inline QPointF toQPoint(CanvasPoint p) {
    return {p.x, p.y};
}

inline QRectF toQRect(const CanvasRect& r) {
    return {r.left, r.top, r.width, r.height};
}

}  // namespace vane::graph
