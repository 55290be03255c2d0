#include "graph/curtailment_report.h"

#include <unicode/timezone.h>

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

#include "core/analysis/activity_classes.h"
#include "core/curtailment/coverage_calendar.h"
#include "core/curtailment/night_clock.h"
#include "core/text/fixed_decimals.h"
#include "core/time/local_time.h"
#include "graph/activity_graph.h"
#include "graph/graph_renderer.h"
#include "graph/offscreen_gui.h"
#include "graph/whole_file.h"

namespace vane::graph {
namespace {

constexpr double kMargin = 40.0;
constexpr double kPixelsPerPoint = 2.0;
constexpr double kContentWidth = kA4Width - 2 * kMargin;

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// Writes a paragraph from `top` in the content's width and answers where the next may start.
double paragraph(QPainter& painter, double top, const std::string& text, double size = 9.0,
                 bool bold = false) {
    QFont font = painter.font();
    font.setPointSizeF(size);
    font.setBold(bold);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 0));
    const QRectF area(kMargin, top, kContentWidth, kA4Height);
    const QRectF used = painter.boundingRect(area, Qt::TextWordWrap | Qt::AlignLeft, q(text));
    painter.drawText(area, Qt::TextWordWrap | Qt::AlignLeft, q(text));
    return top + used.height() + 4.0;
}

// A step for the axis that gives about five labelled ticks.
double niceStep(double range) {
    if (!(range > 0.0)) {
        return 1.0;
    }
    const double raw = range / 5.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (raw <= factor * power) {
            return factor * power;
        }
    }
    return 10.0 * power;
}

void drawGraph(const XYGraph& graph, QPainter& painter, double left, double top, double width,
               double height) {
    painter.save();
    painter.translate(left, top);
    renderGraph(graph, painter, width, height);
    painter.restore();
}

void drawActivityCurve(const CurtailmentResult& result, QPainter& painter, double top,
                       double height) {
    ActivityGraph graph(false);
    const std::vector<std::string> series{"single"};
    graph.showAnalysis(activityOverWind(result), series, false, {}, false);
    graph.graph().yAxis.title = "cumulative share";
    graph.graph().yAxis.majorIntervalLength = 0.2;
    drawGraph(graph.graph(), painter, kMargin, top, kContentWidth, height);
}

// The period's year, whose mid-month nights put the plan's parts on the clock.
std::optional<int> planYear(const CurtailmentResult& result, const icu::TimeZone& zone) {
    if (!std::isfinite(result.data.periodStart)) {
        return std::nullopt;
    }
    return localDateTime(result.data.periodStart, zone).date.year;
}

// Each month's night of the 15th, by month; none where the month has none.
std::array<std::optional<Night>, 12> nightsOfThe15th(const CurtailmentResult& result,
                                                     const icu::TimeZone& zone) {
    std::array<std::optional<Night>, 12> nights;
    if (const std::optional<int> year = planYear(result, zone)) {
        for (const MonthNight& night : midMonthNights(*year, result.site, result.night, zone)) {
            nights[static_cast<std::size_t>(night.month - 1)] = night.night;
        }
    }
    return nights;
}

}  // namespace

void paintTradeoffGraph(const CurtailmentResult& result, QPainter& painter, double left, double top,
                        double width, double height) {
    PlotData data;
    double highest = 0.0;
    const double unit = result.energyKnown ? 1000.0 : 1.0;
    for (const TradeoffPoint& point : result.tradeoff) {
        if (point.blanketCost && point.tailoredCost) {
            data["blanket"].push_back(
                {static_cast<double>(point.protectPercent), *point.blanketCost / unit});
            data["tailored"].push_back(
                {static_cast<double>(point.protectPercent), *point.tailoredCost / unit});
            highest = std::max(highest, *point.blanketCost / unit);
        }
    }
    ActivityGraph graph(false);
    const std::vector<std::string> series{"blanket", "tailored"};
    graph.showAnalysis(data, series, false, {}, true);
    XYGraph& plot = graph.graph();
    const double yStep = niceStep(highest);
    plot.defaultPlotSpace().xRange = {.location = 50.0, .length = 50.0};
    plot.defaultPlotSpace().yRange = {
        .location = 0.0, .length = std::max(yStep, std::ceil(highest / yStep) * yStep)};
    plot.xAxis.title = "protected share of night activity (%)";
    plot.xAxis.titleLocation = 75.0;
    plot.xAxis.majorIntervalLength = 10.0;
    plot.xAxis.minorTicksPerInterval = 1;
    plot.yAxis.title = result.energyKnown ? "lost energy (MWh)" : "curtailed hours";
    plot.yAxis.majorIntervalLength = yStep;
    plot.yAxis.titleLocation = plot.defaultPlotSpace().yRange.length / 2.0;
    const int digits = yStep >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(yStep)));
    plot.yAxis.labelFormatter = {.minimumFractionDigits = digits, .maximumFractionDigits = digits};
    drawGraph(plot, painter, left, top, width, height);
}

