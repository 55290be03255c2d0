#include "cli/project_command.h"

#include <unicode/timezone.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <thread>

#include "cli/problem_report.h"
#include "cli/project_lock.h"
#include "cli/project_options.h"
#include "cli/turbine_run.h"
#include "core/analysis/bat_events.h"
#include "core/curtailment/controller_table.h"
#include "core/curtailment/farm_plan.h"
#include "core/curtailment/farm_summary.h"
#include "core/curtailment/turbine_intervals.h"
#include "core/files/input_file.h"
#include "core/files/shown_content.h"
#include "core/time/local_time.h"
#include "graph/farm_report.h"
#include "graph/offscreen_gui.h"
#include "graph/whole_file.h"
#include "vane_version.h"

namespace vane::cli {
namespace {

constexpr const char* kFarmSummaryName = "farm-summary.tsv";
constexpr const char* kFarmReportName = "farm.pdf";
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

// What the farm plan was made from: every turbine's own wind file and power.
PlanSources farmPlanSources(const std::vector<TurbineRun>& runs) {
    PlanSources sources = runs.front().sources;
    sources.windFile = "each turbine's own";
    for (const TurbineRun& run : runs) {
        if (run.sources.power != sources.power) {
            sources.power = "each turbine's own";
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

int checkProject(const std::filesystem::path& projectFile, const icu::TimeZone& processZone,
                 std::ostream& out, std::ostream& err) {
    const ReadProject read = readProjectFile(projectFile);
    bool readable = true;
    for (const TurbineOptions& turbine : read.turbines) {
        out << "Turbine " << printable(turbine.name) << " (line " << turbine.line << ")\n";
        if (!checkTurbine(turbine, processZone, out)) {
            readable = false;
            err << "Problem with project: " << printable(projectFile.string()) << ':'
                << turbine.line << ": turbine \"" << printable(turbine.name)
                << "\": its inputs could not be read (see above)\n";
        }
    }
    const int status = reportAll(read.problems, err);
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
    if (error) {
        return reportProblem(Problem{.title = "Not saved",
                                     .message = "Cannot make the folder " +
                                                options.outFolder.string() + ": " + error.message(),
                                     .kind = ProblemKind::notSaved},
                             err);
    }
    // Drawing needs the application, made on this thread before any other draws.
    const graph::OffscreenGui gui;
    std::vector<TurbineRun> runs(read.turbines.size());
    const unsigned threads =
        options.jobs > 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
    runInParallel(
        read.turbines.size(), threads,
        [&](std::size_t index) {
            const TurbineOptions& turbine = read.turbines[index];
            runs[index] = runTurbine(turbine, options.outFolder / turbineFolderName(turbine.name),
                                     processZone);
        },
        [&](std::size_t done) {
            if (options.progress) {
                err << "\r" << done << " of " << read.turbines.size() << " turbines done"
                    << (done == read.turbines.size() ? "\n" : "") << std::flush;
            }
        });
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

void addProjectCommand(CLI::App& app, CommandAction& action) {
    CLI::App* project = app.add_subcommand(
        "project",
        "Run a wind farm at once from a project file (TOML): 'farm = NAME', a table [defaults]\n"
        "shared by every turbine and a table [[turbine]] per turbine with its name and any\n"
        "option that differs. The keys are the long options of 'vane analyse' and 'vane\n"
        "curtail' without their dashes (wind = \"wind.csv\", lat = 49.5, night-parts = 10,\n"
        "session = [\"A\", \"B\"], bats-only = true); paths are taken in the project file's\n"
        "folder. Output files are named by the project, so json, pdf, png, svg and controller\n"
        "are no keys.");
    project->require_subcommand(1);
    const auto file = std::make_shared<std::filesystem::path>();
    CLI::App* check = project->add_subcommand(
        "check",
        "Read the project and every turbine's inputs; say per turbine what was found (recordings\n"
        "and their period, the wind file's columns and guesses, the share of activity the wind\n"
        "file covers). Exit status 2 naming every problem, all at once.");
    check->add_option("FILE", *file, "Project file")->required();
    check->callback([file, &action] {
        action = [file] { return checkProject(*file, *processTimeZone(), std::cout, std::cerr); };
    });
    const auto options = std::make_shared<ProjectRunOptions>();
    CLI::App* run = project->add_subcommand(
        "run",
        "Write per turbine (a folder named after it) what 'vane analyse', 'vane yearly' and\n"
        "'vane curtail' write with its options: analysis.tsv, analysis.png and .pdf, yearly.png,\n"
        "plan.txt, plan.json, controller.csv, plan.pdf and log.txt; for the farm farm.pdf (the\n"
        "summary of every plan, the sites, the farm plan, each turbine's report),\n"
        "farm-summary.tsv, and the farm plan: one plan for every turbine made from their pooled\n"
        "activity (each turbine's bats counted against its own wind), as farm-plan.txt,\n"
        "farm-plan.json (with what it protects and costs at each turbine) and, in each turbine's\n"
        "folder, farm-plan-controller.csv; it needs every turbine's plan, made with the same\n"
        "protect, night-parts, before-sunset, after-sunrise, fit, min-cell-activity and power\n"
        "(a temperature-floor stays each turbine's own); and\n"
        "project.lock.json: Vane's\n"
        "version, every input's path, size and SHA-256 and every turbine's options. With a lock\n"
        "in DIR from before, says which inputs and options changed. Turbines run in parallel.\n"
        "Exit status 0 when every turbine has its plan, else the worst of theirs.");
    run->add_option("FILE", options->projectFile, "Project file")->required();
    run->add_option("--out", options->outFolder, "Folder of the results")->required();
    run->add_option("--jobs", options->jobs,
                    "Turbines run at once; default: as many as the machine has cores")
        ->check(CLI::Range(1, 1024));
    run->callback([options, &action] {
        action = [options] {
            ProjectRunOptions chosen = *options;
            chosen.progress = isatty(STDERR_FILENO) != 0;
            return runProject(chosen, *processTimeZone(), std::cout, std::cerr);
        };
    });
}

}  // namespace vane::cli
