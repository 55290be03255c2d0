#include "core/analysis/series_activity_analysis.h"

#include <algorithm>
#include <map>
#include <set>

#include "core/analysis/activity_classes.h"
#include "core/analysis/bat_events.h"
#include "core/recordings/bat_species.h"
#include "core/recordings/recording_filter.h"

namespace vane {

std::vector<RecordingSeries> splitIntoSeries(const std::vector<Recording>& recordings,
                                             const LabelTable& labels,
                                             const SpeciesGroups* groups) {
    std::vector<std::string> seriesOfIndex;
    // Labels that are one ("NYCNOC", "Nyctalus noctula"; "Noise", "NOISE") make one series,
    // named as the first of them.
    std::map<std::string, std::string> seriesOfKey;
    for (const std::string& label : labels.names()) {
        const std::string series = seriesOfLabel(label, groups);
        seriesOfIndex.push_back(groups == nullptr && !label.empty()
                                    ? seriesOfKey.try_emplace(labelKey(label), series).first->second
                                    : series);
    }
    std::map<std::string, std::vector<Recording>> byName;
    for (const Recording& recording : recordings) {
        const std::string& name = recording.label < seriesOfIndex.size()
                                      ? seriesOfIndex[recording.label]
                                      : seriesOfIndex.front();
        byName[name].push_back(recording);
    }
    std::vector<std::string> order;
    if (groups != nullptr) {
        for (const SpeciesGroup& group : groups->groups()) {
            order.push_back(group.name);
        }
    }
    for (const auto& [name, unused] : byName) {
        if (std::find(order.begin(), order.end(), name) == order.end() && name != "other" &&
            name != "unlabelled") {
            order.push_back(name);
        }
    }
    order.push_back("other");
    order.push_back("unlabelled");
    std::vector<RecordingSeries> series;
    for (const std::string& name : order) {
        if (auto found = byName.find(name); found != byName.end()) {
            series.push_back({name, std::move(found->second)});
            byName.erase(found);
        }
    }
    return series;
}

ActivityAnalysisResult analyseActivityPerSeries(const std::vector<RecordingSeries>& series,
                                                double gridOrigin, const WindTable& table,
                                                const ActivityAnalysisOptions& options,
                                                const icu::TimeZone& localZone) {
    ActivityAnalysisResult combined;
    std::vector<std::pair<std::string, ClassCounts>> curves;
    bool anyOverlap = false;
    for (const RecordingSeries& one : series) {
        const BatEventList events = batEvents(sortedByRecordingTime(one.recordings), gridOrigin);
        ActivityAnalysisResult part = analyseActivityAndWind(events, table, options, localZone);
        if (part.refused) {
            return part;
        }
        // A series that never meets the wind data is said once below, for all of them.
        if (part.stoppedAtNoTimeOverlap) {
            part.alerts.pop_back();
        }
        for (AnalysisAlert& alert : part.alerts) {
            if (std::find(combined.alerts.begin(), combined.alerts.end(), alert) ==
                combined.alerts.end()) {
                combined.alerts.push_back(std::move(alert));
            }
        }
        anyOverlap = anyOverlap || !part.stoppedAtNoTimeOverlap;
        for (const std::string& name : part.seriesNames) {
            const std::string curve = part.legend ? name + " x " + one.name : one.name;
            curves.emplace_back(curve, part.classCounts[name]);
        }
        if (part.seriesNames.empty()) {
            curves.emplace_back(one.name, ClassCounts{});
        }
    }
    if (!anyOverlap) {
        combined.alerts.push_back(noTimeOverlapAlert());
        combined.stoppedAtNoTimeOverlap = true;
        return combined;
    }
    // A state's curves side by side, series within it, as the state analysis orders states.
    if (options.stateColumn > 0) {
        std::stable_sort(curves.begin(), curves.end(), [](const auto& a, const auto& b) {
            return a.first.substr(0, a.first.rfind(" x ")) <
                   b.first.substr(0, b.first.rfind(" x "));
        });
    }

    const DecimalNumberText numbers(options.decimalSeparator);
    std::set<double> keys;
    std::vector<std::int64_t> totals;
    for (const auto& [name, counts] : curves) {
        std::int64_t total = 0;
        for (const auto& [key, count] : counts) {
            keys.insert(key);
            total += count;
        }
        totals.push_back(total);
        combined.plotData[name];
        combined.seriesNames.push_back(name);
        combined.summaries.push_back({name, activityLevels(counts)});
        combined.classCounts[name] = counts;
    }
    std::vector<float> cumulative(curves.size(), 0.0f);
    for (const double key : keys) {
        const float lowerBound = classLowerBound(key);
        const std::string label = numbers.formatLabel(lowerBound);
        for (std::size_t j = 0; j < curves.size(); ++j) {
            const ClassCounts& counts = curves[j].second;
            const auto found = counts.find(key);
            const std::int64_t count = found == counts.end() ? 0 : found->second;
            cumulative[j] += shareOf(count, totals[j]);
            combined.pasteboardText += label + '\t' + std::to_string(count) + '\t';
            combined.plotData[curves[j].first].push_back({lowerBound, cumulative[j]});
        }
        combined.pasteboardText += '\n';
    }
    combined.legend = true;
    combined.xRangeLength = options.plotTemp && options.stateColumn == 0 ? 40.0 : 25.0;
    combined.yRangeLength = 1.0;
    return combined;
}

}  // namespace vane
