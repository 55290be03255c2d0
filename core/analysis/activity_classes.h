#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/analysis/activity_analysis.h"
#include "core/analysis/decimal_number_text.h"

namespace vane {

// Activity per value class. A class is named by floor(2 × reading), its key; it holds the
// readings from key × 0.5 up to, not including, key × 0.5 + 0.5. Ordered by value, so that a
// frosty night's classes come first.
using ClassCounts = std::map<double, std::int64_t>;

// The class of a reading taken in single precision, as the loggers' values are kept. A text that
// is no number, or a number beyond single precision, is no reading: it has no class, for a gap in
// the log counted as calm air would pull the curve towards low wind speeds.
std::optional<double> classKeyOf(std::optional<double> reading);

// The alert for matched activity bins whose row held no readable value; they are not counted.
AnalysisAlert readingsLeftOutAlert(std::int64_t bins, bool temperature);

// The alert that the recordings and the wind data never meet: the last of an analysis that
// stopped there (stoppedAtNoTimeOverlap).
AnalysisAlert noTimeOverlapAlert();

// The lower bound of a class, in single precision like the curve's points. Halved before the
// narrowing, so that the largest single-precision readings keep a finite bound.
inline float classLowerBound(double key) {
    return static_cast<float>(key * 0.5);
}

// Share of `count` in `total` for the cumulative curve; nothing counted adds nothing.
inline float shareOf(std::int64_t count, std::int64_t total) {
    return total == 0 ? 0.0f : static_cast<float>(count) / static_cast<float>(total);
}

// The 50, 80, 90 and 95 % levels, from the exact counts rather than the rounded curve.
std::vector<ActivityLevel> activityLevels(const ClassCounts& counts);

// The per-state analysis, once the caller has made sure that the columns are chosen.
ActivityAnalysisResult analyseActivityPerState(const BatEventList& events, const WindTable& table,
                                               const ActivityAnalysisOptions& options,
                                               const icu::TimeZone& localZone);

// The one alert of a run that could not start.
ActivityAnalysisResult refusedAnalysis(std::string title, std::string message);

}  // namespace vane
