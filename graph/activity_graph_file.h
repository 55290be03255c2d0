#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "core/analysis/plot_data.h"
#include "graph/activity_graph.h"
#include "graph/graph_file.h"

namespace vane::graph {

// What an analysis hands the graph.
struct ActivityGraphContent {
    const PlotData& plotData;
    std::span<const std::string> seriesOrder;  // plot order, which gives each its style
    bool plotTemp = false;
    RangeLengths lengths;
    bool withLegend = false;  // one curve per state
};

// Draws the cumulative activity graph of an analysis, as the graph sheet shows it, into `path`
// (see writeGraphFile for formats). Makes an offscreen QGuiApplication when there is none.
// A failure is the "Graph not saved" alert, its message naming the path.
Outcome<void> writeActivityGraphFile(const ActivityGraphContent& content,
                                     const std::filesystem::path& path, PictureSize size = {},
                                     std::optional<std::string> format = std::nullopt);

}  // namespace vane::graph