namespace {

std::string dateText(double instant, const icu::TimeZone* zone) {
    if (!std::isfinite(instant)) {
        return "-";
    }
    if (zone == nullptr) {
        return formatIsoDate(localDateTime(instant, *icu::TimeZone::getGMT()).date);
    }
    return formatIsoDate(localDateTime(instant, *zone).date);
}

std::string lossText(const CurtailmentResult& result, const PlanTotals& totals) {
    if (!result.energyKnown) {
        return fixedDecimals(totals.curtailedHours, 1) + " curtailed hours";
    }
    std::string text = fixedDecimals(totals.energyLostKwh / 1000.0, 2) + " MWh lost";
    if (result.data.productionKwh > 0.0) {
        text += " (" + fixedDecimals(100.0 * totals.energyLostKwh / result.data.productionKwh, 2) +
                " % of " + fixedDecimals(result.data.productionKwh / 1000.0, 1) + " MWh produced)";
    }
    return text;
}

std::string estimateText(const CurtailmentResult& result, const ShareEstimate& estimate) {
    if (result.validation.method == ValidationMethod::none) {
        return "no estimate on nights it was not made from (too few nights)";
    }
    return expectedShareText(estimate) + " on nights it was not made from";
}

// How sure the plans are, in words: what was held out, and what the interval means.
std::string validationParagraph(const CurtailmentResult& result) {
    const PlanValidation& validation = result.validation;
    if (validation.method == ValidationMethod::none) {
        return "The nights span less than two weeks: no part of them can be held out, so "
               "nothing is known of how the plans do on other nights. Their shares above hold "
               "only for the nights they were made from.";
    }
    std::string text =
        validation.method == ValidationMethod::heldOutYears
            ? "Each of the " + std::to_string(validation.folds) +
                  " years with enough activity was held out in turn: both plans were made "
                  "again from the other years, exactly as above, and scored on it."
            : "The nights were split into " + std::to_string(validation.folds) +
                  " folds of whole weeks (every " + std::to_string(validation.folds) +
                  "th week in the same fold, no night ever split): both plans were made again "
                  "without each fold, exactly as above, and scored on it.";
    text += " The blanket plan protected " + fixedDecimals(100.0 * validation.blanket.share, 1) +
            " % and the tailored plan " + fixedDecimals(100.0 * validation.tailored.share, 1) +
            " % of the activity of nights they were not made from, losing " +
            (result.energyKnown
                 ? fixedDecimals(validation.blanket.energyLostKwh / 1000.0, 2) + " and " +
                       fixedDecimals(validation.tailored.energyLostKwh / 1000.0, 2) + " MWh there"
                 : fixedDecimals(validation.blanket.curtailedHours, 1) + " and " +
                       fixedDecimals(validation.tailored.curtailedHours, 1) +
                       " curtailed hours there") +
            ". The intervals (" + fixedDecimals(100.0 * validation.blanket.low, 1) + " to " +
            fixedDecimals(100.0 * validation.blanket.high, 1) + " % and " +
            fixedDecimals(100.0 * validation.tailored.low, 1) + " to " +
            fixedDecimals(100.0 * validation.tailored.high, 1) +
            " %) hold the share on new nights of the same kind with about 90 % certainty; a "
            "year unlike these may fall outside them.";
    if (result.fit == PlanFit::exact) {
        text +=
            " The tailored plan was fitted exactly to these counts: its share above is "
            "in-sample and overstates what it protects elsewhere.";
    }
    return text;
}

constexpr const char* kDefinitions[] = {
    "Night: from sunset to sunrise at the site (our own solar position calculation, in the "
    "site's local time), widened by the minutes asked for before sunset and after sunrise; a "
    "night belongs to the month of the day it starts on and is cut into equal parts, and an "
    "interval (one row of the wind file, its window as in the analysis) belongs to the part that "
    "holds its end. Activity is matched to the intervals as the analysis does, classed by wind "
    "speed in steps of 0.5 m/s; activity outside the nights is counted and reported, not "
    "planned. Without an effort file every night from the first to the last night with activity "
    "counts.",
    "A plan gives each cell (month, night part) a cut-in speed v; the turbine stands still in an "
    "interval of that cell when its wind is below v (and, with a temperature floor, its "
    "temperature is at or above the floor). Protected activity is the activity in those "
    "intervals, lost energy their energy (from the power column or curve), as shares of all "
    "night activity and of the production of all intervals of the period. The blanket plan has "
    "one v for all cells, the smallest reaching the target; the tailored plan one v per cell at "
    "the least lost energy, found by dynamic programming (a multiple-choice knapsack). It is "
    "planned on the activity a count model expects of each interval from its wind speed, "
    "temperature, month and night part (each cell's own level drawn towards its month's and "
    "part's as far as its counts do not bear it out), not on the counts, whose chance it would "
    "otherwise exploit; it is planned above the target as far as the held-out nights ask. Its "
    "trade-off curve is drawn on that expected activity. With the exact fit it is planned on "
    "the counts and its share holds in sample only."};

// The settings the page head does not name, so that the report says what it answers.
std::string settingsText(const CurtailmentResult& result, const PlanSources& sources) {
    const auto widened = [](int minutes, const char* sign) {
        return minutes == 0 ? std::string()
                            : " " + std::string(sign) + " " + std::to_string(minutes) + " min";
    };
    return "Nights from sunset" + widened(result.night.minutesBeforeSunset, "-") + " to sunrise" +
           widened(result.night.minutesAfterSunrise, "+") + " in " +
           std::to_string(result.night.parts) + " parts; power from " +
           (sources.power.empty() ? std::string("nothing (the plans weigh curtailed hours)")
                                  : "the " + sources.power) +
           "; tailored plan fitted to the " +
           (result.fit == PlanFit::exact ? "counts (exact fit)" : "activity model") +
           (result.minCellActivity > 0
                ? ", cells with fewer than " + std::to_string(result.minCellActivity) +
                      " active intervals taking their month's cut-in"
                : std::string()) +
           "; " +
           (result.temperatureFloor
                ? "stops only at or above " + fixedDecimals(*result.temperatureFloor, 1) + " °C"
                : std::string("no temperature floor")) +
           ".";
}

// Colours of the coverage marks, as the calendar on standard error writes them.
QColor coverageColour(char mark) {
    switch (mark) {
        case '#':
            return {46, 125, 50};  // bats recorded
        case '.':
            return {200, 230, 201};  // none
        case '!':
            return {239, 108, 0};  // wind readings missing
        case '-':
            return {189, 189, 189};  // detector not recording
        default:
            return {255, 255, 255};  // no night of the period
    }
}

// A row per month of the period and a cell per night at its day of the month.
double paintCoverageCalendar(const std::vector<NightCoverage>& nights, QPainter& painter,
                             double top) {
    if (nights.empty()) {
        return paragraph(painter, top, "No night in the period.");
    }
    const double labelWidth = 52.0;
    const double cellWidth = (kContentWidth - labelWidth) / 31.0;
    const double cellHeight = 9.0;
    painter.save();
    QFont font = painter.font();
    font.setPointSizeF(7.0);
    font.setBold(false);
    painter.setFont(font);
    for (int day = 1; day <= 31; day += 5) {
        painter.setPen(QColor(90, 90, 90));
        painter.drawText(QRectF(kMargin + labelWidth + (day - 1) * cellWidth, top, cellWidth, 10.0),
                         Qt::AlignCenter, QString::number(day));
    }
    top += 11.0;
    int row = -1;
    std::pair<int, int> shown{0, 0};  // year, month of the current row
    for (const NightCoverage& night : nights) {
        if (std::pair{night.date.year, night.date.month} != shown) {
            shown = {night.date.year, night.date.month};
            ++row;
            char label[16];
            std::snprintf(label, sizeof label, "%04d-%02d", shown.first, shown.second);
            painter.setPen(QColor(0, 0, 0));
            painter.drawText(QRectF(kMargin, top + row * cellHeight, labelWidth - 4.0, cellHeight),
                             Qt::AlignRight | Qt::AlignVCenter, QString::fromLatin1(label));
        }
        painter.setPen(QPen(QColor(255, 255, 255), 0.8));
        painter.setBrush(coverageColour(coverageMark(night)));
        painter.drawRect(QRectF(kMargin + labelWidth + (night.date.day - 1) * cellWidth,
                                top + row * cellHeight, cellWidth, cellHeight));
    }
    top += (row + 1) * cellHeight + 4.0;
    double x = kMargin + labelWidth;
    for (const auto& [mark, text] :
         {std::pair{'#', "bats recorded"}, std::pair{'.', "no bats"},
          std::pair{'!', "wind readings missing for more than a tenth of the night"},
          std::pair{'-', "detector not recording"}}) {
        painter.setPen(QPen(QColor(120, 120, 120), 0.5));
        painter.setBrush(coverageColour(mark));
        painter.drawRect(QRectF(x, top + 1.0, 8.0, 8.0));
        painter.setPen(QColor(0, 0, 0));
        const QRectF label = painter.boundingRect(QRectF(x + 11.0, top, 400.0, 10.0),
                                                  Qt::AlignLeft | Qt::AlignVCenter, q(text));
        painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, q(text));
        x = label.right() + 12.0;
    }
    painter.restore();
    return top + 16.0;
}

