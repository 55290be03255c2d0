#include "graph/graph_renderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <algorithm>
#include <cmath>
#include <vector>

#include "graph/qt_conversions.h"
#include "graph/symbol_painter.h"

namespace vane::graph {
namespace {

constexpr double kTickLabelPoints = 10.0;
constexpr double kTitlePoints = 11.5;
constexpr double kLegendPoints = 10.0;
constexpr double kMajorTickLength = 5.0;
constexpr double kMinorTickLength = 2.5;
constexpr double kLabelGap = 3.0;
constexpr double kTitleGap = 4.0;
constexpr LineStyle kAxisLineStyle{.width = 1.0, .colour = {0.0, 0.0, 0.0, 1.0}};
// Ticks so many ticks apart would be unreadable; past that many, only major ticks are drawn.
constexpr double kMaximumTicks = 500.0;

// Fonts are given in points of the canvas, whatever resolution the device reports.
QFont canvasFont(const QPainter& painter, double points, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Helvetica"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    const int dpi = painter.device() != nullptr ? painter.device()->logicalDpiY() : 72;
    font.setPointSizeF(points * 72.0 / (dpi > 0 ? dpi : 72));
    font.setBold(bold);
    return font;
}

QPointF toQPoint(CanvasPoint p) {
    return {p.x, p.y};
}

QRectF toQRect(const CanvasRect& r) {
    return {r.left, r.top, r.width, r.height};
}

QString tickLabel(double value, const NumberFormat& format) {
    const int maximum = std::clamp(format.maximumFractionDigits, 0, 12);
    const int minimum = std::clamp(format.minimumFractionDigits, 0, maximum);
    QString text = QString::number(value, 'f', maximum);
    if (text.contains(QLatin1Char('.'))) {
        const qsizetype point = text.indexOf(QLatin1Char('.'));
        while (text.size() - point - 1 > minimum && text.endsWith(QLatin1Char('0'))) {
            text.chop(1);
        }
        if (text.endsWith(QLatin1Char('.'))) {
            text.chop(1);
        }
    }
    if (text.startsWith(QLatin1Char('-'))) {
        // A value that rounds to zero is written without a sign.
        const bool zero = text.mid(1).toDouble() == 0.0;
        text = zero ? text.mid(1) : QString(QChar(0x2212)) + text.mid(1);
    }
    return text;
}

struct Ticks {
    std::vector<double> major;
    std::vector<double> minor;
};

Ticks ticksOf(const Axis& axis, const PlotRange& range) {
    Ticks ticks;
    const double interval = axis.majorIntervalLength;
    const double low = range.minimum();
    const double high = range.maximum();
    if (!(interval > 0.0) || !std::isfinite(low) || !std::isfinite(high) ||
        (high - low) / interval > kMaximumTicks) {
        return ticks;
    }
    const double epsilon = interval * 1e-9;
    const int minorPerInterval = std::clamp(axis.minorTicksPerInterval, 0, 100);
    const bool withMinor = (high - low) / interval * (minorPerInterval + 1) <= kMaximumTicks;
    const double first = std::floor(low / interval) * interval;
    for (long k = 0;; ++k) {
        const double major = first + static_cast<double>(k) * interval;
        if (major > high + epsilon) {
            break;
        }
        if (major >= low - epsilon) {
            ticks.major.push_back(major);
        }
        for (int m = 1; withMinor && m <= minorPerInterval; ++m) {
            const double minor = major + interval * m / (minorPerInterval + 1);
            if (minor >= low - epsilon && minor <= high + epsilon) {
                ticks.minor.push_back(minor);
            }
        }
    }
    return ticks;
}

// Where the other axis crosses: at 0 when that lies in range, otherwise at the nearer edge.
double crossingOf(const Axis& axis, const PlotRange& otherRange) {
    if (axis.positionedRelativeToPlotArea) {
        return otherRange.minimum();
    }
    return std::clamp(0.0, otherRange.minimum(), otherRange.maximum());
}

class GraphPainter {
  public:
    GraphPainter(const XYGraph& graph, QPainter& painter, double width, double height)
        : graph_(graph),
          painter_(painter),
          width_(width),
          height_(height),
          area_(plotAreaOf(graph, width, height)) {}

