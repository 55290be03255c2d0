#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/recording_choices.h"
#include "core/icu_forward.h"

namespace vane::cli {

struct EventsOptions {
    std::filesystem::path recordingList;
    bool counts = false;
    std::optional<std::filesystem::path> library{};  // read instead of recordingList
    std::vector<std::string> sessions{};             // of the library; none means all
    NamedColumns named{};                            // of a table no program wrote
    RecordingFilterOptions filter{};
};

// Writes the end times of the occupied activity bins (or, with counts, the table
// "bin_end<TAB>count"). An unreadable list answers exit status 2 with one line on `err`.
int runEvents(const EventsOptions& options, const icu::TimeZone& zone, const icu::Locale& locale,
              std::ostream& out, std::ostream& err);

// Registers "vane events"; when it is chosen, `action` runs it.
void addEventsCommand(CLI::App& app, CommandAction& action);

}  // namespace vane::cli
