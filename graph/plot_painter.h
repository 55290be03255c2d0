#pragma once

#include <vector>

#include "graph/graph_canvas.h"

namespace vane::graph {

// Whether the plot is a legend entry rather than a curve of the plot area.
bool isLegendPlot(const XYGraph& graph, const ScatterPlot& plot);

// The plot's records on the canvas, in their plot space; none without data or plot space.
std::vector<CanvasPoint> canvasPointsOf(const GraphCanvas& canvas, const ScatterPlot& plot);

// Every plot but the legend entries: its line clipped to the plot area, its symbols whole.
void paintPlots(const GraphCanvas& canvas);

}  // namespace vane::graph
