#pragma once

#include <string>
#include <vector>

#include "core/curtailment/curtailment_result.h"

namespace vane {

// One turbine's line of a farm's summary, as texts to be shown.
struct FarmSummaryRow {
    std::string turbine;
    std::string activity;        // in the nights, as the plan counts it
    std::string blanketCutIn;    // m/s
    std::string tailoredCutIns;  // "0-6.5 m/s": the lowest and highest cell's
    std::string expected;        // the tailored plan's expected share with its interval
    std::string energyLost;      // MWh, or curtailed hours when no energy is known
    std::string energyShare;     // % of the production; "-" when not known
};

FarmSummaryRow farmSummaryRow(const std::string& turbine, const CurtailmentResult& result);

// The rows as a tab-separated table with its header.
std::string farmSummaryTable(const std::vector<FarmSummaryRow>& rows);

}  // namespace vane
