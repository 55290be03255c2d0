#pragma once

#include <string>
#include <vector>

#include "core/curtailment/curtailment_result.h"
#include "core/curtailment/farm_plan.h"

namespace vane {

// One turbine's line of a farm's summary, as texts to be shown.
struct FarmSummaryRow {
    std::string turbine{};
    std::string activity{};        // in the nights, as the plan counts it
    std::string blanketCutIn{};    // m/s
    std::string tailoredCutIns{};  // "0-6.5 m/s": the lowest and highest cell's
    std::string expected{};        // the tailored plan's expected share with its interval
    std::string energyLost{};      // MWh, or curtailed hours when no energy is known
    std::string energyShare{};     // % of the production; "-" when not known
    // The farm's one plan at this turbine: its share of the turbine's own activity on nights
    // the plan was not made from, with its interval, and the turbine's energy it costs.
    std::string farmPlanExpected = "-";
    std::string farmPlanEnergyLost = "-";
    std::string farmPlanEnergyShare = "-";
};

FarmSummaryRow farmSummaryRow(const std::string& turbine, const CurtailmentResult& result);

// Adds what the farm plan does at the farm's turbine `index` to that turbine's row.
void addFarmPlan(FarmSummaryRow& row, const FarmPlan& farm, std::size_t index);

// The farm plan's own line, over all turbines' pooled activity, named "farm plan".
FarmSummaryRow farmPlanRow(const FarmPlan& farm);

inline constexpr const char* kFarmPlanRowName = "farm plan";

// The rows as a tab-separated table with its header.
std::string farmSummaryTable(const std::vector<FarmSummaryRow>& rows);

}  // namespace vane