    void paint() {
        painter_.fillRect(QRectF(0.0, 0.0, width_, height_), Qt::white);
        if (area_.width <= 0.0 || area_.height <= 0.0) {
            return;
        }
        const PlotSpace& space = graph_.defaultPlotSpace();
        const Ticks xTicks = ticksOf(graph_.xAxis, space.xRange);
        const Ticks yTicks = ticksOf(graph_.yAxis, space.yRange);
        paintGrid(graph_.xAxis, xTicks, graph_.xAxis.minorGridLineStyle, false);
        paintGrid(graph_.yAxis, yTicks, graph_.yAxis.minorGridLineStyle, false);
        paintGrid(graph_.xAxis, xTicks, graph_.xAxis.majorGridLineStyle, true);
        paintGrid(graph_.yAxis, yTicks, graph_.yAxis.majorGridLineStyle, true);
        paintPlots();
        paintAxis(graph_.xAxis, xTicks);
        paintAxis(graph_.yAxis, yTicks);
        paintTextLayers();
        paintLegend();
    }

  private:
    CanvasPoint map(const PlotSpace& space, double x, double y) const {
        return canvasPointOf(space, area_, x, y);
    }

    // Canvas position along the axis of plot coordinate `value`.
    double along(const Axis& axis, double value) const {
        const PlotSpace& space = graph_.defaultPlotSpace();
        return axis.coordinate == Coordinate::x ? map(space, value, 0.0).x
                                                : map(space, 0.0, value).y;
    }

    // Canvas position of the axis line across the plot area.
    double axisLine(const Axis& axis) const {
        const PlotSpace& space = graph_.defaultPlotSpace();
        if (axis.coordinate == Coordinate::x) {
            return map(space, 0.0, crossingOf(axis, space.yRange)).y;
        }
        return map(space, crossingOf(axis, space.xRange), 0.0).x;
    }

    void paintGrid(const Axis& axis, const Ticks& ticks, const std::optional<LineStyle>& style,
                   bool major) {
        if (!style) {
            return;
        }
        painter_.save();
        painter_.setClipRect(toQRect(area_));
        QPen pen = toPen(*style);
        pen.setCapStyle(Qt::FlatCap);
        painter_.setPen(pen);
        for (const double value : major ? ticks.major : ticks.minor) {
            const double at = along(axis, value);
            if (axis.coordinate == Coordinate::x) {
                painter_.drawLine(QPointF(at, area_.top), QPointF(at, area_.bottom()));
            } else {
                painter_.drawLine(QPointF(area_.left, at), QPointF(area_.right(), at));
            }
        }
        painter_.restore();
    }

    void paintAxis(const Axis& axis, const Ticks& ticks) {
        const bool horizontal = axis.coordinate == Coordinate::x;
        const double line = axisLine(axis);
        painter_.save();
        QPen pen = toPen(kAxisLineStyle);
        pen.setCapStyle(Qt::SquareCap);
        painter_.setPen(pen);
        if (horizontal) {
            painter_.drawLine(QPointF(area_.left, line), QPointF(area_.right(), line));
        } else {
            painter_.drawLine(QPointF(line, area_.top), QPointF(line, area_.bottom()));
        }
        pen.setCapStyle(Qt::FlatCap);
        painter_.setPen(pen);
        const auto tick = [&](double value, double length) {
            const double at = along(axis, value);
            if (horizontal) {
                painter_.drawLine(QPointF(at, line), QPointF(at, line + length));
            } else {
                painter_.drawLine(QPointF(line, at), QPointF(line - length, at));
            }
        };
        for (const double value : ticks.minor) {
            tick(value, kMinorTickLength);
        }
        for (const double value : ticks.major) {
            tick(value, kMajorTickLength);
        }

        const QFont labelFont = canvasFont(painter_, kTickLabelPoints);
        const QFontMetricsF metrics(labelFont, painter_.device());
        painter_.setFont(labelFont);
        double labelExtent = 0.0;
        for (const double value : ticks.major) {
            const QString text = tickLabel(value, axis.labelFormatter);
            const double at = along(axis, value);
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
            painter_.drawText(box, Qt::AlignCenter, text);
        }
        paintAxisTitle(axis, line, labelExtent);
        painter_.restore();
    }

    // The title keeps its offset from the axis line but never runs into the tick labels, and
    // stays beside the plot area even when its location lies outside the range shown.
    void paintAxisTitle(const Axis& axis, double line, double labelExtent) {
        if (axis.title.empty()) {
            return;
        }
        const QString title = QString::fromStdString(axis.title);
        const QFont font = canvasFont(painter_, kTitlePoints);
        const QFontMetricsF metrics(font, painter_.device());
        painter_.setFont(font);
        const double distance = std::max(axis.titleOffset, labelExtent + kTitleGap);
        const double textWidth = metrics.horizontalAdvance(title);
        if (axis.coordinate == Coordinate::x) {
            const double centre =
                std::clamp(along(axis, axis.titleLocation), area_.left + textWidth / 2.0,
                           std::max(area_.left + textWidth / 2.0, area_.right() - textWidth / 2.0));
            painter_.drawText(
                QRectF(centre - textWidth / 2.0, line + distance, textWidth, metrics.height()),
                Qt::AlignCenter, title);
            return;
        }
        const double centre =
            std::clamp(along(axis, axis.titleLocation), area_.top + textWidth / 2.0,
                       std::max(area_.top + textWidth / 2.0, area_.bottom() - textWidth / 2.0));
        painter_.save();
        painter_.translate(line - distance - metrics.height(), centre);
        painter_.rotate(-90.0);
        painter_.drawText(QRectF(-textWidth / 2.0, 0.0, textWidth, metrics.height()),
                          Qt::AlignCenter, title);
        painter_.restore();
    }