// "Project Windpark Nord, turbine WEA 3, detector Batcorder 1234.", of those named.
std::string namesText(const PlanSources& sources) {
    std::string text;
    for (const auto& [what, name] :
         {std::pair{"project ", &sources.project}, std::pair{"turbine ", &sources.turbine},
          std::pair{"detector ", &sources.detector}}) {
        if (!name->empty()) {
            text += (text.empty() ? "" : ", ") + std::string(what) + *name;
        }
    }
    if (text.empty()) {
        return text;
    }
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text + ".";
}

void paintFirstPage(const CurtailmentReportContent& content, QPainter& painter) {
    const CurtailmentResult& result = content.result;
    const CurtailmentData& data = result.data;
    double top = paragraph(painter, kMargin, "Curtailment plan", 16.0, true);
    if (const std::string names = namesText(content.sources); !names.empty()) {
        top = paragraph(painter, top, names, 10.0, true);
    }
    top = paragraph(
        painter, top,
        "Site " + fixedDecimals(result.site.latitude, 4) + "° N, " +
            fixedDecimals(result.site.longitude, 4) + "° E" +
            (content.sources.zoneName.empty() ? "" : ", " + content.sources.zoneName) +
            "; period " + dateText(data.periodStart, content.zone) + " to " +
            dateText(data.periodEnd, content.zone) + "; wind file " + content.sources.windFile +
            (content.sources.recordings.empty() ? ""
                                                : "; recordings " + content.sources.recordings) +
            ".");
    top = paragraph(painter, top, settingsText(result, content.sources));
    std::string coverage =
        "Coverage: " + std::to_string(data.nightsInPeriod) + " nights in the period, " +
        std::to_string(data.nightsWithData) + " with wind data inside the effort" +
        (data.effortFromRecordings ? " (no effort file: every night from the first to the last "
                                     "night with activity counts)"
                                   : " (effort from the effort file)") +
        ". Activity: " + std::to_string(data.activityInNights) + " in the nights, " +
        std::to_string(data.activityOutsideNights) + " outside the nights (not planned)";
    if (data.activityOutsideEffort > 0) {
        coverage += ", " + std::to_string(data.activityOutsideEffort) + " outside the effort";
    }
    if (data.activityWithoutWind > 0) {
        coverage += ", " + std::to_string(data.activityWithoutWind) + " without a wind reading";
    }
    coverage += ".";
    if (data.daysWithoutNight > 0) {
        coverage += " " + std::to_string(data.daysWithoutNight) +
                    " days without a night (the sun does not set or rise): no cell.";
    }
    top = paragraph(painter, top, coverage);
    top = paintCoverageCalendar(data.coverage, painter, top);
    top = paragraph(painter, top + 4.0,
                    "Target: " + fixedDecimals(result.protectPercent, 1) + " % of night activity.",
                    10.0, true);
    top = paragraph(painter, top,
                    "Blanket plan: cut-in " + fixedDecimals(result.blanket.cutIn, 1) +
                        " m/s in every cell, " +
                        fixedDecimals(100.0 * result.blanket.totals.protectedShare, 1) +
                        " % protected on the nights it was made from, " +
                        lossText(result, result.blanket.totals) + "; " +
                        estimateText(result, result.validation.blanket) + ".");
    top = paragraph(painter, top,
                    "Tailored plan (" + fitText(result.fit) +
                        "): " + fixedDecimals(100.0 * result.tailored.totals.protectedShare, 1) +
                        " % protected on the nights it was made from, " +
                        lossText(result, result.tailored.totals) + "; " +
                        estimateText(result, result.validation.tailored) + ".");
    top = paragraph(painter, top + 6.0, "Activity in the nights over wind speed", 10.0, true);
    drawActivityCurve(result, painter, top, 160.0);
    top += 166.0;
    top = paragraph(painter, top, "Tailored plan: cut-in (m/s) per month and part of the night",
                    10.0, true);
    paintCutInGrid(result, painter, kMargin, top, kContentWidth, kA4Height - kMargin - top,
                   content.zone);
}

