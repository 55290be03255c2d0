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

}  // namespace vane::cli
