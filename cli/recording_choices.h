#pragma once

#include <filesystem>
#include <optional>
#include <ostream>

#include "core/outcome/outcome.h"
#include "core/recordings/classifier_table.h"
#include "core/recordings/recording_filter.h"
#include "core/recordings/species_groups.h"

namespace CLI {
class App;
}

namespace vane::cli {

// Adds --time-column NAME (once, or twice for a date and a time column), --label-column NAME and
// --probability-column NAME, for tables no identification program wrote.
void addNamedColumnOptions(CLI::App& command, NamedColumns& named);

// Which recordings a command counts, and the groups its species names may name.
struct RecordingFilterOptions {
    RecordingFilter filter{};
    std::optional<std::filesystem::path> groupsFile{};
};

// Adds --species LIST, --min-probability P, --bats-only / --any-label and --groups FILE.
void addRecordingFilterOptions(CLI::App& command, RecordingFilterOptions& options);

// The groups of --groups FILE, or the shipped ones.
Outcome<SpeciesGroups> loadSpeciesGroups(const std::optional<std::filesystem::path>& file);

inline constexpr const char* kRecordingFilterHelp =
    "Recordings with species labels (from an identification program's table or a library) are\n"
    "filtered: those labelled noise or no ID are left out unless --any-label is given, and\n"
    "automatic labels below --min-probability (default 0.5) too; a label a person set counts\n"
    "whatever its probability. --species takes labels and group names; the groups are those of\n"
    "--groups FILE (lines 'group: label, label, ...'; LABEL* takes every label beginning so)\n"
    "or the shipped ones listed in the README. What is left out is said on standard error.";

}  // namespace vane::cli
