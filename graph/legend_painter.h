#pragma once

#include "graph/graph_canvas.h"

namespace vane::graph {

// The legend plots and their title, laid out as one framed box in the corner of the plot area
// where it covers the least of the curves. Each entry shows its sample line from its first to
// its second record, a symbol at each end, and the series name to the right; entries run top
// down in the order of their heights. Nothing without a legend plot space.
void paintLegend(const GraphCanvas& canvas);

}  // namespace vane::graph
