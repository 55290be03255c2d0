#include "graph/symbol_painter.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <numbers>

#include "graph/qt_conversions.h"

namespace vane::graph {
namespace {

// Corners of a regular shape (or, with an inner radius, a star) inscribed in the symbol's box,
// the first corner straight up.
QPolygonF regularPolygon(const QPointF& centre, double halfWidth, double halfHeight, int corners,
                         double innerRatio) {
    QPolygonF polygon;
    const int steps = innerRatio > 0.0 ? 2 * corners : corners;
    for (int i = 0; i < steps; ++i) {
        const double angle = std::numbers::pi / 2.0 + 2.0 * std::numbers::pi * i / steps;
        const double scale = innerRatio > 0.0 && i % 2 == 1 ? innerRatio : 1.0;
        polygon << QPointF(centre.x() + halfWidth * scale * std::cos(angle),
                           centre.y() - halfHeight * scale * std::sin(angle));
    }
    return polygon;
}

}  // namespace

void paintPlotSymbol(QPainter& painter, const PlotSymbol& symbol, const QPointF& centre) {
    const double hw = symbol.width / 2.0;
    const double hh = symbol.height / 2.0;
    const QRectF box(centre.x() - hw, centre.y() - hh, symbol.width, symbol.height);

    painter.save();
    painter.setPen(toPen(symbol.outline));
    painter.setBrush(symbol.fill ? QBrush(toQColor(symbol.fill->colour)) : Qt::NoBrush);
    switch (symbol.shape) {
        case SymbolShape::ellipse:
            painter.drawEllipse(box);
            break;
        case SymbolShape::rectangle:
            painter.drawRect(box);
            break;
        case SymbolShape::diamond:
            painter.drawPolygon(regularPolygon(centre, hw, hh, 4, 0.0));
            break;
        case SymbolShape::triangle:
            painter.drawPolygon(regularPolygon(centre, hw, hh, 3, 0.0));
            break;
        case SymbolShape::pentagon:
            painter.drawPolygon(regularPolygon(centre, hw, hh, 5, 0.0));
            break;
        case SymbolShape::star:
            painter.drawPolygon(regularPolygon(centre, hw, hh, 5, 0.382));
            break;
        case SymbolShape::cross:
            painter.drawLine(box.topLeft(), box.bottomRight());
            painter.drawLine(box.topRight(), box.bottomLeft());
            break;
        case SymbolShape::plus:
            painter.drawLine(QPointF(box.left(), centre.y()), QPointF(box.right(), centre.y()));
            painter.drawLine(QPointF(centre.x(), box.top()), QPointF(centre.x(), box.bottom()));
            break;
    }
    painter.restore();
}

}  // namespace vane::graph
