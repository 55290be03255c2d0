#include "cli/problem_report.h"

#include "cli/command.h"

namespace vane::cli {

int reportProblem(const Problem& problem, std::ostream& err) {
    err << (problem.title.empty() ? "" : problem.title + ": ") << problem.describe() << '\n';
    if (!problem.detail.empty()) {
        err << "error " << problem.detail << '\n';
    }
    return kExitBadInput;
}

Problem badUsage(std::string message) {
    return Problem{
        .title = "Bad usage", .message = std::move(message), .kind = ProblemKind::badUsage};
}

}  // namespace vane::cli
