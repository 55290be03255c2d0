#include "cli/library_command.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "cli/problem_report.h"
#include "core/files/shown_content.h"
#include "core/text/counted.h"
#include "library/library_copy.h"
#include "library/library_problem.h"
#include "library/library_types.h"

namespace vane::cli {

int runLibraryCopy(const LibraryCopyOptions& options, std::ostream& out, std::ostream& err) {
    try {
        const library::CopySummary copied = library::copyLibrary(options.from, options.to);
        out << "Copied " << copied.sessions << (copied.sessions == 1 ? " session" : " sessions")
            << " with " << counted(copied.recordings, "recording", "recordings") << " from "
            << printable(options.from.string()) << " to " << printable(options.to.string()) << '\n';
        return kExitSuccess;
    } catch (const library::LibraryError& error) {
        return reportProblem(library::libraryProblem(error), err);
    } catch (const std::filesystem::filesystem_error& error) {
        return reportProblem(library::libraryProblem(error, options.to), err);
    }
}

void addLibraryCommand(CLI::App& app, CommandAction& action) {
    CLI::App* command = app.add_subcommand("library", "Work on whole libraries");
    command->require_subcommand(1);
    const auto options = std::make_shared<LibraryCopyOptions>();
    CLI::App* copy = command->add_subcommand(
        "copy",
        "Copy every session and recording of library FROM into a new library TO. Either may be a\n"
        "file or a postgresql://USER@HOST/DATABASE URL (the PG* variables fill in what it leaves\n"
        "out; a password only from the password file), so a library started alone in a file can\n"
        "be shared on a server, and taken back. TO must be a file that does not exist, or a\n"
        "database without sessions; a copy that fails leaves nothing there.");
    copy->add_option("FROM", options->from, "The library to copy")->required();
    copy->add_option("TO", options->to, "The new library")->required();
    copy->callback([options, &action] {
        action = [options] { return runLibraryCopy(*options, std::cout, std::cerr); };
    });
}

}  // namespace vane::cli
