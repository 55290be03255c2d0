#include "graph/graph_canvas.h"

#include <QPaintDevice>
#include <QPainter>
#include <QString>

#include "graph/graph_renderer.h"

namespace vane::graph {

CanvasPoint GraphCanvas::map(const PlotSpace& space, double x, double y) const {
    return canvasPointOf(space, area, x, y);
}

double GraphCanvas::along(const Axis& axis, double value) const {
    const PlotSpace& space = graph.defaultPlotSpace();
    return axis.coordinate == Coordinate::x ? map(space, value, 0.0).x : map(space, 0.0, value).y;
}

QFont canvasFont(const QPainter& painter, double points, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Helvetica"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    const int dpi = painter.device() != nullptr ? painter.device()->logicalDpiY() : 72;
    font.setPointSizeF(points * 72.0 / (dpi > 0 ? dpi : 72));
    font.setBold(bold);
    return font;
}

}  // namespace vane::graph