    std::vector<CanvasPoint> pointsOf(const ScatterPlot& plot) const {
        std::vector<CanvasPoint> points;
        if (plot.dataSource == nullptr || plot.plotSpaceIndex >= graph_.plotSpaces.size()) {
            return points;
        }
        const PlotSpace& space = graph_.plotSpaces[plot.plotSpaceIndex];
        const std::size_t count = plot.dataSource->numberOfRecordsForPlot(plot);
        points.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            points.push_back(map(space, plot.dataSource->numberForPlot(plot, kScatterPlotFieldX, i),
                                 plot.dataSource->numberForPlot(plot, kScatterPlotFieldY, i)));
        }
        return points;
    }

    bool isLegendPlot(const ScatterPlot& plot) const {
        return graph_.legendPlotSpace && plot.plotSpaceIndex == *graph_.legendPlotSpace;
    }

    static bool finite(CanvasPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }

    void paintPlots() {
        for (const ScatterPlot& plot : graph_.plots) {
            if (isLegendPlot(plot)) {
                continue;
            }
            const std::vector<CanvasPoint> points = pointsOf(plot);
            painter_.save();
            painter_.setRenderHint(QPainter::Antialiasing);
            painter_.setClipRect(toQRect(area_));
            painter_.setPen(toPen(plot.dataLineStyle));
            // A point without a finite value breaks the line rather than ending the curve.
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
            painter_.drawPath(path);
            painter_.setClipping(false);
            if (plot.plotSymbol) {
                // Symbols on the edge of the plot area are drawn whole.
                constexpr double kEdge = 0.5;
                for (const CanvasPoint p : points) {
                    if (finite(p) && p.x >= area_.left - kEdge && p.x <= area_.right() + kEdge &&
                        p.y >= area_.top - kEdge && p.y <= area_.bottom() + kEdge) {
                        paintPlotSymbol(painter_, *plot.plotSymbol, toQPoint(p));
                    }
                }
            }
            painter_.restore();
        }
    }

    void paintTextLayers() {
        const QFont font = canvasFont(painter_, kTitlePoints);
        const QFontMetricsF metrics(font, painter_.device());
        painter_.save();
        painter_.setFont(font);
        painter_.setPen(Qt::black);
        for (std::size_t i = 0; i < graph_.textLayers.size(); ++i) {
            if (graph_.legendTitleLayer && *graph_.legendTitleLayer == i) {
                continue;
            }
            const TextLayer& layer = graph_.textLayers[i];
            const QString text = QString::fromStdString(layer.text);
            const double textWidth = metrics.horizontalAdvance(text);
            // Layer positions count from the lower left corner and name the text's centre.
            painter_.drawText(
                QRectF(layer.x - textWidth / 2.0, height_ - layer.y - metrics.height() / 2.0,
                       textWidth, metrics.height()),
                Qt::AlignCenter, text);
        }
        painter_.restore();
    }

