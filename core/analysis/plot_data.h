#pragma once

#include <map>
#include <string>
#include <vector>

namespace vane {

// One point of a cumulative curve: x the lower bound of a value class, y the cumulative share of
// bat activity, 0 to 1.
struct PlotPoint {
    double x = 0.0;
    double y = 0.0;
    friend bool operator==(const PlotPoint&, const PlotPoint&) = default;
};

// Series name to its points in plot order. A data plot's identifier is its series name.
using PlotData = std::map<std::string, std::vector<PlotPoint>>;

}  // namespace vane
