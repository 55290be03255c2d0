#include "core/recordings/recording_filter.h"

#include <algorithm>

#include "core/recordings/bat_species.h"
#include "core/text/ascii.h"

namespace vane {
namespace {

enum class Verdict : unsigned char { Keep, NoBat, BelowProbability, OtherSpecies };

// Decided once per label rather than once per recording: millions of recordings share a few
// dozen labels.
std::vector<Verdict> labelVerdicts(const LabelTable& labels, const SpeciesGroups& groups,
                                   const RecordingFilter& filter) {
    std::vector<Verdict> verdicts;
    for (const std::string& label : labels.names()) {
        Verdict verdict = Verdict::Keep;
        if (filter.batsOnly && isNoBatLabel(label)) {
            verdict = Verdict::NoBat;
        } else if (!filter.species.empty() && !label.empty()) {
            const auto group = groups.groupOf(label);
            const bool wanted =
                std::any_of(filter.species.begin(), filter.species.end(), [&](const auto& name) {
                    return sameLabel(name, label) || (group && sameLetters(name, *group));
                });
            verdict = wanted ? Verdict::Keep : Verdict::OtherSpecies;
        }
        verdicts.push_back(verdict);
    }
    return verdicts;
}

}  // namespace

FilteredRecordings filterRecordings(const std::vector<Recording>& recordings,
                                    const LabelTable& labels, const SpeciesGroups& groups,
                                    const RecordingFilter& filter) {
    const std::vector<Verdict> verdicts = labelVerdicts(labels, groups, filter);
    const auto minimum = static_cast<float>(filter.minProbability.value_or(kDefaultMinProbability));
    FilteredRecordings result;
    result.kept.reserve(recordings.size());
    for (const Recording& recording : recordings) {
        const Verdict verdict =
            recording.label < verdicts.size() ? verdicts[recording.label] : Verdict::Keep;
        if (verdict == Verdict::NoBat) {
            ++result.noBat;
        } else if (verdict == Verdict::OtherSpecies) {
            ++result.otherSpecies;
        } else if (!recording.manualLabel && recording.hasProbability() &&
                   recording.probability < minimum) {
            ++result.belowProbability;
        } else {
            result.kept.push_back(recording);
        }
    }
    return result;
}

std::string seriesOfLabel(const std::string& label, const SpeciesGroups* groups) {
    if (label.empty()) {
        return "unlabelled";
    }
    if (groups == nullptr) {
        return label;
    }
    const auto group = groups->groupOf(label);
    return group ? std::string(*group) : "other";
}

}  // namespace vane
