#pragma once

#include <string>
#include <vector>

#include "core/analysis/activity_analysis.h"
#include "core/icu_forward.h"
#include "core/import/wind_table.h"
#include "core/recordings/recording.h"
#include "core/recordings/species_groups.h"
#include "core/recordings/species_label.h"

namespace vane {

// The recordings of one curve: one species label, or one group of them.
struct RecordingSeries {
    std::string name;
    std::vector<Recording> recordings;
};

// One series per label (by name) or, with `groups`, per group (in the groups' order, then
// "other" for labels in no group). Recordings without a label form the series "unlabelled".
// Series that hold no recording are left out.
std::vector<RecordingSeries> splitIntoSeries(const std::vector<Recording>& recordings,
                                             const LabelTable& labels, const SpeciesGroups* groups);

// One curve per series, laid out like the per-state analysis: one pair of columns (class, count)
// per series over the classes any series counted, a legend, a summary per series. With a state
// column, one curve per state and series, named "state x series". A series that meets no wind
// data counts nothing; the run stops at no time overlap only when none meets it.
ActivityAnalysisResult analyseActivityPerSeries(const std::vector<RecordingSeries>& series,
                                                double gridOrigin, const WindTable& table,
                                                const ActivityAnalysisOptions& options,
                                                const icu::TimeZone& localZone);

}  // namespace vane
