#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/recording_choices.h"
#include "core/icu_forward.h"
#include "core/outcome/outcome.h"
#include "core/recordings/recording.h"
#include "core/recordings/session.h"
#include "core/recordings/species_groups.h"
#include "core/recordings/species_label.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace vane::cli {

// Where a command takes its recordings from: a recording list, or sessions of a library.
struct RecordingSource {
    std::filesystem::path recordingList;
    std::optional<std::filesystem::path> library{};
    std::vector<std::string> sessions{};  // of the library; none means every session
    NamedColumns named{};                 // of a table no identification program wrote
    RecordingFilterOptions filter{};      // which of the recordings count
};

// Adds --library FILE and --session NAME (repeatable) to `command`, beside the option (or
// positional argument) `recordingList` that names a recording list. Giving both, or neither
// when `oneRequired`, is a usage error.
void addLibraryOptions(CLI::App& command, CLI::Option* recordingList,
                       std::optional<std::filesystem::path>& library,
                       std::vector<std::string>& sessions, bool oneRequired = true);

struct LoadedRecordings {
    std::vector<Recording> recordings;  // those the filter let through
    std::vector<Session> sessions;      // only from a library
    LabelTable labels{};                // the recordings' labels point into it
    SpeciesGroups groups{};             // of --groups, or the shipped ones
    std::string leftOutNote{};  // what the filter left out, for standard error; empty: nothing
    std::string note{};         // one line to show beside what was read, or empty
};

// Reads the recordings of a library, an identification program's table (recognised from its
// header, or named with --time-column) or a recording list, and filters those with labels.
Outcome<LoadedRecordings> loadRecordings(const RecordingSource& source, const icu::TimeZone& zone);

// Writes the note of what the filter left out, if any, to `err`.
void sayRecordingsLeftOut(const LoadedRecordings& loaded, std::ostream& err);

// Writes the note of `loaded`, when it has one, to `err` on its line.
void sayLoadNote(const LoadedRecordings& loaded, std::ostream& err);

// Writes "Recordings left out: ..." to `err` when some recordings lie before the first activity
// bin, so that a count that looks too small is explained.
void sayRecordingsBeforeTheBins(const std::vector<Recording>& recordings, const icu::TimeZone& zone,
                                std::ostream& err);

inline constexpr const char* kLibrarySourceHelp =
    "--library FILE takes the recordings of a Vane library (as vane-desk writes it) instead of\n"
    "a recording list: of the sessions named with --session NAME (repeat it for several), or of\n"
    "every session. FILE may be a postgresql://USER@HOST/DATABASE URL of a shared library (the\n"
    "PG* variables fill in what it leaves out; a password only from the password file).";

}  // namespace vane::cli
