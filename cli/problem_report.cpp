#include "cli/problem_report.h"

#include "cli/command.h"
#include "core/files/shown_content.h"

namespace vane::cli {

int reportProblem(const Problem& problem, std::ostream& err) {
    // File names, labels and values quoted from files reach the terminal here: none may move
    // its cursor or break the one line.
    err << (problem.title.empty() ? "" : problem.title + ": ") << printable(problem.describe())
        << '\n';
    if (!problem.detail.empty()) {
        err << "error " << printable(problem.detail) << '\n';
    }
    return kExitBadInput;
}

Problem badUsage(std::string message) {
    return Problem{
        .title = "Bad usage", .message = std::move(message), .kind = ProblemKind::badUsage};
}

}  // namespace vane::cli