void paintSecondPage(const CurtailmentReportContent& content, QPainter& painter) {
    const CurtailmentResult& result = content.result;
    double top = paragraph(painter, kMargin, "Trade-off: lost energy against protected activity",
                           10.0, true);
    paintTradeoffGraph(result, painter, kMargin, top, kContentWidth, 260.0);
    top += 266.0;
    top = paragraph(painter, top, "How sure the plans are", 10.0, true);
    top = paragraph(painter, top, validationParagraph(result));
    if (!result.validation.years.empty()) {
        std::string rows;
        for (const HeldOutYear& year : result.validation.years) {
            rows += std::to_string(year.year) + ": " + std::to_string(year.activity) +
                    (year.used ? ", planned from the other years: tailored " +
                                     fixedDecimals(100.0 * year.tailoredShare, 1) + " %, blanket " +
                                     fixedDecimals(100.0 * year.blanketShare, 1) + " % protected\n"
                               : ", too little activity to judge a plan by: not held out\n");
        }
        top = paragraph(painter, top, rows);
    }
}

// The tailored plan's cells that had intervals, a row each.
std::vector<const CellCutIn*> tableCells(const CurtailmentResult& result) {
    const std::vector<CellActivity> cells = cellsOf(result.data);
    std::vector<const CellCutIn*> rows;
    for (std::size_t c = 0; c < result.tailored.cells.size() && c < cells.size(); ++c) {
        if (cells[c].intervals > 0) {
            rows.push_back(&result.tailored.cells[c]);
        }
    }
    return rows;
}

