#include "graph/axes_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <optional>

#include "graph/qt_conversions.h"

namespace vane::graph {
namespace {

constexpr double kTickLabelPoints = 10.0;
constexpr double kTitlePoints = 11.5;
constexpr double kMajorTickLength = 5.0;
constexpr double kMinorTickLength = 2.5;
constexpr double kLabelGap = 3.0;
constexpr double kTitleGap = 4.0;
constexpr LineStyle kAxisLineStyle{.width = 1.0, .colour = {0.0, 0.0, 0.0, 1.0}};

// Canvas position of the axis line across the plot area.
double axisLine(const GraphCanvas& canvas, const Axis& axis) {
    const PlotSpace& space = canvas.graph.defaultPlotSpace();
    if (axis.coordinate == Coordinate::x) {
        return canvas.map(space, 0.0, crossingOf(axis, space.yRange)).y;
    }
    return canvas.map(space, crossingOf(axis, space.xRange), 0.0).x;
}

void paintGrid(const GraphCanvas& canvas, const Axis& axis, const std::vector<double>& ticks,
               const std::optional<LineStyle>& style) {
    if (!style) {
        return;
    }
    QPainter& painter = canvas.painter;
    const CanvasRect& area = canvas.area;
    painter.save();
    painter.setClipRect(toQRect(area));
    QPen pen = toPen(*style);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    for (const double value : ticks) {
        const double at = canvas.along(axis, value);
        if (axis.coordinate == Coordinate::x) {
            painter.drawLine(QPointF(at, area.top), QPointF(at, area.bottom()));
        } else {
            painter.drawLine(QPointF(area.left, at), QPointF(area.right(), at));
        }
    }
    painter.restore();
}

// The title keeps its offset from the axis line but never runs into the tick labels, and stays
// beside the plot area even when its location lies outside the range shown.
void paintAxisTitle(const GraphCanvas& canvas, const Axis& axis, double line, double labelExtent) {
    if (axis.title.empty()) {
        return;
    }
    QPainter& painter = canvas.painter;
    const CanvasRect& area = canvas.area;
    const QString title = QString::fromStdString(axis.title);
    const QFont font = canvasFont(painter, kTitlePoints);
    const QFontMetricsF metrics(font, painter.device());
    painter.setFont(font);
    const double distance = std::max(axis.titleOffset, labelExtent + kTitleGap);
    const double textWidth = metrics.horizontalAdvance(title);
    if (axis.coordinate == Coordinate::x) {
        const double centre =
            std::clamp(canvas.along(axis, axis.titleLocation), area.left + textWidth / 2.0,
                       std::max(area.left + textWidth / 2.0, area.right() - textWidth / 2.0));
        painter.drawText(
            QRectF(centre - textWidth / 2.0, line + distance, textWidth, metrics.height()),
            Qt::AlignCenter, title);
        return;
    }
    const double centre =
        std::clamp(canvas.along(axis, axis.titleLocation), area.top + textWidth / 2.0,
                   std::max(area.top + textWidth / 2.0, area.bottom() - textWidth / 2.0));
    painter.save();
    painter.translate(line - distance - metrics.height(), centre);
    painter.rotate(-90.0);
    painter.drawText(QRectF(-textWidth / 2.0, 0.0, textWidth, metrics.height()), Qt::AlignCenter,
                     title);
    painter.restore();
}

}  // namespace

void paintGrids(const GraphCanvas& canvas, const AxisTicks& xTicks, const AxisTicks& yTicks) {
    const Axis& xAxis = canvas.graph.xAxis;
    const Axis& yAxis = canvas.graph.yAxis;
    paintGrid(canvas, xAxis, xTicks.minor, xAxis.minorGridLineStyle);
    paintGrid(canvas, yAxis, yTicks.minor, yAxis.minorGridLineStyle);
    paintGrid(canvas, xAxis, xTicks.major, xAxis.majorGridLineStyle);
    paintGrid(canvas, yAxis, yTicks.major, yAxis.majorGridLineStyle);
}

void paintAxis(const GraphCanvas& canvas, const Axis& axis, const AxisTicks& ticks) {
    QPainter& painter = canvas.painter;
    const CanvasRect& area = canvas.area;
    const bool horizontal = axis.coordinate == Coordinate::x;
    const double line = axisLine(canvas, axis);
    painter.save();
    QPen pen = toPen(kAxisLineStyle);
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    if (horizontal) {
        painter.drawLine(QPointF(area.left, line), QPointF(area.right(), line));
    } else {
        painter.drawLine(QPointF(line, area.top), QPointF(line, area.bottom()));
    }
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    const auto tick = [&](double value, double length) {
        const double at = canvas.along(axis, value);
        if (horizontal) {
            painter.drawLine(QPointF(at, line), QPointF(at, line + length));
        } else {
            painter.drawLine(QPointF(line, at), QPointF(line - length, at));
        }
    };
    for (const double value : ticks.minor) {
        tick(value, kMinorTickLength);
    }
    for (const double value : ticks.major) {
        tick(value, kMajorTickLength);
    }

    const QFont labelFont = canvasFont(painter, kTickLabelPoints);
    const QFontMetricsF metrics(labelFont, painter.device());
    painter.setFont(labelFont);
    double labelExtent = 0.0;
    for (const double value : ticks.major) {
        const QString text = tickLabel(value, axis.labelFormatter);
        const double at = canvas.along(axis, value);
        const double textWidth = metrics.horizontalAdvance(text);
        QRectF box;
        if (horizontal) {
            box = QRectF(at - textWidth / 2.0, line + kMajorTickLength + kLabelGap, textWidth,
                         metrics.height());
            labelExtent = std::max(labelExtent, kMajorTickLength + kLabelGap + box.height());
        } else {
            box = QRectF(line - kMajorTickLength - kLabelGap - textWidth,
                         at - metrics.height() / 2.0, textWidth, metrics.height());
            labelExtent = std::max(labelExtent, kMajorTickLength + kLabelGap + textWidth);
        }
        painter.drawText(box, Qt::AlignCenter, text);
    }
    paintAxisTitle(canvas, axis, line, labelExtent);
    painter.restore();
}

}  // namespace vane::graph
