#include "graph/farm_report.h"

#include <unicode/timezone.h>

#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <array>
#include <cstdio>

#include "core/curtailment/farm_summary.h"
#include "core/text/fixed_decimals.h"
#include "graph/curtailment_report.h"
#include "graph/offscreen_gui.h"
#include "graph/whole_file.h"

namespace vane::graph {
namespace {

constexpr double kMargin = 40.0;
constexpr double kRowHeight = 14.0;

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// Lays out lines of columns down A4 pages, starting a new page where one is full.
class PagedTable {
  public:
    PagedTable(QPdfWriter& pdf, QPainter& painter) : pdf_(pdf), painter_(painter) {}

    bool heading(const std::string& text, double size) {
        if (!roomFor(size * 2.5)) {
            return false;
        }
        setFont(size, true);
        painter_.drawText(QPointF(kMargin, top_ + size), q(text));
        top_ += size * 2.0;
        return true;
    }

    template <std::size_t N>
    bool row(const std::array<std::string, N>& cells, const std::array<double, N>& lefts,
             bool bold = false) {
        if (!roomFor(kRowHeight)) {
            return false;
        }
        setFont(8.0, bold);
        for (std::size_t cell = 0; cell < N; ++cell) {
            painter_.drawText(QPointF(kMargin + lefts[cell], top_ + 10.0), q(cells[cell]));
        }
        top_ += kRowHeight;
        if (bold) {
            painter_.drawLine(QPointF(kMargin, top_ - 2.0),
                              QPointF(kA4Width - kMargin, top_ - 2.0));
        }
        return true;
    }

    void space(double points) { top_ += points; }

    bool note(const std::string& text) {
        if (!roomFor(kRowHeight)) {
            return false;
        }
        setFont(7.5, false);
        painter_.drawText(QPointF(kMargin, top_ + 10.0), q(text));
        top_ += kRowHeight;
        return true;
    }

  private:
    bool roomFor(double height) {
        if (top_ + height <= kA4Height - kMargin) {
            return true;
        }
        top_ = kMargin;
        return pdf_.newPage();
    }
    void setFont(double size, bool bold) {
        QFont font = painter_.font();
        font.setPointSizeF(size);
        font.setBold(bold);
        painter_.setFont(font);
        painter_.setPen(QColor(0, 0, 0));
    }

