#pragma once

#include <QString>
#include <vector>

#include "graph/plot_model.h"

namespace vane::graph {

// The plot coordinates of an axis's ticks inside a range, ascending.
struct AxisTicks {
    std::vector<double> major;
    std::vector<double> minor;
};

// Major ticks on the multiples of the axis's interval and its minor ticks between them. An axis
// whose ticks would be too dense to read gets no minor ticks, or none at all.
AxisTicks ticksOf(const Axis& axis, const PlotRange& range);

// Where an axis crosses the other coordinate: at 0 when that lies in range, otherwise at the
// nearer edge; at the low edge for an axis positioned relative to the plot area.
double crossingOf(const Axis& axis, const PlotRange& otherRange);

// A tick's label: fixed-point with at most the format's maximum of fraction digits, trailing
// zeros dropped down to its minimum, and a true minus sign; a value that rounds to zero has none.
QString tickLabel(double value, const NumberFormat& format);

}  // namespace vane::graph
