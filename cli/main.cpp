#include <unicode/timezone.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/analyse_command.h"
#include "cli/command.h"
#include "cli/curtail_command.h"
#include "cli/events_command.h"
#include "cli/import_command.h"
#include "cli/inspect_command.h"
#include "cli/library_command.h"
#include "cli/problem_report.h"
#include "farm/project_command.h"
#include "cli/sun_command.h"
#include "cli/yearly_command.h"
#include "core/time/local_time.h"
#include "vane_version.h"

namespace {

constexpr const char* kDescription =
    "Vane relates bat activity in time-stamped recordings to wind speed, temperature and the\n"
    "operating state of a wind turbine, and shows when in the night bats were active.\n"
    "Times without an offset are local time of the process's time zone (set TZ to change it;\n"
    "a TZ that names no known zone is warned about).\n"
    "Input files larger than 2048 MiB are refused as too large; set VANE_MAX_FILE_MB to a\n"
    "larger number of MiB to raise the limit. An output that is the same file as an input is\n"
    "refused.";

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{kDescription, "vane"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "vane " VANE_VERSION, "Print the version and exit");
    app.failure_message([](const CLI::App* command, const CLI::Error& error) {
        return "Bad usage: " + std::string(error.what()) + " (see " + command->get_name() +
               " --help)\n";
    });

    vane::cli::CommandAction action;
    vane::cli::addSunCommand(app, action);
    vane::cli::addEventsCommand(app, action);
    vane::cli::addInspectCommand(app, action);
    vane::cli::addAnalyseCommand(app, action);
    vane::cli::addYearlyCommand(app, action);
    vane::cli::addImportCommand(app, action);
    vane::cli::addCurtailCommand(app, action);
    vane::cli::addLibraryCommand(app, action);
    vane::farm::addProjectCommand(app, action);
    // New commands register here, each with its add...Command function.

    // Said plainly: CLI11 would only say that a command is required.
    const std::vector<CLI::App*> commands =
        app.get_subcommands([](const CLI::App*) { return true; });
    if (argc > 1 && argv[1][0] != '-' &&
        std::none_of(commands.begin(), commands.end(),
                     [&](const CLI::App* command) { return command->check_name(argv[1]); })) {
        std::string names;
        for (const CLI::App* command : commands) {
            names += (names.empty() ? "" : ", ") + command->get_name();
        }
        return vane::cli::reportProblem(
            vane::cli::badUsage("unknown command \"" + std::string(argv[1]) +
                                "\"; the commands are " + names + " (see vane --help)"),
            std::cerr);
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? vane::cli::kExitSuccess : vane::cli::kExitBadInput;
    }
    if (action) {
        if (const std::optional<std::string> warning =
                vane::unknownTimeZoneWarning(std::getenv("TZ"), *vane::processTimeZone())) {
            std::cerr << *warning << '\n';
        }
    }
    try {
        return action ? action() : vane::cli::kExitBadInput;
    } catch (const std::exception& error) {
        std::cerr << "Internal error: " << error.what() << '\n';
        return 1;
    }
}
