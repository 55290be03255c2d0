#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/recording_choices.h"
#include "cli/wind_file_options.h"
#include "core/analysis/activity_analysis.h"
#include "core/icu_forward.h"

namespace vane::cli {

// The command line's stand-ins for the analysis panel's controls. Columns are numbers counted
// from 1 or header titles; absent choices are what the panel shows after loading the file.
struct AnalyseOptions {
    std::filesystem::path recordingList;
    std::optional<std::filesystem::path> library{};  // instead of the recording list
    std::vector<std::string> sessions{};             // of the library; none means all
    NamedColumns named{};                            // of a table no program wrote
    RecordingFilterOptions filter{};
    bool perSpecies = false;  // one curve per label
    bool perGroup = false;    // one curve per species group
    std::filesystem::path windFile;
    WindFileOptions windFileOptions;
    bool temperature = false;
    std::optional<std::string> windColumn;
    std::optional<std::string> temperatureColumn;
    std::optional<std::string> dateColumn;
    std::optional<std::string> stateColumn;
    std::optional<std::string> dateFormat;  // ICU date pattern
    std::optional<std::string> zone;        // "+HHMM"
    int offsetMinutes = 0;
    std::optional<std::string> decimal;  // "." or ","
    bool countRecordings = false;
    bool header = false;  // a line naming each series over its pair of columns
    // Files of the graph, as the graph sheet shows it; rasters in pixels.
    std::optional<std::filesystem::path> pdfFile;
    std::optional<std::filesystem::path> pngFile;
    std::optional<std::filesystem::path> svgFile;
    int pictureWidth = 1200;
    int pictureHeight = 800;
};

// What one run gave, for whoever shows or saves it after the table.
struct AnalyseOutcome {
    int exitStatus = kExitSuccess;
    ActivityAnalysisOptions analysisOptions;  // as the panel's controls would say
    std::vector<std::string> columnTitles;
    std::optional<ActivityAnalysisResult> result;  // none after bad usage or an unreadable file
    std::string seriesKind;  // what a curve stands for: "state", "group", "state x group", ...
};

// Reads both files and analyses them; problems before the analysis go to `err` and leave the
// result empty with exit status 2.
AnalyseOutcome analyseFiles(const AnalyseOptions& options, const icu::TimeZone& zone,
                            std::ostream& err);

// Writes the table (the pasteboard text, byte for byte; with `header`, after the line naming
// each series over its columns, as the panel copies it) to `out`, then the alerts as
// "Title: message" and the summary of activity levels to `err`. Exit status 0 with a table,
// 3 when the analysis stopped at "No time overlap" or could not start, 2 for bad input.
int runAnalyse(const AnalyseOptions& options, const icu::TimeZone& zone, std::ostream& out,
               std::ostream& err);

// Registers "vane analyse"; when it is chosen, `action` runs it.
void addAnalyseCommand(CLI::App& app, CommandAction& action);

}  // namespace vane::cli
