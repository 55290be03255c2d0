#include "cli/analyse_command.h"

#include <unicode/timezone.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <future>
#include <iostream>
#include <memory>
#include <tuple>

#include "cli/finite_number.h"
#include "cli/output_paths.h"
#include "cli/problem_report.h"
#include "cli/recording_source.h"
#include "core/analysis/bat_events.h"
#include "core/analysis/series_activity_analysis.h"
#include "core/curtailment/coverage_calendar.h"
#include "core/curtailment/curtailment_data.h"
#include "core/curtailment/turbine_intervals.h"
#include "core/files/shown_content.h"
#include "core/import/column_names.h"
#include "core/import/resolve_choices.h"
#include "core/time/local_time.h"
#include "graph/activity_graph_file.h"

namespace vane::cli {
namespace {

// Writes the graph files asked for, each as the graph sheet would show it; a file that cannot be
// written is reported on `err` and the others are still tried. Answers whether all were written.
bool writeGraphFiles(const AnalyseOptions& options, const ActivityAnalysisOptions& analysis,
                     const ActivityAnalysisResult& result, std::ostream& err) {
    const graph::ActivityGraphContent content{
        .plotData = result.plotData,
        .seriesOrder = result.seriesNames,
        .plotTemp = analysis.plotTemp,
        .lengths = {.x = result.xRangeLength, .y = result.yRangeLength},
        .withLegend = result.legend,
    };
    const graph::PictureSize rasterSize{options.pictureWidth, options.pictureHeight};
    const std::tuple<const std::optional<std::filesystem::path>&, graph::PictureSize, const char*>
        files[] = {{options.pdfFile, graph::PictureSize{}, "pdf"},
                   {options.pngFile, rasterSize, "png"},
                   {options.svgFile, graph::PictureSize{}, "svg"}};
    bool written = true;
    for (const auto& [path, size, format] : files) {
        if (!path) {
            continue;
        }
        if (const Outcome<void> file = graph::writeActivityGraphFile(content, *path, size, format);
            !file) {
            reportProblem(file.error(), err);
            written = false;
        }
    }
    return written;
}

}  // namespace

Outcome<ResolvedChoices> windChoices(const AnalyseOptions& options, const WindFileView& view,
                                     const ChoiceContext& context) {
    Outcome<WindFileChoices> chosen = windFileChoices(options.windFileOptions);
    if (!chosen) {
        return std::move(chosen).error();
    }
    const std::pair<const std::optional<std::string>&, Chosen<int>&> columns[] = {
        {options.dateColumn, chosen->dateTimeColumn},
        {options.windTimeColumn, chosen->timeColumn},
        {options.windDayColumn, chosen->dayColumn},
        {options.windColumn, chosen->windColumn},
        {options.temperatureColumn, chosen->temperatureColumn},
        {options.stateColumn, chosen->stateColumn},
    };
    for (const auto& [name, column] : columns) {
        Outcome<Chosen<int>> named = namedColumn(name, view.columnTitles);
        if (!named) {
            return std::move(named).error();
        }
        column = *named;
    }
    if (options.dateFormat) {
        chosen->dateFormat = *options.dateFormat;
    }
    if (options.zone) {
        chosen->timeZone = *options.zone;
    }
    // --offset 0 is what giving none says.
    if (options.offsetMinutes != 0) {
        chosen->timeOffsetMinutes = options.offsetMinutes;
    }
    if (options.decimal) {
        chosen->decimalSeparator = *options.decimal;
    }
    return resolveChoices(view, *chosen, context);
}

PreparedAnalysis prepareAnalysis(const AnalyseOptions& options,
                                 const std::vector<NamedFile>& outputs, const icu::TimeZone& zone,
                                 bool needsTemperature, std::ostream& err) {
    PreparedAnalysis prepared;
    const auto failWith = [&](const Problem& problem) {
        prepared.exitStatus = reportProblem(problem, err);
        prepared.inputs.reset();
        return std::move(prepared);
    };
    if (options.zone && !isZoneChoice(*options.zone)) {
        return failWith(badZone(*options.zone));
    }
    const Outcome<WindFileChoices> reading = windFileChoices(options.windFileOptions);
    if (!reading) {
        return failWith(reading.error());
    }
    if (const Outcome<void> spared =
            checkNoOutputIsAnInput({{"--recordings", options.recordingList},
                                    {"--library", options.library},
                                    {"--wind", options.windFile}},
                                   outputs);
        !spared) {
        return failWith(spared.error());
    }
    // The wind file is read and split on a second core while the recordings are read; what
    // either says is still said in the order a person reads it.
    std::future<Outcome<WindFileView>> windFile =
        std::async(std::launch::async,
                   [&options, &reading] { return readWindFile(options.windFile, reading->text); });
    Outcome<LoadedRecordings> loadedList = loadRecordings(
        {options.recordingList, options.library, options.sessions, options.named, options.filter},
        zone);
    if (!loadedList) {
        return failWith(loadedList.error());
    }
    sayLoadNote(*loadedList, err);
    LoadedRecordings& list = *loadedList;
    sayRecordingsLeftOut(list, err);
    if (list.recordings.empty()) {
        err << "Nothing to analyse: "
            << (options.library ? "the library's sessions hold"
                                : printable(options.recordingList.string()) + " holds")
            << " no recordings\n";
        prepared.exitStatus = kExitNoResult;
        return prepared;
    }
    sayRecordingsBeforeTheBins(list.recordings, zone, err);
    Outcome<WindFileView> loaded = windFile.get();
    if (!loaded) {
        return failWith(loaded.error());
    }
    if (const Outcome<void> usable = usableTable(*loaded); !usable) {
        return failWith(usable.error());
    }
    AnalysisInputs& inputs = prepared.inputs.emplace(AnalysisInputs{.view = std::move(*loaded)});
    // Times that are no number sort last, so the front is the first real recording.
    inputs.sorted = sortedByRecordingTime(std::move(list.recordings));
    const Outcome<ResolvedChoices> resolved =
        windChoices(options, inputs.view,
                    {.zone = &zone,
                     .firstRecording = inputs.sorted.front().recordingTime,
                     .classesTemperature = options.temperature,
                     .needsTemperature = needsTemperature});
    if (!resolved) {
        return failWith(resolved.error());
    }
    sayChoiceNotes(*resolved, inputs.view.columnTitles, err);
    const WindFileChoices& choices = resolved->choices;
    if (*choices.stateColumn > 0 && options.temperature) {
        err << "Note: with a state column the wind speed is analysed, whatever --temperature "
               "says\n";
    }
    inputs.analysis = analysisOptions(choices, options.temperature, options.countRecordings);
    inputs.labels = std::move(list.labels);
    inputs.groups = std::move(list.groups);
    return prepared;
}

AnalyseOutcome analyseFiles(const AnalyseOptions& options, const icu::TimeZone& zone,
                            std::ostream& err) {
    AnalyseOutcome outcome;
    PreparedAnalysis prepared = prepareAnalysis(
        options,
        {{"--pdf", options.pdfFile}, {"--png", options.pngFile}, {"--svg", options.svgFile}}, zone,
        false, err);
    outcome.exitStatus = prepared.exitStatus;
    if (!prepared.inputs) {
        return outcome;
    }
    AnalysisInputs& inputs = *prepared.inputs;
    outcome.columnTitles = inputs.view.columnTitles;
    outcome.analysisOptions = inputs.analysis;
    const ActivityAnalysisOptions& analysis = outcome.analysisOptions;
    const std::vector<Recording>& sorted = inputs.sorted;
    const bool perState = analysis.stateColumn > 0;
    std::optional<BatEventList> events;
    const auto allEvents = [&]() -> const BatEventList& {
        if (!events) {
            events = batEvents(sorted, batEventGridOrigin(zone));
        }
        return *events;
    };
    // The nights as a plan would see them (sunset to sunrise, from the first to the last night
    // with activity), so that a gap shows before anyone plans from the season.
    if (options.latitude && options.longitude && analysis.windColumn > 0 &&
        analysis.dateTimeColumn > 0) {
        const TurbineIntervalScan scan =
            turbineIntervals(allEvents(), inputs.view.table, analysis, PowerSource{}, zone);
        outcome.coverage = coverageCalendar(
            curtailmentData(scan.intervals, Site{*options.latitude, *options.longitude}, {}, zone)
                .coverage);
    }
    if (options.perSpecies || options.perGroup) {
        const std::string series = options.perGroup ? "group" : "species";
        outcome.seriesKind = perState ? "state x " + series : series;
        outcome.result = analyseActivityPerSeries(
            splitIntoSeries(sorted, inputs.labels, options.perGroup ? &inputs.groups : nullptr),
            batEventGridOrigin(zone), inputs.view.table, analysis, zone);
    } else {
        outcome.seriesKind = perState ? "state" : "";
        outcome.result = analyseActivityAndWind(allEvents(), inputs.view.table, analysis, zone);
    }
    outcome.exitStatus = outcome.result->hasTable() ? kExitSuccess : kExitNoResult;
    return outcome;
}

int runAnalyse(const AnalyseOptions& options, const icu::TimeZone& zone, std::ostream& out,
               std::ostream& err) {
    const AnalyseOutcome outcome = analyseFiles(options, zone, err);
    if (!outcome.result) {
        return outcome.exitStatus;
    }
    const ActivityAnalysisResult& result = *outcome.result;
    for (const AnalysisAlert& alert : result.alerts) {
        err << alert.title << ": " << printable(alert.message) << '\n';
    }
    if (result.refused) {
        err << "Columns of the wind file: " << columnList(outcome.columnTitles) << '\n';
    }
    if (!result.hasTable()) {
        return outcome.exitStatus;
    }
    // A table without a single counted bin is no answer, though the panel would still show it.
    if (std::all_of(result.summaries.begin(), result.summaries.end(),
                    [](const ActivitySummary& summary) { return summary.levels.empty(); })) {
        err << "Nothing counted: no activity bin matched a row of the wind file with a readable "
            << (outcome.analysisOptions.stateColumn > 0 ? "date (within a minute, in local time)"
                                                        : "date")
            << " and reading\n";
        return kExitNoResult;
    }
    // Only a result goes to standard output: a script reads an empty one as none.
    if (options.header) {
        out << columnPairHeader(result);
    }
    out << result.pasteboardText;
    err << outcome.coverage;
    const ActivityAnalysisOptions& analysis = outcome.analysisOptions;
    const bool temperatureUnit = analysis.plotTemp && analysis.stateColumn == 0;
    for (const ActivitySummary& summary : result.summaries) {
        err << (outcome.seriesKind.empty()
                    ? std::string("Summary")
                    : "Summary for " + outcome.seriesKind + " " + shownContent(summary.series))
            << ": " << describeActivitySummary(summary, temperatureUnit, analysis.decimalSeparator)
            << '\n';
    }
    return writeGraphFiles(options, analysis, result, err) ? outcome.exitStatus : kExitBadInput;
}

void addRecordingInputOptions(CLI::App& command, AnalyseOptions& options) {
    CLI::Option* recordings =
        command.add_option("--recordings", options.recordingList, "Recording list (as for events)");
    addLibraryOptions(command, recordings, options.library, options.sessions);
    addNamedColumnOptions(command, options.named);
    addRecordingFilterOptions(command, options.filter);
}

void addWindInputOptions(CLI::App& command, AnalyseOptions& options) {
    command.add_option("--wind", options.windFile, "Delimited text file of measurements")
        ->required();
    command.add_option("--wind-column", options.windColumn,
                       "Column of the wind speed: number from 1 or header title");
    command.add_option("--temperature-column", options.temperatureColumn,
                       "Column of the temperature; default where one is needed (--temperature,\n"
                       "--temperature-floor): the first column whose title contains \"temp\"");
    command.add_option("--date-column", options.dateColumn, "Column of the date and time");
    command.add_option("--wind-time-column", options.windTimeColumn,
                       "Column of the time of day when the wind file's date column holds the\n"
                       "date alone; the date format reads both joined by one space (default:\n"
                       "a column titled time beside one titled date)");
    command.add_option("--wind-day-column", options.windDayColumn,
                       "Column of the day of the year (1 to 366) when the date column holds the\n"
                       "year alone and --wind-time-column the clock as HHMM (0, 5, 130, 2350);\n"
                       "read with the date format \"yyyy D HHmm\" (default: a column titled DOY\n"
                       "beside one titled Year, the clock in the column after it)");
    command.add_option("--date-format", options.dateFormat,
                       "ICU date pattern of the date/time column, such as \"dd.MM.yyyy HH:mm\",\n"
                       "or \"ISO 8601\", \"Unix seconds\" or \"Excel serial days\"");
    command.add_option("--zone", options.zone,
                       "UTC offset of the time stamps, +HHMM, or a zone name such as\n"
                       "Europe/Berlin (each stamp with the zone's offset at its date, the\n"
                       "repeated autumn hour in file order); default: the offset of the\n"
                       "process's time zone at the first recording (the per-state analysis\n"
                       "reads local time instead). An offset in the stamp wins");
    command
        .add_option("--offset", options.offsetMinutes,
                    "Minutes added to every time stamp, for a logger whose clock is off\n"
                    "(stamps at the start of their step: --stamps begin)")
        ->default_val(0);
    command
        .add_option("--decimal", options.decimal,
                    "Decimal separator of the readings and of the table; default: ',' when the\n"
                    "readings use a comma and no point, else '.'")
        ->check(CLI::IsMember({".", ","}));
    command.add_flag("--count-recordings", options.countRecordings,
                     "Weigh each activity bin by its number of recordings");
}

void addAnalyseOptions(CLI::App& command, AnalyseOptions& options) {
    addRecordingInputOptions(command, options);
    CLI::Option* perSpecies = command.add_flag(
        "--per-species", options.perSpecies,
        "One pair of columns (and curve) per species label; with --state-column per state and\n"
        "label");
    command
        .add_flag("--per-group", options.perGroup,
                  "One pair of columns (and curve) per species group (see --groups); with\n"
                  "--state-column per state and group")
        ->excludes(perSpecies);
    addWindInputOptions(command, options);
    command.add_flag("--temperature", options.temperature,
                     "Analyse against temperature instead of wind speed");
    command.add_option("--state-column", options.stateColumn,
                       "Column of an operating state: one curve per state (wind speed only)");
    command.add_flag("--header", options.header,
                     "With a pair of columns per state, label or group: first a line naming\n"
                     "each over its pair, as the panel puts it on the clipboard");
    command.add_option("--pdf", options.pdfFile,
                       "Also save the graph as a PDF file (vector, 600 x 400 pt). Graph files\n"
                       "are written only when the analysis gives a table, and replace an\n"
                       "earlier file only once they are complete");
    command.add_option("--png", options.pngFile, "Also save the graph as a PNG image");
    command.add_option("--svg", options.svgFile, "Also save the graph as an SVG drawing");
    command.add_option("--width", options.pictureWidth, "Width of the PNG image in pixels")
        ->default_val(1200)
        ->check(CLI::Range(1, 20000));
    command.add_option("--height", options.pictureHeight, "Height of the PNG image in pixels")
        ->default_val(800)
        ->check(CLI::Range(1, 20000));
    CLI::Option* latitude =
        command
            .add_option("--lat", options.latitude,
                        "Latitude of the site, degrees north: with --lon, the season's coverage\n"
                        "night by night goes to standard error, as 'vane curtail' shows it")
            ->check(finiteNumber())
            ->check(CLI::Range(-90.0, 90.0));
    command.add_option("--lon", options.longitude, "Longitude of the site, degrees east")
        ->check(finiteNumber())
        ->check(CLI::Range(-180.0, 180.0))
        ->needs(latitude);
    latitude->needs(command.get_option("--lon"));
    addWindFileOptions(command, options.windFileOptions);
}

void addAnalyseCommand(CLI::App& app, CommandAction& action) {
    const auto options = std::make_shared<AnalyseOptions>();
    CLI::App* command = app.add_subcommand(
        "analyse",
        "Relate bat activity to wind speed (or temperature): count the recordings in 10-minute\n"
        "activity bins, match each bin with the wind-file row whose measuring interval holds it\n"
        "(the ten minutes up to the row's time stamp), class the row's reading in steps of 0.5\n"
        "and print the activity per class as a tab-separated table 'class count', classes\n"
        "ascending, the origin '0 0' just before the class of 0; the graph files show its\n"
        "cumulative share. With --state-column, one such pair of columns per state (sorted by\n"
        "name). Alerts and the levels below which 50, 80, 90 and 95 % of the activity lies go\n"
        "to standard error.\n"
        "Exit status 0 with a table, 3 when the recordings and the wind data do not overlap,\n"
        "nothing could be counted or the analysis cannot start, 2 for bad usage or an\n"
        "unreadable file.");
    command->footer(
        "Choices not given are what the panel shows after loading the wind file: the\n"
        "date/time column (title containing datum, date or time, else the first column\n"
        "whose values read as dates) with a time column beside a date column, the date\n"
        "format (the one that reads the first rows and rows spread over the file) and the\n"
        "wind column (title containing wind or speed, or a turbine's name for it; km/h and\n"
        "kn are converted to m/s) are guessed as 'vane inspect' shows them.\n\n" +
        std::string(kLibrarySourceHelp) + "\n\n" + kRecordingFilterHelp + "\n\n" +
        encodingListHelp());
    addAnalyseOptions(*command, *options);
    command->callback([options, &action] {
        action = [options] {
            return runAnalyse(*options, *processTimeZone(), std::cout, std::cerr);
        };
    });
}

}  // namespace vane::cli
