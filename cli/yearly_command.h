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

inline constexpr const char* kDefaultYearlyPicture = "yearly.png";

struct YearlyOptions {
    std::optional<std::filesystem::path> recordingList;
    // Instead of both lists: the recordings and sessions of a library, of the named sessions or
    // of all.
    std::optional<std::filesystem::path> library;
    std::vector<std::string> librarySessions;
    NamedColumns named{};             // of a table no identification program wrote
    RecordingFilterOptions filter{};  // which recordings are drawn
    std::optional<int> year;          // of the recordings to draw; default: the first recording's
    double binWidthMinutes = 10.0;
    std::optional<double> latitude;  // overrides the first session's site
    std::optional<double> longitude;
    std::optional<std::filesystem::path> sessionList;
    bool bars = false;    // the bar picture of the sessions instead of the activity picture
    bool invert = false;  // inverted colours with the inversion filters over the view
    // The composed view, in the format its extension names; kDefaultYearlyPicture when neither
    // it nor `raster` is given.
    std::optional<std::filesystem::path> out;
    std::optional<std::filesystem::path> raster;  // the bare raster as binary PPM
};

// Draws the yearly picture and writes the files asked for, naming each on `out`. Bad options or
// unreadable lists answer exit status 2, no recordings to draw 3, each with one line on `err`.
int runYearly(const YearlyOptions& options, const icu::TimeZone& zone, std::ostream& out,
              std::ostream& err);

// Registers "vane yearly"; when it is chosen, `action` runs it.
void addYearlyCommand(CLI::App& app, CommandAction& action);

}  // namespace vane::cli
