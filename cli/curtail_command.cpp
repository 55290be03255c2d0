#include "cli/curtail_command.h"

#include <unicode/timezone.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <map>
#include <memory>
#include <tuple>

#include "cli/finite_number.h"
#include "cli/output_paths.h"
#include "cli/problem_report.h"
#include "core/analysis/bat_events.h"
#include "core/curtailment/controller_table.h"
#include "core/curtailment/coverage_calendar.h"
#include "core/curtailment/curtailment_result.h"
#include "core/curtailment/effort_file.h"
#include "core/curtailment/power_curve.h"
#include "core/curtailment/turbine_intervals.h"
#include "core/files/input_file.h"
#include "core/files/shown_content.h"
#include "core/import/column_names.h"
#include "core/recordings/imported_recording.h"
#include "core/time/local_time.h"
#include "graph/curtailment_report.h"
#include "graph/whole_file.h"

namespace vane::cli {
namespace {

// The recordings as the report names them: the file, or the library and its sessions.
std::string recordingsSource(const AnalyseOptions& input) {
    if (!input.library) {
        return input.recordingList.filename().string();
    }
    std::string text = "library " + input.library->filename().string();
    if (input.library->string().find("://") != std::string::npos) {
        text = "shared library";  // a server's address may hold a password
    }
    if (input.sessions.empty()) {
        return text + ", all sessions";
    }
    text += input.sessions.size() == 1 ? ", session " : ", sessions ";
    for (std::size_t i = 0; i < input.sessions.size(); ++i) {
        text += (i > 0 ? ", " : "") + input.sessions[i];
    }
    return text;
}

std::string percentOf(std::int64_t part, std::int64_t whole) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %%",
                  whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0);
    return text;
}

// What the plan leaves out or assumes, so that no activity disappears without a word.
void sayCoverage(const CurtailmentResult& result, const TurbineIntervalScan& scan,
                 std::ostream& err) {
    const CurtailmentData& data = result.data;
    const std::int64_t all = scan.activityMatched + scan.activityUnmatched;
    err << "Nights: " << data.nightsInPeriod << " in the period, " << data.nightsWithData
        << " with wind data inside the effort"
        << (data.effortFromRecordings
                ? " (no effort file: every night from the first to the last night with activity "
                  "counts)"
                : "")
        << '\n';
    if (data.daysWithoutNight > 0) {
        err << "Days without a night (the sun does not set or rise): " << data.daysWithoutNight
            << "; their intervals belong to no cell\n";
    }
    err << "Activity: " << data.activityInNights << " in the nights, " << data.activityOutsideNights
        << " outside the nights (" << percentOf(data.activityOutsideNights, all)
        << " of all, not in the plan)\n";
    if (data.activityOutsideEffort > 0) {
        err << "Activity outside the effort: " << data.activityOutsideEffort << " (not counted)\n";
    }
    if (data.activityWithoutWind > 0) {
        err << "Activity in night intervals without a wind reading: " << data.activityWithoutWind
            << " (not counted)\n";
    }
    if (scan.activityUnmatched > 0) {
        err << "Activity without a row of the wind file: " << scan.activityUnmatched
            << " (not counted)\n";
    }
    if (scan.rowsWithoutPower > 0) {
        err << "Rows whose power is no number: " << scan.rowsWithoutPower
            << " (taken as 0 kW: stopping there costs nothing)\n";
    }
    if (scan.unreadableDate) {
        err << "Wrong date/time format: at least one date/time entry had an unknown format\n";
    }
    err << coverageCalendar(data.coverage);
    for (const HeldOutYear& year : result.validation.years) {
        if (!year.used) {
            err << "Year " << year.year << ": activity " << year.activity << ", less than "
                << 100.0 * kLeastYearShare
                << " % of the mean year's: listed, not held out for the estimate\n";
        }
    }
}

// The curve, and on `err` which turbine's and in which unit it was read, so that a wrong
// guess of W or kW (a thousandfold energy) is seen.
Outcome<std::optional<PowerCurve>> readPowerCurve(const CurtailOptions& options,
                                                  std::ostream& err) {
    if (!options.powerCurve) {
        return std::optional<PowerCurve>{};
    }
    const Outcome<std::string> text = readInputFile(*options.powerCurve, "power curve");
    if (!text) {
        return text.error();
    }
    Outcome<PowerCurve> curve = parsePowerCurve(*text, options.powerCurve->string(),
                                                options.powerCurveTurbine.value_or(""));
    if (!curve) {
        return curve.error();
    }
    err << "Power curve " << printable(options.powerCurve->filename().string())
        << (curve->turbine.empty() ? "" : ", turbine " + printable(curve->turbine)) << ": "
        << curve->unit << '\n';
    return std::optional<PowerCurve>(std::move(*curve));
}

