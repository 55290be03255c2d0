#pragma once

#include <cstdint>
#include <vector>

#include "core/curtailment/curtailment_data.h"

namespace vane {

// A Poisson model of the activity of one interval, log-linear in month, night part, wind speed
// (a linear spline) and temperature (when the intervals have one), with each cell's own level
// drawn towards what its month and part give it as far as its activity does not bear it out.
// Fitted by penalised iteratively reweighted least squares.
struct ActivityModel {
    int parts = 10;
    bool withTemperature = false;
    std::vector<double> coefficients;  // empty: nothing to fit (no activity)
};

// Fits the model to the summed intervals.
ActivityModel fitActivityModel(const ClassSums& sums);

// The activity the model expects in the summed intervals, as cells whose counts are that
// expectation scaled to `units` in all (costs stay those of the intervals). A model with
// nothing fitted expects nothing.
std::vector<CellActivity> expectedCells(const ActivityModel& model, const ClassSums& sums,
                                        std::int64_t units);

}  // namespace vane
