#include "farm/project_run.h"

#include <unicode/timezone.h>

#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <thread>

#include "cli/problem_report.h"
#include "core/analysis/bat_events.h"
#include "core/curtailment/controller_table.h"
#include "core/curtailment/farm_plan.h"
#include "core/curtailment/farm_summary.h"
#include "core/curtailment/turbine_intervals.h"
#include "core/files/input_file.h"
#include "core/files/shown_content.h"
#include "core/time/local_time.h"
#include "farm/project_lock.h"
#include "farm/project_options.h"
#include "farm/turbine_run.h"
#include "graph/farm_report.h"
#include "graph/offscreen_gui.h"
#include "graph/whole_file.h"
#include "vane_version.h"

namespace vane::farm {
namespace {

using cli::AnalysisInputs;
using cli::kExitBadInput;
using cli::kExitNoResult;
using cli::kExitSuccess;
using cli::prepareAnalysis;
using cli::PreparedAnalysis;
using cli::reportProblem;

constexpr const char* kFarmSummaryName = "farm-summary.tsv";
// The farm's one plan, named apart from the turbines' folders' plan files.
constexpr const char* kFarmPlanTable = "farm-plan.txt";
constexpr const char* kFarmPlanJson = "farm-plan.json";
// In each turbine's folder: the farm plan with the turbine's own nights and temperature floor.
constexpr const char* kFarmPlanController = "farm-plan-controller.csv";

struct ReadProject {
    std::string farm;
    std::vector<TurbineOptions> turbines;
    std::vector<Problem> problems;
};

// The project with every turbine's options, or every problem found on the way.
ReadProject readProjectFile(const std::filesystem::path& file) {
    ReadProject read;
    const Outcome<std::string> text = readInputFile(file, "project file");
    if (!text) {
        read.problems.push_back(text.error());
        return read;
    }
    ProjectReading reading = readProject(*text, file.string(), projectKeys());
    read.farm = reading.project.farmName;
    read.problems = std::move(reading.problems);
    std::set<std::string> folders;
    for (const ProjectTurbine& turbine : reading.project.turbines) {
        Outcome<TurbineOptions> options =
            turbineOptions(reading.project, turbine, file.string(), file.parent_path());
        if (!options) {
            read.problems.push_back(std::move(options).error());
        } else if (!folders.insert(turbineFolderName(turbine.name)).second) {
            read.problems.push_back(Problem{
                .title = "Problem with project",
                .message = "turbine \"" + turbine.name + "\" would share its folder " +
                           turbineFolderName(turbine.name) + " with another; name it otherwise",
                .file = file.string(),
                .line = turbine.line,
                .kind = ProblemKind::badInput});
        } else {
            read.turbines.push_back(std::move(*options));
        }
    }
    // Problems of the file in the order of its lines.
    std::stable_sort(read.problems.begin(), read.problems.end(),
                     [](const Problem& a, const Problem& b) { return a.line < b.line; });
    return read;
}

int reportAll(const std::vector<Problem>& problems, std::ostream& err) {
    for (const Problem& problem : problems) {
        reportProblem(problem, err);
    }
    return problems.empty() ? kExitSuccess : kExitBadInput;
}

std::string percent(std::int64_t part, std::int64_t whole) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %%",
                  whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0);
    return text;
}

std::string columnName(int column, const std::vector<std::string>& titles) {
    if (column <= 0 || static_cast<std::size_t>(column) > titles.size()) {
        return "none";
    }
    return std::to_string(column) + " " + printable(titles[column - 1]);
}

