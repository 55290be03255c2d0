#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "cli/command.h"
#include "cli/wind_file_options.h"

namespace vane::cli {

struct InspectOptions {
    std::filesystem::path windFile;
    WindFileOptions reading;
    std::optional<std::string> dateColumn;  // number from 1 or title, instead of the guess
    std::optional<std::string> timeColumn;  // a time of day apart from the date
    std::optional<std::string> dayColumn;   // the day of the year beside a year column
    std::optional<std::string> zone;        // as analyse's --zone
};

inline constexpr std::size_t kInspectPreviewRows = 5;

// Writes what the preview sheet would show, one "key: value" a line. An unreadable file answers
// exit status 2 with the "Problem with file" alert (and the reason) on `err`.
int runInspect(const InspectOptions& options, std::ostream& out, std::ostream& err);

// Registers "vane inspect"; when it is chosen, `action` runs it.
void addInspectCommand(CLI::App& app, CommandAction& action);

}  // namespace vane::cli
