#include "cli/recording_choices.h"

#include <CLI/CLI.hpp>

#include "core/recordings/list_file.h"

namespace vane::cli {

void addNamedColumnOptions(CLI::App& command, NamedColumns& named) {
    command
        .add_option("--time-column", named.time,
                    "For a table no identification program wrote: the column of the time stamp,\n"
                    "or given twice, the date column and the time column (names from the header)")
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    command.add_option("--label-column", named.label,
                       "With --time-column: the species label's column");
    command.add_option("--probability-column", named.probability,
                       "With --time-column: the column of the label's probability, 0 to 1");
}

void addRecordingFilterOptions(CLI::App& command, RecordingFilterOptions& options) {
    command
        .add_option("--species", options.filter.species,
                    "Count only these labels or groups (comma-separated or repeated)")
        ->delimiter(',')
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    command
        .add_option("--min-probability", options.filter.minProbability,
                    "Leave out automatic labels below this probability (default 0.5)")
        ->check(CLI::Range(0.0, 1.0));
    command.add_flag("--bats-only,!--any-label", options.filter.batsOnly,
                     "Leave out recordings labelled noise or no ID (the default); --any-label "
                     "keeps them");
    command
        .add_option("--groups", options.groupsFile,
                    "Species groups file instead of the shipped groups")
        ->check(CLI::ExistingFile);
}

Outcome<SpeciesGroups> loadSpeciesGroups(const std::optional<std::filesystem::path>& file) {
    if (!file) {
        return defaultSpeciesGroups();
    }
    Outcome<std::string> text = readListFile(*file, kSpeciesGroupsKind);
    if (!text) {
        return std::move(text).error();
    }
    return parseSpeciesGroups(*text, file->string());
}

}  // namespace vane::cli
