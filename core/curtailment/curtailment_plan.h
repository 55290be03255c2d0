#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "core/curtailment/nights.h"
#include "core/icu_forward.h"

namespace vane {

// One row of the wind file as the plan sees it: the interval ending at `end`, its readings and
// the activity the analysis's matching rule gave it.
struct TurbineInterval {
    double end = 0.0;                  // seconds since the Unix epoch
    double seconds = 600.0;            // its length
    std::optional<float> wind;         // m/s; none: no reading, never stopped
    std::optional<float> temperature;  // °C; none: no reading, taken as warm enough to stop
    double powerKw = 0.0;              // mean power over the interval
    std::int64_t activity = 0;         // bins, or recordings when those are counted
};

// When the detector was recording, as [start, end) spans.
struct EffortSpan {
    double start = 0.0;
    double end = 0.0;
};

struct CurtailmentOptions {
    double protectPercent = 90.0;
    NightOptions night;
    std::optional<double> temperatureFloor;  // stop only at or above this temperature, °C
    bool energyKnown = false;  // a power column or curve gave powerKw; else hours are the cost
    // None: every night between the first and the last night with activity counts.
    std::optional<std::vector<EffortSpan>> effort;
};

// Of one cell (month, night part) and one wind class: what stopping below the class's upper
// bound spares and costs. Only intervals the temperature floor lets stop count here.
struct ClassStop {
    std::int64_t activity = 0;  // that stopping would protect
    double energyKwh = 0.0;
    double hours = 0.0;
};

struct CellActivity {
    std::map<double, ClassStop> stops;  // by class key (floor of twice the wind speed)
    std::int64_t activity = 0;          // all activity of the cell, warm or cold
    std::int64_t intervals = 0;         // with a wind reading, inside the effort
};

// Cells indexed (month - 1) * parts + part, for the nights starting in one year.
struct YearCells {
    int year = 0;
    std::vector<CellActivity> cells;
};

// Everything the plans are made from, once the intervals have been placed in their cells.
struct CurtailmentData {
    int parts = 10;
    std::vector<YearCells> years;                    // ascending
    std::map<double, std::int64_t> activityByClass;  // night activity per wind class, for the curve
    std::int64_t activityInNights = 0;
    std::int64_t activityOutsideNights = 0;  // within the effort, between the nights
    std::int64_t activityOutsideEffort = 0;  // in intervals the detector was not recording
    std::int64_t activityWithoutWind = 0;    // in night intervals without a wind reading
    double productionKwh = 0.0;              // all intervals, day and night, of the period
    double periodStart = 0.0;
    double periodEnd = 0.0;
    int nightsInPeriod = 0;
    int nightsWithData = 0;    // with at least one interval inside the effort
    int daysWithoutNight = 0;  // polar day or night within the period
    bool effortFromRecordings = false;
};

// Places every interval in its night cell, within the effort.
CurtailmentData curtailmentData(const std::vector<TurbineInterval>& intervals, const Site& site,
                                const CurtailmentOptions& options, const icu::TimeZone& zone);

struct CellCutIn {
    int month = 1;     // 1..12
    int part = 0;      // 0-based
    double cutIn = 0;  // m/s, a multiple of 0.5; 0: never stopped
    std::int64_t activity = 0;
    std::int64_t protectedActivity = 0;
    double energyLostKwh = 0.0;
    double curtailedHours = 0.0;
};

struct PlanTotals {
    std::int64_t protectedActivity = 0;
    double protectedShare = 0.0;  // of all night activity
    double energyLostKwh = 0.0;
    double curtailedHours = 0.0;
    bool targetReached = true;  // false: even stopping in every wind spares less than asked
};

struct BlanketPlan {
    double cutIn = 0.0;
    PlanTotals totals;
};

struct TailoredPlan {
    std::vector<CellCutIn> cells;  // every month and part, month first
    PlanTotals totals;
};

struct TradeoffPoint {
    int protectPercent = 0;
    // kWh, or hours without energy; none when no plan reaches the share
    std::optional<double> blanketCost;
    std::optional<double> tailoredCost;
};

struct HoldoutCheck {
    int year = 0;
    std::int64_t activity = 0;
    double tailoredShare = 0.0;  // protected by the plan made from the other years
    double blanketShare = 0.0;
};

// Sums the years chosen by `keep` (all when it is empty) into one year's worth of cells.
std::vector<CellActivity> cellsOfYears(const CurtailmentData& data, const std::vector<int>& keep);

// The smallest single cut-in for every cell that protects `percent` % of the cells' activity.
BlanketPlan blanketPlan(const std::vector<CellActivity>& cells, double percent, bool energyKnown);

// One cut-in per cell protecting `percent` % at the least cost (energy, or hours without it):
// a multiple-choice knapsack solved exactly by dynamic programming over the activity that may go
// unprotected. Among plans of equal cost the one protecting more is taken.
TailoredPlan tailoredPlan(const std::vector<CellActivity>& cells, int parts, double percent,
                          bool energyKnown);

// Lost energy (or hours) of both plans for every whole percent from `fromPercent` to
// `toPercent`, from one run of the dynamic programme.
std::vector<TradeoffPoint> tradeoffCurve(const std::vector<CellActivity>& cells, int fromPercent,
                                         int toPercent, bool energyKnown);

// For each year of two or more: the share the plans made from the other years protect in it.
std::vector<HoldoutCheck> holdoutChecks(const CurtailmentData& data, double percent,
                                        bool energyKnown);

// The activity the protection target asks for: the least whole number of at least `percent` %
// of `total`.
std::int64_t requiredActivity(std::int64_t total, double percent);

// Protected activity, lost energy and hours of given cut-ins (one per cell) on `cells`.
PlanTotals applyCutIns(const std::vector<CellActivity>& cells, const std::vector<double>& cutIns);

}  // namespace vane
