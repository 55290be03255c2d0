#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/output_paths.h"
#include "cli/recording_choices.h"
#include "cli/recording_source.h"
#include "cli/wind_file_options.h"
#include "core/analysis/activity_analysis.h"
#include "core/icu_forward.h"
#include "core/import/resolve_choices.h"
#include "core/import/wind_file.h"
#include "core/recordings/recording.h"

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
    std::optional<std::string> windTimeColumn;  // a time of day apart from the date
    std::optional<std::string> windDayColumn;   // the day of the year beside a year column
    std::optional<std::string> stateColumn;
    std::optional<std::string> dateFormat;  // ICU date pattern
    std::optional<std::string> zone;        // "+HHMM" or a zone name such as "Europe/Berlin"
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
    // The site, for the season's coverage night by night; none: no coverage calendar.
    std::optional<double> latitude{};
    std::optional<double> longitude{};
};

// What one run gave, for whoever shows or saves it after the table.
struct AnalyseOutcome {
    int exitStatus = kExitSuccess;
    ActivityAnalysisOptions analysisOptions;  // as the panel's controls would say
    std::vector<std::string> columnTitles;
    std::optional<ActivityAnalysisResult> result;  // none after bad usage or an unreadable file
    std::string seriesKind;  // what a curve stands for: "state", "group", "state x group", ...
    std::string coverage;    // the season's calendar, night by night, when the site is known
};

// What the analysis reads before it counts: the recordings in time order, the wind file and the
// choices the panel would show for it.
struct AnalysisInputs {
    WindFileView view;
    ActivityAnalysisOptions analysis{};
    std::vector<Recording> sorted{};  // by recording time
    LabelTable labels{};
    SpeciesGroups groups{};
};

struct PreparedAnalysis {
    int exitStatus = kExitSuccess;
    std::optional<AnalysisInputs> inputs;  // none when the run cannot go on
};

// The wind file's choices as the options set them, columns named among the view's titles,
// completed by the guesses (resolveChoices()); "Bad usage" for a column the file does not have.
Outcome<ResolvedChoices> windChoices(const AnalyseOptions& options, const WindFileView& view,
                                     const ChoiceContext& context);

// Reads the recordings and the wind file as `vane analyse` does, with its notes, and makes the
// column, format, zone and decimal choices (the temperature column guessed too when
// `needsTemperature`); `outputs` are refused when they are an input. Problems go to `err` and
// leave no inputs, with the exit status to end with.
PreparedAnalysis prepareAnalysis(const AnalyseOptions& options,
                                 const std::vector<NamedFile>& outputs, const icu::TimeZone& zone,
                                 bool needsTemperature, std::ostream& err);

// The options of where recordings come from (--recordings or --library, named columns, filters).
void addRecordingInputOptions(CLI::App& command, AnalyseOptions& options);

// The wind file and how to read its columns, as `vane analyse` takes them (--wind, the columns,
// --date-format, --zone, --offset, --decimal, --count-recordings); the reading choices of
// addWindFileOptions are added apart.
void addWindInputOptions(CLI::App& command, AnalyseOptions& options);

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

// Adds every option of "vane analyse" to `command`, filling `options`.
void addAnalyseOptions(CLI::App& command, AnalyseOptions& options);

// Registers "vane analyse"; when it is chosen, `action` runs it.
void addAnalyseCommand(CLI::App& app, CommandAction& action);

}  // namespace vane::cli
