#pragma once

#include <filesystem>
#include <string>

#include "core/analysis/plot_data.h"
#include "core/curtailment/curtailment_result.h"
#include "core/icu_forward.h"
#include "core/outcome/outcome.h"
#include "graph/plot_model.h"

class QPainter;

namespace vane::graph {

struct CurtailmentReportContent {
    const CurtailmentResult& result;
    PlanSources sources;                  // for the page head
    const icu::TimeZone* zone = nullptr;  // for the period's dates; none: UTC
};

inline constexpr double kA4Width = 595.0;  // points
inline constexpr double kA4Height = 842.0;

// The plan on two pages, then its cells as a table over as many pages as they take.
int curtailmentReportPageCount(const CurtailmentReportContent& content);

// Cumulative share of the nights' activity over the wind speed, as the analysis draws it.
vane::PlotData activityOverWind(const CurtailmentResult& result);

// Draws page `page` (0-based) of the report on an A4 canvas in points.
void paintCurtailmentReportPage(const CurtailmentReportContent& content, int page,
                                QPainter& painter);

// Draws the plan's month x night-part grid, coloured by cut-in with the values in the cells and
// a key below, into the rectangle (points). With a zone, a column gives each month's night of
// the 15th on the clock.
void paintCutInGrid(const CurtailmentResult& result, QPainter& painter, double left, double top,
                    double width, double height, const icu::TimeZone* zone = nullptr);

// Draws the trade-off graph (lost energy, or hours without energy, over the protected share, for
// both plans) into the rectangle (points).
void paintTradeoffGraph(const CurtailmentResult& result, QPainter& painter, double left, double top,
                        double width, double height);

// Writes the report: "pdf" as A4 vector pages, "png" as the pages one below the other at 144
// dpi. Written whole and renamed, as every output; the alert is "Report not saved".
Outcome<void> writeCurtailmentReport(const CurtailmentReportContent& content,
                                     const std::filesystem::path& path, const std::string& format);

}  // namespace vane::graph
