#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/curtailment/curtailment_result.h"

namespace vane {

// What the farm's one plan does at one of its turbines.
struct FarmPlanTurbine {
    std::int64_t activity = 0;  // in the turbine's nights
    TailoredPlan plan;          // the farm plan's cut-ins on the turbine's nights, as counted
    double productionKwh = 0.0;
    std::optional<double> temperatureFloor;  // the turbine's own
    ShareEstimate expected;  // of the turbine's activity, on nights the plans were not made from
};

// One plan for every turbine, made from their pooled nights: each turbine's intervals keep
// their own wind, temperature and power, and each turbine's bats count against its own. A
// turbine's temperature floor stays its own (it decided which of its intervals may stop).
struct FarmPlan {
    // As a turbine's plan, over the pooled nights; its temperature floor is none unless every
    // turbine has the same.
    CurtailmentResult result;
    std::vector<FarmPlanTurbine> turbines;  // in the order given
};

// Two turbines whose plans were made with settings one plan cannot serve both with.
struct FarmPlanMismatch {
    std::size_t first = 0;  // indexes of the turbines given
    std::size_t other = 0;
    std::string setting;  // its project key, such as "night-parts"
};

// The first setting in which a turbine's plan differs from the first turbine's; none when
// they all agree (or fewer than two are given).
std::optional<FarmPlanMismatch> farmPlanMismatch(
    const std::vector<const CurtailmentResult*>& plans);

// The turbines' nights joined night by night (by the day a night starts on), their classes
// summed, with every count and the season's coverage of the farm.
CurtailmentData pooledData(const std::vector<const CurtailmentData*>& turbines);

// The farm's plan from the turbines' plans (at least one, agreeing in their settings): made,
// estimated and held out as a turbine's plan is, on the pooled nights, at the turbines' mean
// site; then counted and held out per turbine on its own nights with the same folds.
FarmPlan farmPlan(const std::vector<const CurtailmentResult*>& plans);

// The farm plan at the farm's turbine `index`, whose own plan is `turbine`: its cut-ins on the
// turbine's nights, with the turbine's floor and night lengths (for its controller's table).
CurtailmentResult farmPlanAt(const FarmPlan& farm, std::size_t index,
                             const CurtailmentResult& turbine);

// The farm plan as a turbine's plan's JSON object with, under "turbines", what it does at each
// (named by `names`, in the plan's order).
std::string farmPlanJson(const FarmPlan& farm, const std::vector<std::string>& names,
                         const PlanSources& sources);

}  // namespace vane