constexpr std::size_t kTableRowsPerPage = 64;
constexpr double kTableRowHeight = 10.5;
// Room the definitions take below the last rows.
constexpr std::size_t kDefinitionRows = 30;

std::size_t tablePages(std::size_t rows) {
    return std::max<std::size_t>(1, (rows + kTableRowsPerPage - 1) / kTableRowsPerPage);
}

bool definitionsOnTheirOwnPage(std::size_t rows) {
    const std::size_t onLastPage = rows - (tablePages(rows) - 1) * kTableRowsPerPage;
    return onLastPage + kDefinitionRows > kTableRowsPerPage;
}

// Page `tablePage` (0-based) of the cells' table, the definitions after its last rows.
void paintTablePage(const CurtailmentReportContent& content, std::size_t tablePage,
                    QPainter& painter) {
    const CurtailmentResult& result = content.result;
    const std::vector<const CellCutIn*> rows = tableCells(result);
    const std::size_t pages = tablePages(rows.size());
    double top = kMargin;
    if (tablePage < pages) {
        top = paragraph(painter, top,
                        tablePage == 0 ? "The tailored plan, cell by cell"
                                       : "The tailored plan, cell by cell (continued)",
                        10.0, true);
        const std::array<std::optional<Night>, 12> nights =
            content.zone ? nightsOfThe15th(result, *content.zone)
                         : std::array<std::optional<Night>, 12>{};
        static constexpr std::array<std::pair<const char*, double>, 9> kColumns = {{
            {"month", 38.0},
            {"part", 30.0},
            {"on the 15th", 72.0},
            {"cut-in m/s", 50.0},
            {"activity", 48.0},
            {"protected", 52.0},
            {"curtailed h", 58.0},
            {"energy lost kWh", 80.0},
            {"decided by", 52.0},
        }};
        painter.save();
        QFont font = painter.font();
        font.setPointSizeF(7.5);
        const auto drawRow = [&](const std::array<std::string, 9>& cells, bool head) {
            font.setBold(head);
            painter.setFont(font);
            double x = kMargin;
            for (std::size_t column = 0; column < kColumns.size(); ++column) {
                const bool words = column == 2 || column == 8;
                painter.drawText(
                    QRectF(x + (words ? 10.0 : 0.0), top,
                           kColumns[column].second - (words ? 10.0 : 4.0), kTableRowHeight),
                    (words ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, q(cells[column]));
                x += kColumns[column].second;
            }
            top += kTableRowHeight;
        };
        painter.setPen(QColor(0, 0, 0));
        std::array<std::string, 9> head;
        for (std::size_t column = 0; column < kColumns.size(); ++column) {
            head[column] = kColumns[column].first;
        }
        drawRow(head, true);
        painter.setPen(QPen(QColor(120, 120, 120), 0.5));
        painter.drawLine(QPointF(kMargin, top), QPointF(kMargin + kContentWidth, top));
        painter.setPen(QColor(0, 0, 0));
        const std::size_t first = tablePage * kTableRowsPerPage;
        for (std::size_t r = first; r < rows.size() && r < first + kTableRowsPerPage; ++r) {
            const CellCutIn& cell = *rows[r];
            const std::optional<Night>& night =
                nights[static_cast<std::size_t>(std::clamp(cell.month, 1, 12) - 1)];
            drawRow({std::to_string(cell.month), std::to_string(cell.part + 1),
                     night && content.zone
                         ? nightPartClock(*night, cell.part, result.data.parts, *content.zone)
                         : std::string("-"),
                     fixedDecimals(cell.cutIn, 1), std::to_string(cell.activity),
                     std::to_string(cell.protectedActivity), fixedDecimals(cell.curtailedHours, 2),
                     result.energyKnown ? fixedDecimals(cell.energyLostKwh, 1) : std::string("-"),
                     cell.fromMonth ? "its month" : "the cell"},
                    false);
        }
        painter.restore();
        if (rows.empty()) {
            top = paragraph(painter, top, "No cell had an interval with a wind reading.");
        }
        if (tablePage + 1 < pages || definitionsOnTheirOwnPage(rows.size())) {
            return;
        }
        top += 10.0;
    }
    top = paragraph(painter, top, "Definitions", 10.0, true);
    for (const char* text : kDefinitions) {
        top = paragraph(painter, top, text, 8.5);
    }
}

// From white for 0 through yellow and orange to dark red for the highest cut-in.
QColor cutInColour(double cutIn, double highest) {
    if (cutIn <= 0.0 || highest <= 0.0) {
        return QColor(255, 255, 255);
    }
    const double t = std::clamp(cutIn / highest, 0.0, 1.0);
    return QColor::fromHsvF(static_cast<float>(0.16 * (1.0 - t)),
                            static_cast<float>(0.25 + 0.65 * t),
                            static_cast<float>(1.0 - 0.35 * t));
}

// The colours of the cut-ins in steps of 0.5 m/s, labelled at whole metres per second.
void paintCutInKey(double highest, QPainter& painter, double left, double top) {
    painter.save();
    painter.setPen(QColor(0, 0, 0));
    painter.drawText(QRectF(left, top, 60.0, 10.0), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("cut-in (m/s)"));
    const double swatch = 14.0;
    double x = left + 62.0;
    for (double cutIn = 0.0; cutIn <= highest + 1e-9; cutIn += 0.5) {
        painter.setPen(QPen(QColor(160, 160, 160), 0.5));
        painter.setBrush(cutInColour(cutIn, highest));
        painter.drawRect(QRectF(x, top, swatch, 9.0));
        if (std::fmod(cutIn, 1.0) == 0.0) {
            painter.setPen(QColor(0, 0, 0));
            painter.drawText(QRectF(x - 6.0, top + 9.0, swatch + 12.0, 10.0), Qt::AlignCenter,
                             QString::number(static_cast<int>(cutIn)));
        }
        x += swatch;
    }
    painter.setPen(QPen(QColor(160, 160, 160), 0.5));
    painter.setBrush(QColor(235, 235, 235));
    painter.drawRect(QRectF(x + 12.0, top, swatch, 9.0));
    painter.setPen(QColor(0, 0, 0));
    painter.drawText(QRectF(x + 12.0 + swatch + 3.0, top, 60.0, 10.0),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("no data"));
    painter.restore();
}

}  // namespace

