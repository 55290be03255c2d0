#pragma once

#include <ostream>
#include <string>

#include "core/outcome/outcome.h"

namespace vane::cli {

// Writes `problem` as every command reports one: "Title: file:line: message", then its cause as
// "error ..." when it has one. Answers the exit status of bad usage or unreadable input.
int reportProblem(const Problem& problem, std::ostream& err);

// The "Bad usage" problem: the options ask for something impossible, as `message` says.
Problem badUsage(std::string message);

}  // namespace vane::cli
