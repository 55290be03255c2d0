#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/outcome/outcome.h"

namespace vane::cli {

// A file named on the command line, with the option that named it ("--wind").
struct NamedFile {
    std::string option;
    std::optional<std::filesystem::path> path;
};

// Refuses, as "Bad usage" naming both, an output that is the same file as an input (also
// through a link), which writing would replace.
Outcome<void> checkNoOutputIsAnInput(const std::vector<NamedFile>& inputs,
                                     const std::vector<NamedFile>& outputs);

}  // namespace vane::cli
