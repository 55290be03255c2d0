#pragma once

#include <string>
#include <vector>

#include "core/curtailment/curtailment_plan.h"
#include "core/curtailment/plan_validation.h"

namespace vane {

// Every number a plan's table, summary, JSON and report show, and the settings it was made with.
struct CurtailmentResult {
    double protectPercent = 90.0;
    Site site;
    NightOptions night;
    bool energyKnown = false;
    std::optional<double> temperatureFloor;
    PlanFit fit = PlanFit::model;
    int minCellActivity = 0;
    CurtailmentData data;
    BlanketPlan blanket;
    TailoredPlan tailored;
    std::vector<TradeoffPoint> tradeoff;  // 50 to 99 %
    PlanValidation validation;            // on nights the plans were not made from
};

// What a plan was made from besides its settings, named for the JSON and the report.
struct PlanSources {
    std::string windFile;      // its name
    std::string power;         // "column Power (kW)", "curve turbine.csv"; empty: none
    std::string zoneName;      // the zone the nights' local times are in
    std::string recordings{};  // "recordings.txt", "library farm.vanelib, sessions A, B"
    // As the user names them, for the report's head; empty: not named.
    std::string project{};
    std::string turbine{};
    std::string detector{};
};

inline constexpr int kTradeoffFrom = 50;
inline constexpr int kTradeoffTo = 99;

// Places the intervals in their cells and makes both plans, the trade-off curve and their
// estimate on nights they were not made from.
CurtailmentResult curtailmentResult(const std::vector<TurbineInterval>& intervals, const Site& site,
                                    const CurtailmentOptions& options, const icu::TimeZone& zone);
// The same from intervals already placed (a farm's pooled nights, say).
CurtailmentResult curtailmentResult(CurtailmentData data, const Site& site,
                                    const CurtailmentOptions& options);

// The tailored plan's cells that had intervals, as the table's rows "month night_part cut_in
// activity protected curtailed_hours energy_lost_kWh decided_by", with its header.
std::string curtailmentTable(const CurtailmentResult& result);

// Each plan's summary line and the line of its estimate, blanket then tailored, then how the
// estimate was made; each line ends in a line break.
std::string curtailmentSummary(const CurtailmentResult& result);

// The held-out years as a table with its header; empty without held-out years.
std::string holdoutTable(const CurtailmentResult& result);

// "expected 89 % (84-93 %)": the share rounded, the interval widened to whole percent.
std::string expectedShareText(const ShareEstimate& estimate);

// How the estimate was made, as a sentence without its full stop.
std::string validationText(const PlanValidation& validation);

// How the tailored plan read the activity: "activity model" or "exact fit, in-sample".
std::string fitText(PlanFit fit);

// The whole result as one JSON object, its settings and sources under "settings".
std::string curtailmentJson(const CurtailmentResult& result, const PlanSources& sources);

}  // namespace vane
