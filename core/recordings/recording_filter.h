#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/recordings/recording.h"
#include "core/recordings/species_groups.h"
#include "core/recordings/species_label.h"

namespace vane {

// Automatic labels below this probability are left out unless the user says otherwise.
inline constexpr double kDefaultMinProbability = 0.5;

// Which recordings an analysis counts.
struct RecordingFilter {
    std::vector<std::string> species{};      // labels or group names; none: every label
    std::optional<double> minProbability{};  // nothing: kDefaultMinProbability
    bool batsOnly = true;                    // leave out recordings labelled noise or no ID
};

struct FilteredRecordings {
    std::vector<Recording> kept;  // in the order given
    std::size_t noBat = 0;
    std::size_t belowProbability = 0;
    std::size_t otherSpecies = 0;

    std::size_t leftOut() const { return noBat + belowProbability + otherSpecies; }
};

// A recording without a label passes the species and bat tests, as it always counted; one
// without a probability, or with a label a person set, passes the probability test.
FilteredRecordings filterRecordings(const std::vector<Recording>& recordings,
                                    const LabelTable& labels, const SpeciesGroups& groups,
                                    const RecordingFilter& filter);

// The series a recording's label belongs to when the analysis is split: the label itself, or
// its group ("other" for a label in none, "unlabelled" for none).
std::string seriesOfLabel(const std::string& label, const SpeciesGroups* groups);

}  // namespace vane
