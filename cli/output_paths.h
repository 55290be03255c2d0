#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vane::cli {

// A file named on the command line, with the option that named it ("--wind").
struct NamedFile {
    std::string option;
    std::optional<std::filesystem::path> path;
};

// A "Bad usage: ..." line naming both when an output is the same file as an input (also through
// a link), which writing would replace; nothing when none is.
std::optional<std::string> outputReplacingInput(const std::vector<NamedFile>& inputs,
                                                const std::vector<NamedFile>& outputs);

}  // namespace vane::cli