// What a check says of one turbine; answers whether its inputs could be read.
bool checkTurbine(const TurbineOptions& options, const icu::TimeZone& processZone,
                  std::ostream& out) {
    const std::unique_ptr<icu::TimeZone> zone = siteZone(options.curtail, processZone);
    if (!zone) {
        out << "  Problem: unknown time zone \"" << printable(*options.curtail.zoneName)
            << "\" (zone-name takes a name such as Europe/Berlin)\n";
        return false;
    }
    std::ostringstream notes;
    PreparedAnalysis prepared = prepareAnalysis(
        options.curtail.input, {}, *zone, options.curtail.temperatureFloor.has_value(), notes);
    std::istringstream lines(notes.str());
    for (std::string line; std::getline(lines, line);) {
        out << "  " << line << '\n';
    }
    if (!prepared.inputs) {
        return prepared.exitStatus == kExitNoResult;
    }
    const AnalysisInputs& inputs = *prepared.inputs;
    out << "  Recordings: " << inputs.sorted.size() << ", from "
        << formatLocalIso(inputs.sorted.front().recordingTime, *zone) << " to "
        << formatLocalIso(inputs.sorted.back().recordingTime, *zone) << '\n';
    const std::vector<std::string>& titles = inputs.view.columnTitles;
    out << "  Wind file: " << printable(options.curtail.input.windFile.filename().string())
        << ", date/time column " << columnName(inputs.analysis.dateTimeColumn, titles)
        << ", wind column " << columnName(inputs.analysis.windColumn, titles)
        << ", temperature column " << columnName(inputs.analysis.temperatureColumn, titles) << '\n';
    if (inputs.analysis.windColumn <= 0 || inputs.analysis.dateTimeColumn <= 0) {
        out << "  Problem: no date/time or wind column; name them with date-column and "
               "wind-column\n";
        return false;
    }
    const TurbineIntervalScan scan =
        turbineIntervals(batEvents(inputs.sorted, batEventGridOrigin(*zone)), inputs.view.table,
                         inputs.analysis, PowerSource{}, *zone);
    if (!scan.intervals.empty()) {
        out << "  Wind period: " << formatLocalIso(scan.intervals.front().end, *zone) << " to "
            << formatLocalIso(scan.intervals.back().end, *zone) << ", " << scan.intervals.size()
            << " rows with a readable date\n";
    }
    const std::int64_t activity = scan.activityMatched + scan.activityUnmatched;
    out << "  Coverage: " << percent(scan.activityMatched, activity)
        << " of the activity (in 10-minute bins) lies in a row of the wind file ("
        << scan.activityMatched << " of " << activity << ")\n";
    return true;
}

std::optional<ProjectLock> earlierLock(const std::filesystem::path& file, std::ostream& out) {
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        return std::nullopt;
    }
    const Outcome<std::string> text = readInputFile(file, "lock");
    std::optional<ProjectLock> lock = text ? parseLock(*text) : std::nullopt;
    if (!lock) {
        out << "The lock of the last run, " << printable(file.string())
            << ", could not be read: nothing to compare with; it is written anew\n";
    }
    return lock;
}

Outcome<ProjectLock> projectLock(const ReadProject& read) {
    ProjectLock lock{.version = VANE_VERSION, .farm = read.farm};
    std::set<std::string> seen;
    for (const TurbineOptions& turbine : read.turbines) {
        lock.turbines.push_back({turbine.name, turbine.arguments});
        for (const std::filesystem::path& input : turbineInputs(turbine)) {
            if (!seen.insert(input.string()).second) {
                continue;
            }
            Outcome<LockedInput> locked = lockedInput(input);
            if (!locked) {
                return std::move(locked).error();
            }
            lock.inputs.push_back(std::move(*locked));
        }
    }
    std::sort(lock.inputs.begin(), lock.inputs.end(),
              [](const LockedInput& a, const LockedInput& b) { return a.path < b.path; });
    return lock;
}

// The farm's one plan from every turbine's, or why there is none.
Outcome<FarmPlan> farmPlanOf(const ReadProject& read, const std::vector<TurbineRun>& runs) {
    std::vector<const CurtailmentResult*> plans;
    for (std::size_t index = 0; index < runs.size(); ++index) {
        if (!runs[index].plan) {
            return Problem{.title = "No farm plan",
                           .message = "turbine \"" + read.turbines[index].name +
                                      "\" has no plan of its own (see its log.txt), so its bats "
                                      "cannot be counted",
                           .kind = ProblemKind::nothingFound};
        }
        plans.push_back(&*runs[index].plan);
    }
    if (plans.empty()) {
        return Problem{.title = "No farm plan",
                       .message = "the project names no turbine",
                       .kind = ProblemKind::nothingFound};
    }
    if (const std::optional<FarmPlanMismatch> mismatch = farmPlanMismatch(plans)) {
        return Problem{.title = "No farm plan",
                       .message = "turbines \"" + read.turbines[mismatch->first].name +
                                  "\" and \"" + read.turbines[mismatch->other].name +
                                  "\" differ in " + mismatch->setting +
                                  "; one plan for both needs the same",
                       .kind = ProblemKind::nothingFound};
    }
    return farmPlan(plans);
}

// What the farm plan was made from: every turbine's own wind file, recordings and power.
PlanSources farmPlanSources(const std::vector<TurbineRun>& runs) {
    PlanSources sources = runs.front().sources;
    sources.windFile = "each turbine's own";
    sources.recordings = "each turbine's own";
    sources.turbine.clear();  // its pages say "Farm plan (all turbines)" at their head
    for (const TurbineRun& run : runs) {
        for (auto [farm, turbine] : {std::pair{&sources.power, &run.sources.power},
                                     std::pair{&sources.detector, &run.sources.detector}}) {
            if (*turbine != *farm) {
                *farm = "each turbine's own";
            }
        }
    }
    return sources;
}

