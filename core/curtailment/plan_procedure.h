#pragma once

#include <optional>
#include <vector>

#include "core/curtailment/curtailment_plan.h"

namespace vane {

// Both plans as made from some nights, with what the tailored plan was planned on.
struct MadePlans {
    BlanketPlan blanket;                       // its totals on those nights
    TailoredPlan tailored;                     // its cells and totals on those nights
    std::vector<CellActivity> plannedOn;       // the counts, or the model's expectation
    std::vector<std::optional<double>> fixed;  // cells too sparse to decide: their month's
};

// In every validation fold the estimate re-runs exactly this: the blanket plan from the counts,
// the tailored plan from the fit the options ask for, sparse cells with their month's cut-in.
MadePlans makePlans(const CurtailmentData& data, const NightSelection& take,
                    const CurtailmentOptions& options);

// The units the model's expected activity is counted in: fine enough that rounding moves a
// share by less than a hundredth of a point.
inline constexpr std::int64_t kModelUnits = 100000;

}  // namespace vane