    // The legend plots and their title, laid out as one framed box in the corner of the plot area
    // where it covers the least of the curves. Each entry shows its sample line from its first to
    // its second record, a symbol at each end, and the series name to the right; entries run top
    // down in the order of their heights.
    void paintLegend() {
        if (!graph_.legendPlotSpace) {
            return;
        }
        std::vector<const ScatterPlot*> entries;
        for (const ScatterPlot& plot : graph_.plots) {
            if (isLegendPlot(plot)) {
                entries.push_back(&plot);
            }
        }
        const auto height = [](const ScatterPlot* plot) {
            return plot->dataSource != nullptr &&
                           plot->dataSource->numberOfRecordsForPlot(*plot) > 0
                       ? plot->dataSource->numberForPlot(*plot, kScatterPlotFieldY, 0)
                       : 0.0;
        };
        std::stable_sort(
            entries.begin(), entries.end(),
            [&](const ScatterPlot* a, const ScatterPlot* b) { return height(a) < height(b); });

        const QString title =
            graph_.legendTitleLayer && *graph_.legendTitleLayer < graph_.textLayers.size()
                ? QString::fromStdString(graph_.textLayers[*graph_.legendTitleLayer].text)
                : QString();
        const QFont font = canvasFont(painter_, kLegendPoints);
        const QFont titleFont = canvasFont(painter_, kLegendPoints, true);
        const QFontMetricsF metrics(font, painter_.device());
        const QFontMetricsF titleMetrics(titleFont, painter_.device());

        constexpr double kPadding = 6.0;
        constexpr double kSampleWidth = 28.0;
        constexpr double kNameGap = 6.0;
        double symbolHeight = 0.0;
        double nameWidth = 0.0;
        for (const ScatterPlot* entry : entries) {
            if (entry->plotSymbol) {
                symbolHeight = std::max(symbolHeight, entry->plotSymbol->height);
            }
            nameWidth = std::max(nameWidth,
                                 metrics.horizontalAdvance(QString::fromStdString(entry->title)));
        }
        const double rowHeight = std::max(metrics.height(), symbolHeight) + 2.0;
        const double titleHeight = title.isEmpty() ? 0.0 : titleMetrics.height() + 2.0;
        const double entryWidth = kSampleWidth + (nameWidth > 0.0 ? kNameGap + nameWidth : 0.0);
        const double boxWidth =
            2.0 * kPadding + std::max(entryWidth, titleMetrics.horizontalAdvance(title));
        const double boxHeight =
            2.0 * kPadding + titleHeight + rowHeight * static_cast<double>(entries.size());

        std::vector<std::vector<CanvasPoint>> curves;
        for (const ScatterPlot& plot : graph_.plots) {
            if (!isLegendPlot(plot)) {
                curves.push_back(pointsOf(plot));
            }
        }
        const CanvasRect box = placeLegend(area_, boxWidth, boxHeight, 8.0, curves);

        painter_.save();
        painter_.setRenderHint(QPainter::Antialiasing);
        painter_.setPen(QPen(QColor(0, 0, 0, 90), 0.5));
        painter_.setBrush(QColor(255, 255, 255, 235));
        painter_.drawRect(toQRect(box));
        painter_.setPen(Qt::black);
        double top = box.top + kPadding;
        if (!title.isEmpty()) {
            painter_.setFont(titleFont);
            painter_.drawText(
                QRectF(box.left + kPadding, top, box.width - 2.0 * kPadding, titleMetrics.height()),
                Qt::AlignLeft | Qt::AlignVCenter, title);
            top += titleHeight;
        }
        painter_.setFont(font);
        for (const ScatterPlot* entry : entries) {
            paintLegendEntry(*entry, QRectF(box.left + kPadding, top, kSampleWidth, rowHeight));
            painter_.setPen(Qt::black);
            painter_.drawText(QRectF(box.left + kPadding + kSampleWidth + kNameGap, top,
                                     nameWidth + 1.0, rowHeight),
                              Qt::AlignLeft | Qt::AlignVCenter,
                              QString::fromStdString(entry->title));
            top += rowHeight;
        }
        painter_.restore();
    }

    // The entry's records span the sample; the higher x lies on the right.
    void paintLegendEntry(const ScatterPlot& entry, const QRectF& sample) {
        if (entry.dataSource == nullptr) {
            return;
        }
        const std::size_t count = entry.dataSource->numberOfRecordsForPlot(entry);
        std::vector<double> xs;
        for (std::size_t i = 0; i < count; ++i) {
            xs.push_back(entry.dataSource->numberForPlot(entry, kScatterPlotFieldX, i));
        }
        if (xs.empty()) {
            return;
        }
        const auto [low, high] = std::minmax_element(xs.begin(), xs.end());
        const double span = *high - *low;
        const double inset = entry.plotSymbol ? entry.plotSymbol->width / 2.0 : 0.0;
        const double y = sample.center().y();
        QPolygonF line;
        for (const double x : xs) {
            const double share = span > 0.0 ? (x - *low) / span : 0.5;
            line << QPointF(sample.left() + inset + share * (sample.width() - 2.0 * inset), y);
        }
        painter_.setPen(toPen(entry.dataLineStyle));
        painter_.drawPolyline(line);
        if (entry.plotSymbol) {
            for (const QPointF& p : line) {
                paintPlotSymbol(painter_, *entry.plotSymbol, p);
            }
        }
    }

    const XYGraph& graph_;
    QPainter& painter_;
    double width_;
    double height_;
    CanvasRect area_;
};

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
    GraphPainter(graph, painter, width, height).paint();
    painter.restore();
}

}  // namespace vane::graph
