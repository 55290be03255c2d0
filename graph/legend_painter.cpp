#include "graph/legend_painter.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <QString>
#include <algorithm>
#include <vector>

#include "graph/plot_painter.h"
#include "graph/qt_conversions.h"
#include "graph/symbol_painter.h"

namespace vane::graph {
namespace {

constexpr double kLegendPoints = 10.0;
constexpr double kPadding = 6.0;
constexpr double kSampleWidth = 28.0;
constexpr double kNameGap = 6.0;
constexpr double kMargin = 8.0;

// The entry's records span the sample; the higher x lies on the right.
void paintLegendEntry(QPainter& painter, const ScatterPlot& entry, const QRectF& sample) {
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
    painter.setPen(toPen(entry.dataLineStyle));
    painter.drawPolyline(line);
    if (entry.plotSymbol) {
        for (const QPointF& p : line) {
            paintPlotSymbol(painter, *entry.plotSymbol, p);
        }
    }
}

// The legend entries, lowest first.
std::vector<const ScatterPlot*> entriesOf(const XYGraph& graph) {
    std::vector<const ScatterPlot*> entries;
    for (const ScatterPlot& plot : graph.plots) {
        if (isLegendPlot(graph, plot)) {
            entries.push_back(&plot);
        }
    }
    const auto height = [](const ScatterPlot* plot) {
        return plot->dataSource != nullptr && plot->dataSource->numberOfRecordsForPlot(*plot) > 0
                   ? plot->dataSource->numberForPlot(*plot, kScatterPlotFieldY, 0)
                   : 0.0;
    };
    std::stable_sort(
        entries.begin(), entries.end(),
        [&](const ScatterPlot* a, const ScatterPlot* b) { return height(a) < height(b); });
    return entries;
}

}  // namespace

void paintLegend(const GraphCanvas& canvas) {
    const XYGraph& graph = canvas.graph;
    if (!graph.legendPlotSpace) {
        return;
    }
    QPainter& painter = canvas.painter;
    const std::vector<const ScatterPlot*> entries = entriesOf(graph);
    const QString title =
        graph.legendTitleLayer && *graph.legendTitleLayer < graph.textLayers.size()
            ? QString::fromStdString(graph.textLayers[*graph.legendTitleLayer].text)
            : QString();
    const QFont font = canvasFont(painter, kLegendPoints);
    const QFont titleFont = canvasFont(painter, kLegendPoints, true);
    const QFontMetricsF metrics(font, painter.device());
    const QFontMetricsF titleMetrics(titleFont, painter.device());

    double symbolHeight = 0.0;
    double nameWidth = 0.0;
    for (const ScatterPlot* entry : entries) {
        if (entry->plotSymbol) {
            symbolHeight = std::max(symbolHeight, entry->plotSymbol->height);
        }
        nameWidth =
            std::max(nameWidth, metrics.horizontalAdvance(QString::fromStdString(entry->title)));
    }
    const double rowHeight = std::max(metrics.height(), symbolHeight) + 2.0;
    const double titleHeight = title.isEmpty() ? 0.0 : titleMetrics.height() + 2.0;
    const double entryWidth = kSampleWidth + (nameWidth > 0.0 ? kNameGap + nameWidth : 0.0);
    const double boxWidth =
        2.0 * kPadding + std::max(entryWidth, titleMetrics.horizontalAdvance(title));
    const double boxHeight =
        2.0 * kPadding + titleHeight + rowHeight * static_cast<double>(entries.size());

    std::vector<std::vector<CanvasPoint>> curves;
    for (const ScatterPlot& plot : graph.plots) {
        if (!isLegendPlot(graph, plot)) {
            curves.push_back(canvasPointsOf(canvas, plot));
        }
    }
    const CanvasRect box = placeLegend(canvas.area, boxWidth, boxHeight, kMargin, curves);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 0, 90), 0.5));
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawRect(toQRect(box));
    painter.setPen(Qt::black);
    double top = box.top + kPadding;
    if (!title.isEmpty()) {
        painter.setFont(titleFont);
        painter.drawText(
            QRectF(box.left + kPadding, top, box.width - 2.0 * kPadding, titleMetrics.height()),
            Qt::AlignLeft | Qt::AlignVCenter, title);
        top += titleHeight;
    }
    painter.setFont(font);
    for (const ScatterPlot* entry : entries) {
        paintLegendEntry(painter, *entry,
                         QRectF(box.left + kPadding, top, kSampleWidth, rowHeight));
        painter.setPen(Qt::black);
        painter.drawText(
            QRectF(box.left + kPadding + kSampleWidth + kNameGap, top, nameWidth + 1.0, rowHeight),
            Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(entry->title));
        top += rowHeight;
    }
    painter.restore();
}

}  // namespace vane::graph
