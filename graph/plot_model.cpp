#include "graph/plot_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vane::graph {
namespace {

struct Extent {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    void include(double value) {
        if (std::isfinite(value)) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
    bool empty() const { return low > high; }
};

}  // namespace

bool PlotSpace::userChangesRange(PlotRange proposed, Coordinate coordinate) {
    if (!allowsUserInteraction) {
        return false;
    }
    const PlotRange accepted =
        delegate != nullptr ? delegate->plotSpace(*this, proposed, coordinate) : proposed;
    PlotRange& current = range(coordinate);
    if (accepted == current) {
        return false;
    }
    current = accepted;
    return true;
}

void scaleToFitPlots(PlotSpace& space, const std::vector<const ScatterPlot*>& plots) {
    Extent x;
    Extent y;
    for (const ScatterPlot* plot : plots) {
        if (plot == nullptr || plot->dataSource == nullptr) {
            continue;
        }
        const std::size_t count = plot->dataSource->numberOfRecordsForPlot(*plot);
        for (std::size_t i = 0; i < count; ++i) {
            x.include(plot->dataSource->numberForPlot(*plot, kScatterPlotFieldX, i));
            y.include(plot->dataSource->numberForPlot(*plot, kScatterPlotFieldY, i));
        }
    }
    if (!x.empty()) {
        space.xRange = {.location = x.low, .length = x.high - x.low};
    }
    if (!y.empty()) {
        space.yRange = {.location = y.low, .length = y.high - y.low};
    }
}

}  // namespace vane::graph
