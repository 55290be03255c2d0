#include "core/analysis/activity_classes.h"

#include <cmath>
#include <string>

namespace vane {

std::optional<double> classKeyOf(std::optional<double> reading) {
    if (!reading) {
        return std::nullopt;
    }
    const auto value = static_cast<float>(*reading);
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    // + 0.0 turns -0 (a reading of "-0") into the class of 0 rather than a class of its own.
    return std::floor(2.0 * static_cast<double>(value)) + 0.0;
}

AnalysisAlert readingsLeftOutAlert(std::int64_t bins, bool temperature) {
    const std::string reading = temperature ? "temperature" : "wind speed";
    return {"Readings left out",
            std::to_string(bins) +
                (bins == 1 ? " activity bin matched a row whose "
                           : " activity bins matched rows whose ") +
                reading +
                " is no number (empty, a gap marker, or another decimal separator). They are "
                "not counted."};
}

AnalysisAlert noTimeOverlapAlert() {
    return {"No time overlap",
            "It seems the selected recordings and the available wind data do not overlap in "
            "time. No measurements were taken."};
}

std::vector<ActivityLevel> activityLevels(const ClassCounts& counts) {
    std::int64_t total = 0;
    for (const auto& [key, count] : counts) {
        total += count;
    }
    std::vector<ActivityLevel> levels;
    if (total <= 0) {
        return levels;
    }
    for (const int percent : {50, 80, 90, 95}) {
        std::int64_t cumulative = 0;
        for (const auto& [key, count] : counts) {
            cumulative += count;
            if (cumulative * 100 >= total * percent) {
                levels.push_back({percent, static_cast<double>(classLowerBound(key)) + 0.5});
                break;
            }
        }
    }
    return levels;
}

ActivityAnalysisResult refusedAnalysis(std::string title, std::string message) {
    ActivityAnalysisResult result;
    result.refused = true;
    result.alerts.push_back({std::move(title), std::move(message)});
    return result;
}

}  // namespace vane