int curtailmentReportPageCount(const CurtailmentReportContent& content) {
    const std::size_t rows = tableCells(content.result).size();
    return 2 + static_cast<int>(tablePages(rows)) + (definitionsOnTheirOwnPage(rows) ? 1 : 0);
}

PlotData activityOverWind(const CurtailmentResult& result) {
    PlotData data;
    std::vector<PlotPoint>& points = data["single"];
    std::int64_t total = 0;
    for (const auto& [key, count] : result.data.activityByClass) {
        total += count;
    }
    double cumulative = 0.0;
    points.push_back({0.0, 0.0});
    for (const auto& [key, count] : result.data.activityByClass) {
        cumulative += total > 0 ? static_cast<double>(count) / static_cast<double>(total) : 0.0;
        points.push_back({static_cast<double>(classLowerBound(key)), cumulative});
    }
    return data;
}

void paintCutInGrid(const CurtailmentResult& result, QPainter& painter, double left, double top,
                    double width, double height, const icu::TimeZone* zone) {
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int parts = std::max(result.data.parts, 1);
    const std::vector<CellActivity> cells = cellsOf(result.data);
    double highest = 0.0;
    for (const CellCutIn& cell : result.tailored.cells) {
        highest = std::max(highest, cell.cutIn);
    }
    const std::array<std::optional<Night>, 12> nights =
        zone ? nightsOfThe15th(result, *zone) : std::array<std::optional<Night>, 12>{};
    const double labelWidth = 34.0;
    const double clockWidth = zone ? 66.0 : 0.0;
    const double headHeight = 14.0;
    const double cellWidth = (width - labelWidth - clockWidth) / parts;
    const double cellHeight = std::min(24.0, (height - headHeight - 44.0) / 12.0);
    painter.save();
    QFont font = painter.font();
    font.setPointSizeF(std::clamp(cellWidth / 4.0, 5.0, 8.0));
    font.setBold(false);
    painter.setFont(font);
    painter.setPen(QPen(QColor(120, 120, 120), 0.5));
    for (int part = 0; part < parts; ++part) {
        painter.drawText(QRectF(left + labelWidth + part * cellWidth, top, cellWidth, headHeight),
                         Qt::AlignCenter, QString::number(part + 1));
    }
    const double clockLeft = left + labelWidth + parts * cellWidth + 4.0;
    if (zone) {
        painter.drawText(QRectF(clockLeft, top, clockWidth, headHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("night of the 15th"));
    }
    for (int month = 0; month < 12; ++month) {
        const double y = top + headHeight + month * cellHeight;
        painter.setPen(QColor(0, 0, 0));
        painter.drawText(QRectF(left, y, labelWidth - 4.0, cellHeight),
                         Qt::AlignRight | Qt::AlignVCenter, kMonths[month]);
        if (const std::optional<Night>& night = nights[static_cast<std::size_t>(month)];
            night && zone) {
            painter.drawText(QRectF(clockLeft, y, clockWidth, cellHeight),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             q(nightPartClock(*night, 0, 1, *zone)));
        }
        for (int part = 0; part < parts; ++part) {
            const auto index = static_cast<std::size_t>(month * parts + part);
            const QRectF box(left + labelWidth + part * cellWidth, y, cellWidth, cellHeight);
            const bool hasData = index < cells.size() && cells[index].intervals > 0;
            const double cutIn =
                index < result.tailored.cells.size() ? result.tailored.cells[index].cutIn : 0.0;
            painter.setPen(QPen(QColor(160, 160, 160), 0.5));
            painter.setBrush(hasData ? cutInColour(cutIn, highest) : QColor(235, 235, 235));
            painter.drawRect(box);
            const bool fromMonth =
                index < result.tailored.cells.size() && result.tailored.cells[index].fromMonth;
            if (hasData) {
                painter.setPen(QColor(0, 0, 0));
                painter.drawText(box, Qt::AlignCenter,
                                 q(fixedDecimals(cutIn, 1) + (fromMonth ? "*" : "")));
            }
        }
    }
    const double below = top + headHeight + 12 * cellHeight + 4.0;
    painter.setPen(QColor(0, 0, 0));
    std::string legend = "Columns: parts of the night from sunset to sunrise";
    if (zone) {
        legend += ", each " +
                  (parts == 10 ? std::string("a tenth") : "1/" + std::to_string(parts)) +
                  " of the span on the right in that month";
    }
    legend += "; grey: no data; 0.0: never stopped.";
    if (result.minCellActivity > 0) {
        legend += " *: under " + std::to_string(result.minCellActivity) +
                  " active intervals: its month's.";
    }
    const QRectF legendArea = painter.boundingRect(QRectF(left, below, width, 40.0),
                                                   Qt::AlignLeft | Qt::TextWordWrap, q(legend));
    painter.drawText(legendArea, Qt::AlignLeft | Qt::TextWordWrap, q(legend));
    paintCutInKey(highest, painter, left, legendArea.bottom() + 3.0);
    painter.restore();
}

void paintCurtailmentReportPage(const CurtailmentReportContent& content, int page,
                                QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (page == 0) {
        paintFirstPage(content, painter);
    } else if (page == 1) {
        paintSecondPage(content, painter);
    } else {
        paintTablePage(content, static_cast<std::size_t>(page - 2), painter);
    }
}

Outcome<void> writeCurtailmentReport(const CurtailmentReportContent& content,
                                     const std::filesystem::path& path, const std::string& format) {
    const OffscreenGui gui;
    const int pages = curtailmentReportPageCount(content);
    const auto problem = [&path](const std::string& reason) {
        return Problem{.title = "Report not saved",
                       .message = "Cannot write report " + path.string() + ": " + reason};
    };
    if (format == "pdf") {
        return writeWholeFile(
            path,
            [&](QIODevice& file) {
                QPdfWriter pdf(&file);
                pdf.setCreator(QStringLiteral("Vane"));
                pdf.setTitle(QStringLiteral("Curtailment plan"));
                pdf.setResolution(72);  // device units are points
                pdf.setPageSize(QPageSize(QPageSize::A4));
                pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
                QPainter painter;
                if (!painter.begin(&pdf)) {
                    return false;
                }
                for (int page = 0; page < pages; ++page) {
                    if (page > 0 && !pdf.newPage()) {
                        return false;
                    }
                    paintCurtailmentReportPage(content, page, painter);
                }
                return painter.end();
            },
            problem);
    }
    return writeWholeFile(
        path,
        [&](QIODevice& file) {
            QImage image(static_cast<int>(kA4Width * kPixelsPerPoint),
                         static_cast<int>(kA4Height * kPixelsPerPoint * pages),
                         QImage::Format_RGB32);
            if (image.isNull()) {
                return false;
            }
            image.fill(Qt::white);
            {
                QPainter painter(&image);
                painter.scale(kPixelsPerPoint, kPixelsPerPoint);
                for (int page = 0; page < pages; ++page) {
                    painter.save();
                    painter.translate(0.0, page * kA4Height);
                    if (page > 0) {
                        painter.setPen(QPen(QColor(200, 200, 200), 1.0));
                        painter.drawLine(QPointF(0.0, 0.0), QPointF(kA4Width, 0.0));
                    }
                    paintCurtailmentReportPage(content, page, painter);
                    painter.restore();
                }
            }
            QBuffer encoded;
            encoded.open(QIODevice::WriteOnly);
            QImageWriter writer(&encoded, "png");
            return writer.write(image) && file.write(encoded.data()) == encoded.data().size();
        },
        problem);
}

}  // namespace vane::graph