// The farm plan's files, written as a turbine's plan is.
bool writeFarmPlanFiles(const ReadProject& read, const std::vector<TurbineRun>& runs,
                        const FarmPlan& farm, const std::filesystem::path& folder,
                        std::ostream& err) {
    std::vector<std::string> names;
    for (const TurbineOptions& turbine : read.turbines) {
        names.push_back(turbine.name);
    }
    const CurtailmentResult& result = farm.result;
    std::vector<std::pair<std::filesystem::path, std::string>> files{
        {folder / kFarmPlanTable,
         curtailmentTable(result) + curtailmentSummary(result) + holdoutTable(result)},
        {folder / kFarmPlanJson, farmPlanJson(farm, names, farmPlanSources(runs))}};
    for (std::size_t index = 0; index < runs.size(); ++index) {
        files.emplace_back(folder / turbineFolderName(names[index]) / kFarmPlanController,
                           controllerTable(farmPlanAt(farm, index, *runs[index].plan)));
    }
    bool written = true;
    for (const auto& [path, text] : files) {
        if (const Outcome<void> file =
                graph::writeWholeTextFile(path, text, "Plan not saved", "farm plan");
            !file) {
            reportProblem(file.error(), err);
            written = false;
        }
    }
    return written;
}

// The farm's summary table, its one plan and its report, from the plans the turbines made.
bool writeFarmFiles(const ReadProject& read, const std::vector<TurbineRun>& runs,
                    const std::filesystem::path& folder, std::ostream& out, std::ostream& err) {
    const Outcome<FarmPlan> farm = farmPlanOf(read, runs);
    const std::optional<PlanSources> farmSources =
        farm ? std::optional(farmPlanSources(runs)) : std::nullopt;
    graph::FarmReportContent report{.farmName = read.farm,
                                    .turbines = {},
                                    .farmPlan = farm ? &*farm : nullptr,
                                    .farmPlanSources = farmSources.value_or(PlanSources{}),
                                    .farmPlanZone = nullptr};
    std::vector<FarmSummaryRow> rows;
    std::vector<std::unique_ptr<icu::TimeZone>> zones;
    for (std::size_t index = 0; index < runs.size(); ++index) {
        const TurbineOptions& turbine = read.turbines[index];
        const TurbineRun& run = runs[index];
        graph::FarmTurbineReport& entry = report.turbines.emplace_back(graph::FarmTurbineReport{
            .name = turbine.name,
            .latitude = turbine.curtail.latitude,
            .longitude = turbine.curtail.longitude,
            .result = run.plan ? &*run.plan : nullptr,
            .sources = run.sources,
        });
        if (run.plan) {
            rows.push_back(farmSummaryRow(turbine.name, *run.plan));
            if (farm) {
                addFarmPlan(rows.back(), *farm, index);
            }
            entry.zone = zones
                             .emplace_back(icu::TimeZone::createTimeZone(
                                 icu::UnicodeString::fromUTF8(run.sources.zoneName)))
                             .get();
        }
    }
    bool written = true;
    if (farm) {
        rows.push_back(farmPlanRow(*farm));
        report.farmPlanZone = zones.front().get();
        written = writeFarmPlanFiles(read, runs, *farm, folder, err);
        out << "Farm plan: " << kFarmPlanJson << " and " << kFarmPlanTable << " in "
            << printable(folder.string()) << ", " << kFarmPlanController
            << " in each turbine's folder\n";
    } else {
        out << printable(farm.error().title + ": " + farm.error().message) << '\n';
    }
    for (const Outcome<void>& file :
         {graph::writeWholeTextFile(folder / kFarmSummaryName, farmSummaryTable(rows), "Not saved",
                                    "summary"),
          graph::writeFarmReport(report, folder / kFarmReportName)}) {
        if (!file) {
            reportProblem(file.error(), err);
            written = false;
        }
    }
    return written;
}

}  // namespace

ProjectCheck checkProjectInputs(const std::filesystem::path& projectFile,
                                const icu::TimeZone& processZone) {
    ReadProject read = readProjectFile(projectFile);
    ProjectCheck check{.farm = read.farm, .turbines = {}, .problems = std::move(read.problems)};
    for (const TurbineOptions& turbine : read.turbines) {
        const cli::AnalyseOptions& input = turbine.curtail.input;
        TurbineCheck& checked = check.turbines.emplace_back(
            TurbineCheck{.name = turbine.name,
                         .line = turbine.line,
                         .recordings = input.library ? "library " + input.library->string()
                                                     : input.recordingList.string(),
                         .windFile = input.windFile.string(),
                         .found = {},
                         .readable = false});
        for (const std::string& session : input.sessions) {
            checked.recordings +=
                (&session == &input.sessions.front() ? ", sessions " : ", ") + session;
        }
        std::ostringstream said;
        checked.readable = checkTurbine(turbine, processZone, said);
        std::istringstream lines(said.str());
        for (std::string line; std::getline(lines, line);) {
            checked.found.push_back(line.starts_with("  ") ? line.substr(2) : line);
        }
    }
    return check;
}

