#include "core/analysis/activity_classes.h"

#include <cmath>

namespace vane {

double classKeyOf(std::optional<double> reading) {
    const float value = reading ? static_cast<float>(*reading) : 0.0f;
    if (!std::isfinite(value)) {
        return 0.0;
    }
    // + 0.0 turns -0 (a reading of "-0") into the class of 0 rather than a class of its own.
    return std::floor(2.0 * static_cast<double>(value)) + 0.0;
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