    QPdfWriter& pdf_;
    QPainter& painter_;
    double top_ = kMargin;
};

std::string degrees(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.5f", value);
    return text;
}

// Whose plan a page shows, in the margin above it.
void paintPageHead(const std::string& head, QPainter& painter) {
    QFont font = painter.font();
    font.setPointSizeF(8.0);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(90, 90, 90));
    painter.drawText(QPointF(kMargin, 24.0), q(head));
}

// The farm plan at each turbine: its own bats protected, expected on other nights, and its cost.
bool paintFarmPlanTable(const FarmReportContent& content, PagedTable& table) {
    if (content.farmPlan == nullptr) {
        return true;
    }
    const FarmPlan& farm = *content.farmPlan;
    constexpr std::array<double, 6> lefts = {0, 95, 150, 235, 355, 430};
    table.space(12.0);
    bool painted =
        table.heading("Farm plan: one plan for every turbine, from their pooled activity", 10.0) &&
        table.row<6>(
            {"Turbine", "Activity", "Protected", "Expected protection", "Energy lost", "Share"},
            lefts, true);
    for (std::size_t index = 0; index < content.turbines.size(); ++index) {
        FarmSummaryRow row{.turbine = content.turbines[index].name};
        addFarmPlan(row, farm, index);
        const std::string inSample =
            index < farm.turbines.size()
                ? fixedDecimals(100.0 * farm.turbines[index].plan.totals.protectedShare, 1) + " %"
                : std::string("-");
        const std::string activity =
            index < farm.turbines.size() ? std::to_string(farm.turbines[index].activity) : "-";
        painted = painted && table.row<6>({row.turbine, activity, inSample, row.farmPlanExpected,
                                           row.farmPlanEnergyLost, row.farmPlanEnergyShare},
                                          lefts);
    }
    const FarmSummaryRow all = farmPlanRow(farm);
    painted =
        painted &&
        table.row<6>({"All turbines", all.activity,
                      fixedDecimals(100.0 * farm.result.tailored.totals.protectedShare, 1) + " %",
                      all.expected, all.energyLost, all.energyShare},
                     lefts, true);
    table.space(4.0);
    return painted &&
           table.note(
               "Protected: of the turbine's own activity, in the nights the plan was made "
               "from.") &&
           table.note(
               "Expected: of the turbine's own activity, on nights the plan was not made "
               "from, with its 90 % interval.") &&
           table.note(
               "Each turbine keeps its own temperature floor (see Sites); the plan's site is the "
               "turbines' mean.") &&
           table.note(
               "The farm plan's pages follow; each turbine's folder holds its controller "
               "table of it (farm-plan-controller.csv).");
}

bool paintSummary(const FarmReportContent& content, PagedTable& table) {
    constexpr std::array<double, 7> lefts = {0, 95, 145, 205, 275, 395, 460};
    bool painted = table.heading("Wind farm " + content.farmName, 16.0) &&
                   table.heading("Curtailment plans of " + std::to_string(content.turbines.size()) +
                                     " turbines",
                                 10.0) &&
                   table.row<7>({"Turbine", "Activity", "Blanket", "Tailored",
                                 "Expected protection", "Energy lost", "Share"},
                                lefts, true);
    for (const FarmTurbineReport& turbine : content.turbines) {
        if (turbine.result == nullptr) {
            painted = painted &&
                      table.row<7>({turbine.name, "no plan (see its log.txt)", "", "", "", "", ""},
                                   lefts);
            continue;
        }
        const FarmSummaryRow row = farmSummaryRow(turbine.name, *turbine.result);
        painted = painted &&
                  table.row<7>({row.turbine, row.activity, row.blanketCutIn, row.tailoredCutIns,
                                row.expected, row.energyLost, row.energyShare},
                               lefts);
    }
    table.space(12.0);
    constexpr std::array<double, 5> siteLefts = {0, 150, 230, 310, 420};
    painted = painted && table.heading("Sites", 10.0) &&
              table.row<5>({"Turbine", "Latitude", "Longitude", "Time zone", "Temperature floor"},
                           siteLefts, true);
    for (const FarmTurbineReport& turbine : content.turbines) {
        const bool floored = turbine.result != nullptr && turbine.result->temperatureFloor;
        painted =
            painted &&
            table.row<5>({turbine.name, degrees(turbine.latitude), degrees(turbine.longitude),
                          turbine.sources.zoneName,
                          floored ? fixedDecimals(*turbine.result->temperatureFloor, 1) + " °C"
                                  : std::string("none")},
                         siteLefts);
    }
    return painted && paintFarmPlanTable(content, table);
}

}  // namespace

Outcome<void> writeFarmReport(const FarmReportContent& content, const std::filesystem::path& path) {
    const OffscreenGui gui;
    return writeWholeFile(
        path,
        [&](QIODevice& file) {
            QPdfWriter pdf(&file);
            pdf.setCreator(QStringLiteral("Vane"));
            pdf.setTitle(q("Wind farm " + content.farmName));
            pdf.setResolution(72);  // device units are points
            pdf.setPageSize(QPageSize(QPageSize::A4));
            pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
            QPainter painter;
            if (!painter.begin(&pdf)) {
                return false;
            }
            painter.setRenderHint(QPainter::Antialiasing);
            PagedTable table(pdf, painter);
            if (!paintSummary(content, table)) {
                return false;
            }
            if (content.farmPlan != nullptr) {
                const CurtailmentReportContent report{.result = content.farmPlan->result,
                                                      .sources = content.farmPlanSources,
                                                      .zone = content.farmPlanZone};
                for (int page = 0; page < curtailmentReportPageCount(report); ++page) {
                    if (!pdf.newPage()) {
                        return false;
                    }
                    paintCurtailmentReportPage(report, page, painter);
                    paintPageHead("Farm plan (all turbines)", painter);
                }
            }
            for (const FarmTurbineReport& turbine : content.turbines) {
                if (turbine.result == nullptr) {
                    continue;
                }
                const CurtailmentReportContent report{
                    .result = *turbine.result, .sources = turbine.sources, .zone = turbine.zone};
                for (int page = 0; page < curtailmentReportPageCount(report); ++page) {
                    if (!pdf.newPage()) {
                        return false;
                    }
                    paintCurtailmentReportPage(report, page, painter);
                    paintPageHead("Turbine " + turbine.name, painter);
                }
            }
            return painter.end();
        },
        [&path](const std::string& reason) {
            return Problem{.title = "Report not saved",
                           .message = "Cannot write report " + path.string() + ": " + reason,
                           .kind = ProblemKind::notSaved};
        });
}

}  // namespace vane::graph
