#pragma once

#include "graph/legend_placement.h"
#include "graph/plot_model.h"

class QPainter;

namespace vane::graph {

// The plot area of a graph drawn `width` by `height` points: inside the paddings.
CanvasRect plotAreaOf(const XYGraph& graph, double width, double height);

// Where plot space coordinates land on a canvas whose plot area is `area`.
CanvasPoint canvasPointOf(const PlotSpace& space, const CanvasRect& area, double x, double y);

// Draws the graph on a canvas `width` by `height` points large. The painter's coordinates must be
// points with the origin at the top left; the same drawing serves screen, PDF, SVG and images.
void renderGraph(const XYGraph& graph, QPainter& painter, double width, double height);

}  // namespace vane::graph
