#pragma once

#include <optional>
#include <vector>

#include "core/curtailment/curtailment_plan.h"

namespace vane {

// Both plans as made from some nights: the tailored one for several planned shares at once.
struct MadePlans {
    BlanketPlan blanket;                              // its totals on those nights
    std::vector<std::vector<double>> tailoredCutIns;  // per planned share, one per cell
    std::vector<CellActivity> counted;                // the nights' cells as counted
    std::vector<CellActivity> plannedOn;              // the counts, or the model's expectation
    std::vector<std::optional<double>> fixed;         // cells too sparse to decide: their month's
};

// What every validation fold runs again on its nights' sums: the blanket plan from the counts at
// the target, the tailored plan from the fit the options ask for at each of `plannedPercents`
// (shares of what it is planned on), sparse cells with their month's cut-in.
MadePlans makePlans(const ClassSums& sums, const CurtailmentOptions& options,
                    const std::vector<double>& plannedPercents);

// The tailored plan of `cutIns` as counted on the plans' nights.
TailoredPlan tailoredPlanOf(const MadePlans& plans, const std::vector<double>& cutIns, int parts);

// The shares a tailored plan may be planned for so that it keeps its target on nights it was
// not made from: the target, then half a point more each up to ten points more (the exact fit,
// in sample by its nature, only the target).
std::vector<double> plannedPercents(const CurtailmentOptions& options);

// The units the model's expected activity is counted in: each cell's count is rounded by at
// most half a unit, which moves a share of 120 cells by a tenth of a point at the very worst.
inline constexpr std::int64_t kModelUnits = 50000;

}  // namespace vane