int checkProject(const std::filesystem::path& projectFile, const icu::TimeZone& processZone,
                 std::ostream& out, std::ostream& err) {
    const ProjectCheck check = checkProjectInputs(projectFile, processZone);
    for (const TurbineCheck& turbine : check.turbines) {
        out << "Turbine " << printable(turbine.name) << " (line " << turbine.line << ")\n";
        for (const std::string& line : turbine.found) {
            out << "  " << line << '\n';
        }
        if (!turbine.readable) {
            err << "Problem with project: " << printable(projectFile.string()) << ':'
                << turbine.line << ": turbine \"" << printable(turbine.name)
                << "\": its inputs could not be read (see above)\n";
        }
    }
    const int status = reportAll(check.problems, err);
    const bool readable = std::all_of(check.turbines.begin(), check.turbines.end(),
                                      [](const TurbineCheck& turbine) { return turbine.readable; });
    return readable ? status : kExitBadInput;
}

int runProject(const ProjectRunOptions& options, const icu::TimeZone& processZone,
               std::ostream& out, std::ostream& err) {
    const ReadProject read = readProjectFile(options.projectFile);
    if (!read.problems.empty()) {
        return reportAll(read.problems, err);
    }
    const Outcome<ProjectLock> lock = projectLock(read);
    if (!lock) {
        return reportProblem(lock.error(), err);
    }
    const std::filesystem::path lockFile = options.outFolder / kProjectLockName;
    if (const std::optional<ProjectLock> before = earlierLock(lockFile, out)) {
        const std::vector<std::string> changes = lockChanges(*before, *lock);
        out << (changes.empty() ? "Inputs and options as in the last run\n"
                                : "Since the last run:\n");
        for (const std::string& change : changes) {
            out << "  " << printable(change) << '\n';
        }
    }
    std::error_code error;
    std::filesystem::create_directories(options.outFolder, error);
    // The earlier lock vouched for files this run replaces, and the farm's files of the earlier
    // run describe turbines this run may not finish: until this run's are written, none.
    for (const char* name :
         {kProjectLockName, kFarmReportName, kFarmSummaryName, kFarmPlanJson, kFarmPlanTable}) {
        if (!error) {
            std::filesystem::remove(options.outFolder / name, error);
        }
    }
    if (error) {
        return reportProblem(
            Problem{.title = "Not saved",
                    .message = "Cannot make the folder " + options.outFolder.string() +
                               " or take the earlier run's farm files away: " + error.message(),
                    .kind = ProblemKind::notSaved},
            err);
    }
    // Drawing needs the application, made on this thread before any other draws.
    const graph::OffscreenGui gui;
    std::vector<TurbineRun> runs(read.turbines.size());
    std::vector<bool> ran(read.turbines.size(), false);
    const unsigned threads =
        options.jobs > 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
    runInParallel(
        read.turbines.size(), threads,
        [&](std::size_t index) {
            if (options.stop.stop_requested()) {
                return;
            }
            const TurbineOptions& turbine = read.turbines[index];
            runs[index] = runTurbine(turbine, options.outFolder / turbineFolderName(turbine.name),
                                     processZone);
            ran[index] = true;
        },
        [&](std::size_t done) {
            if (options.progress) {
                err << "\r" << done << " of " << read.turbines.size() << " turbines done"
                    << (done == read.turbines.size() ? "\n" : "") << std::flush;
            }
            if (options.onProgress) {
                options.onProgress(done, read.turbines.size());
            }
        });
    if (options.stop.stop_requested()) {
        const auto finished = std::count(ran.begin(), ran.end(), true);
        out << "Stopped: " << finished << " of " << read.turbines.size()
            << " turbines ran (their folders are complete); the farm's files and "
            << kProjectLockName << " are not written\n";
        return kExitStopped;
    }
    int status = kExitSuccess;
    for (std::size_t index = 0; index < runs.size(); ++index) {
        const TurbineOptions& turbine = read.turbines[index];
        out << "Turbine " << printable(turbine.name) << ": "
            << (runs[index].exitStatus == kExitSuccess ? "done" : "see its log.txt") << " in "
            << printable((options.outFolder / turbineFolderName(turbine.name)).string()) << '\n';
        status = std::max(status, runs[index].exitStatus);
    }
    if (!writeFarmFiles(read, runs, options.outFolder, out, err)) {
        status = std::max(status, kExitBadInput);
    }
    if (const Outcome<void> written =
            graph::writeWholeTextFile(lockFile, lockJson(*lock), "Not saved", "lock");
        !written) {
        return reportProblem(written.error(), err);
    }
    return status;
}

}  // namespace vane::farm
