#pragma once

#include <cstdint>
#include <vector>

#include "core/analysis/activity_analysis.h"
#include "core/analysis/bat_events.h"
#include "core/curtailment/curtailment_plan.h"
#include "core/curtailment/power_curve.h"
#include "core/icu_forward.h"
#include "core/import/wind_table.h"

namespace vane {

// Where an interval's power comes from. Columns count as the panel's choosers do: 0 is none,
// k is table column k - 1.
struct PowerSource {
    int powerColumn = 0;                // kW, the mean over the interval
    const PowerCurve* curve = nullptr;  // from the wind speed, when there is no column
};

struct TurbineIntervalScan {
    std::vector<TurbineInterval> intervals;  // one per data row with a readable date
    bool unreadableDate = false;
    bool endReached = false;             // activity after the last row
    std::int64_t activityMatched = 0;    // in bins the rows hold
    std::int64_t activityUnmatched = 0;  // in bins no row holds
    std::int64_t rowsWithoutPower = 0;   // a power column chosen, its field no number: 0 kW
};

// Reads the table's rows as intervals (the analysis's window: from the row before, at most ten
// minutes, to the row's own stamp shifted by the offset) with their wind, temperature (when the
// options name a column) and power, and gives each the activity of the bins the analysis's rule
// matches to it. The wind and date columns must be chosen.
TurbineIntervalScan turbineIntervals(const BatEventList& events, const WindTable& table,
                                     const ActivityAnalysisOptions& options,
                                     const PowerSource& power, const icu::TimeZone& zone);

}  // namespace vane
