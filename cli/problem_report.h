#pragma once

#include <ostream>

#include "core/outcome/outcome.h"

namespace vane::cli {

// Writes `problem` as every command reports one: "Title: file:line: message", then its cause as
// "error ..." when it has one. Answers the exit status of bad usage or unreadable input.
int reportProblem(const Problem& problem, std::ostream& err);

}  // namespace vane::cli
