#include "farm/project_command.h"

#include <unicode/timezone.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>

#include "core/time/local_time.h"
#include "farm/project_run.h"

namespace vane::farm {

void addProjectCommand(CLI::App& app, cli::CommandAction& action) {
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

}  // namespace vane::farm
