#pragma once

#include "graph/axis_ticks.h"
#include "graph/graph_canvas.h"

namespace vane::graph {

// The grid lines of both axes, clipped to the plot area: the minor ones under the major ones.
void paintGrids(const GraphCanvas& canvas, const AxisTicks& xTicks, const AxisTicks& yTicks);

// An axis line across the plot area with its ticks, their labels and the axis title.
void paintAxis(const GraphCanvas& canvas, const Axis& axis, const AxisTicks& ticks);

}  // namespace vane::graph