Outcome<std::optional<std::vector<EffortSpan>>> readEffort(const CurtailOptions& options,
                                                           const icu::TimeZone& zone) {
    if (!options.effortFile) {
        return std::optional<std::vector<EffortSpan>>{};
    }
    const Outcome<std::string> text = readInputFile(*options.effortFile, "effort file");
    if (!text) {
        return text.error();
    }
    Outcome<std::vector<EffortSpan>> spans =
        parseEffortSpans(*text, options.effortFile->string(), zone);
    if (!spans) {
        return spans.error();
    }
    return std::optional<std::vector<EffortSpan>>(std::move(*spans));
}

}  // namespace

int runCurtail(const CurtailOptions& options, const icu::TimeZone& processZone, std::ostream& out,
               std::ostream& err, const PlanKeeper& keep) {
    std::unique_ptr<icu::TimeZone> namedZone;
    if (options.zoneName) {
        namedZone.reset(
            icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(*options.zoneName)));
        // ICU answers an unknown name with GMT under another name; a misspelt zone must not pass.
        if (*namedZone == icu::TimeZone::getUnknown()) {
            return reportProblem(
                badUsage("--zone-name: unknown time zone \"" + shownContent(*options.zoneName) +
                         "\" (give a name such as Europe/Berlin)"),
                err);
        }
    }
    const icu::TimeZone& zone = namedZone ? *namedZone : processZone;
    const std::vector<NamedFile> outputs{{"--json", options.jsonFile},
                                         {"--pdf", options.pdfFile},
                                         {"--png", options.pngFile},
                                         {"--controller", options.controllerFile}};
    if (const Outcome<void> spared = checkNoOutputIsAnInput(
            {{"--power-curve", options.powerCurve}, {"--effort", options.effortFile}}, outputs);
        !spared) {
        return reportProblem(spared.error(), err);
    }
    const Outcome<std::optional<PowerCurve>> curve = readPowerCurve(options, err);
    if (!curve) {
        return reportProblem(curve.error(), err);
    }
    const Outcome<std::optional<std::vector<EffortSpan>>> effort = readEffort(options, zone);
    if (!effort) {
        return reportProblem(effort.error(), err);
    }
    PreparedAnalysis prepared =
        prepareAnalysis(options.input, outputs, zone, options.temperatureFloor.has_value(), err);
    if (!prepared.inputs) {
        return prepared.exitStatus;
    }
    AnalysisInputs& inputs = *prepared.inputs;
    if (inputs.analysis.windColumn <= 0 || inputs.analysis.dateTimeColumn <= 0) {
        return reportProblem(badUsage("name the wind file's date/time and wind speed columns "
                                      "with --date-column and --wind-column"),
                             err);
    }
    PowerSource power;
    if (options.powerColumn) {
        const std::optional<int> item =
            columnItemNamed(*options.powerColumn, inputs.view.columnTitles);
        if (!item || *item <= 0) {
            return reportProblem(
                badUsage(noSuchColumn(*options.powerColumn, inputs.view.columnTitles)), err);
        }
        power.powerColumn = *item;
    }
    if (*curve) {
        power.curve = &**curve;
    }
    if (options.temperatureFloor && inputs.analysis.temperatureColumn <= 0) {
        return reportProblem(badUsage("--temperature-floor needs a temperature column; name it "
                                      "with --temperature-column"),
                             err);
    }

    const BatEventList events = batEvents(inputs.sorted, batEventGridOrigin(zone));
    const TurbineIntervalScan scan =
        turbineIntervals(events, inputs.view.table, inputs.analysis, power, zone);
    CurtailmentOptions plan;
    plan.protectPercent = options.protectPercent;
    plan.night = {options.nightParts, options.minutesBeforeSunset, options.minutesAfterSunrise};
    plan.temperatureFloor = options.temperatureFloor;
    plan.energyKnown = power.powerColumn > 0 || power.curve != nullptr;
    plan.effort = *effort;
    plan.fit = options.fit;
    plan.minCellActivity = options.minCellActivity;
    const Site site{options.latitude, options.longitude};
    const CurtailmentResult result = curtailmentResult(scan.intervals, site, plan, zone);

    sayCoverage(result, scan, err);
    if (result.data.activityInNights == 0) {
        err << "Nothing to plan: no activity in the nights matched a row of the wind file with a "
               "readable date and wind speed\n";
        return kExitNoResult;
    }
    if (!plan.energyKnown) {
        err << "No power column or curve: the plans weigh curtailed hours instead of energy\n";
    }
    out << curtailmentTable(result) << curtailmentSummary(result) << holdoutTable(result);

    PlanSources sources{
        .windFile = options.input.windFile.filename().string(),
        .power = {},
        .zoneName = timeZoneId(zone),
        .recordings = recordingsSource(options.input),
        .project = options.projectName.value_or(""),
        .turbine = options.turbineName.value_or(""),
        .detector = options.detectorName.value_or(""),
    };
    if (power.powerColumn > 0) {
        sources.power = "column " + inputs.view.columnTitles[power.powerColumn - 1];
    } else if (power.curve != nullptr) {
        sources.power = "curve " + options.powerCurve->filename().string() +
                        (power.curve->turbine.empty() ? "" : ", " + power.curve->turbine);
    }
    if (keep) {
        keep(result, sources);
    }
    bool written = true;
    const std::tuple<const std::optional<std::filesystem::path>&, const char*, std::string>
        texts[] = {{options.jsonFile, "JSON file", curtailmentJson(result, sources)},
                   {options.controllerFile, "controller table", controllerTable(result)}};
    for (const auto& [path, what, text] : texts) {
        if (!path) {
            continue;
        }
        if (const Outcome<void> file =
                graph::writeWholeTextFile(*path, text, "Plan not saved", what);
            !file) {
            reportProblem(file.error(), err);
            written = false;
        }
    }
    const graph::CurtailmentReportContent report{
        .result = result,
        .sources = sources,
        .zone = &zone,
    };
    const std::pair<const std::optional<std::filesystem::path>&, const char*> reports[] = {
        {options.pdfFile, "pdf"}, {options.pngFile, "png"}};
    for (const auto& [path, format] : reports) {
        if (!path) {
            continue;
        }
        if (const Outcome<void> file = graph::writeCurtailmentReport(report, *path, format);
            !file) {
            reportProblem(file.error(), err);
            written = false;
        }
    }
    return written ? kExitSuccess : kExitBadInput;
}

