#pragma once

#include <string>
#include <vector>

#include "core/curtailment/curtailment_plan.h"

namespace vane {

// Every number a plan's table, summary, JSON and report show.
struct CurtailmentResult {
    double protectPercent = 90.0;
    bool energyKnown = false;
    std::optional<double> temperatureFloor;
    CurtailmentData data;
    BlanketPlan blanket;
    TailoredPlan tailored;
    std::vector<TradeoffPoint> tradeoff;  // 50 to 99 %
    std::vector<HoldoutCheck> holdout;    // empty with fewer than two years
};

inline constexpr int kTradeoffFrom = 50;
inline constexpr int kTradeoffTo = 99;

// Places the intervals in their cells and makes both plans, the trade-off curve and the
// held-out checks.
CurtailmentResult curtailmentResult(const std::vector<TurbineInterval>& intervals, const Site& site,
                                    const CurtailmentOptions& options, const icu::TimeZone& zone);

// The tailored plan's cells that had intervals, as the table's rows
// "month night_part cut_in activity protected curtailed_hours energy_lost_kWh", with its header.
std::string curtailmentTable(const CurtailmentResult& result);

// The two summary lines, blanket then tailored, each ending in a line break.
std::string curtailmentSummary(const CurtailmentResult& result);

// The held-out check as a table with its header; empty without one.
std::string holdoutTable(const CurtailmentResult& result);

// The whole result as one JSON object.
std::string curtailmentJson(const CurtailmentResult& result);

}  // namespace vane
