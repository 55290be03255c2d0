#include "graph/activity_graph_file.h"

#include <utility>

#include "graph/offscreen_gui.h"

namespace vane::graph {

Outcome<void> writeActivityGraphFile(const ActivityGraphContent& content,
                                     const std::filesystem::path& path, PictureSize size,
                                     std::optional<std::string> format) {
    const OffscreenGui gui;
    ActivityGraph graph(content.plotTemp);
    graph.showAnalysis(content.plotData, content.seriesOrder, content.plotTemp, content.lengths,
                       content.withLegend);
    return writeGraphFile(graph.graph(), path, size, std::move(format));
}

}  // namespace vane::graph