void addCurtailOptions(CLI::App& command, CurtailOptions& options) {
    addRecordingInputOptions(command, options.input);
    addWindInputOptions(command, options.input);
    command.add_option("--lat", options.latitude, "Latitude of the site, degrees north")
        ->required()
        ->check(finiteNumber())
        ->check(CLI::Range(-90.0, 90.0));
    command.add_option("--lon", options.longitude, "Longitude of the site, degrees east")
        ->required()
        ->check(finiteNumber())
        ->check(CLI::Range(-180.0, 180.0));
    command.add_option("--zone-name", options.zoneName,
                       "Time zone of the site, such as Europe/Berlin; default: the process's\n"
                       "(TZ). Also the zone of times without an offset");
    command.add_option("--protect", options.protectPercent, "Share of activity to protect, %")
        ->default_val(90.0)
        ->check(finiteNumber())
        ->check(CLI::Range(1.0, 100.0));
    command.add_option("--night-parts", options.nightParts, "Equal parts of each night")
        ->default_val(10)
        ->check(CLI::Range(1, 48));
    command
        .add_option("--before-sunset", options.minutesBeforeSunset,
                    "Minutes the night starts before sunset")
        ->default_val(0)
        ->check(CLI::Range(0, 720));
    command
        .add_option("--after-sunrise", options.minutesAfterSunrise,
                    "Minutes the night ends after sunrise")
        ->default_val(0)
        ->check(CLI::Range(0, 720));
    CLI::Option* powerColumn =
        command.add_option("--power-column", options.powerColumn,
                           "Column of the power in kW (mean over the interval): number from 1\n"
                           "or header title");
    CLI::Option* powerCurve =
        command
            .add_option(
                "--power-curve", options.powerCurve,
                "CSV of the power from the wind speed, linear between points and 0 outside\n"
                "them (and where negative, below cut-in): lines wind_speed,power (columns\n"
                "after the second are left out), or one row per turbine under a title row\n"
                "of wind speeds (turbine_type,0.0,0.5,...; see --turbine). In the unit its\n"
                "title names (\"Power [W]\", \"kW\", \"MW\"), else in W when the highest\n"
                "value is above 30000 (no turbine is rated that high in kW), else in kW;\n"
                "standard error says which. Without either, hours are weighed")
            ->excludes(powerColumn);
    // "turbine" names the project file's table of turbines; there the key is the longer name.
    command
        .add_option("--turbine,--power-curve-turbine", options.powerCurveTurbine,
                    "The row of --power-curve's table of one row per turbine, by its first\n"
                    "field (case does not matter); needed when it holds several")
        ->needs(powerCurve);
    command
        .add_option("--temperature-floor", options.temperatureFloor,
                    "Stop only when the temperature is at or above this, °C (a row without\n"
                    "a temperature stops)")
        ->check(finiteNumber());
    command.add_option("--effort", options.effortFile,
                       "CSV start,end of the times the detector recorded; intervals outside\n"
                       "count neither activity nor cost. Default: every night from the first\n"
                       "to the last night with activity");
    command
        .add_option("--fit", options.fit,
                    "What the tailored plan is made from: model (the activity a count model\n"
                    "expects; default) or exact (the counts; its shares hold in sample only)")
        ->transform(CLI::CheckedTransformer(
            std::map<std::string, PlanFit>{{"model", PlanFit::model}, {"exact", PlanFit::exact}},
            CLI::ignore_case));
    command
        .add_option("--min-cell-activity", options.minCellActivity,
                    "A cell with fewer active intervals takes its month's cut-in (the blanket\n"
                    "cut-in of the month's cells; a month without activity its nearest\n"
                    "month's). Default 0: every cell decides for itself")
        ->default_val(0)
        ->check(CLI::Range(0, 1000000));
    command.add_option("--controller", options.controllerFile,
                       "Also write the plan as a turbine controller's table (CSV: month,\n"
                       "reference, start_min, end_min, cut_in_ms, temperature_floor_c)");
    command.add_option("--json", options.jsonFile, "Also write the plan as one JSON object");
    command.add_option("--project", options.projectName,
                       "Name of the project or wind farm, for the report and the JSON");
    command.add_option("--turbine-name", options.turbineName,
                       "Name of the turbine the plan is for, for the report and the JSON");
    command.add_option("--detector", options.detectorName,
                       "The detector and where it hangs (\"Batcorder 1234, nacelle\"), for the\n"
                       "report and the JSON");
    command.add_option("--pdf", options.pdfFile, "Also write the report as a PDF file (A4)");
    command.add_option("--png", options.pngFile, "Also write the report's pages as a PNG image");
    addWindFileOptions(command, options.input.windFileOptions);
}

