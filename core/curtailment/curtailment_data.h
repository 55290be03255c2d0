#pragma once

#include <cstdint>
#include <limits>
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

// How the tailored plan reads the activity of its cells.
enum class PlanFit {
    model,  // the activity a count model on wind, temperature, month and night part expects
    exact,  // the counts as they fell: least energy on the data, in sample only
};

struct CurtailmentOptions {
    double protectPercent = 90.0;
    NightOptions night;
    std::optional<double> temperatureFloor;  // stop only at or above this temperature, °C
    bool energyKnown = false;  // a power column or curve gave powerKw; else hours are the cost
    // None: every night between the first and the last night with activity counts.
    std::optional<std::vector<EffortSpan>> effort;
    PlanFit fit = PlanFit::model;
    // A cell with fewer active intervals takes its month's cut-in; 0: every cell decides.
    int minCellActivity = 0;
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
    std::int64_t activeIntervals = 0;   // of those, the ones with activity
};

inline constexpr int kNoTemperature = std::numeric_limits<std::int16_t>::min();

// What one night's intervals gave one cell in one wind class and temperature class.
struct NightClass {
    int cell = 0;  // (month - 1) * parts + part
    double windKey = 0.0;
    int temperatureKey = kNoTemperature;  // floor of half the temperature: 2 °C classes
    bool stoppable = true;                // the temperature floor lets these intervals stop
    std::int64_t activity = 0;
    std::int64_t intervals = 0;
    std::int64_t activeIntervals = 0;
    double energyKwh = 0.0;
    double hours = 0.0;
};

struct NightActivity {
    int year = 0;  // of the day the night starts on
    int month = 1;
    long day = 0;          // that day, counted from 1970-01-01, to order and group nights
    double seconds = 0.0;  // its length, widened as asked
    std::vector<NightClass> classes;  // ordered by cell, then class
};

// One night of the period as the season's coverage calendar shows it.
struct NightCoverage {
    CivilDate date;          // the day it starts on
    bool monitored = false;  // the effort reaches into it
    std::int64_t activity = 0;
    double windShare = 0.0;  // of its length, covered by intervals with a wind reading
};

// Everything the plans are made from, once the intervals have been placed in their cells.
struct CurtailmentData {
    int parts = 10;
    std::vector<NightActivity> nights;               // ascending; those with data in the effort
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
    int minutesBeforeSunset = 0;  // of the nights, for a controller's table
    int minutesAfterSunrise = 0;
    std::vector<NightCoverage> coverage;  // every night of the period, ascending
    // Turbines whose nights are summed here (a farm's pooled nights): they saw the same nights,
    // so the model weighs their evidence as one turbine's, and a cell's activity is sparse by
    // the mean turbine's.
    int turbines = 1;
};

// Places every interval in its night cell, within the effort.
CurtailmentData curtailmentData(const std::vector<TurbineInterval>& intervals, const Site& site,
                                const CurtailmentOptions& options, const icu::TimeZone& zone);

// Which nights a computation takes, one flag per night of the data; empty: all of them.
using NightSelection = std::vector<bool>;

// Intervals summed by cell, wind class, temperature class and whether they may stop: what the
// plans and the model read, summed once for each choice of nights.
struct ClassSums {
    int parts = 10;
    std::vector<NightClass> classes;  // ordered by those four, each once
    int turbines = 1;                 // whose nights are summed (see CurtailmentData)
};
ClassSums classSums(const CurtailmentData& data, const NightSelection& take = {});
ClassSums joined(const ClassSums& a, const ClassSums& b);

// The sums as cells, indexed (month - 1) * parts + part.
std::vector<CellActivity> cellsOf(const ClassSums& sums);
// The selected nights as cells.
std::vector<CellActivity> cellsOf(const CurtailmentData& data, const NightSelection& take = {});

// The distinct years of the nights, ascending, with the activity of each.
std::vector<std::pair<int, std::int64_t>> activityByYear(const CurtailmentData& data);

}  // namespace vane