void addCurtailCommand(CLI::App& app, CommandAction& action) {
    const auto options = std::make_shared<CurtailOptions>();
    CLI::App* command = app.add_subcommand(
        "curtail",
        "Plan when the turbine stands still: a cut-in wind speed per month and part of the night\n"
        "that protects a share of the bat activity at the least lost energy.\n"
        "A night runs from sunset to sunrise at the site (local time of --zone-name or of the\n"
        "process), widened by --before-sunset and --after-sunrise, and belongs to the month of\n"
        "the day it starts on; it is cut into --night-parts equal parts, and an interval (a row\n"
        "of the wind file, its window as in the analysis) belongs to the part that holds its\n"
        "end. Activity is matched to the rows as 'vane analyse' does, and classed by the row's\n"
        "wind speed in steps of 0.5. In a cell with cut-in v the turbine stands still when the\n"
        "wind is below v (and, with --temperature-floor, the temperature at or above it).\n"
        "The blanket plan takes one v for every cell, the smallest reaching the share; the\n"
        "tailored plan one v per cell at the least lost energy (a multiple-choice knapsack\n"
        "solved by dynamic programming), on the activity a count model on wind, temperature,\n"
        "month and night part expects (--fit exact: on the counts themselves, in sample).\n"
        "Each plan is made again without some nights and scored on them: held-out years with\n"
        "two or more, else 5 folds of whole weeks; the share it protects there, with a 90 %\n"
        "interval from resampling weeks, is its expected share.\n"
        "Standard output: the tailored plan 'month night_part cut_in activity protected\n"
        "curtailed_hours energy_lost_kWh decided_by' (cells with data), each plan's summary\n"
        "and estimate lines, how the estimate was made and, with two or more years, each\n"
        "year's share protected by the plans made from the other years. Exit status 0 with a\n"
        "plan, 3 when no activity lies in the nights, 2 for bad usage or an unreadable file.");
    command->footer(std::string(kLibrarySourceHelp) + "\n\n" + kRecordingFilterHelp + "\n\n" +
                    encodingListHelp());
    addCurtailOptions(*command, *options);
    command->callback([options, &action] {
        action = [options] {
            return runCurtail(*options, *processTimeZone(), std::cout, std::cerr);
        };
    });
}

}  // namespace vane::cli
